#pragma once
// Value texts of the data packet: how numbers and dates are written and read back.
#include "value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace data {

// "%.16g" with "." as decimal point, whatever the locale.
void AppendFloat(std::string& out, double value);
void AppendInteger(std::string& out, std::int64_t value);
// A list value: the numbers in decimal, separated by one blank.
void AppendList(std::string& out, const std::vector<std::uint32_t>& numbers);
// Eight digits yyyymmdd.
void AppendDate(std::string& out, int days);

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
