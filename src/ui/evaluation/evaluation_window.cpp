#include "evaluation_window.h"

#include "chart_view.h"
#include "data/DModule.h"
#include "data/data_file.h"
#include "day_report.h"
#include "evaluation/csv_export.h"
#include "evaluation/fitness_rating.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "ui/widgets/guard.h"
#include "ui/widgets/panel.h"

#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

using evaluation::Result;

constexpr int SortRole = Qt::UserRole;
constexpr int TextRole = Qt::UserRole + 1; // a column of the user's text (names, notes)
constexpr int IdRole = Qt::UserRole + 2;

QStandardItem* Cell(const QString& text, const QVariant& sortKey = {}, bool userText = false) {
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    item->setData(sortKey.isValid() ? sortKey : QVariant(text.toLower()), SortRole);
    item->setData(userText, TextRole);
    if (sortKey.typeId() == QMetaType::Double || sortKey.typeId() == QMetaType::Int)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString Signed(double value, int decimals) {
    const QString text = ui::GermanNumber(value, decimals);
    return value > 0 && text != ui::GermanNumber(0, decimals) ? QStringLiteral("+") + text : text;
}

QString Rating(const std::optional<std::string>& rating) {
    return rating ? QString::fromStdString(*rating) : QStringLiteral("–");
}

QTableView* MakeTable(QWidget* parent, const char* name) {
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
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

std::string Today() {
    return QDate(1899, 12, 30).addDays(platform::Clock().Today()).toString(Qt::ISODate).toStdString();
}

// The cells of a view's model, as shown (sorted), for CSV.
std::string ViewCsv(const QAbstractItemModel& model) {
    std::vector<std::string> header;
    for (int c = 0; c < model.columnCount(); ++c)
        header.push_back(model.headerData(c, Qt::Horizontal).toString().toStdString());
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < model.columnCount(); ++c) {
            const QModelIndex index = model.index(r, c);
            std::string text = index.data().toString().toStdString();
            if (text == "–")
                text.clear();
            row.push_back(index.data(TextRole).toBool() ? evaluation::CsvText(text) : text);
        }
        rows.push_back(std::move(row));
    }
    return evaluation::CsvDocument(header, rows);
}

} // namespace

namespace ui {

EvaluationWindow::EvaluationWindow(TDM1& dataModule, QWidget* parent)
    : QDialog(parent), m_dataModule(dataModule) {
    setObjectName(QStringLiteral("EvaluationWindow"));
    setWindowTitle(QStringLiteral("Auswertung"));
    setFont(ui::UiFont(12));
    resize(980, 660);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Pages"));
    auto* athletePage = new QWidget;
    auto* dayPage = new QWidget;
    BuildAthletePage(athletePage);
    BuildDayPage(dayPage);
    m_tabs->addTab(athletePage, QStringLiteral("Sportler"));
    m_tabs->addTab(dayPage, QStringLiteral("Testtag"));
    layout->addWidget(m_tabs, 1);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const QString& caption, auto handler) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, ui::GuardedSlot(handler));
        buttons->addWidget(b);
        return b;
    };
    button("btn_csv", QStringLiteral("Tabelle als CSV …"), [this] { ExportShownTable(); });
    button("btn_csv_all", QStringLiteral("Alle Ergebnisse als CSV …"), [this] { ExportAllResults(); });
    button("btn_pdf", QStringLiteral("Testtag als PDF …"), [this] { SaveReportPdf(); });
    button("btn_print", QStringLiteral("Testtag drucken …"), [this] { PrintReport(); });
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Status"));
    buttons->addWidget(m_status, 1);
    button("btn_close", QStringLiteral("Schließen"), [this] { accept(); });
    layout->addLayout(buttons);

    m_reportChart = new ui::ChartView(this);
    m_reportChart->hide();
}

EvaluationWindow::~EvaluationWindow() = default;

