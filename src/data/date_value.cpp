#include "date_value.h"

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
    const CivilDate date = CivilFromDays(days);
    const int day = date.day, month = date.month, year = date.year;
    if (year < 0 || year > 9999) {
        char text[32];
        std::snprintf(text, sizeof text, "%02d.%02d.%04d", day, month, year);
        return text;
    }
    // Written by hand: a list of all results has tens of thousands of dates.
    const char text[] = {char('0' + day / 10),    char('0' + day % 10),        '.',
                         char('0' + month / 10),  char('0' + month % 10),      '.',
                         char('0' + year / 1000), char('0' + year / 100 % 10), char('0' + year / 10 % 10),
                         char('0' + year % 10)};
    return std::string(text, sizeof text);
}

std::optional<int> ParseGermanDate(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    // Digits up to the next point (or the end), between `least` and `most` of them.
    const auto number = [&text](std::size_t least, std::size_t most) -> std::optional<int> {
        std::size_t digits = 0;
        int value = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
            value = value * 10 + (text[digits] - '0');
            ++digits;
        }
        if (digits < least || digits > most)
            return std::nullopt;
        text.remove_prefix(digits);
        return value;
    };
    const auto point = [&text] {
        if (text.empty() || text.front() != '.')
            return false;
        text.remove_prefix(1);
        return true;
    };
    const std::optional<int> day = number(1, 2);
    if (!day || !point())
        return std::nullopt;
    const std::optional<int> month = number(1, 2);
    if (!month || !point())
        return std::nullopt;
    const std::optional<int> year = number(4, 4);
    if (!year || !text.empty() || !IsValidCivil(*year, *month, *day))
        return std::nullopt;
    return DaysFromCivil(*year, *month, *day);
}

} // namespace data
