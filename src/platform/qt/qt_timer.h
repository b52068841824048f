#pragma once
// The platform timer on Qt, with the timer rules of platform::Timer and better than
// millisecond accuracy. Qt rounds every wait up to a whole millisecond and adds the poll
// latency, so its own ticks come 1-2 ms late. This timer keeps absolute deadlines on the
// steady clock instead: a single-shot QTimer wakes it shortly before the deadline and it
// sleeps the last moment away before it ticks. The next deadline follows one interval
// after the previous one, so the pace does not drift; when the thread was busy past it,
// the next comes one interval from now, so ticks never pile up.
#include "platform/timer.h"

#include <QTimer>

#include <chrono>

namespace platform {

class QtTimer : public Timer {
public:
    QtTimer();
    void SetInterval(int milliseconds) override;
    int Interval() const override { return m_interval; }
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return m_enabled; }
    void SetOnTimer(std::function<void()> onTimer) override { m_onTimer = std::move(onTimer); }

private:
    using Clock = std::chrono::steady_clock;

    void Restart();
    void Arm();
    void Wake();

    QTimer m_wake;
    bool m_enabled = false;
    int m_interval = 1000;
    Clock::time_point m_deadline;
    std::function<void()> m_onTimer;
};

class QtTimerFactory : public TimerFactory {
public:
    std::unique_ptr<Timer> CreateTimer() override { return std::make_unique<QtTimer>(); }
};

} // namespace platform
