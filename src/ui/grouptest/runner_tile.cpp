#include "runner_tile.h"

#include <QMouseEvent>
#include <QPainter>

namespace ui {

RunnerTile::RunnerTile(std::size_t index, QWidget* parent)
    : QWidget(parent), m_index(index), m_key(QString::fromStdString(grouptest::TileKey(index))) {
    setObjectName(QStringLiteral("Tile%1").arg(index + 1));
    setMinimumSize(120, 70);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void RunnerTile::Show(const grouptest::Runner& runner, bool started) {
    const QString initial =
        runner.name.empty() ? QString() : QString::fromStdString(runner.name).left(1) + QLatin1Char('.');
    m_name = QString::fromStdString(runner.firstName) + QLatin1Char(' ') + initial;
    m_runnerState = runner.state;
    switch (runner.state) {
    case grouptest::RunnerState::Running:
        m_state = started ? QStringLiteral("läuft") : QStringLiteral("bereit");
        break;
    case grouptest::RunnerState::Warned:
        m_state = QStringLiteral("Warnung");
        break;
    case grouptest::RunnerState::Out:
        m_state = runner.level > 0 && runner.shuttle > 0
                      ? QStringLiteral("raus: %1 / %2").arg(runner.level).arg(runner.shuttle)
                      : QStringLiteral("raus: ohne Ergebnis");
        break;
    }
    setAccessibleName(m_name + QStringLiteral(", ") + m_state);
    update();
}

void RunnerTile::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    QColor fill(255, 255, 255), text(0, 0, 0);
    if (m_runnerState == grouptest::RunnerState::Warned)
        fill = QColor(255, 214, 10);
    else if (m_runnerState == grouptest::RunnerState::Out) {
        fill = QColor(150, 150, 150);
        text = QColor(30, 30, 30);
    }
    p.fillRect(rect(), palette().window());
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(fill);
    p.drawRoundedRect(r, 8, 8);
    p.setPen(text);
    const double h = r.height();
    QFont small = font();
    small.setPixelSize(std::max(12, static_cast<int>(h * 0.16)));
    small.setBold(true);
    p.setFont(small);
    const QRectF inner = r.adjusted(h * 0.08, h * 0.05, -h * 0.08, -h * 0.05);
    p.drawText(inner, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("[%1]").arg(m_key));
    p.drawText(inner, Qt::AlignRight | Qt::AlignTop, QString::number(m_index + 1));
    QFont big = font();
    big.setBold(true);
    int size = std::max(14, static_cast<int>(h * 0.30));
    big.setPixelSize(size);
    // The name as large as the tile's width lets it be.
    while (size > 12 && QFontMetrics(big).horizontalAdvance(m_name) > inner.width()) {
        big.setPixelSize(--size);
    }
    p.setFont(big);
    p.drawText(inner, Qt::AlignHCenter | Qt::AlignVCenter, m_name);
    QFont state = font();
    int stateSize = std::max(12, static_cast<int>(h * 0.17));
    state.setPixelSize(stateSize);
    state.setBold(m_runnerState != grouptest::RunnerState::Running);
    // The state whole, as large as the width lets it be ("raus: ohne Ergebnis" is long).
    while (stateSize > 9 && QFontMetrics(state).horizontalAdvance(m_state) > inner.width())
        state.setPixelSize(--stateSize);
    p.setFont(state);
    p.drawText(inner, Qt::AlignHCenter | Qt::AlignBottom, m_state);
}

void RunnerTile::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit tapped(m_index, static_cast<qint64>(event->timestamp()));
    event->accept();
}

} // namespace ui
