#pragma once
// Work that follows changes of some tables, done at a quiet moment instead of when the user
// waits for it: every change of the tables' rows arms a short delay; when it has passed and
// the program is quiet (no modal window, no popup, no button held, and `mayRunNow` agrees),
// `work` runs, otherwise the delay starts again.
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace data {
class Table;
}

namespace ui {

class QuietTimeRefresh : public QObject {
public:
    QuietTimeRefresh(std::vector<data::Table*> tables, std::function<void()> work, QObject* parent,
                     int delayMs = 1000);
    ~QuietTimeRefresh() override;

    std::function<bool()> mayRunNow;
    bool Pending() const;

private:
    struct Watch;
    void DelayPassed();

    std::function<void()> m_work;
    QTimer* m_delay = nullptr;
    std::vector<std::unique_ptr<Watch>> m_watches;
};

} // namespace ui
