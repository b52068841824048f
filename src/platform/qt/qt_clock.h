#pragma once
// The local wall clock through QDateTime, and the long time format of the user's locale.
#include "platform/clock.h"

namespace platform {

class QtClock : public ClockService {
public:
    LocalDateTime Now() const override;
    std::int64_t MonotonicMs() const override;
    std::string FormatLongTime(std::int64_t millisecondsOfDay) const override;
};

} // namespace platform
