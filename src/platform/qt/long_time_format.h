#pragma once
// The user's long time format with seconds: "h" or "hh" as the locale writes hours,
// then minutes and seconds with the locale's separator, and an AM/PM marker where the
// locale uses one, on the side it puts it.
#include <QLocale>
#include <QRegularExpression>
#include <QString>

namespace platform {

QString LongTimePattern(const QLocale& locale);

} // namespace platform
