#include "athlete_chart.h"

#include "evaluation/chart_ticks.h"
#include "evaluation/health_zone.h"
#include "german_text.h"

#include <cmath>

namespace ui {
namespace {

QString Signed(double value, int decimals) {
    evaluation::ExportCell cell = decimals ? evaluation::ExportCell::Number(value, decimals)
                                           : evaluation::ExportCell::Integer(std::llround(value));
    cell.withSign = true;
    return ShownText(cell);
}

} // namespace

std::vector<ChartView::NormStep> NormSteps(const evaluation::Athlete& athlete, int firstTest, int lastTest) {
    const auto [first, last] = ChartView::ProgressRange(firstTest, lastTest);
    std::vector<ChartView::NormStep> norms;
    for (const evaluation::NormYears& years : evaluation::NormsOverYears(
             athlete.sex, athlete.birthYear, evaluation::YearOfDay(first), evaluation::YearOfDay(last)))
        norms.push_back({std::max(first, evaluation::NewYearDay(years.fromYear)), years.bounds});
    return norms;
}

std::vector<ChartView::ZoneStep> ZoneSteps(const evaluation::Athlete& athlete, int firstTest, int lastTest) {
    const auto [first, last] = ChartView::ProgressRange(firstTest, lastTest);
    std::vector<ChartView::ZoneStep> steps;
    // The age at a test is the year's, so the bounds step on the first of January.
    for (int year = evaluation::YearOfDay(first); year <= evaluation::YearOfDay(last); ++year)
        if (const auto bounds =
                evaluation::ZoneBounds(athlete.sex, evaluation::AgeAtTest(athlete.birthYear, year)))
            steps.push_back({std::max(first, evaluation::NewYearDay(year)), bounds->first, bounds->second});
    return steps;
}

void ShowAthleteProgress(ChartView& chart, const evaluation::Athlete& athlete,
                         const std::vector<evaluation::HistoryEntry>& history) {
    // A pupil of 10 to 19 at every test: the children's equation's VO2max against the health
    // zone of the age, not the adults' norms.
    std::vector<ChartView::ProgressPoint> zonePoints;
    bool allZoned = true;
    for (const evaluation::HistoryEntry& h : history)
        if (h.result.date != 0 && h.result.level > 0) {
            if (!h.zone || !h.childVo2)
                allZoned = false;
            else
                zonePoints.push_back({h.result.date, *h.childVo2});
        }
    if (allZoned && !zonePoints.empty()) {
        chart.ShowZoneProgress(QStringLiteral("VO2max nach der Kindergleichung und Gesundheitszone"),
                               zonePoints,
                               ZoneSteps(athlete, zonePoints.front().date, zonePoints.back().date));
        return;
    }
    std::vector<ChartView::ProgressPoint> points;
    for (const evaluation::HistoryEntry& h : history)
        if (h.result.Comparable())
            points.push_back({h.result.date, h.result.vo2max});
    chart.ShowProgress(QStringLiteral("VO2max im Vergleich mit den Normen"), points,
                       points.empty() ? std::vector<ChartView::NormStep>()
                                      : NormSteps(athlete, points.front().date, points.back().date));
}

QString ChangeSinceTestBefore(const std::vector<evaluation::HistoryEntry>& history) {
    if (history.empty())
        return QStringLiteral("Noch kein Ergebnis.");
    if (const auto change = evaluation::LatestChange(history))
        return QStringLiteral("Seit dem Test davor: %1 VO2max, %2 Bahnen")
            .arg(Signed(change->vo2, 1), Signed(change->shuttles, 0));
    return QStringLiteral("Noch kein Vergleich: es braucht zwei Tests mit Datum und VO2max-Wert.");
}

} // namespace ui
