// The evaluation window's way out: the shown table and all results as CSV or spreadsheet,
// the test day's report as PDF or to the printer, the reports per pupil as PDF.
#include "evaluation_window.h"

#include "athlete_chart.h"
#include "chart_view.h"
#include "class_report.h"
#include "data/data_file.h"
#include "data/date_value.h"
#include "day_report.h"
#include "evaluation/csv_export.h"
#include "evaluation/result_tables.h"
#include "evaluation/xlsx_export.h"
#include "german_text.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "pupil_report.h"
#include "ranking_sort.h"
#include "ui/grouptest/groups_page.h"
#include "ui/widgets/background_work.h"
#include "ui/widgets/guard.h"

#include <QCollator>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>
#include <QTableView>

namespace {

// The size the report charts are laid out at before they are scaled onto the page.
const QSize ReportChartSize(900, 420);

std::string IsoDate(int days) {
    const std::string german = data::FormatGermanDate(days); // dd.MM.yyyy
    return german.substr(6, 4) + "-" + german.substr(3, 2) + "-" + german.substr(0, 2);
}

std::string Today() {
    return IsoDate(platform::Clock().Today());
}

// A name as part of a file name: letters and digits, the rest as "-".
std::string FileNamePart(const std::string& utf8) {
    QString part;
    for (const QChar c : QString::fromStdString(utf8))
        part += c.isLetterOrNumber() ? c : QLatin1Char('-');
    return part.toStdString();
}

} // namespace

namespace ui {

// ----- export -----

evaluation::ExportTable EvaluationWindow::ShownTable() const {
    if (m_tabs->currentIndex() == 0)
        return evaluation::HistoryTable(m_shownHistory);
    // The ranking in the order the view shows it.
    const evaluation::ExportTable all = evaluation::DayTable(m_dayReport, true);
    evaluation::ExportTable shown = all;
    shown.rows.clear();
    for (int row = 0; row < m_rankingSort->rowCount(); ++row)
        shown.rows.push_back(all.rows[static_cast<std::size_t>(
            m_rankingSort->mapToSource(m_rankingSort->index(row, 0)).row())]);
    return shown;
}

evaluation::ExportTable EvaluationWindow::AllResults() const {
    return evaluation::AllResultsTable(OfChosenGroup(m_data.results), m_data.athletes);
}

std::string EvaluationWindow::ShownTableCsv() const {
    return evaluation::CsvOf(ShownTable());
}

std::string EvaluationWindow::AllResultsCsv() const {
    return evaluation::AllResultsCsv(OfChosenGroup(m_data.results), m_data.athletes);
}

void EvaluationWindow::WriteExport(const std::string& suggestedName, const std::string& filter,
                                   const std::function<std::string()>& makeBytes) {
    const std::string path = platform::Dialogs().AskSaveFileName(suggestedName, filter);
    if (path.empty())
        return;
    // A file that cannot be written: its message, nothing else.
    data::WriteFileSafely(path, makeBytes());
    m_status->setText(QStringLiteral("Gespeichert: %1").arg(QString::fromStdString(path)));
}

namespace {

std::string ShownTableName(const QTabWidget& tabs, int day, const char* extension) {
    const std::string date = tabs.currentIndex() == 1 && day > 0 ? IsoDate(day) : Today();
    return "Auswertung-" + date + extension;
}

} // namespace

void EvaluationWindow::ExportShownTable() {
    WriteExport(ShownTableName(*m_tabs, ChosenDay(), ".csv"), "CSV-Dateien (*.csv)",
                [this] { return ShownTableCsv(); });
}

void EvaluationWindow::ExportAllResults() {
    WriteExport("Auswertung-" + Today() + ".csv", "CSV-Dateien (*.csv)", [this] { return AllResultsCsv(); });
}

void EvaluationWindow::ExportShownTableXlsx() {
    if (m_tabs->currentWidget() == m_groupsPage) {
        platform::Dialogs().ShowMessage("Bitte zuerst die Seite „Sportler“ oder „Testtag“ wählen.");
        return;
    }
    WriteExport(ShownTableName(*m_tabs, ChosenDay(), ".xlsx"), "Excel-Dateien (*.xlsx)",
                [this] { return SpreadsheetBytes(ShownTable()); });
}

void EvaluationWindow::ExportAllResultsXlsx() {
    WriteExport("Auswertung-" + Today() + ".xlsx", "Excel-Dateien (*.xlsx)",
                [this] { return SpreadsheetBytes(AllResults()); });
}

std::string EvaluationWindow::SpreadsheetBytes(const evaluation::ExportTable& table) {
    // Tens of thousands of results take a second: the window keeps painting meanwhile.
    std::string bytes;
    RunOffTheWindow(this, QStringLiteral("Die Tabelle wird geschrieben …"),
                    [&] { bytes = evaluation::XlsxBytes(table); });
    return bytes;
}

void EvaluationWindow::DrawRatingChart(QPainter& painter, const QRectF& target) {
    ChartView chart;
    chart.ShowRatingCounts(QStringLiteral("Bewertungen"), m_dayReport.ratingCounts);
    chart.RenderInto(painter, target, ReportChartSize);
}

QByteArray EvaluationWindow::ReportPdf() {
    if (ChosenDay() < 0)
        return {};
    return ui::DayReportPdf(
        m_dayReport, [this](QPainter& painter, const QRectF& target) { DrawRatingChart(painter, target); });
}

bool EvaluationWindow::RefuseWithoutDay() {
    if (ChosenDay() >= 0)
        return false;
    platform::Dialogs().ShowMessage("Es gibt noch keinen Testtag mit Ergebnissen.");
    return true;
}

void EvaluationWindow::SaveReportPdf() {
    if (RefuseWithoutDay())
        return;
    const QByteArray pdf = ReportPdf();
    WriteExport("Auswertung-" + IsoDate(ChosenDay()) + ".pdf", "PDF-Dateien (*.pdf)",
                [&pdf] { return pdf.toStdString(); });
}

void EvaluationWindow::PrintReport() {
    if (RefuseWithoutDay())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Testtag drucken"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    ui::DrawDayReport(printer, m_dayReport,
                      [this](QPainter& painter, const QRectF& target) { DrawRatingChart(painter, target); });
}