void EvaluationWindow::BuildAthletePage(QWidget* page) {
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    m_search = new QLineEdit(page);
    m_search->setObjectName(QStringLiteral("Search"));
    m_search->setPlaceholderText(QStringLiteral("Vorname oder Name suchen"));
    m_search->setClearButtonEnabled(true);
    m_athletes = new QListWidget(page);
    m_athletes->setObjectName(QStringLiteral("AthleteList"));
    m_athletes->setFixedWidth(240);
    m_search->setFixedWidth(240);
    left->addWidget(m_search);
    left->addWidget(m_athletes, 1);
    layout->addLayout(left);

    auto* right = new QVBoxLayout;
    m_athleteTitle = MakeTitle(page, "AthleteTitle");
    m_history = MakeTable(page, "History");
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
    auto* caption = new QLabel(QStringLiteral("Testtage (Ergebnisse)"), page);
    m_days = new QListWidget(page);
    m_days->setObjectName(QStringLiteral("DayList"));
    m_days->setFixedWidth(200);
    left->addWidget(caption);
    left->addWidget(m_days, 1);
    layout->addLayout(left);

    auto* right = new QVBoxLayout;
    m_dayTitle = MakeTitle(page, "DayTitle");
    m_ranking = MakeTable(page, "Ranking");
    m_rankingModel = new QStandardItemModel(this);
    m_rankingSort = new QSortFilterProxyModel(this);
    m_rankingSort->setSourceModel(m_rankingModel);
    m_rankingSort->setSortRole(SortRole);
    m_ranking->setModel(m_rankingSort);
    m_ranking->setSortingEnabled(true);
    m_summary = new QLabel(page);
    m_summary->setObjectName(QStringLiteral("Summary"));
    m_summary->setTextFormat(Qt::RichText);
    m_ratingChart = new ui::ChartView(page);
    m_ratingChart->setObjectName(QStringLiteral("RatingChart"));
    m_ratingChart->setMinimumHeight(220);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_summary);
    bottom->addWidget(m_ratingChart, 1);
    right->addWidget(m_dayTitle);
    right->addWidget(m_ranking, 3);
    right->addLayout(bottom, 2);
    layout->addLayout(right, 1);

    connect(m_days, &QListWidget::currentRowChanged, this, ui::GuardedSlot([this] { DayChosen(); }));
}

// ----- opening -----

void EvaluationWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        ui::Guarded([this] { FormActivate(); });
}

void EvaluationWindow::FormActivate() {
    // As the results window does: posted results are written first and read again.
    m_dataModule.LoadOrCreateMultiwert();
    m_data = ui::EvaluationData::Read(m_dataModule.cdsSportler, m_dataModule.cdsMultiwert);
    m_status->clear();
    FillAthletes();
    FillDays();
}

void EvaluationWindow::FillAthletes() {
    const QSignalBlocker quiet(m_athletes);
    m_athletes->clear();
    for (int id : m_data.athleteOrder) {
        const evaluation::Athlete& a = m_data.athletes.at(id);
        auto* item = new QListWidgetItem(QString::fromStdString(evaluation::ListName(a)), m_athletes);
        item->setData(IdRole, id);
        item->setData(SortRole, QString::fromStdString(evaluation::SearchKey(a.firstName + " " + a.name)));
    }
    SearchChanged(m_search->text());
}

