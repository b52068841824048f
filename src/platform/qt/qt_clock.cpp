#include "qt_clock.h"

#include "long_time_format.h"

#include <QDateTime>
#include <QLocale>
#include <QTime>

namespace platform {

std::int64_t QtClock::MonotonicMs() const {
    return SteadyClockNs() / 1'000'000;
}

LocalDateTime QtClock::Now() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate dayZero(1899, 12, 30);
    const qint64 days = dayZero.daysTo(now.date());
    return days * MillisecondsPerDay + now.time().msecsSinceStartOfDay();
}

std::string QtClock::FormatLongTime(std::int64_t millisecondsOfDay) const {
    const QLocale locale;
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(millisecondsOfDay / 1000 * 1000));
    return locale.toString(time, LongTimePattern(locale)).toStdString();
}

} // namespace platform
