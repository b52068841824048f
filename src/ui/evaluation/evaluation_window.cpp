#include "evaluation_window.h"

#include "athlete_chart.h"
#include "chart_view.h"
#include "data/DModule.h"
#include "data/data_file.h"
#include "data/groups.h"
#include "day_report.h"
#include "evaluation/global.h"
#include "evaluation/result_tables.h"
#include "german_text.h"
#include "platform/dialogs.h"
#include "pupil_report.h"
#include "quiet_time_refresh.h"
#include "ranking_sort.h"
#include "result_model.h"
#include "ui/grouptest/groups_page.h"
#include "ui/widgets/guard.h"
#include "ui/widgets/panel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

constexpr int IdRole = Qt::UserRole + 2;
constexpr int SearchRole = Qt::UserRole + 3;

// The columns of the ranking whose order is not that of their text.
constexpr int NameColumn = 1;
constexpr int RatingColumn = 9;
constexpr int ZoneColumn = 10;

QTableView* MakeTable(QWidget* parent, const char* name) {
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

// Each column as wide as its content, the last (the notes) to the view's edge.
void FitColumns(QTableView* view) {
    view->resizeColumnsToContents();
    view->horizontalHeader()->setStretchLastSection(false);
    view->horizontalHeader()->setStretchLastSection(true);
}

// The heading over a page's table: the athlete's or the day's.
QLabel* MakeTitle(QWidget* parent, const char* name) {
    auto* title = new QLabel(parent);
    title->setObjectName(QString::fromLatin1(name));
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPixelSize(15);
    title->setFont(bold);
    return title;
}

QString SexWord(const std::string& sex) {
    return sex == "W" || sex == "w" ? QStringLiteral("weiblich") : QStringLiteral("männlich");
}

} // namespace