void EvaluationWindow::SearchChanged(const QString& text) {
    // First name or surname, whatever the case, umlauts as their base letters.
    const QString key = QString::fromStdString(evaluation::SearchKey(text.trimmed().toStdString()));
    int firstShown = -1;
    {
        const QSignalBlocker quiet(m_athletes);
        for (int row = 0; row < m_athletes->count(); ++row) {
            QListWidgetItem* item = m_athletes->item(row);
            const bool shown = key.isEmpty() || item->data(SortRole).toString().contains(key);
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

void EvaluationWindow::FillDays() {
    const QSignalBlocker quiet(m_days);
    m_days->clear();
    for (const auto& [date, count] : evaluation::TestDates(m_data.results)) {
        auto* item =
            new QListWidgetItem(QStringLiteral("%1  (%2)").arg(ui::GermanDate(date)).arg(count), m_days);
        item->setData(IdRole, date);
    }
    m_days->setCurrentRow(m_days->count() > 0 ? 0 : -1);
    DayChosen();
}

// ----- the athlete page -----

void EvaluationWindow::AthleteChosen() {
    m_historyModel->clear();
    m_historyModel->setHorizontalHeaderLabels({"Datum", "Alter", "Level", "Runde", "Meter", "VO2max",
                                               "Bewertung", "± VO2max", "± Bahnen", "Notiz"});
    QListWidgetItem* item = m_athletes->currentItem();
    if (!item || item->isHidden()) {
        m_athleteTitle->setText(m_data.athletes.empty() ? QStringLiteral("Keine Sportler erfasst")
                                                        : QStringLiteral("Kein Sportler gewählt"));
        m_change->clear();
        m_progressChart->ShowNothing(QString());
        return;
    }
    const evaluation::Athlete& athlete = m_data.athletes.at(item->data(IdRole).toInt());
    m_athleteTitle->setText(QStringLiteral("%1 %2   ·   %3   ·   Jahrgang %4")
                                .arg(QString::fromStdString(athlete.firstName),
                                     QString::fromStdString(athlete.name),
                                     athlete.sex == "W" || athlete.sex == "w" ? QStringLiteral("weiblich")
                                                                              : QStringLiteral("männlich"))
                                .arg(athlete.birthYear));
    const auto history = evaluation::AthleteHistory(athlete, m_data.ResultsOf(athlete.id));
    std::vector<ui::ChartView::ProgressPoint> points;
    for (const evaluation::HistoryEntry& h : history) {
        const Result& r = h.result;
        m_historyModel->appendRow(
            {Cell(ui::GermanDate(r.date), r.date), Cell(QString::number(h.age), h.age),
             Cell(QString::number(r.level), r.level), Cell(QString::number(r.shuttle), r.shuttle),
             Cell(QString::number(h.distance), h.distance), Cell(ui::GermanNumber(r.vo2max, 1), r.vo2max),
             Cell(Rating(h.rating)),
             Cell(h.vo2Change ? Signed(*h.vo2Change, 1) : QString(), h.vo2Change.value_or(0)),
             Cell(h.shuttleChange ? Signed(*h.shuttleChange, 0) : QString(), h.shuttleChange.value_or(0)),
             Cell(QString::fromStdString(r.notes), {}, true)});
        if (r.date != 0 && r.vo2max > 0)
            points.push_back({r.date, r.vo2max, evaluation::NormBounds(athlete.sex, h.age)});
    }
    m_history->resizeColumnsToContents();
    if (history.size() >= 2) {
        const evaluation::HistoryEntry& last = history.back();
        m_change->setText(QStringLiteral("Seit dem Test davor: %1 VO2max, %2 Bahnen")
                              .arg(Signed(*last.vo2Change, 1), Signed(*last.shuttleChange, 0)));
    } else {
        m_change->setText(history.empty() ? QStringLiteral("Noch kein Ergebnis.")
                                          : QStringLiteral("Ein Ergebnis: noch kein Vergleich."));
    }
    m_progressChart->ShowProgress(QStringLiteral("VO2max im Vergleich mit den Normen"), points);
}

// ----- the test-day page -----

int EvaluationWindow::ChosenDay() const {
    const QListWidgetItem* item = m_days->currentItem();
    return item ? item->data(IdRole).toInt() : -1;
}

void EvaluationWindow::DayChosen() {
    m_rankingModel->clear();
    m_rankingModel->setHorizontalHeaderLabels(
        {"Platz", "Name", "G", "Alter", "Level", "Runde", "Meter", "VO2max", "Bewertung", "Notiz"});
    const int day = ChosenDay();
    if (day < 0) {
        m_dayReport = {};
        m_dayTitle->setText(QStringLiteral("Noch keine Ergebnisse"));
        m_summary->clear();
        m_ratingChart->ShowNothing(QString());
        return;
    }
    m_dayReport = evaluation::TestDay(day, m_data.ResultsOn(day), m_data.athletes);
    m_rankingModel->setRowCount(0);
    for (const evaluation::DayEntry& e : m_dayReport.ranking) {
        const Result& r = e.result;
        m_rankingModel->appendRow(
            {Cell(QString::number(e.rank), e.rank), Cell(QString::fromStdString(e.displayName), {}, true),
             Cell(QString::fromStdString(e.sex)),
             Cell(e.age ? QString::number(*e.age) : QString(), e.age.value_or(-1)),
             Cell(QString::number(r.level), r.level), Cell(QString::number(r.shuttle), r.shuttle),
             Cell(QString::number(e.distance), e.distance), Cell(ui::GermanNumber(r.vo2max, 1), r.vo2max),
             Cell(Rating(e.rating),
                  e.rating ? QVariant(QString::fromStdString(*e.rating)) : QVariant(QString())),
             Cell(QString::fromStdString(r.notes), {}, true)});
    }
    m_ranking->sortByColumn(-1, Qt::AscendingOrder); // the ranking's own order until a title is clicked
    m_rankingSort->sort(-1);
    m_ranking->resizeColumnsToContents();
    m_dayTitle->setText(QStringLiteral("Testtag %1").arg(ui::GermanDate(day)));
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
    m_summary->setText(
        QStringLiteral("<b>VO2max (ml/kg/min)</b><table cellspacing=0 cellpadding=3>"
                       "<tr><td></td><td>Anzahl</td><td>Mittel</td><td>Median</td><td>Best</td></tr>") +
        row(QStringLiteral("Alle"), m_dayReport.all) + row(QStringLiteral("Frauen"), m_dayReport.women) +
        row(QStringLiteral("Männer"), m_dayReport.men) + QStringLiteral("</table>"));
    m_ratingChart->ShowRatingCounts(QStringLiteral("Bewertungen"), m_dayReport.ratingCounts);
}

// ----- export -----

std::string EvaluationWindow::ShownTableCsv() const {
    return ViewCsv(m_tabs->currentIndex() == 0 ? *m_history->model() : *m_ranking->model());
}

std::string EvaluationWindow::AllResultsCsv() const {
    std::vector<const Result*> sorted;
    sorted.reserve(m_data.results.size());
    for (const Result& r : m_data.results)
        sorted.push_back(&r);
    std::sort(sorted.begin(), sorted.end(), [](const Result* a, const Result* b) {
        return a->date != b->date ? a->date < b->date : a->id < b->id;
    });
    std::vector<std::vector<std::string>> rows;
    rows.reserve(sorted.size());
    for (const Result* r : sorted) {
        const auto found = m_data.athletes.find(r->athleteId);
        const evaluation::Athlete* a = found == m_data.athletes.end() ? nullptr : &found->second;
        const auto rating = evaluation::RatingOf(a, *r);
        rows.push_back({r->date ? ui::GermanDate(r->date).toStdString() : std::string(),
                        a ? evaluation::CsvText(a->firstName) : std::string(),
                        a ? evaluation::CsvText(a->name) : std::string("(unbekannt)"),
                        a ? evaluation::CsvText(a->sex) : std::string(),
                        a ? std::to_string(a->birthYear) : std::string(),
                        a ? std::to_string(evaluation::AgeAtTest(a->birthYear, r->year)) : std::string(),
                        std::to_string(r->level), std::to_string(r->shuttle),
                        std::to_string(evaluation::DistanceMetres(r->level, r->shuttle)),
                        evaluation::CsvNumber(r->vo2max, 1), rating ? *rating : std::string(),
                        evaluation::CsvText(r->notes)});
    }
    return evaluation::CsvDocument({"Datum", "Vorname", "Name", "G", "Jahrgang", "Alter", "Level", "Runde",
                                    "Meter", "VO2max", "Bewertung", "Notiz"},
                                   rows);
}

void EvaluationWindow::WriteExport(const std::string& suggestedName, const std::string& filter,
                                   const std::string& bytes) {
    const std::string path = platform::Dialogs().AskSaveFileName(suggestedName, filter);
    if (path.empty())
        return;
    data::WriteFileSafely(path, bytes); // a file that cannot be written: its message, nothing else
    m_status->setText(QStringLiteral("Gespeichert: %1").arg(QString::fromStdString(path)));
}

void EvaluationWindow::ExportShownTable() {
    const int day = ChosenDay();
    const std::string date = m_tabs->currentIndex() == 1 && day > 0
                                 ? QDate(1899, 12, 30).addDays(day).toString(Qt::ISODate).toStdString()
                                 : Today();
    WriteExport("Auswertung-" + date + ".csv", "CSV-Dateien (*.csv)", ShownTableCsv());
}

void EvaluationWindow::ExportAllResults() {
    WriteExport("Auswertung-" + Today() + ".csv", "CSV-Dateien (*.csv)", AllResultsCsv());
}

QByteArray EvaluationWindow::ReportPdf() {
    if (ChosenDay() < 0)
        return {};
    m_reportChart->ShowRatingCounts(QStringLiteral("Bewertungen"), m_dayReport.ratingCounts);
    return ui::DayReportPdf(m_dayReport, m_reportChart->Picture(QSize(900, 420)));
}

void EvaluationWindow::SaveReportPdf() {
    const int day = ChosenDay();
    if (day < 0) {
        platform::Dialogs().ShowMessage("Es gibt noch keinen Testtag mit Ergebnissen.");
        return;
    }
    const QByteArray pdf = ReportPdf();
    WriteExport("Auswertung-" + QDate(1899, 12, 30).addDays(day).toString(Qt::ISODate).toStdString() + ".pdf",
                "PDF-Dateien (*.pdf)", pdf.toStdString());
}

void EvaluationWindow::PrintReport() {
    if (ChosenDay() < 0) {
        platform::Dialogs().ShowMessage("Es gibt noch keinen Testtag mit Ergebnissen.");
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Testtag drucken"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_reportChart->ShowRatingCounts(QStringLiteral("Bewertungen"), m_dayReport.ratingCounts);
    ui::DrawDayReport(printer, m_dayReport, m_reportChart->Picture(QSize(900, 420)));
}

} // namespace ui
