#pragma once
// The evaluation window ("Auswertung"): how each athlete did against the norms for their sex
// and age and, from 10 to 19 years, the health zone; who improved since the last test (the
// athlete page); how a class did on a test day and over its test days (the test-day page).
// It reads the tables as they are loaded, so posted results are included and opening does
// not depend on the size of the files. The shown table, or all results, goes out as CSV for
// a spreadsheet with German settings or as a spreadsheet file; a test day's report as a PDF
// file or to the printer; a report per pupil as a PDF file.
#include "evaluation/class_comparison.h"
#include "evaluation/export_table.h"
#include "evaluation_data.h"
#include "pupil_report.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <unordered_set>

class TDM1;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QStandardItemModel;
class QTabWidget;
class QTableView;

namespace ui {

class ChartView;
class GroupsPage;
class QuietTimeRefresh;
class RankingSortModel;

class EvaluationWindow : public QDialog {
    Q_OBJECT
public:
    explicit EvaluationWindow(TDM1& dataModule, QWidget* parent = nullptr);
    ~EvaluationWindow() override;

    // Each opening: the tables read as they stand and the lists filled anew, when either
    // table changed since the last reading; otherwise the window shows what it showed.
    void FormActivate();
    // Once the program has started and its tables are open: the reading and the window's
    // first layout done ahead, so that even the first opening is quick. Opens no file and
    // shows nothing.
    void PrepareInAdvance();
    // Whether the reading after a change may run now (not while a test is paced).
    void SetMayPrepareNow(std::function<bool()> mayPrepareNow);
    // A change is waiting to be read at the next quiet moment (for tests).
    bool PreparationPending() const;

    // Asked for from the page "Gruppen": a group test of a group, prepared once this window
    // has closed (the roster stands beside the main window, which must be usable).
    std::function<void(std::int64_t groupId)> onPrepareGroupTest;

    // The handlers of the controls.
    void SearchChanged(const QString& text);
    void AthleteChosen();
    void DayChosen();
    // "Gruppe:" on the test-day page: all athletes, or one group's members, for the test days,
    // the ranking, the summary, the trend and every export (remembered while the program runs).
    void GroupChosen();
    void ExportShownTable();
    void ExportAllResults();
    void ExportShownTableXlsx();
    void ExportAllResultsXlsx();
    void SaveReportPdf();
    void PrintReport();
    void SavePupilReport();     // the athlete chosen on the athlete page
    void SaveDayPupilReports(); // everyone of the chosen test day
    // "Klassenbericht …": for the chosen group and test day one PDF (the class page, then a
    // page per pupil) and the class's table as a spreadsheet beside it, under one name.
    void SaveClassReport();
    // The same for a group's test day just taken over, offered after the group test.
    void SaveClassReportOf(std::int64_t groupId, int day);
    void ShowHelp();

    // For tests and the benchmark.
    const EvaluationData& Data() const { return m_data; }
    QTabWidget* Pages() const { return m_tabs; }
    QLineEdit* Search() const { return m_search; }
    QListWidget* AthleteList() const { return m_athletes; }
    QListWidget* DayList() const { return m_days; }
    QComboBox* GroupFilter() const { return m_groupFilter; }
    QTableView* HistoryView() const { return m_history; }
    QTableView* RankingView() const { return m_ranking; }
    QLabel* ChangeLabel() const { return m_change; }
    QLabel* SummaryLabel() const { return m_summary; }
    ChartView* ProgressChart() const { return m_progressChart; }
    ChartView* RatingChart() const { return m_ratingChart; }
    ChartView* TrendChart() const { return m_trendChart; }
    GroupsPage* Groups() const { return m_groupsPage; }
    // The shown table in its shown order (the test day's with its date first), and all results.
    evaluation::ExportTable ShownTable() const;
    evaluation::ExportTable AllResults() const;
    std::string ShownTableCsv() const;
    std::string AllResultsCsv() const;
    // The report of the chosen day as PDF bytes (empty when no day is chosen).
    QByteArray ReportPdf();
    // The pupil reports as PDF bytes: of the chosen athlete, or of the chosen day's athletes.
    QByteArray PupilReportPdf(bool wholeDay);
    // The chosen group's test day against the group's previous one; the class's handout as
    // PDF bytes (empty without a chosen group and day) and its table.
    evaluation::ClassComparison Comparison() const;
    QByteArray ClassReportPdf();
    evaluation::ExportTable ClassTable() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildAthletePage(QWidget* page);
    void BuildDayPage(QWidget* page);
    void FillAthletes();
    void FillDays();
    void FillGroupFilter();
    // The results the day page and the exports stand on: all, or the chosen group's.
    std::vector<evaluation::Result> OfChosenGroup(std::vector<evaluation::Result> results) const;
    // The mean VO2max and zone share of `results` over their test days, drawn into `chart`.
    void ShowTrend(ChartView& chart, const std::vector<evaluation::Result>& results) const;
    int ChosenDay() const;
    const evaluation::Athlete* ChosenAthlete() const;
    bool RefuseWithoutDay();
    // The pupil pages of the chosen day's athletes (of the chosen group), by name.
    std::vector<PupilPage> DayPupilPages() const;
    static void DrawPupilChart(ChartView& chart, const PupilPage& page, QPainter& painter,
                               const QRectF& target);
    // The file's name asked for first, then its bytes made.
    void WriteExport(const std::string& suggestedName, const std::string& filter,
                     const std::function<std::string()>& makeBytes);
    std::string SpreadsheetBytes(const evaluation::ExportTable& table);
    // The day's rating chart drawn into a report, by a chart of its own: a chart that drew
    // another export before would keep that one's axes.
    void DrawRatingChart(QPainter& painter, const QRectF& target);

    TDM1& m_dataModule;
    EvaluationData m_data;
    // The tables' generations m_data was read at; none before the first reading.
    struct ReadMark {
        std::uint64_t athletes = 0;
        std::uint64_t results = 0;
        bool operator==(const ReadMark&) const = default;
    };
    std::optional<ReadMark> m_readAt;
    QuietTimeRefresh* m_quietRefresh = nullptr;
    std::vector<evaluation::HistoryEntry> m_shownHistory;
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
    QComboBox* m_groupFilter = nullptr;
    std::int64_t m_groupId = 0;                            // 0: all athletes
    std::optional<std::unordered_set<int>> m_groupMembers; // none: all athletes
    QLabel* m_dayTitle = nullptr;
    QTableView* m_ranking = nullptr;
    QStandardItemModel* m_rankingModel = nullptr;
    RankingSortModel* m_rankingSort = nullptr;
    QLabel* m_summary = nullptr;
    ChartView* m_ratingChart = nullptr;
    ChartView* m_trendChart = nullptr;
    QLabel* m_status = nullptr;
    GroupsPage* m_groupsPage = nullptr;
};

} // namespace ui
