#pragma once
// The handout of a class's test day: one PDF with the class page first (the summary, how
// many ran further than at the class's previous test day, the ranking, each pupil against
// that day, the day's ratings and the trend over the class's test days), then a page per
// pupil as the pupil reports have it.
#include "evaluation/class_comparison.h"
#include "pupil_report.h"
#include "report_painter.h"

#include <QByteArray>
#include <QString>

namespace ui {

struct ClassReportContent {
    QString groupName;
    evaluation::DayReport day;
    evaluation::ClassComparison comparison;
    std::vector<PupilPage> pupils;
};

QByteArray ClassReportPdf(const ClassReportContent& content, const ReportPainter::ChartDrawer& ratingChart,
                          const ReportPainter::ChartDrawer& trendChart, const PupilChartDrawer& pupilChart);

} // namespace ui
