#include "pupil_report.h"

#include "athlete_chart.h"
#include "day_report.h"
#include "evaluation/result_tables.h"
#include "german_text.h"

#include <algorithm>

namespace ui {
namespace {

// The history on paper, without the notes.
const std::vector<ReportPainter::Column> HistoryColumns{
    {0, 0.105, Qt::AlignLeft},  {1, 0.05, Qt::AlignRight},  {2, 0.05, Qt::AlignRight},
    {3, 0.055, Qt::AlignRight}, {4, 0.06, Qt::AlignRight},  {5, 0.075, Qt::AlignRight},
    {6, 0.12, Qt::AlignLeft},   {7, 0.19, Qt::AlignLeft},   {8, 0.095, Qt::AlignRight},
    {9, 0.09, Qt::AlignRight},  {10, 0.085, Qt::AlignRight}};

QString SexWord(const std::string& sex) {
    return sex == "W" || sex == "w" ? QStringLiteral("weiblich") : QStringLiteral("männlich");
}

} // namespace

QString HealthZoneSources() {
    return QStringLiteral(
        "Gesundheitszone (10–19 Jahre): Standards der aeroben Ausdauer von FITNESSGRAM (The Cooper "
        "Institute, 2010), angewandt auf die VO2max nach der Kindergleichung von Léger, Mercier, Gadoury "
        "und Lambert (1988, Journal of Sports Sciences 6, 93–101) aus Alter und Geschwindigkeit der "
        "erreichten Stufe (der Stufe, in der der Lauf endete; 8 + 0,5 · Stufe km/h).");
}

void ComposePupilPages(ReportPainter& paper, const std::vector<PupilPage>& pages,
                       const PupilChartDrawer& chart) {
    std::vector<evaluation::ExportTable> tables;
    tables.reserve(pages.size());
    for (const PupilPage& page : pages)
        tables.push_back(evaluation::HistoryTable(page.history));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const PupilPage& page = pages[i];
        if (i > 0)
            paper.NewPage();
        const evaluation::Athlete& a = page.athlete;
        paper.Title(QStringLiteral("Fitnessbericht: %1 %2")
                        .arg(QString::fromStdString(a.firstName), QString::fromStdString(a.name))
                        .trimmed());
        paper.Paragraph(QStringLiteral("Jahrgang %1 · %2").arg(a.birthYear).arg(SexWord(a.sex)));
        paper.Gap(0.5);
        paper.Paragraph(QStringLiteral("Ergebnisse im 20-m-Pendellauf"), true);
        if (page.history.empty())
            paper.Paragraph(QStringLiteral("Noch kein Ergebnis."));
        else
            paper.Table(tables[i], HistoryColumns);
        if (AnyMarked(tables[i]))
            paper.Paragraph(MarkedRatingNote(), false, 8);
        paper.Gap(0.4);
        paper.Paragraph(ChangeSinceTestBefore(page.history));
        paper.Gap(0.8);
        paper.Chart(420.0 / 900.0,
                    [&](QPainter& painter, const QRectF& target) { chart(page, painter, target); });
        paper.Gap(0.5);
        if (std::none_of(page.history.begin(), page.history.end(),
                         [](const evaluation::HistoryEntry& h) { return h.result.date && h.age >= 13; }))
            paper.Paragraph(QStringLiteral("Unter 13 Jahren gibt die Normtabelle keine Bewertung."), false,
                            8);
        if (!page.history.empty() &&
            std::all_of(page.history.begin(), page.history.end(), [](const evaluation::HistoryEntry& h) {
                return h.result.date == 0 || h.result.level == 0 || h.zone;
            }))
            paper.Paragraph(QStringLiteral("Das Diagramm zeigt die VO2max nach der Kindergleichung in den "
                                           "Bereichen der Gesundheitszone für das Alter."),
                            false, 8);
        paper.Paragraph(QStringLiteral("Gesundheitszone nach FITNESSGRAM (Cooper Institute 2010), VO2max "
                                       "dafür nach Léger u. a. (1988)."),
                        false, 8);
    }
}

QByteArray PupilReportPdf(const QString& title, const std::vector<PupilPage>& pages,
                          const PupilChartDrawer& chart) {
    if (pages.empty())
        return {};
    return ReportPainter::Pdf(title, [&](ReportPainter& paper) { ComposePupilPages(paper, pages, chart); });
}

} // namespace ui
