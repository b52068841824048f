#include "long_time_format.h"

namespace platform {

QString LongTimePattern(const QLocale& locale) {
    // The short format is the plainest statement of the locale's habits ("HH:mm",
    // "h:mm AP", "AP h:mm"); time zones and other decorations of the long format are
    // not wanted in an elapsed time.
    const QString shortFormat = locale.timeFormat(QLocale::ShortFormat);
    const qsizetype hourAt = shortFormat.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    const bool twoDigitHours =
        hourAt >= 0 && hourAt + 1 < shortFormat.size() && shortFormat[hourAt + 1].toLower() == u'h';
    QString separator = QStringLiteral(":");
    const qsizetype minuteAt = shortFormat.indexOf(u'm');
    if (hourAt >= 0 && minuteAt > hourAt) {
        const qsizetype afterHour = hourAt + (twoDigitHours ? 2 : 1);
        if (minuteAt > afterHour)
            separator = shortFormat.mid(afterHour, minuteAt - afterHour);
    }
    const bool twelveHour = shortFormat.contains(QStringLiteral("AP"), Qt::CaseInsensitive);
    const bool markerFirst =
        twelveHour && shortFormat.indexOf(QStringLiteral("ap"), 0, Qt::CaseInsensitive) < hourAt;

    QString pattern = (twoDigitHours ? QStringLiteral("hh") : QStringLiteral("h")) + separator +
                      QStringLiteral("mm") + separator + QStringLiteral("ss");
    if (twelveHour)
        pattern = markerFirst ? QStringLiteral("AP ") + pattern : pattern + QStringLiteral(" AP");
    return pattern;
}

} // namespace platform