std::vector<PupilPage> EvaluationWindow::DayPupilPages() const {
    std::vector<PupilPage> pages;
    const int day = ChosenDay();
    if (day < 0)
        return pages;
    // In the order of the athlete list: by name, easy to hand out.
    std::vector<const evaluation::Athlete*> athletes;
    for (const evaluation::Result& r : OfChosenGroup(m_data.ResultsOn(day)))
        if (const auto found = m_data.athletes.find(r.athleteId); found != m_data.athletes.end())
            athletes.push_back(&found->second);
    QCollator collator(QLocale(QLocale::German, QLocale::Germany));
    std::sort(athletes.begin(), athletes.end(),
              [&](const evaluation::Athlete* a, const evaluation::Athlete* b) {
                  const int byName =
                      collator.compare(QString::fromStdString(a->name), QString::fromStdString(b->name));
                  return byName != 0 ? byName < 0
                                     : collator.compare(QString::fromStdString(a->firstName),
                                                        QString::fromStdString(b->firstName)) < 0;
              });
    athletes.erase(std::unique(athletes.begin(), athletes.end()), athletes.end());
    for (const evaluation::Athlete* a : athletes)
        pages.push_back({*a, evaluation::AthleteHistory(*a, m_data.ResultsOf(a->id))});
    return pages;
}

void EvaluationWindow::DrawPupilChart(ChartView& chart, const PupilPage& page, QPainter& painter,
                                      const QRectF& target) {
    ShowAthleteProgress(chart, page.athlete, page.history);
    chart.RenderInto(painter, target, ReportChartSize);
}

QByteArray EvaluationWindow::PupilReportPdf(bool wholeDay) {
    std::vector<PupilPage> pages;
    QString title;
    if (wholeDay) {
        if (ChosenDay() < 0)
            return {};
        pages = DayPupilPages();
        title = QStringLiteral("Berichte vom Testtag %1").arg(GermanDate(ChosenDay()));
    } else {
        const evaluation::Athlete* a = ChosenAthlete();
        if (!a)
            return {};
        pages.push_back({*a, evaluation::AthleteHistory(*a, m_data.ResultsOf(a->id))});
        title = QStringLiteral("Bericht für %1 %2")
                    .arg(QString::fromStdString(a->firstName), QString::fromStdString(a->name));
    }
    // One chart for these pages, made for them: one that drew another export would keep
    // that one's axes.
    ChartView chart;
    return ui::PupilReportPdf(title, pages,
                              [&chart](const PupilPage& page, QPainter& painter, const QRectF& target) {
                                  DrawPupilChart(chart, page, painter, target);
                              });
}

