#include "chart_ticks.h"

#include "data/date_value.h"

#include <algorithm>
#include <cmath>

namespace evaluation {
namespace {

const char* const MonthNames[12] = {"Jan.", "Feb.", "März",  "Apr.", "Mai",  "Juni",
                                    "Juli", "Aug.", "Sept.", "Okt.", "Nov.", "Dez."};

} // namespace

ValueTicks NiceTicks(double most, int maxTicks, double smallestStep) {
    most = std::max(most, smallestStep);
    maxTicks = std::max(1, maxTicks);
    for (double power = 1;; power *= 10)
        for (double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * power;
            if (step < smallestStep)
                continue;
            const double top = std::ceil(most / step - 1e-9) * step;
            if (top / step <= maxTicks + 1e-9)
                return {step, top};
        }
}

int NewYearDay(int year) {
    return data::DaysFromCivil(year, 1, 1);
}

int YearOfDay(int day) {
    return data::CivilFromDays(day).year;
}

std::vector<DateTick> DateTicks(int first, int last, int maxTicks, const std::vector<int>& dates) {
    std::vector<DateTick> ticks;
    if (last < first)
        return ticks;
    const data::CivilDate from = data::CivilFromDays(first);
    // Months since year 0 of the first month start at or after `first`.
    int startMonth = from.year * 12 + from.month - 1;
    if (from.day != 1)
        ++startMonth;
    for (int step : {1, 2, 3, 6, 12, 24, 60, 120, 240, 600}) {
        std::vector<DateTick> candidate;
        int month = (startMonth + step - 1) / step * step; // a multiple of the step: Jan., Apr. ...
        for (;; month += step) {
            const int day = data::DaysFromCivil(month / 12, month % 12 + 1, 1);
            if (day > last)
                break;
            const std::string year = std::to_string(month / 12);
            candidate.push_back({day, step >= 12 ? year : std::string(MonthNames[month % 12]) + " " + year});
        }
        if (static_cast<int>(candidate.size()) <= maxTicks) {
            if (candidate.size() >= 2)
                return candidate;
            break;
        }
    }
    // Less than two month starts: the test dates, as many as fit, spread evenly.
    std::vector<int> inRange;
    for (int d : dates)
        if (d >= first && d <= last && (inRange.empty() || inRange.back() != d))
            inRange.push_back(d);
    std::sort(inRange.begin(), inRange.end());
    inRange.erase(std::unique(inRange.begin(), inRange.end()), inRange.end());
    const std::size_t keep =
        std::min<std::size_t>(inRange.size(), static_cast<std::size_t>(std::max(1, maxTicks)));
    for (std::size_t k = 0; k < keep; ++k) {
        const int d = inRange[keep == 1 ? 0 : k * (inRange.size() - 1) / (keep - 1)];
        ticks.push_back({d, data::FormatGermanDate(d)});
    }
    return ticks;
}

} // namespace evaluation
