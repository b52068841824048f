#pragma once
// Where a chart's axes get their ticks, so that every label is exact: values on whole steps
// of 1, 2 or 5 times a power of ten from 0, dates on the first of a month or of a year (or
// on the test dates themselves when the chart spans less than two months).
#include <string>
#include <vector>

namespace evaluation {

// The step and the top of an axis from 0 that shows `most` with at most `maxTicks` steps.
struct ValueTicks {
    double step = 1;
    double top = 1;
};
ValueTicks NiceTicks(double most, int maxTicks, double smallestStep = 1);

struct DateTick {
    int day = 0; // days since 30 December 1899
    std::string label;
};

// At most `maxTicks` ticks between `first` and `last` (inclusive): month starts every 1, 2,
// 3 or 6 months ("März 2026"), year starts every 1, 2, 5 ... years ("2026"); with fewer than
// two of those in the range, the `dates` given (the tests, "01.03.2026").
std::vector<DateTick> DateTicks(int first, int last, int maxTicks, const std::vector<int>& dates);

// The day of the first of January of a year, and the year of a day (days since 30 December
// 1899).
int NewYearDay(int year);
int YearOfDay(int day);

} // namespace evaluation
