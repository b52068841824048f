#pragma once
// Local wall-clock time and the user's way of writing a time of day.
#include <cstdint>
#include <string>

namespace platform {

// Local date and time as milliseconds since 30 December 1899, 00:00 (the program's
// day zero), on the wall clock: a daylight-saving switch moves it.
using LocalDateTime = std::int64_t;

constexpr std::int64_t MillisecondsPerDay = 24LL * 60 * 60 * 1000;

class ClockService {
public:
    virtual ~ClockService() = default;
    virtual LocalDateTime Now() const = 0;
    // Milliseconds on a clock that never jumps (no daylight saving, no setting of the wall
    // clock): the test's time line. Only differences mean anything.
    virtual std::int64_t MonotonicMs() const = 0;
    // Whole days since 30 December 1899 of today's local date.
    int Today() const { return static_cast<int>(Now() / MillisecondsPerDay); }
    // A time of day (milliseconds after midnight, 0 <= ms < one day) in the user's long
    // time format with seconds; fractions of a second are dropped.
    virtual std::string FormatLongTime(std::int64_t millisecondsOfDay) const = 0;
};

// The clock that never jumps, read alike by the real clock service (MonotonicMs) and the sound
// device's stream, so that a moment handed from one to the other means the same instant:
// nanoseconds of std::chrono::steady_clock.
std::int64_t SteadyClockNs();

ClockService& Clock();
void SetClock(ClockService* clock);

} // namespace platform
