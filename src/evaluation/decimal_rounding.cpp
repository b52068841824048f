#include "decimal_rounding.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace evaluation {

std::string RoundedDecimalText(double value, int decimals) {
    if (!std::isfinite(value))
        return "0";
    decimals = decimals < 0 ? 0 : (decimals > 6 ? 6 : decimals);
    // Nine decimals hold every value the program computes (one decimal from the tables,
    // means and medians of them) exactly and drop the binary noise below; the rounding to
    // `decimals` is then done on those digits.
    char buffer[400]; // the largest double has 309 digits before the point
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed, 9);
    std::string digits(buffer, written.ptr);
    const std::size_t point = digits.find('.');
    std::string kept = digits.substr(0, point + 1 + static_cast<std::size_t>(decimals));
    if (decimals == 0)
        kept.pop_back(); // the point
    if (digits[point + 1 + static_cast<std::size_t>(decimals)] >= '5') {
        // Half away from zero: one more in the last kept digit, carried to the left.
        std::size_t i = kept.size();
        for (;;) {
            if (i == 0) {
                kept.insert(kept.begin(), '1');
                break;
            }
            --i;
            if (kept[i] == '.')
                continue;
            if (kept[i] == '9') {
                kept[i] = '0';
                continue;
            }
            ++kept[i];
            break;
        }
    }
    const bool zero = kept.find_first_not_of("0.") == std::string::npos;
    return (value < 0 && !zero ? "-" : "") + kept;
}

double RoundedDecimal(double value, int decimals) {
    return std::strtod(RoundedDecimalText(value, decimals).c_str(), nullptr);
}

} // namespace evaluation
