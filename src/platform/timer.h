#pragma once
// A timer on the user-interface thread, with the rules the pacing depends on:
//  - switching on a timer that is already on changes nothing;
//  - setting the interval it already has changes nothing;
//  - a new interval restarts the countdown of a running timer from that moment;
//  - ticks do not pile up: after a busy spell at most one tick is delivered.
#include <functional>
#include <memory>

namespace platform {

class Timer {
public:
    virtual ~Timer() = default;
    virtual void SetInterval(int milliseconds) = 0;
    virtual int Interval() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetOnTimer(std::function<void()> onTimer) = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<Timer> CreateTimer() = 0;
};

TimerFactory& Timers();
void SetTimers(TimerFactory* timers);

} // namespace platform
