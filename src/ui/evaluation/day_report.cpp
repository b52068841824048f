#include "day_report.h"

#include <algorithm>

#include "evaluation/result_tables.h"
#include "german_text.h"

namespace ui {
namespace {

// The ranking on paper, without the notes.
const std::vector<ReportPainter::Column> RankingColumns{
    {0, 0.045, Qt::AlignRight}, {1, 0.135, Qt::AlignLeft},  {2, 0.025, Qt::AlignHCenter},
    {3, 0.075, Qt::AlignRight}, {4, 0.045, Qt::AlignRight}, {5, 0.05, Qt::AlignRight},
    {6, 0.06, Qt::AlignRight},  {7, 0.05, Qt::AlignRight},  {8, 0.075, Qt::AlignRight},
    {9, 0.105, Qt::AlignLeft},  {10, 0.205, Qt::AlignLeft}, {11, 0.125, Qt::AlignRight}};

} // namespace

bool AnyMarked(const evaluation::ExportTable& table) {
    for (const auto& row : table.rows)
        for (const auto& cell : row)
            if (!cell.note.empty())
                return true;
    return false;
}

QStringList SummaryNotes(const evaluation::DayReport& report) {
    QStringList notes;
    if (report.all.withoutValue > 0)
        notes << QStringLiteral("%1 Ergebnis%2 ohne VO2max-Wert (Level 1–3 oder außerhalb der Tabelle): "
                                "mitgezählt, aber nicht in Mittelwert, Median und Bestwert.")
                     .arg(report.all.withoutValue)
                     .arg(report.all.withoutValue == 1 ? "" : "se");
    if (report.zoned > 0)
        notes << QStringLiteral(
                     "Gesundheitszone (10–19 Jahre): %1 von %2 · Verbesserung nötig: %3 · Risiko: %4")
                     .arg(report.zoneCounts[0])
                     .arg(report.zoned)
                     .arg(report.zoneCounts[1])
                     .arg(report.zoneCounts[2]);
    // The two judgements side by side can disagree; each says what it measures against.
    notes << QStringLiteral(
        "Bewertung: nach der Normtabelle für Erwachsene (ab 13 Jahren). "
        "Gesundheitszone: nach dem Gesundheitsstandard für das Alter (10–19 Jahre), mit der "
        "VO2max der Kindergleichung in der Spalte „VO2max (Zone)“.");
    if (std::any_of(report.ranking.begin(), report.ranking.end(),
                    [](const evaluation::DayEntry& e) { return !e.zone; }))
        notes << QStringLiteral("„–“ bei der Gesundheitszone: unter 10 oder über 19 Jahre, ohne Datum oder "
                                "ohne Geschlecht W/M.");
    return notes;
}

QString MarkedRatingNote() {
    return QStringLiteral("* Gespeicherte Bewertung; nach den heutigen Angaben zum Sportler (Jahrgang, "
                          "Geschlecht) wäre es eine andere.");
}

void ComposeDaySummary(ReportPainter& page, const evaluation::DayReport& report) {
    page.Paragraph(QStringLiteral("Zusammenfassung (VO2max in ml/kg/min)"), true);
    page.Paragraph(QStringLiteral("Alle: ") + StatsLine(report.all));
    page.Paragraph(QStringLiteral("Frauen: ") + StatsLine(report.women));
    page.Paragraph(QStringLiteral("Männer: ") + StatsLine(report.men));
    for (const QString& note : SummaryNotes(report))
        page.Paragraph(note, false, 9);
}

void ComposeRanking(ReportPainter& page, const evaluation::ExportTable& ranking) {
    page.Paragraph(QStringLiteral("Rangliste"), true);
    page.Table(ranking, RankingColumns);
    if (AnyMarked(ranking))
        page.Paragraph(MarkedRatingNote(), false, 8);
}

namespace {

// The report's pages, for the printer and for the PDF file alike.
std::function<void(ReportPainter&)> DayReportPages(const evaluation::DayReport& report,
                                                   const ReportPainter::ChartDrawer& ratingChart) {
    return [&report, ratingChart, ranking = evaluation::DayTable(report, false)](ReportPainter& page) {
        page.Title(QStringLiteral("Auswertung des Testtags %1").arg(GermanDate(report.date)));
        ComposeDaySummary(page, report);
        page.Gap(0.8);
        ComposeRanking(page, ranking);
        page.Gap(1);
        page.Chart(420.0 / 900.0, ratingChart);
    };
}

} // namespace

void DrawDayReport(QPagedPaintDevice& device, const evaluation::DayReport& report,
                   const ReportPainter::ChartDrawer& ratingChart) {
    ReportPainter::Draw(device, DayReportPages(report, ratingChart));
}

QByteArray DayReportPdf(const evaluation::DayReport& report, const ReportPainter::ChartDrawer& ratingChart) {
    return ReportPainter::Pdf(QStringLiteral("Auswertung %1").arg(GermanDate(report.date)),
                              DayReportPages(report, ratingChart));
}

} // namespace ui
