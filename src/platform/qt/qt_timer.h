#pragma once
// A QTimer guarded to the timer rules of platform::Timer. QTimer on its own restarts its
// countdown on every start() and on every setInterval(), even to the same value; the guard
// passes a call on only when it changes something. Qt::PreciseTimer keeps millisecond
// accuracy, and Qt already coalesces overdue ticks into one.
#include "platform/timer.h"

#include <QTimer>

namespace platform {

class QtTimer : public Timer {
public:
    QtTimer();
    void SetInterval(int milliseconds) override;
    int Interval() const override { return m_interval; }
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return m_timer.isActive(); }
    void SetOnTimer(std::function<void()> onTimer) override { m_onTimer = std::move(onTimer); }

private:
    void Start();

    QTimer m_timer;
    int m_interval = 1000;
    std::function<void()> m_onTimer;
};

class QtTimerFactory : public TimerFactory {
public:
    std::unique_ptr<Timer> CreateTimer() override { return std::make_unique<QtTimer>(); }
};

} // namespace platform
