#include "qt_timer.h"

#include "platform/errors.h"

namespace platform {

QtTimer::QtTimer() {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(false);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_onTimer)
            m_onTimer();
    });
}

void QtTimer::SetInterval(int milliseconds) {
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    if (m_timer.isActive())
        Start(); // a new interval restarts a running countdown from now
}

void QtTimer::SetEnabled(bool enabled) {
    if (!enabled) {
        m_timer.stop();
        return;
    }
    if (!m_timer.isActive())
        Start();
}

void QtTimer::Start() {
    m_timer.start(m_interval);
    if (!m_timer.isActive())
        throw vexo::Error("Nicht genügend Timer verfügbar");
}

} // namespace platform
