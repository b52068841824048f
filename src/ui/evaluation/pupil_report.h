#pragma once
// The report for handing out, a page per athlete (more when the results need them): name,
// birth year and sex, every result with date, level, shuttle, metres, VO2max, rating and
// health zone, the change since the test before, and the history chart over the norm bands.
#include "evaluation/results_analysis.h"
#include "report_painter.h"

namespace ui {

struct PupilPage {
    evaluation::Athlete athlete;
    std::vector<evaluation::HistoryEntry> history;
};

// Draws the chart of a page's athlete into a painter's rectangle.
using PupilChartDrawer = std::function<void(const PupilPage&, QPainter&, const QRectF&)>;

// The pages, each on a new page but the first.
void ComposePupilPages(ReportPainter& paper, const std::vector<PupilPage>& pages,
                       const PupilChartDrawer& chart);

// Nothing for no pages.
QByteArray PupilReportPdf(const QString& title, const std::vector<PupilPage>& pages,
                          const PupilChartDrawer& chart);

// What the health zone is and where it comes from, for the report's foot and the help.
QString HealthZoneSources();

} // namespace ui
