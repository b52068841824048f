#include "class_report.h"

#include "day_report.h"
#include "evaluation/result_tables.h"
#include "german_text.h"

namespace ui {
namespace {

const std::vector<ReportPainter::Column> ComparisonColumns{
    {0, 0.2, Qt::AlignLeft},   {1, 0.08, Qt::AlignRight}, {2, 0.09, Qt::AlignRight},
    {3, 0.09, Qt::AlignRight}, {4, 0.09, Qt::AlignRight}, {5, 0.08, Qt::AlignRight},
    {6, 0.07, Qt::AlignRight}, {7, 0.1, Qt::AlignRight},  {8, 0.1, Qt::AlignRight},
    {9, 0.1, Qt::AlignRight}};

} // namespace

QByteArray ClassReportPdf(const ClassReportContent& content, const ReportPainter::ChartDrawer& ratingChart,
                          const ReportPainter::ChartDrawer& trendChart, const PupilChartDrawer& pupilChart) {
    const evaluation::ExportTable ranking = evaluation::DayTable(content.day, false);
    const evaluation::ExportTable comparison = evaluation::ComparisonTable(content.comparison);
    const QString date = GermanDate(content.day.date);
    return ReportPainter::Pdf(
        QStringLiteral("Klassenbericht %1 %2").arg(content.groupName, date), [&](ReportPainter& paper) {
            paper.Title(QStringLiteral("Klassenbericht %1 · Testtag %2").arg(content.groupName, date));
            ComposeDaySummary(paper, content.day);
            paper.Gap(0.8);
            ComposeRanking(paper, ranking);
            paper.Gap(0.8);
            if (content.comparison.previousDate) {
                paper.Paragraph(QStringLiteral("Vergleich mit dem Testtag %1")
                                    .arg(GermanDate(content.comparison.previousDate)),
                                true);
                paper.Paragraph(QString::fromStdString(evaluation::DevelopmentLine(content.comparison)));
                paper.Table(comparison, ComparisonColumns);
                paper.Paragraph(
                    QStringLiteral("L/R: Level/Runde · m: Meter · VO2: VO2max in ml/kg/min. Weiter, "
                                   "gleich weit oder weniger weit: nach den gelaufenen Metern, aus "
                                   "denen auch VO2max und Bewertung folgen."),
                    false, 8);
            } else {
                paper.Paragraph(QStringLiteral("Der erste Testtag dieser Gruppe: noch kein Vergleich."));
            }
            paper.Gap(1);
            paper.Chart(420.0 / 900.0, ratingChart);
            paper.Gap(0.5);
            paper.Chart(420.0 / 900.0, trendChart);
            if (!content.pupils.empty()) {
                paper.NewPage();
                ComposePupilPages(paper, content.pupils, pupilChart);
            }
        });
}

} // namespace ui
