#include "virtual_clock.h"

#include <algorithm>
#include <cstdio>
#include <limits>

class VirtualClock::VirtualTimer : public platform::Timer {
public:
    explicit VirtualTimer(VirtualClock& clock) : m_clock(clock) { m_clock.m_timers.push_back(this); }
    ~VirtualTimer() override { std::erase(m_clock.m_timers, this); }

    void SetInterval(int milliseconds) override {
        if (milliseconds == m_interval)
            return;
        m_interval = milliseconds;
        if (m_enabled)
            Restart();
    }
    int Interval() const override { return m_interval; }
    void SetEnabled(bool enabled) override {
        if (enabled == m_enabled)
            return;
        m_enabled = enabled;
        if (enabled)
            Restart();
    }
    bool Enabled() const override { return m_enabled; }
    void SetOnTimer(std::function<void()> onTimer) override { m_onTimer = std::move(onTimer); }

    void Restart() {
        m_due = m_clock.m_now + m_interval;
        m_order = ++m_clock.m_sequence;
    }

    VirtualClock& m_clock;
    int m_interval = 1000;
    bool m_enabled = false;
    std::int64_t m_due = 0;
    std::uint64_t m_order = 0;
    std::function<void()> m_onTimer;
};

VirtualClock::VirtualClock(platform::LocalDateTime start) : m_start(start), m_now(start) {
    platform::SetClock(this);
    platform::SetTimers(this);
}

VirtualClock::~VirtualClock() {
    platform::SetClock(nullptr);
    platform::SetTimers(nullptr);
}

std::string VirtualClock::FormatLongTime(std::int64_t millisecondsOfDay) const {
    const std::int64_t seconds = millisecondsOfDay / 1000;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", int(seconds / 3600), int(seconds / 60 % 60),
                  int(seconds % 60));
    return text;
}

std::unique_ptr<platform::Timer> VirtualClock::CreateTimer() {
    return std::make_unique<VirtualTimer>(*this);
}

void VirtualClock::Advance(std::int64_t milliseconds) {
    const std::int64_t target = m_now + milliseconds;
    for (;;) {
        VirtualTimer* next = nullptr;
        for (VirtualTimer* timer : m_timers) {
            if (!timer->m_enabled || timer->m_due > std::max(target, m_now))
                continue;
            if (!next || timer->m_due < next->m_due ||
                (timer->m_due == next->m_due && timer->m_order < next->m_order))
                next = timer;
        }
        if (!next)
            break;
        m_now = std::max(m_now, next->m_due);
        // Like the platform's timers: the next tick follows one period after the one just
        // due, or one period from now when the thread was blocked past it.
        next->m_due += next->m_interval;
        if (next->m_due <= m_now)
            next->m_due = m_now + next->m_interval;
        next->m_order = ++m_sequence;
        if (next->m_onTimer)
            next->m_onTimer();
    }
    m_now = std::max(m_now, target);
}