// ----- the class's handout -----

evaluation::ClassComparison EvaluationWindow::Comparison() const {
    return evaluation::CompareWithPreviousDay(ChosenDay(), OfChosenGroup(m_data.results), m_data.athletes);
}

evaluation::ExportTable EvaluationWindow::ClassTable() const {
    evaluation::ExportTable table = evaluation::ClassTable(m_dayReport, Comparison());
    table.title = m_groupFilter->currentText().toStdString();
    return table;
}

QByteArray EvaluationWindow::ClassReportPdf() {
    if (!m_groupId || ChosenDay() < 0)
        return {};
    ClassReportContent content{m_groupFilter->currentText(), m_dayReport, Comparison(), DayPupilPages()};
    // Each chart made for this report (a chart that drew another export keeps its axes).
    ChartView trend;
    ChartView pupilChart;
    return ui::ClassReportPdf(
        content, [this](QPainter& painter, const QRectF& target) { DrawRatingChart(painter, target); },
        [&](QPainter& painter, const QRectF& target) {
            ShowTrend(trend, OfChosenGroup(m_data.results));
            trend.RenderInto(painter, target, ReportChartSize);
        },
        [&pupilChart](const PupilPage& page, QPainter& painter, const QRectF& target) {
            DrawPupilChart(pupilChart, page, painter, target);
        });
}

void EvaluationWindow::SaveClassReport() {
    if (!m_groupId) {
        platform::Dialogs().ShowMessage("Bitte zuerst links unter „Gruppe“ die Klasse wählen.");
        return;
    }
    if (RefuseWithoutDay())
        return;
    const std::string base = "Klassenbericht-" + FileNamePart(m_groupFilter->currentText().toStdString()) +
                             "-" + IsoDate(ChosenDay());
    std::string path = platform::Dialogs().AskSaveFileName(base + ".pdf", "PDF-Dateien (*.pdf)");
    if (path.empty())
        return;
    if (!path.ends_with(".pdf"))
        path += ".pdf";
    // The spreadsheet beside the PDF, under the same name.
    const std::string sheetPath = path.substr(0, path.size() - 4) + ".xlsx";
    const std::string pdf = ClassReportPdf().toStdString();
    const std::string sheet = SpreadsheetBytes(ClassTable());
    data::WriteFileSafely(path, pdf);
    data::WriteFileSafely(sheetPath, sheet);
    m_status->setText(QStringLiteral("Gespeichert: %1 und %2")
                          .arg(QString::fromStdString(path), QString::fromStdString(sheetPath)));
    platform::Dialogs().ShowMessage("Der Klassenbericht ist gespeichert:\n" + path + "\n" + sheetPath);
}

void EvaluationWindow::SavePupilReport() {
    const evaluation::Athlete* a = ChosenAthlete();
    if (!a) {
        platform::Dialogs().ShowMessage("Bitte zuerst auf der Seite „Sportler“ einen Sportler wählen.");
        return;
    }
    const QByteArray pdf = PupilReportPdf(false);
    WriteExport("Bericht-" + FileNamePart(a->name + "-" + a->firstName) + ".pdf", "PDF-Dateien (*.pdf)",
                [&pdf] { return pdf.toStdString(); });
}

void EvaluationWindow::SaveDayPupilReports() {
    if (RefuseWithoutDay())
        return;
    const QByteArray pdf = PupilReportPdf(true);
    if (pdf.isEmpty()) {
        platform::Dialogs().ShowMessage("Zu den Ergebnissen dieses Testtags gibt es keine Sportler mehr.");
        return;
    }
    WriteExport("Berichte-" + IsoDate(ChosenDay()) + ".pdf", "PDF-Dateien (*.pdf)",
                [&pdf] { return pdf.toStdString(); });
}

} // namespace ui
