#pragma once
// The evaluation window ("Auswertung"): how each athlete did against the norms for their sex
// and age, and who improved since the last test (the athlete page); how a class did on a
// test day (the test-day page). It reloads the results table at every opening, as the
// results window does, so posted results are included. The shown table goes out as CSV
// for a spreadsheet with German settings, all results too; a test day's report as a PDF
// file or to the printer.
#include "evaluation_data.h"

#include <QDialog>

class TDM1;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTabWidget;
class QTableView;

namespace ui {

class ChartView;

class EvaluationWindow : public QDialog {
    Q_OBJECT
public:
    explicit EvaluationWindow(TDM1& dataModule, QWidget* parent = nullptr);
    ~EvaluationWindow() override;

    // Each opening: the results reloaded, the lists filled anew.
    void FormActivate();

    // The handlers of the controls.
    void SearchChanged(const QString& text);
    void AthleteChosen();
    void DayChosen();
    void ExportShownTable();
    void ExportAllResults();
    void SaveReportPdf();
    void PrintReport();

    // For tests and the benchmark.
    const EvaluationData& Data() const { return m_data; }
    QTabWidget* Pages() const { return m_tabs; }
    QLineEdit* Search() const { return m_search; }
    QListWidget* AthleteList() const { return m_athletes; }
    QListWidget* DayList() const { return m_days; }
    QTableView* HistoryView() const { return m_history; }
    QTableView* RankingView() const { return m_ranking; }
    QLabel* ChangeLabel() const { return m_change; }
    QLabel* SummaryLabel() const { return m_summary; }
    ChartView* ProgressChart() const { return m_progressChart; }
    ChartView* RatingChart() const { return m_ratingChart; }
    // The CSV bytes of the shown table, and of all results.
    std::string ShownTableCsv() const;
    std::string AllResultsCsv() const;
    // The report of the chosen day as PDF bytes (empty when no day is chosen).
    QByteArray ReportPdf();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildAthletePage(QWidget* page);
    void BuildDayPage(QWidget* page);
    void FillAthletes();
    void FillDays();
    int ChosenDay() const;
    void WriteExport(const std::string& suggestedName, const std::string& filter, const std::string& bytes);

    TDM1& m_dataModule;
    EvaluationData m_data;
    evaluation::DayReport m_dayReport;
    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_search = nullptr;
    QListWidget* m_athletes = nullptr;
    QLabel* m_athleteTitle = nullptr;
    QTableView* m_history = nullptr;
    QStandardItemModel* m_historyModel = nullptr;
    QLabel* m_change = nullptr;
    ChartView* m_progressChart = nullptr;
    QListWidget* m_days = nullptr;
    QLabel* m_dayTitle = nullptr;
    QTableView* m_ranking = nullptr;
    QStandardItemModel* m_rankingModel = nullptr;
    QSortFilterProxyModel* m_rankingSort = nullptr;
    QLabel* m_summary = nullptr;
    ChartView* m_ratingChart = nullptr;
    ChartView* m_reportChart = nullptr; // drawn off screen for the report
    QLabel* m_status = nullptr;
};

} // namespace ui