namespace ui {

EvaluationWindow::EvaluationWindow(TDM1& dataModule, QWidget* parent)
    : QDialog(parent), m_dataModule(dataModule) {
    setObjectName(QStringLiteral("EvaluationWindow"));
    setWindowTitle(QStringLiteral("Auswertung"));
    setFont(ui::UiFont(12));
    resize(1100, 700);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Pages"));
    m_tabs->setAccessibleName(QStringLiteral("Seiten der Auswertung"));
    auto* athletePage = new QWidget;
    auto* dayPage = new QWidget;
    BuildAthletePage(athletePage);
    BuildDayPage(dayPage);
    m_tabs->addTab(athletePage, QStringLiteral("Sportler"));
    m_tabs->addTab(dayPage, QStringLiteral("Testtag"));
    m_groupsPage = new GroupsPage(m_dataModule);
    m_tabs->addTab(m_groupsPage, QStringLiteral("Gruppen"));
    // The groups (and their file) are read when the page is first looked at.
    connect(m_tabs, &QTabWidget::currentChanged, this, GuardedSlot([this] {
                const bool groups = m_tabs->currentWidget() == m_groupsPage;
                // The page "Gruppen" has no table to export.
                findChild<QPushButton*>(QStringLiteral("btn_csv"))->setEnabled(!groups);
                if (groups)
                    m_groupsPage->Reload();
            }));
    m_groupsPage->onPrepareGroupTest = [this](std::int64_t groupId) {
        accept();
        QTimer::singleShot(0, this, [this, groupId] {
            if (onPrepareGroupTest)
                Guarded([&] { onPrepareGroupTest(groupId); });
        });
    };
    layout->addWidget(m_tabs, 1);
    // A change of the athletes or results (a result typed in "Werte", a group test taken
    // over) is read at the next quiet moment, so that the next opening waits for nothing.
    m_quietRefresh = new QuietTimeRefresh(
        {&m_dataModule.cdsSportler, &m_dataModule.cdsMultiwert}, [this] { PrepareInAdvance(); }, this);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Status"));
    m_status->setAccessibleName(QStringLiteral("Meldung"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_status);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    auto clicked = [this](QPushButton* b, auto handler) {
        connect(b, &QPushButton::clicked, this, ui::GuardedSlot(handler));
    };
    auto menu = [this](QPushButton* b,
                       std::initializer_list<std::pair<QString, std::function<void()>>> entries) {
        auto* m = new QMenu(b);
        for (const auto& [caption, handler] : entries)
            connect(m->addAction(caption), &QAction::triggered, this, ui::GuardedSlot(handler));
        b->setMenu(m);
    };
    clicked(button("btn_csv", QStringLiteral("Tabelle als CSV …")), [this] { ExportShownTable(); });
    clicked(button("btn_csv_all", QStringLiteral("Alle Ergebnisse als CSV …")),
            [this] { ExportAllResults(); });
    menu(button("btn_xlsx", QStringLiteral("Als Excel-Datei speichern…")),
         {{QStringLiteral("Angezeigte Tabelle …"), [this] { ExportShownTableXlsx(); }},
          {QStringLiteral("Alle Ergebnisse mit Sportlerdaten …"), [this] { ExportAllResultsXlsx(); }}});
    clicked(button("btn_pdf", QStringLiteral("Testtag als PDF …")), [this] { SaveReportPdf(); });
    clicked(button("btn_print", QStringLiteral("Testtag drucken …")), [this] { PrintReport(); });
    menu(button("btn_pupil", QStringLiteral("Bericht für Sportler (PDF)…")),
         {{QStringLiteral("Für den gewählten Sportler …"), [this] { SavePupilReport(); }},
          {QStringLiteral("Für alle des gewählten Testtags …"), [this] { SaveDayPupilReports(); }}});
    buttons->addStretch(1);
    clicked(button("btn_help", QStringLiteral("Hilfe")), [this] { ShowHelp(); });
    clicked(button("btn_close", QStringLiteral("Schließen")), [this] { accept(); });
    layout->addLayout(buttons);
}

EvaluationWindow::~EvaluationWindow() = default;

void EvaluationWindow::BuildAthletePage(QWidget* page) {
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    m_search = new QLineEdit(page);
    m_search->setObjectName(QStringLiteral("Search"));
    m_search->setAccessibleName(QStringLiteral("Vorname oder Name suchen"));
    m_search->setPlaceholderText(QStringLiteral("Vorname oder Name suchen"));
    m_search->setClearButtonEnabled(true);
    NameClearButton(*m_search);
    m_athletes = new QListWidget(page);
    m_athletes->setObjectName(QStringLiteral("AthleteList"));
    m_athletes->setAccessibleName(QStringLiteral("Sportler"));
    m_athletes->setFixedWidth(240);
    m_search->setFixedWidth(240);
    left->addWidget(m_search);
    left->addWidget(m_athletes, 1);
    layout->addLayout(left);

    auto* right = new QVBoxLayout;
    m_athleteTitle = MakeTitle(page, "AthleteTitle");
    m_history = MakeTable(page, "History");
    m_history->setAccessibleName(QStringLiteral("Ergebnisse des Sportlers"));
    m_historyModel = new QStandardItemModel(this);
    m_history->setModel(m_historyModel);
    m_change = new QLabel(page);
    m_change->setObjectName(QStringLiteral("Change"));
    m_progressChart = new ui::ChartView(page);
    m_progressChart->setObjectName(QStringLiteral("ProgressChart"));
    m_progressChart->setMinimumHeight(260);
    right->addWidget(m_athleteTitle);
    right->addWidget(m_history, 2);
    right->addWidget(m_change);
    right->addWidget(m_progressChart, 3);
    layout->addLayout(right, 1);

    connect(m_search, &QLineEdit::textChanged, this,
            ui::GuardedSlot([this] { SearchChanged(m_search->text()); }));
    connect(m_athletes, &QListWidget::currentRowChanged, this, ui::GuardedSlot([this] { AthleteChosen(); }));
}

void EvaluationWindow::BuildDayPage(QWidget* page) {
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    auto* groupCaption = new QLabel(QStringLiteral("Gruppe:"), page);
    m_groupFilter = new QComboBox(page);
    m_groupFilter->setObjectName(QStringLiteral("GroupFilter"));
    m_groupFilter->setAccessibleName(QStringLiteral("Gruppe"));
    m_groupFilter->setFixedWidth(200);
    left->addWidget(groupCaption);
    left->addWidget(m_groupFilter);
    // The class's handout in one step, beside the choice of the class.
    auto* classReport = new QPushButton(QStringLiteral("Klassenbericht (PDF + Excel) …"), page);
    classReport->setObjectName(QStringLiteral("btn_class_report"));
    classReport->setAutoDefault(false);
    classReport->setFixedWidth(200);
    classReport->setToolTip(
        QStringLiteral("Für die gewählte Gruppe und den gewählten Testtag: ein PDF mit der "
                       "Klassenseite und einer Seite je Schüler, dazu die Tabelle als "
                       "Excel-Datei unter demselben Namen"));
    connect(classReport, &QPushButton::clicked, this, ui::GuardedSlot([this] { SaveClassReport(); }));
    left->addWidget(classReport);
    auto* caption = new QLabel(QStringLiteral("Testtage (Ergebnisse)"), page);
    m_days = new QListWidget(page);
    m_days->setObjectName(QStringLiteral("DayList"));
    m_days->setAccessibleName(QStringLiteral("Testtage"));
    m_days->setFixedWidth(200);
    left->addWidget(caption);
    left->addWidget(m_days, 1);
    layout->addLayout(left);

    auto* right = new QVBoxLayout;
    m_dayTitle = MakeTitle(page, "DayTitle");
    m_ranking = MakeTable(page, "Ranking");
    m_ranking->setAccessibleName(QStringLiteral("Rangliste"));
    m_rankingModel = new QStandardItemModel(this);
    m_rankingSort = new RankingSortModel(this);
    m_rankingSort->setSourceModel(m_rankingModel);
    m_ranking->setModel(m_rankingSort);
    m_ranking->setSortingEnabled(true);
    m_summary = new QLabel(page);
    m_summary->setObjectName(QStringLiteral("Summary"));
    m_summary->setTextFormat(Qt::RichText);
    m_summary->setWordWrap(true);
    m_summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_summary->setFixedWidth(300);
    auto* charts = new QTabWidget(page);
    charts->setObjectName(QStringLiteral("DayCharts"));
    charts->setAccessibleName(QStringLiteral("Diagramme des Testtags"));
    m_ratingChart = new ui::ChartView;
    m_ratingChart->setObjectName(QStringLiteral("RatingChart"));
    m_trendChart = new ui::ChartView;
    m_trendChart->setObjectName(QStringLiteral("TrendChart"));
    charts->addTab(m_ratingChart, QStringLiteral("Bewertungen des Tages"));
    charts->addTab(m_trendChart, QStringLiteral("Verlauf über die Testtage"));
    charts->setMinimumHeight(220);
    auto* bottom = new QWidget;
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addWidget(m_summary);
    bottomLayout->addWidget(charts, 1);
    // The ranking over the summary and the charts; the user moves the line between them.
    auto* split = new QSplitter(Qt::Vertical, page);
    split->setChildrenCollapsible(false);
    split->addWidget(m_ranking);
    split->addWidget(bottom);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    right->addWidget(m_dayTitle);
    right->addWidget(split, 1);
    layout->addLayout(right, 1);

    connect(m_days, &QListWidget::currentRowChanged, this, ui::GuardedSlot([this] { DayChosen(); }));
    connect(m_groupFilter, qOverload<int>(&QComboBox::activated), this,
            ui::GuardedSlot([this] { GroupChosen(); }));
}

// ----- opening -----

void EvaluationWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        ui::Guarded([this] { FormActivate(); });
}

void EvaluationWindow::FormActivate() {
    // The results as they are loaded: posted results are in the table already. Only a table
    // that is not open is read from its file.
    if (!m_dataModule.cdsMultiwert.Active())
        m_dataModule.LoadOrCreateMultiwert();
    m_status->clear();
    const ReadMark now{m_dataModule.cdsSportler.Generation(), m_dataModule.cdsMultiwert.Generation()};
    const std::optional<std::unordered_set<int>> membersBefore = m_groupMembers;
    if (m_readAt != now) {
        m_data = ui::EvaluationData::Read(m_dataModule.cdsSportler, m_dataModule.cdsMultiwert);
        m_readAt = now;
        FillAthletes();
        FillGroupFilter();
        FillDays();
    } else {
        // The groups file may have changed meanwhile (the page "Gruppen", a class import).
        FillGroupFilter();
        if (m_groupMembers != membersBefore)
            FillDays();
    }
    if (m_tabs->currentWidget() == m_groupsPage)
        m_groupsPage->Reload();
}

void EvaluationWindow::SetMayPrepareNow(std::function<bool()> mayPrepareNow) {
    m_quietRefresh->mayRunNow = std::move(mayPrepareNow);
}

bool EvaluationWindow::PreparationPending() const {
    return m_quietRefresh->Pending();
}

void EvaluationWindow::PrepareInAdvance() {
    if (isVisible() || !m_dataModule.cdsSportler.Active() || !m_dataModule.cdsMultiwert.Active())
        return;
    FormActivate();
    // Styles, fonts, layouts and the charts' first drawing, once.
    grab();
}

void EvaluationWindow::FillAthletes() {
    const QSignalBlocker quiet(m_athletes);
    m_athletes->clear();
    for (int id : m_data.athleteOrder) {
        const evaluation::Athlete& a = m_data.athletes.at(id);
        // The birth year tells two pupils of the same name apart.
        const std::string listName = evaluation::ListName(a);
        auto* item = new QListWidgetItem(
            QStringLiteral("%1 (%2)").arg(QString::fromStdString(listName)).arg(a.birthYear), m_athletes);
        item->setData(IdRole, id);
        // Found as the list shows it ("Name, Vorname") and as one says it ("Vorname Name").
        item->setData(SearchRole, QString::fromStdString(evaluation::SearchKey(listName) + "\n" +
                                                         evaluation::SearchKey(a.firstName + " " + a.name)));
    }
    SearchChanged(m_search->text());
}

void EvaluationWindow::SearchChanged(const QString& text) {
    // First name or surname, whatever the case, accented letters as their base letters.
    const QString key = QString::fromStdString(evaluation::SearchKey(text.trimmed().toStdString()));
    int firstShown = -1;
    {
        const QSignalBlocker quiet(m_athletes);
        for (int row = 0; row < m_athletes->count(); ++row) {
            QListWidgetItem* item = m_athletes->item(row);
            const bool shown = key.isEmpty() || item->data(SearchRole).toString().contains(key);
            item->setHidden(!shown);
            if (shown && firstShown < 0)
                firstShown = row;
        }
        QListWidgetItem* current = m_athletes->currentItem();
        if (!current || current->isHidden())
            m_athletes->setCurrentRow(firstShown);
    }
    AthleteChosen();
}

void EvaluationWindow::FillGroupFilter() {
    const QSignalBlocker quiet(m_groupFilter);
    m_groupFilter->clear();
    m_groupFilter->addItem(QStringLiteral("alle"), QVariant::fromValue<qlonglong>(0));
    m_groupMembers.reset();
    // The groups file is not made just to fill this list.
    if (m_dataModule.cdsGruppen.Active() || data::FileExists(global::GruppenPath)) {
        try {
            const data::GroupStore groups(m_dataModule);
            for (const data::Group& group : groups.All()) {
                m_groupFilter->addItem(QString::fromStdString(group.name),
                                       QVariant::fromValue<qlonglong>(group.id));
                if (group.id == m_groupId) {
                    m_groupFilter->setCurrentIndex(m_groupFilter->count() - 1);
                    m_groupMembers.emplace(group.members.begin(), group.members.end());
                }
            }
        } catch (const std::exception&) {
            // A groups file that cannot be read leaves "alle"; the page "Gruppen" says why.
        }
    }
    if (!m_groupMembers)
        m_groupId = 0; // the group is gone: all athletes again
}

void EvaluationWindow::GroupChosen() {
    m_groupId = m_groupFilter->currentData().toLongLong();
    FillGroupFilter();
    FillDays();
}

void EvaluationWindow::ShowTrend(ChartView& chart, const std::vector<evaluation::Result>& results) const {
    std::vector<ChartView::TrendPoint> trend;
    for (const evaluation::DayTrend& day : evaluation::TrendOverDays(results, m_data.athletes))
        trend.push_back({day.date, day.meanVo2, day.healthyShare});
    chart.ShowTrend(QStringLiteral("Mittlere VO2max und Anteil in der Gesundheitszone"), trend);
}

std::vector<evaluation::Result>
EvaluationWindow::OfChosenGroup(std::vector<evaluation::Result> results) const {
    if (m_groupMembers)
        std::erase_if(results,
                      [this](const evaluation::Result& r) { return !m_groupMembers->count(r.athleteId); });
    return results;
}

void EvaluationWindow::FillDays() {
    const QSignalBlocker quiet(m_days);
    m_days->clear();
    const std::vector<evaluation::Result> shown = OfChosenGroup(m_data.results);
    for (const auto& [date, count] : evaluation::TestDates(shown)) {
        auto* item =
            new QListWidgetItem(QStringLiteral("%1  (%2)").arg(ui::GermanDate(date)).arg(count), m_days);
        item->setData(IdRole, date);
    }
    m_days->setCurrentRow(m_days->count() > 0 ? 0 : -1);
    ShowTrend(*m_trendChart, shown);
    DayChosen();
}

// ----- the athlete page -----

const evaluation::Athlete* EvaluationWindow::ChosenAthlete() const {
    const QListWidgetItem* item = m_athletes->currentItem();
    if (!item || item->isHidden())
        return nullptr;
    return &m_data.athletes.at(item->data(IdRole).toInt());
}

void EvaluationWindow::AthleteChosen() {
    const evaluation::Athlete* athlete = ChosenAthlete();
    if (!athlete) {
        m_shownHistory.clear();
        FillModel(*m_historyModel, evaluation::HistoryTable({}));
        m_athleteTitle->setText(m_data.athletes.empty() ? QStringLiteral("Keine Sportler erfasst")
                                                        : QStringLiteral("Kein Sportler gewählt"));
        m_change->clear();
        m_progressChart->ShowNothing(QString());
        return;
    }
    m_athleteTitle->setText(QStringLiteral("%1 %2   ·   %3   ·   Jahrgang %4")
                                .arg(QString::fromStdString(athlete->firstName),
                                     QString::fromStdString(athlete->name), SexWord(athlete->sex))
                                .arg(athlete->birthYear));
    m_shownHistory = evaluation::AthleteHistory(*athlete, m_data.ResultsOf(athlete->id));
    FillModel(*m_historyModel, evaluation::HistoryTable(m_shownHistory));
    FitColumns(m_history);
    m_change->setText(ChangeSinceTestBefore(m_shownHistory));
    ShowAthleteProgress(*m_progressChart, *athlete, m_shownHistory);
}

// ----- the test-day page -----

int EvaluationWindow::ChosenDay() const {
    const QListWidgetItem* item = m_days->currentItem();
    return item ? item->data(IdRole).toInt() : -1;
}

void EvaluationWindow::DayChosen() {
    const int day = ChosenDay();
    if (day < 0) {
        m_dayReport = {};
        FillModel(*m_rankingModel, evaluation::DayTable({}, false));
        m_dayTitle->setText(QStringLiteral("Noch keine Ergebnisse"));
        m_summary->clear();
        m_ratingChart->ShowNothing(QString());
        return;
    }
    m_dayReport = evaluation::TestDay(day, OfChosenGroup(m_data.ResultsOn(day)), m_data.athletes);
    FillModel(*m_rankingModel, evaluation::DayTable(m_dayReport, false));
    // Names by last name, then first name; ratings and zones by their rank, none last.
    for (int row = 0; row < m_rankingModel->rowCount(); ++row) {
        const evaluation::DayEntry& e = m_dayReport.ranking[static_cast<std::size_t>(row)];
        m_rankingModel->item(row, NameColumn)
            ->setData(QStringList{QString::fromStdString(e.name), QString::fromStdString(e.firstName)},
                      RankingSortModel::KeyRole);
        const int rank = e.rating.stored ? evaluation::RatingRank(*e.rating.stored) : -1;
        m_rankingModel->item(row, RatingColumn)
            ->setData(rank >= 0 ? QVariant(rank) : QVariant(), RankingSortModel::KeyRole);
        // Risk lowest, the health zone highest.
        m_rankingModel->item(row, ZoneColumn)
            ->setData(e.zone ? QVariant(2 - static_cast<int>(*e.zone)) : QVariant(),
                      RankingSortModel::KeyRole);
    }
    m_ranking->sortByColumn(-1, Qt::AscendingOrder); // the ranking's own order until a title is clicked
    m_rankingSort->sort(-1);
    FitColumns(m_ranking);
    m_dayTitle->setText(
        m_groupId ? QStringLiteral("Testtag %1 · %2").arg(ui::GermanDate(day), m_groupFilter->currentText())
                  : QStringLiteral("Testtag %1").arg(ui::GermanDate(day)));
    // The summary as a small table: count, mean, median and best, overall and by sex.
    auto row = [](const QString& group, const evaluation::Stats& st) {
        auto value = [](const std::optional<double>& v) {
            return v ? ui::GermanNumber(*v, 1) : QStringLiteral("–");
        };
        return QStringLiteral("<tr><td><b>%1</b></td><td align=right>%2</td><td align=right>%3</td>"
                              "<td align=right>%4</td><td align=right>%5</td></tr>")
            .arg(group)
            .arg(st.count)
            .arg(value(st.mean), value(st.median), value(st.best));
    };
    QString notes;
    // A class against its previous test day.
    if (m_groupId)
        if (const std::string line = evaluation::DevelopmentLine(Comparison()); !line.empty())
            notes += QStringLiteral("<p>%1</p>").arg(QString::fromStdString(line).toHtmlEscaped());
    for (const QString& note : SummaryNotes(m_dayReport))
        notes += QStringLiteral("<p style='font-size:small'>%1</p>").arg(note.toHtmlEscaped());
    m_summary->setText(
        QStringLiteral("<b>VO2max (ml/kg/min)</b><table cellspacing=0 cellpadding=3>"
                       "<tr><td></td><td>Anzahl</td><td>Mittel</td><td>Median</td><td>Bestwert</td></tr>") +
        row(QStringLiteral("Alle"), m_dayReport.all) + row(QStringLiteral("Frauen"), m_dayReport.women) +
        row(QStringLiteral("Männer"), m_dayReport.men) + QStringLiteral("</table>") + notes);
    m_ratingChart->ShowRatingCounts(QStringLiteral("Bewertungen"), m_dayReport.ratingCounts);
}

void EvaluationWindow::SaveClassReportOf(std::int64_t groupId, int day) {
    m_groupId = groupId;
    FormActivate(); // the results just taken over, the group's test days
    for (int row = 0; row < m_days->count(); ++row)
        if (m_days->item(row)->data(IdRole).toInt() == day)
            m_days->setCurrentRow(row);
    m_tabs->setCurrentIndex(1);
    SaveClassReport();
}

void EvaluationWindow::ShowHelp() {
    platform::Dialogs().ShowMessage(
        "Auswertung\n\n"
        "Sportler: alle Ergebnisse einer Person mit der Veränderung gegenüber dem Test davor "
        "(nur zwischen Tests mit Datum und VO2max-Wert) und der Verlauf vor den Normbereichen. "
        "Die Normbereiche wechseln am 1. Januar des Jahres, in dem die Person in die nächste "
        "Altersgruppe kommt.\n\n"
        "Testtag: die Rangliste eines Tages (Spaltentitel anklicken sortiert), die Zusammenfassung "
        "und der Verlauf der Gruppe über alle Testtage.\n\n"
        "Bewertung: das beim Speichern des Ergebnisses festgehaltene Wort, wie im Fenster „Werte“. "
        "Ein Stern (*) zeigt, dass die heutigen Angaben zum Sportler (Jahrgang, Geschlecht) ein "
        "anderes Wort ergäben; der Tooltip nennt es.\n\n" +
        HealthZoneSources().toStdString() +
        " Zonen: „Gesundheitszone“, „Verbesserung nötig“, „Verbesserung nötig – Risiko“. Unter 10 und "
        "ab 20 Jahren: –.");
}

} // namespace ui
