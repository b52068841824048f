#pragma once
// Value texts of the data packet: how numbers and dates are written and read back.
#include "date_value.h"
#include "value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace data {

// Formatting into a buffer of at least 40 bytes; each returns the end of what it wrote.
// "%.16g" with "." as decimal point, whatever the locale.
char* FormatFloat(char* buffer, double value);
char* FormatInteger(char* buffer, std::int64_t value);
// Eight digits yyyymmdd.
char* FormatDate(char* buffer, int days);

// The same, appended to any string type.
template <typename S> void AppendFloat(S& out, double value) {
    char buffer[40];
    out.append(buffer, static_cast<std::size_t>(FormatFloat(buffer, value) - buffer));
}
template <typename S> void AppendInteger(S& out, std::int64_t value) {
    char buffer[40];
    out.append(buffer, static_cast<std::size_t>(FormatInteger(buffer, value) - buffer));
}
template <typename S> void AppendDate(S& out, int days) {
    char buffer[40];
    out.append(buffer, static_cast<std::size_t>(FormatDate(buffer, days) - buffer));
}
// A list value: the numbers in decimal, separated by one blank.
template <typename S> void AppendList(S& out, const std::vector<std::uint32_t>& numbers) {
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i)
            out += ' ';
        AppendInteger(out, numbers[i]);
    }
}

// The values of a data packet, read exactly: the whole text must be a value as the writer
// writes it, else there is none. An integer is an optional "-" and decimal digits without
// leading zeros, within [min, max]; a float is "%.16g" output ("-"? digits, an optional
// fraction, an optional exponent), finite; a date is eight digits yyyymmdd (or yyyy-mm-dd)
// of a day that exists.
std::optional<std::int64_t> ReadExactInteger(std::string_view text, std::int64_t min, std::int64_t max);
std::optional<double> ReadExactFloat(std::string_view text);

// Inline: every date of a file goes through here.
inline std::optional<int> ReadExactDate(std::string_view text) {
    const bool dashed = text.size() == 10 && text[4] == '-' && text[7] == '-';
    if (text.size() != 8 && !dashed)
        return std::nullopt;
    int digits[8];
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (dashed && (i == 4 || i == 7))
            continue;
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        digits[count++] = text[i] - '0';
    }
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5];
    const int day = digits[6] * 10 + digits[7];
    if (year < 1 || !IsValidCivil(year, month, day))
        return std::nullopt;
    return DaysFromCivil(year, month, day);
}

// Integers and floats: a digit must come before any letter, else NULL; then read like the
// C functions atoi and atof (leading blanks and a sign allowed, reading stops at the first
// character that does not fit; "," ends a float).
std::optional<std::int64_t> ParseInteger(std::string_view text);
std::optional<double> ParseFloat(std::string_view text);
// Typed input: the whole text must be the number, blanks around it allowed; integers
// saturate at the 64-bit limits, floats take "." or "," as the decimal separator.
bool IsBlank(std::string_view text);
std::optional<std::int64_t> ParseWholeInteger(std::string_view text);
std::optional<double> ParseWholeFloat(std::string_view text);
// The digits of the text in order: four for the year, two for the month, one or two for
// the day; other characters are skipped. Impossible dates and too few digits give NULL.
std::optional<int> ParseDate(std::string_view text);

} // namespace data
