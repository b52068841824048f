#include "quiet_time_refresh.h"

#include "data/data_source.h"
#include "ui/widgets/guard.h"

#include <QApplication>
#include <QTimer>

namespace ui {

// One table's data source with a link that hears its changes.
struct QuietTimeRefresh::Watch : data::DataLink {
    data::DataSource source;
    QTimer* delay;
    Watch(data::Table* table, QTimer* delayTimer) : source(table), delay(delayTimer) {
        SetDataSource(&source);
    }
    ~Watch() override { SetDataSource(nullptr); }
    void ActiveChanged() override { delay->start(); }
    void RowsChanged(const data::RowChange& change) override {
        // The typing in an edited record changes nothing stored yet.
        if (change.kind != data::RowChange::FieldChanged && change.kind != data::RowChange::CurrentMoved)
            delay->start();
    }
};

QuietTimeRefresh::QuietTimeRefresh(std::vector<data::Table*> tables, std::function<void()> work,
                                   QObject* parent, int delayMs)
    : QObject(parent), m_work(std::move(work)), m_delay(new QTimer(this)) {
    m_delay->setSingleShot(true);
    m_delay->setInterval(delayMs);
    connect(m_delay, &QTimer::timeout, this, GuardedSlot([this] { DelayPassed(); }));
    for (data::Table* table : tables)
        m_watches.push_back(std::make_unique<Watch>(table, m_delay));
}

QuietTimeRefresh::~QuietTimeRefresh() = default;

bool QuietTimeRefresh::Pending() const {
    return m_delay->isActive();
}

void QuietTimeRefresh::DelayPassed() {
    const bool busy = QApplication::activeModalWidget() || QApplication::activePopupWidget() ||
                      QApplication::mouseButtons() != Qt::NoButton || (mayRunNow && !mayRunNow());
    if (busy)
        m_delay->start();
    else
        m_work();
}

} // namespace ui
