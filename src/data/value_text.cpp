#include "value_text.h"

#include "date_value.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace data {
namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool DigitBeforeLetter(std::string_view text) {
    for (char c : text) {
        if (IsDigit(c))
            return true;
        if (IsAsciiLetter(c))
            return false;
    }
    return false;
}

// The start of a number as the C functions atoi and atof read it: leading blanks, then an
// optional sign. Returns the position after them; nothing when a letter comes before any
// digit (or there is no digit at all).
std::optional<std::size_t> NumberStart(std::string_view text, bool& negative) {
    if (!DigitBeforeLetter(text))
        return std::nullopt;
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    return i;
}

} // namespace

char* FormatFloat(char* buffer, double value) {
    return std::to_chars(buffer, buffer + 40, value, std::chars_format::general, 16).ptr;
}

char* FormatInteger(char* buffer, std::int64_t value) {
    return std::to_chars(buffer, buffer + 40, value).ptr;
}

char* FormatDate(char* buffer, int days) {
    const CivilDate c = CivilFromDays(days);
    const int year = c.year < 0 ? 0 : (c.year > 9999 ? 9999 : c.year);
    buffer[0] = static_cast<char>('0' + year / 1000);
    buffer[1] = static_cast<char>('0' + year / 100 % 10);
    buffer[2] = static_cast<char>('0' + year / 10 % 10);
    buffer[3] = static_cast<char>('0' + year % 10);
    buffer[4] = static_cast<char>('0' + c.month / 10);
    buffer[5] = static_cast<char>('0' + c.month % 10);
    buffer[6] = static_cast<char>('0' + c.day / 10);
    buffer[7] = static_cast<char>('0' + c.day % 10);
    return buffer + 8;
}

std::optional<std::int64_t> ReadExactInteger(std::string_view text, std::int64_t min, std::int64_t max) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::string_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > 19 || (digits[0] == '0' && (digits.size() > 1 || negative)))
        return std::nullopt;
    std::uint64_t magnitude = 0;
    for (char c : digits) {
        if (!IsDigit(c))
            return std::nullopt;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    }
    // Nineteen digits stay below 2^64; the range check does the rest.
    if (magnitude > (negative ? static_cast<std::uint64_t>(-(min + 1)) + 1 : static_cast<std::uint64_t>(max)))
        return std::nullopt;
    const std::int64_t value =
        negative ? -static_cast<std::int64_t>(magnitude - 1) - 1 : static_cast<std::int64_t>(magnitude);
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<double> ReadExactFloat(std::string_view text) {
    std::size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    auto digitsAt = [&](std::size_t& at) {
        const std::size_t from = at;
        while (at < text.size() && IsDigit(text[at]))
            ++at;
        return at > from;
    };
    const std::size_t integerStart = i;
    if (!digitsAt(i) || (text[integerStart] == '0' && i - integerStart > 1))
        return std::nullopt; // no leading zeros
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!digitsAt(i))
            return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (!digitsAt(i))
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    bool negative = false;
    const auto start = NumberStart(text, negative);
    if (!start)
        return std::nullopt;
    std::size_t i = *start;
    std::int64_t value = 0;
    constexpr std::int64_t Limit = std::numeric_limits<std::int32_t>::max();
    while (i < text.size() && IsDigit(text[i])) {
        value = value * 10 + (text[i++] - '0');
        if (value > Limit + 1)
            value = Limit + 1; // the columns are 32 bits: saturate rather than wrap
    }
    if (negative)
        value = -value;
    if (value > Limit)
        value = Limit;
    return value;
}

std::optional<double> ParseFloat(std::string_view text) {
    bool negative = false;
    const auto start = NumberStart(text, negative);
    if (!start)
        return std::nullopt;
    double value = 0;
    const char* first = text.data() + *start;
    const char* last = text.data() + text.size();
    if (first < last && (IsDigit(*first) || *first == '.')) {
        const auto result = std::from_chars(first, last, value, std::chars_format::general);
        if (result.ec == std::errc::result_out_of_range)
            value = 0; // like atof, an unreadable magnitude is no number at all
        else if (result.ec != std::errc())
            value = 0;
    }
    return negative ? -value : value;
}

bool IsBlank(std::string_view text) {
    for (char c : text)
        if (!IsCSpace(c))
            return false;
    return true;
}

namespace {
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsCSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsCSpace(text.back()))
        text.remove_suffix(1);
    return text;
}
} // namespace

std::optional<std::int64_t> ParseWholeInteger(std::string_view text) {
    text = Trimmed(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    for (char c : text) {
        if (!IsDigit(c))
            return std::nullopt;
        const int digit = c - '0';
        value = value > (Max - digit) / 10 ? Max : value * 10 + digit;
    }
    return negative ? -value : value;
}

std::optional<double> ParseWholeFloat(std::string_view text) {
    std::string copy(Trimmed(text));
    for (char& c : copy)
        if (c == ',')
            c = '.';
    std::string_view rest = copy;
    bool negative = false;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty() || !(IsDigit(rest[0]) || (rest[0] == '.' && rest.size() > 1 && IsDigit(rest[1]))))
        return std::nullopt;
    double value = 0;
    const auto result =
        std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != rest.data() + rest.size())
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<int> ParseDate(std::string_view text) {
    int digits[8];
    int count = 0;
    for (char c : text)
        if (IsDigit(c) && count < 8)
            digits[count++] = c - '0';
    if (count < 7)
        return std::nullopt;
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5];
    const int day = count == 7 ? digits[6] : digits[6] * 10 + digits[7];
    if (!IsValidCivil(year, month, day))
        return std::nullopt;
    return DaysFromCivil(year, month, day);
}

} // namespace data
