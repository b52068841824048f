#pragma once
// An athlete's history on the progress chart: the tests with a date and a VO2max value,
// over the norm bands of the athlete's age group, stepping on the first of January of each
// year the age group changes (the rating counts the age by the calendar year); and what
// changed since the test before, in words.
#include "evaluation/results_analysis.h"

#include "chart_view.h"

#include <QString>

namespace ui {

// The norms over the span the chart shows for tests from `firstTest` to `lastTest`.
std::vector<ChartView::NormStep> NormSteps(const evaluation::Athlete& athlete, int firstTest, int lastTest);
// The health zone's bounds over the same span, for a pupil of 10 to 19.
std::vector<ChartView::ZoneStep> ZoneSteps(const evaluation::Athlete& athlete, int firstTest, int lastTest);

void ShowAthleteProgress(ChartView& chart, const evaluation::Athlete& athlete,
                         const std::vector<evaluation::HistoryEntry>& history);

// "Seit dem Test davor: +10,4 VO2max, +30 Bahnen", or why there is no change to tell.
QString ChangeSinceTestBefore(const std::vector<evaluation::HistoryEntry>& history);

} // namespace ui
