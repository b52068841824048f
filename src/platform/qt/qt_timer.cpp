#include "qt_timer.h"

#include "platform/dialogs.h"
#include "platform/errors.h"

#include <thread>

namespace platform {
namespace {
// How long before its deadline the timer wakes up: more than Qt's rounding and the
// event loop's usual latency, short enough that the final sleep costs nothing.
constexpr auto WakeEarly = std::chrono::milliseconds(3);
} // namespace

QtTimer::QtTimer() {
    m_wake.setTimerType(Qt::PreciseTimer);
    m_wake.setSingleShot(true);
    QObject::connect(&m_wake, &QTimer::timeout, [this] { Wake(); });
}

void QtTimer::SetInterval(int milliseconds) {
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    if (m_enabled)
        Restart(); // a new interval restarts a running countdown from now
}

void QtTimer::SetEnabled(bool enabled) {
    if (enabled == m_enabled)
        return; // switching on a running timer changes nothing
    if (!enabled) {
        m_enabled = false;
        m_wake.stop();
        return;
    }
    Restart();
    m_enabled = true;
}

void QtTimer::Restart() {
    m_deadline = Clock::now() + std::chrono::milliseconds(m_interval);
    Arm();
}

void QtTimer::Arm() {
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now() - WakeEarly);
    m_wake.start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count())));
    if (m_wake.timerId() <= 0) { // the platform gave no timer
        m_wake.stop();
        throw vexo::Error("Nicht genügend Timer verfügbar");
    }
}

void QtTimer::Wake() {
    std::this_thread::sleep_until(m_deadline);
    const auto now = Clock::now();
    m_deadline += std::chrono::milliseconds(m_interval);
    if (m_deadline <= now)
        m_deadline = now + std::chrono::milliseconds(m_interval);
    Arm(); // before the tick, so that the tick itself may stop or restart the timer
    if (!m_onTimer)
        return;
    try { // the tick is a handler Qt calls: no failure crosses Qt's code
        m_onTimer();
    } catch (...) {
        ShowFailure(std::current_exception());
    }
}

} // namespace platform
