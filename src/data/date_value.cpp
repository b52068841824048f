#include "date_value.h"

#include "evaluation/export_table.h"

#include <cstdio>

namespace data {
namespace {

// Howard Hinnant's days-from-civil algorithm, shifted so that 1899-12-30 is day 0.
constexpr int EpochShift = 693899; // day 0 (1899-12-30) counted from 0000-03-01

long DaysFromCivilRaw(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe);
}

} // namespace

int DaysFromCivil(int year, int month, int day) {
    return static_cast<int>(DaysFromCivilRaw(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                            EpochShift);
}

CivilDate CivilFromDays(int days) {
    long z = static_cast<long>(days) + EpochShift;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

bool IsValidCivil(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static const int length[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= length[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::string FormatGermanDate(int days) {
    return evaluation::GermanDateText(days);
}

} // namespace data
