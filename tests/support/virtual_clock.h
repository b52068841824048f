#pragma once
// A virtual clock with timers that behave like the platform's: a timer switched on counts
// down one interval from that moment, a new interval restarts a running countdown, and a
// timer that fell due while the "thread" was blocked (Block, e.g. by a sound) fires once
// when the clock next runs, then keeps its own period. Timers that fall due at the same
// moment fire in the order they were switched on.
#include "platform/clock.h"
#include "platform/timer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class VirtualClock : public platform::ClockService, public platform::TimerFactory {
public:
    // Installs itself as the clock and the timer factory; starts at `start`.
    explicit VirtualClock(platform::LocalDateTime start = 0);
    ~VirtualClock() override;

    platform::LocalDateTime Now() const override { return m_now + m_wallOffset; }
    std::int64_t MonotonicMs() const override { return m_now; } // a wall-clock jump does not move it
    std::string FormatLongTime(std::int64_t millisecondsOfDay) const override; // "hh:mm:ss"
    std::unique_ptr<platform::Timer> CreateTimer() override;

    // Elapsed virtual milliseconds since construction.
    std::int64_t Elapsed() const { return m_now - m_start; }
    // Runs the clock forward, firing due timers in time order.
    void Advance(std::int64_t milliseconds);
    // Runs until the given elapsed time.
    void AdvanceTo(std::int64_t elapsed) { Advance(elapsed - Elapsed()); }
    // Moves time on without firing anything, as a busy user-interface thread does.
    void Block(std::int64_t milliseconds) { m_now += milliseconds; }
    // Sets the wall clock (a daylight-saving switch); countdowns are not affected.
    void ShiftWallClock(std::int64_t milliseconds) { m_wallOffset += milliseconds; }

    class VirtualTimer;

private:
    friend class VirtualTimer;
    platform::LocalDateTime m_start;
    platform::LocalDateTime m_now;
    std::int64_t m_wallOffset = 0;
    std::uint64_t m_sequence = 0;
    std::vector<VirtualTimer*> m_timers;
};
