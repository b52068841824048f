#pragma once
// The printable report of a test day, drawn by one function onto any paged device, so that
// the PDF file and the printer get the same pages: the title with the date, the summary,
// the ranking over as many pages as it needs with its header on each, and the chart of
// the ratings; a page number at the foot of every page.
#include "evaluation/results_analysis.h"

#include <QByteArray>
#include <QImage>

class QPagedPaintDevice;

namespace ui {

void DrawDayReport(QPagedPaintDevice& device, const evaluation::DayReport& report, const QImage& ratingChart);

// The report as the bytes of a PDF file (A4, portrait).
QByteArray DayReportPdf(const evaluation::DayReport& report, const QImage& ratingChart);

// Numbers and texts as the windows and reports show them.
QString GermanNumber(double value, int decimals);
QString GermanDate(int days);
QString StatsLine(const evaluation::Stats& stats);

} // namespace ui
