#pragma once
// The printable report of a test day: the title with the date, the summary (with the health
// zone of the pupils of 10 to 19), the ranking over as many pages as it needs, and the chart
// of the ratings as vector graphics.
#include "evaluation/results_analysis.h"
#include "report_painter.h"

#include <QStringList>

namespace ui {

void DrawDayReport(QPagedPaintDevice& device, const evaluation::DayReport& report,
                   const ReportPainter::ChartDrawer& ratingChart);

// Pieces of the report for other reports: the summary with its notes, and the ranking
// with its heading (and the note on marked ratings).
void ComposeDaySummary(ReportPainter& page, const evaluation::DayReport& report);
void ComposeRanking(ReportPainter& page, const evaluation::ExportTable& ranking);

// The report as the bytes of a PDF file (A4, portrait).
QByteArray DayReportPdf(const evaluation::DayReport& report, const ReportPainter::ChartDrawer& ratingChart);

// What the summary says under its numbers: results without a VO2max value, and how many of
// the day's pupils of 10 to 19 are in the health zone; empty when there is nothing to say.
QStringList SummaryNotes(const evaluation::DayReport& report);

// Whether a table holds a rating marked " *", and the footnote that explains the mark.
bool AnyMarked(const evaluation::ExportTable& table);
QString MarkedRatingNote();

} // namespace ui
