// The evaluation window as a coach uses it after a test: choosing an athlete, searching,
// choosing a day, sorting the ranking, the ratings as the results window shows them, the
// health zone, the charts' axes, exporting the shown table with the file dialog scripted
// (CSV and spreadsheet), the report of a 35-athlete day and the reports per pupil as PDF
// files, read back with pdftotext.
#include "data/date_value.h"
#include "data/groups.h"
#include "data/text_encoding.h"
#include "data_rig.h"
#include "evaluation/chart_ticks.h"
#include "evaluation/fitness_rating.h"
#include "pdf_text.h"
#include "ui/evaluation/athlete_chart.h"
#include "ui/evaluation/chart_view.h"
#include "ui/evaluation/evaluation_window.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

using namespace data;

namespace {

struct Rig : DataRig {
    std::unique_ptr<ui::EvaluationWindow> window;
    Rig() {
        Module().FirstActivation();
        window = std::make_unique<ui::EvaluationWindow>(*dm);
    }
    ~Rig() { window.reset(); }
    void Open() {
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    std::int64_t Athlete(const char* first, const char* last, const char* sex, int year) {
        return PostAthlete(dm->cdsSportler, Utf8ToCp1252(first).c_str(), Utf8ToCp1252(last).c_str(), sex,
                           year);
    }
    QStringList Column(QTableView* view, int column) const {
        QStringList cells;
        for (int r = 0; r < view->model()->rowCount(); ++r)
            cells << view->model()->index(r, column).data().toString();
        return cells;
    }
    QStringList ShownAthletes() const {
        QStringList names;
        for (int r = 0; r < window->AthleteList()->count(); ++r)
            if (!window->AthleteList()->item(r)->isHidden())
                names << window->AthleteList()->item(r)->text();
        return names;
    }
    void Choose(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    void ClickTitle(QTableView* view, int column) {
        QTest::mouseClick(view->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(view->horizontalHeader()->sectionViewportPosition(column) + 5, 5));
    }
    void SetBirthYear(std::int64_t athlete, int year) {
        data::Table& t = dm->cdsSportler;
        QVERIFY(t.LocateInteger("sportlerid", athlete));
        t.Edit();
        t.SetAsInteger("Geburtsjahr", year);
        t.Post();
    }
};

int PageCount(const QByteArray& pdf) {
    return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") +
                            pdf.count("/Type /Page "));
}

} // namespace

class TestEvaluationWindow : public QObject {
    Q_OBJECT
private slots:
    // An athlete's results over time with the change since the test before; the list shows
    // the birth year, so that two pupils of the same name can be told apart.
    void choosingAnAthlete() {
        Rig rig;
        const auto anna = rig.Athlete("Anna", "Adler", "W", 2010);
        rig.Athlete("Jürgen", "Groß", "M", 1990);
        rig.Athlete("Anna", "Adler", "W", 2012);
        PostResult(rig.dm->cdsMultiwert, anna, 2025, 5, 1, 6, 1);  // 32,9
        PostResult(rig.dm->cdsMultiwert, anna, 2026, 5, 1, 8, 11); // 43,3
        rig.Open();
        QCOMPARE(rig.ShownAthletes(),
                 (QStringList{"Adler, Anna (2010)", "Adler, Anna (2012)", "Groß, Jürgen (1990)"}));
        rig.Choose(rig.window->AthleteList(), 0);
        QTableView* history = rig.window->HistoryView();
        QCOMPARE(rig.Column(history, 0), (QStringList{"01.05.2025", "01.05.2026"}));
        QCOMPARE(rig.Column(history, 1), (QStringList{"15", "16"}));
        QCOMPARE(rig.Column(history, 5), (QStringList{"32,9", "43,3"}));
        QCOMPARE(rig.Column(history, 6), (QStringList{"ok", "überragend"}));
        QCOMPARE(rig.Column(history, 7), (QStringList{"Gesundheitszone", "Gesundheitszone"}));
        QCOMPARE(rig.Column(history, 9), (QStringList{"", "+10,4"}));
        QCOMPARE(rig.window->ChangeLabel()->text(),
                 QStringLiteral("Seit dem Test davor: +10,4 VO2max, +30 Bahnen"));
        rig.Choose(rig.window->AthleteList(), 2); // no results at all
        QCOMPARE(history->model()->rowCount(), 0);
        QCOMPARE(rig.window->ChangeLabel()->text(), QStringLiteral("Noch kein Ergebnis."));
    }

    // No change against a result without a VO2max value (level 2) or without a date; an
    // undated result has no age; the rating is the stored word, as the results window has it.
    void changesRatingsAndAgesAsStored() {
        Rig rig;
        const auto ben = rig.Athlete("Ben", "Bauer", "M", 1990);
        PostResult(rig.dm->cdsMultiwert, ben, 2024, 5, 1, 8, 11); // 43,3
        PostResult(rig.dm->cdsMultiwert, ben, 2025, 5, 1, 2, 3);  // no value: "sehr schlecht"
        data::Table& results = rig.dm->cdsMultiwert;
        results.Insert(); // no date
        results.SetAsInteger("sportlerid", ben);
        results.SetAsInteger("Level", 6);
        results.SetAsInteger("Runde", 1);
        results.Post();
        PostResult(rig.dm->cdsMultiwert, ben, 2026, 5, 1, 10, 1); // 46,8
        rig.Open();
        rig.Choose(rig.window->AthleteList(), 0);
        QTableView* history = rig.window->HistoryView();
        QCOMPARE(rig.Column(history, 0),
                 (QStringList{"(ohne Datum)", "01.05.2024", "01.05.2025", "01.05.2026"}));
        QCOMPARE(rig.Column(history, 1), (QStringList{"–", "34", "35", "36"}));
        QCOMPARE(rig.Column(history, 9), (QStringList{"", "", "", "+3,5"}));
        QCOMPARE(rig.window->ChangeLabel()->text(),
                 QStringLiteral("Seit dem Test davor: +3,5 VO2max, +12 Bahnen"));
        // The words of the results window, whatever today's data give.
        std::vector<std::pair<int, QString>> byDate;
        for (results.First(); !results.Eof(); results.Next())
            byDate.emplace_back(results.AsDate("Datum"),
                                QString::fromStdString(Cp1252ToUtf8(results.AsString("Bewertung"))));
        std::stable_sort(byDate.begin(), byDate.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        QStringList stored;
        for (const auto& [date, word] : byDate)
            stored << (word.isEmpty() ? QStringLiteral("–") : word);
        QCOMPARE(rig.Column(history, 6), stored);
        QCOMPARE(rig.Column(history, 6)[2], QStringLiteral("sehr schlecht"));

        rig.window->Pages()->setCurrentIndex(1);
        rig.Choose(rig.window->DayList(), rig.window->DayList()->count() - 1); // the undated day
        QCOMPARE(rig.Column(rig.window->RankingView(), 4), QStringList{"–"});
    }

    // A birth year corrected after the test: the stored word stays, marked, and the tooltip
    // says which word today's data would give.
    void ratingDifferingFromTodaysData() {
        Rig rig;
        const auto ben = rig.Athlete("Ben", "Bauer", "M", 2010);
        PostResult(rig.dm->cdsMultiwert, ben, 2026, 5, 1, 8, 11); // 43,3 at 16: "ok"
        rig.SetBirthYear(ben, 1980);
        const std::string today = evaluation::RateFitness("M", 46, 43.3).value_or(std::string());
        QVERIFY(today != "ok");
        rig.Open();
        rig.Choose(rig.window->AthleteList(), 0);
        const QModelIndex cell = rig.window->HistoryView()->model()->index(0, 6);
        QCOMPARE(cell.data().toString(), QStringLiteral("ok *"));
        QVERIFY(cell.data(Qt::ToolTipRole).toString().contains(QString::fromStdString("„" + today + "“")));
        QVERIFY(QByteArray::fromStdString(rig.window->ShownTableCsv()).contains(";ok;"));
    }

    void search_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("first name without umlaut") << "jurgen" << QStringList{"Groß, Jürgen (1990)"};
        QTest::newRow("surname in capitals with ss") << "GROSS" << QStringList{"Groß, Jürgen (1990)"};
        QTest::newRow("weiss finds Weiß") << "weiss" << QStringList{"Weiß, Zoë (2012)"};
        QTest::newRow("zoe finds Zoë") << "zoe" << QStringList{"Weiß, Zoë (2012)"};
        QTest::newRow("as the list shows it") << "Adler, An" << QStringList{"Adler, Anna (2010)"};
        QTest::newRow("as one says it") << "anna adl" << QStringList{"Adler, Anna (2010)"};
        QTest::newRow("part of a name") << "ad" << QStringList{"Adler, Anna (2010)"};
        QTest::newRow("nothing found") << "xyz" << QStringList{};
        QTest::newRow("empty: all") << ""
                                    << QStringList{"Adler, Anna (2010)", "Groß, Jürgen (1990)",
                                                   "Weiß, Zoë (2012)"};
    }
    void search() {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        Rig rig;
        rig.Athlete("Anna", "Adler", "W", 2010);
        rig.Athlete("Jürgen", "Groß", "M", 1990);
        rig.Athlete("Zoë", "Weiß", "W", 2012);
        rig.Open();
        rig.window->Search()->setFocus();
        QTest::keyClicks(rig.window->Search(), typed);
        QCOMPARE(rig.ShownAthletes(), shown);
        if (shown.isEmpty())
            QCOMPARE(rig.window->HistoryView()->model()->rowCount(), 0);
    }

    // The test days newest first; a day's ranking, sortable by each column; results whose
    // athlete is gone show as such.
    void choosingADayAndSorting() {
        Rig rig;
        const auto anna = rig.Athlete("Anna", "Adler", "W", 2010);
        const auto ben = rig.Athlete("Ben", "Bauer", "M", 2010);
        PostResult(rig.dm->cdsMultiwert, anna, 2026, 12, 1, 8, 11);
        PostResult(rig.dm->cdsMultiwert, ben, 2026, 12, 1, 10, 1);
        PostResult(rig.dm->cdsMultiwert, 77, 2026, 12, 1, 5, 2);
        PostResult(rig.dm->cdsMultiwert, anna, 2026, 11, 1, 25, 1); // outside: "Werte nicht definiert"
        rig.Open();
        rig.window->Pages()->setCurrentIndex(1);
        QListWidget* days = rig.window->DayList();
        QCOMPARE(days->count(), 2);
        QCOMPARE(days->item(0)->text(), QStringLiteral("01.12.2026  (3)"));
        QTableView* ranking = rig.window->RankingView();
        QCOMPARE(rig.Column(ranking, 1), (QStringList{"Ben Bauer", "Anna Adler", "(unbekannt)"}));
        QCOMPARE(rig.Column(ranking, 10), (QStringList{"Gesundheitszone", "Gesundheitszone", "–"}));
        rig.ClickTitle(ranking, 8);
        QCOMPARE(rig.Column(ranking, 8), (QStringList{"30,2", "43,3", "46,8"}));
        rig.Choose(days, 1);
        QCOMPARE(rig.Column(ranking, 8), QStringList{"0,0"});
        QVERIFY(
            rig.window->SummaryLabel()->text().contains(QStringLiteral("Alle</b></td><td align=right>1")));
    }

    // Ratings by rank ("sehr schlecht" lowest, none last both ways); names by last name,
    // then first name, Ö with O.
    void sortingByRatingAndName() {
        Rig rig;
        const int year = 2026;
        const std::vector<std::pair<const char*, const char*>> names{
            {"Zora", "Zander"}, {"Ömer", "Öztürk"}, {"Anna", "Ott"}, {"Bea", "Ott"}, {"Carl", "Adler"}};
        const int levels[] = {12, 5, 8, 2, 9};
        for (std::size_t i = 0; i < names.size(); ++i) {
            const auto id = rig.Athlete(names[i].first, names[i].second, "W", 1990);
            PostResult(rig.dm->cdsMultiwert, id, year, 12, 1, levels[i], 1);
        }
        PostResult(rig.dm->cdsMultiwert, rig.Athlete("Kim", "Klein", "W", 2016), year, 12, 1, 6,
                   1); // 10: no word
        rig.Open();
        rig.window->Pages()->setCurrentIndex(1);
        QTableView* ranking = rig.window->RankingView();
        rig.ClickTitle(ranking, 1);
        QCOMPARE(rig.Column(ranking, 1), (QStringList{"Carl Adler", "Kim Klein", "Anna Ott", "Bea Ott",
                                                      "Ömer Öztürk", "Zora Zander"}));
        rig.ClickTitle(ranking, 9);
        QStringList words = rig.Column(ranking, 9);
        QCOMPARE(words.last(), QStringLiteral("–"));
        for (int k = 1; k + 1 < words.size(); ++k)
            QVERIFY2(evaluation::RatingRank(words[k - 1].toStdString()) <=
                         evaluation::RatingRank(words[k].toStdString()),
                     qPrintable(words.join(QLatin1Char('|'))));
        rig.ClickTitle(ranking, 9); // descending: the best first, none still last
        words = rig.Column(ranking, 9);
        QCOMPARE(words.first(), QStringLiteral("überragend"));
        QCOMPARE(words.last(), QStringLiteral("–"));
        QCOMPARE(words[words.size() - 2], QStringLiteral("sehr schlecht"));
    }

    // The summary: "Bestwert", what was left out of the statistics, the health zone.
    void summaryOfADay() {
        Rig rig;
        const auto kim = rig.Athlete("Kim", "Klein", "W", 2014);  // 12
        const auto tom = rig.Athlete("Tom", "Tal", "M", 2014);    // 12
        const auto eva = rig.Athlete("Eva", "Engel", "W", 1980);  // no zone
        PostResult(rig.dm->cdsMultiwert, kim, 2026, 12, 1, 2, 3); // stopped in level 2: no value, 37.8
        PostResult(rig.dm->cdsMultiwert, tom, 2026, 12, 1, 9, 1); // healthy
        PostResult(rig.dm->cdsMultiwert, eva, 2026, 12, 1, 7, 1);
        rig.Open();
        rig.window->Pages()->setCurrentIndex(1);
        const QString summary = rig.window->SummaryLabel()->text();
        QVERIFY(summary.contains(QStringLiteral("Bestwert")));
        QVERIFY(summary.contains(QStringLiteral("1 Ergebnis ohne VO2max-Wert")));
        QVERIFY(summary.contains(QStringLiteral("Gesundheitszone (10–19 Jahre): 1 von 2")));
        QCOMPARE(rig.Column(rig.window->RankingView(), 10),
                 (QStringList{"Gesundheitszone", "–", "Verbesserung nötig"}));
    }

    // A pupil of 10 to 19 at every test sees the children's equation's VO2max against the
    // health zone's bands; an adult the norms' bands.
    void childChartShowsTheZone() {
        Rig rig;
        const auto kim = rig.Athlete("Kim", "Klein", "W", 2013);
        const auto eva = rig.Athlete("Eva", "Engel", "W", 1990);
        for (auto id : {kim, eva}) {
            PostResult(rig.dm->cdsMultiwert, id, 2025, 11, 3, 5, 2);
            PostResult(rig.dm->cdsMultiwert, id, 2026, 12, 1, 6, 4);
        }
        rig.Open();
        rig.Choose(rig.window->AthleteList(), 1); // Klein, Kim
        QStringList shown = rig.window->ProgressChart()->ShownSeries();
        QVERIFY2(shown.contains(QStringLiteral("Gesundheitszone")) &&
                     !shown.contains(QStringLiteral("überragend")),
                 qPrintable(shown.join('|')));
        rig.Choose(rig.window->AthleteList(), 0); // Engel, Eva
        shown = rig.window->ProgressChart()->ShownSeries();
        QVERIFY2(shown.contains(QStringLiteral("überragend")) &&
                     !shown.contains(QStringLiteral("Gesundheitszone")),
                 qPrintable(shown.join('|')));
        const auto steps = ui::ZoneSteps(evaluation::Athlete{1, "Kim", "Klein", "W", 2013},
                                         data::DaysFromCivil(2025, 11, 3), data::DaysFromCivil(2026, 12, 1));
        QCOMPARE(steps.size(), std::size_t(2)); // 12, then 13 from New Year
        QCOMPARE(steps[1].risk, 36.6);
    }

    // The norm bands step on the first of January of the year the athlete enters the next age
    // group, not halfway between two tests.
    void normBandsStepOnNewYear() {
        const evaluation::Athlete girl{1, "Kim", "Klein", "W", 2013};
        // Tests in June 2025 (12: no norms) and June 2027 (14).
        const auto steps =
            ui::NormSteps(girl, data::DaysFromCivil(2025, 6, 1), data::DaysFromCivil(2027, 6, 1));
        QCOMPARE(steps.size(), std::size_t(2));
        QVERIFY(!steps[0].bounds);
        QCOMPARE(steps[1].fromDay, data::DaysFromCivil(2026, 1, 1));
        QVERIFY(steps[1].bounds);
    }

    // At the window's default size, every axis label is the exact value of its tick, and the
    // date ticks fall on the first of a month.
    void axesLabelledExactly() {
        Rig rig;
        const auto anna = rig.Athlete("Anna", "Adler", "W", 2008);
        PostResult(rig.dm->cdsMultiwert, anna, 2024, 3, 14, 6, 1);
        PostResult(rig.dm->cdsMultiwert, anna, 2025, 9, 23, 8, 11);
        PostResult(rig.dm->cdsMultiwert, anna, 2026, 5, 2, 9, 4);
        for (int i = 0; i < 17; ++i)
            PostResult(rig.dm->cdsMultiwert, rig.Athlete("Vorname", "Name", i % 2 ? "W" : "M", 1990), 2026, 5,
                       2, 5 + i % 4, 1);
        rig.Open();
        rig.Choose(rig.window->AthleteList(), 0);
        QApplication::processEvents();
        auto exact = [](const std::vector<ui::ChartView::AxisTick>& ticks) {
            QVERIFY(ticks.size() >= 2);
            for (const auto& tick : ticks)
                QCOMPARE(tick.label, QString::number(tick.value));
        };
        exact(rig.window->ProgressChart()->Ticks(Qt::Vertical));
        const auto dates = rig.window->ProgressChart()->Ticks(Qt::Horizontal);
        QVERIFY(dates.size() >= 2);
        for (const auto& tick : dates)
            QVERIFY2(data::FormatGermanDate(static_cast<int>(tick.value)).substr(0, 2) == "01",
                     qPrintable(tick.label));
        rig.window->Pages()->setCurrentIndex(1);
        QApplication::processEvents();
        exact(rig.window->RatingChart()->Ticks(Qt::Vertical));
        if (qEnvironmentVariableIsSet("VEXO_KEEP_SHOTS")) {
            const QString folder = qEnvironmentVariable("VEXO_KEEP_SHOTS");
            rig.window->Pages()->setCurrentIndex(0);
            rig.window->grab().save(folder + QStringLiteral("/auswertung-sportler.png"));
            rig.window->Pages()->setCurrentIndex(1);
            rig.window->grab().save(folder + QStringLiteral("/auswertung-testtag.png"));
        }
    }

    // Opening reads the tables as they are loaded, not the file again: a file changed on disk
    // meanwhile is neither read nor set aside, and a result being edited counts with its
    // stored values.
    void openingReadsTheLoadedTables() {
        Rig rig;
        const auto anna = rig.Athlete("Anna", "Adler", "W", 2010);
        PostResult(rig.dm->cdsMultiwert, anna, 2026, 12, 1, 8, 11);
        PostResult(rig.dm->cdsMultiwert, anna, 2026, 12, 2, 9, 1);
        rig.Write(rig.Path("multiwert.xml"), "not a data packet");
        rig.dm->cdsMultiwert.Edit();
        rig.dm->cdsMultiwert.SetAsInteger("Level", 20);
        rig.Open();
        QVERIFY(rig.dialogs.Shown().empty());
        QCOMPARE(rig.window->Data().results.size(), std::size_t(2));
        QCOMPARE(rig.Column(rig.window->HistoryView(), 2), (QStringList{"8", "9"}));
        QCOMPARE(rig.Read(rig.Path("multiwert.xml")), QByteArray("not a data packet"));
        rig.dm->cdsMultiwert.Cancel();
    }

    // What was read is kept while the tables stay as they are (reopening keeps the chosen
    // athlete); every change of athletes or results is read, at the next quiet moment while
    // the window is closed, or at the latest when it opens.
    void readAgainAfterEveryChange() {
        Rig rig;
        const auto anna = rig.Athlete("Anna", "Adler", "W", 2010);
        const auto ben = rig.Athlete("Ben", "Berg", "M", 2011);
        PostResult(rig.dm->cdsMultiwert, anna, 2026, 12, 1, 8, 11);
        rig.Open();
        rig.Choose(rig.window->AthleteList(), 1);
        rig.window->hide();
        rig.Open();
        QCOMPARE(rig.window->AthleteList()->currentRow(), 1);
        rig.window->hide();

        // A result posted while the window is closed: read before the next opening.
        PostResult(rig.dm->cdsMultiwert, ben, 2026, 12, 2, 5, 3);
        QVERIFY(rig.window->PreparationPending());
        QTRY_VERIFY_WITH_TIMEOUT(!rig.window->PreparationPending(), 5000);
        QCOMPARE(rig.window->Data().results.size(), std::size_t(2));
        QCOMPARE(rig.window->DayList()->count(), 2);

        // Not while a modal window is open, nor when the program says it is busy.
        bool busy = true;
        rig.window->SetMayPrepareNow([&] { return !busy; });
        rig.SetBirthYear(ben, 2012);
        QTest::qWait(1500);
        QVERIFY(rig.window->PreparationPending());
        QCOMPARE(rig.window->Data().athletes.at(static_cast<int>(ben)).birthYear, 2011);
        // Opened before the quiet moment: read at the opening.
        rig.Open();
        QCOMPARE(rig.window->Data().athletes.at(static_cast<int>(ben)).birthYear, 2012);
        rig.window->hide();
        busy = false;

        // A deleted result and a reloaded table are changes too.
        QVERIFY(rig.dm->cdsMultiwert.LocateInteger("sportlerid", anna));
        rig.dm->cdsMultiwert.Delete();
        rig.Open();
        QCOMPARE(rig.window->Data().results.size(), std::size_t(1));
        rig.window->hide();
        rig.dm->cdsMultiwert.SaveToFile(rig.Path("kopie.xml"));
        PostResult(rig.dm->cdsMultiwert, anna, 2026, 12, 3, 4, 1);
        rig.dm->cdsMultiwert.LoadFromFile(rig.Path("kopie.xml"));
        rig.Open();
        QCOMPARE(rig.window->Data().results.size(), std::size_t(1));
    }

    // Empty files: both pages say so, nothing to export as a report.
    void emptyFiles() {
        Rig rig;
        rig.Open();
        QCOMPARE(rig.window->AthleteList()->count(), 0);
        QCOMPARE(rig.window->DayList()->count(), 0);
        QVERIFY(rig.window->ReportPdf().isEmpty());
        QTest::mouseClick(rig.window->findChild<QPushButton*>(QStringLiteral("btn_pdf")), Qt::LeftButton);
        rig.window->SaveDayPupilReports();
        rig.window->SavePupilReport();
        QCOMPARE(rig.dialogs.Texts(),
                 (std::vector<std::string>{"Es gibt noch keinen Testtag mit Ergebnissen.",
                                           "Es gibt noch keinen Testtag mit Ergebnissen.",
                                           "Bitte zuerst auf der Seite „Sportler“ einen Sportler wählen."}));
    }

    // The shown table goes out through "Speichern unter": the name offered, the bytes
    // written (the day's date in a column, every field with a comma quoted); a cancelled
    // dialog writes nothing; a file that cannot be written is told, in German.
    void exportWithTheFileDialog() {
        Rig rig;
        const auto anna = rig.Athlete("Anna", "Adler", "W", 2010);
        PostResult(rig.dm->cdsMultiwert, anna, 2026, 12, 1, 8, 11);
        rig.dm->cdsMultiwert.Edit();
        rig.dm->cdsMultiwert.SetAsString("Infoswerte", "Knie; \"links\"\r\nbandagiert");
        rig.dm->cdsMultiwert.Post();
        rig.Open();
        rig.window->Pages()->setCurrentIndex(1);
        const QString target = rig.dir.filePath(QStringLiteral("tag.csv"));
        rig.dialogs.ScriptFileName(target.toStdString());
        QTest::mouseClick(rig.window->findChild<QPushButton*>(QStringLiteral("btn_csv")), Qt::LeftButton);
        QCOMPARE(rig.dialogs.Shown().back().kind, ShownBox::SaveFile);
        QCOMPARE(rig.dialogs.Shown().back().text, std::string("Auswertung-2026-12-01.csv"));
        const QByteArray csv = rig.Read(target.toStdString());
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"
                               "Datum;Platz;Name;G;Jahrgang;Alter;Level;Runde;Meter;VO2max;Bewertung;"
                               "Gesundheitszone;VO2max (Zone);Notiz\r\n"));
        QVERIFY(csv.contains("01.12.2026;1;Anna Adler;W;2010;16;8;11;1440;\"43,3\";\xC3\xBC"
                             "berragend;Gesundheitszone;\"50,3\";\"Knie; \"\"links\"\"\r\nbandagiert\"\r\n"));

        rig.dialogs.Clear();
        QTest::mouseClick(rig.window->findChild<QPushButton*>(QStringLiteral("btn_csv_all")), Qt::LeftButton);
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1)); // cancelled: nothing more
        QCOMPARE(rig.dialogs.Shown()[0].text, std::string("Auswertung-2026-12-10.csv"));

        rig.dialogs.Clear();
        const QString sheet = rig.dir.filePath(QStringLiteral("alle.xlsx"));
        rig.dialogs.ScriptFileName(sheet.toStdString());
        rig.window->ExportAllResultsXlsx();
        QCOMPARE(rig.dialogs.Shown()[0].text, std::string("Auswertung-2026-12-10.xlsx"));
        QVERIFY(rig.Read(sheet.toStdString()).startsWith("PK\x03\x04")); // a zip archive, as .xlsx is

        rig.dialogs.Clear();
        rig.dialogs.ScriptFileName(rig.dir.filePath(QStringLiteral("fehlt/tag.csv")).toStdString());
        QTest::mouseClick(rig.window->findChild<QPushButton*>(QStringLiteral("btn_csv")), Qt::LeftButton);
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(2));
        QVERIFY(rig.dialogs.Shown()[1].text.find(
                    "kann nicht erstellt werden. Der Ordner oder die Datei existiert nicht.") !=
                std::string::npos);
    }

    // The report of a day of 35 athletes: a PDF of two A4 pages, "Seite n von m" on each,
    // the chart as vector graphics (no picture in the file); of 85, more pages.
    void reportOfADay() {
        Rig rig;
        for (int i = 0; i < 120; ++i) {
            const auto id =
                rig.Athlete("Vorname", ("Name" + std::to_string(i)).c_str(), i % 2 ? "W" : "M", 2010);
            PostResult(rig.dm->cdsMultiwert, id, 2026, 12, i < 35 ? 1 : 2, 4 + i % 12, 1 + i % 9);
        }
        rig.Open();
        rig.window->Pages()->setCurrentIndex(1);
        rig.Choose(rig.window->DayList(), 1); // 1 December: 35
        const QByteArray pdf = rig.window->ReportPdf();
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY(pdf.trimmed().endsWith("%%EOF"));
        QCOMPARE(PageCount(pdf), 2);
        QVERIFY(!pdf.contains("/Subtype /Image"));
        const QString text = PdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("Seite 1 von 2")));
        QVERIFY(text.contains(QStringLiteral("Seite 2 von 2")));
        QVERIFY(text.contains(QStringLiteral("Gesundheitszone")));
        QVERIFY(text.contains(QStringLiteral("sehr schlecht"))); // the chart's axis, as text
        // Every note whole: wrapped at the page's edge, never cut off there.
        QString joined = text;
        joined.replace(QLatin1Char('\n'), QLatin1Char(' '));
        for (const char* end : {"Normtabelle für Erwachsene", "in der Spalte „VO2max (Zone)“."})
            QVERIFY2(joined.contains(QString::fromUtf8(end)), end);
        if (qEnvironmentVariableIsSet("VEXO_KEEP_REPORT")) {
            QFile out(qEnvironmentVariable("VEXO_KEEP_REPORT"));
            if (out.open(QIODevice::WriteOnly))
                out.write(pdf);
        }
        rig.Choose(rig.window->DayList(), 0); // 2 December: 85
        const QByteArray longer = rig.window->ReportPdf();
        QVERIFY(PageCount(longer) >= 3);
        QVERIFY(PdfText(longer).contains(QStringLiteral("Seite 3 von %1").arg(PageCount(longer))));
    }

    // A page per pupil: the chosen athlete, or everyone of the chosen day in name order.
    void reportsPerPupil() {
        Rig rig;
        const auto kim = rig.Athlete("Kim", "Klein", "W", 2014);
        const auto ali = rig.Athlete("Ali", "Acar", "M", 2014);
        rig.Athlete("Nora", "Nie", "W", 2014); // not tested
        PostResult(rig.dm->cdsMultiwert, kim, 2025, 11, 3, 5, 2);
        PostResult(rig.dm->cdsMultiwert, kim, 2026, 12, 1, 6, 4);
        PostResult(rig.dm->cdsMultiwert, ali, 2026, 12, 1, 8, 1);
        rig.Open();
        rig.Choose(rig.window->AthleteList(), 1); // Klein, Kim
        const QByteArray one = rig.window->PupilReportPdf(false);
        QCOMPARE(PageCount(one), 1);
        const QString text = PdfText(one);
        for (const char* expected :
             {"Fitnessbericht: Kim Klein", "Jahrgang 2014", "03.11.2025", "01.12.2026", "Gesundheitszone",
              "Seit dem Test davor: +", " VO2max, +11 Bahnen", "Seite 1 von 1", "Léger"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(!one.contains("/Subtype /Image"));
        if (qEnvironmentVariableIsSet("VEXO_KEEP_PUPIL_REPORT")) {
            QFile out(qEnvironmentVariable("VEXO_KEEP_PUPIL_REPORT"));
            if (out.open(QIODevice::WriteOnly))
                out.write(one);
        }

        rig.window->Pages()->setCurrentIndex(1);
        rig.Choose(rig.window->DayList(), 0); // 1 December 2026: Kim and Ali
        const QByteArray day = rig.window->PupilReportPdf(true);
        QCOMPARE(PageCount(day), 2);
        const QString both = PdfText(day);
        QVERIFY(both.indexOf(QStringLiteral("Ali Acar")) < both.indexOf(QStringLiteral("Kim Klein")));
        QVERIFY(!both.contains(QStringLiteral("Nora")));
    }

    // Each export draws its charts from a state of its own: the day report after the pupil
    // reports, and the pupil reports after the day report, read as in a fresh window.
    void exportsDoNotShareTheirCharts_data() {
        QTest::addColumn<bool>("dayFirst");
        QTest::newRow("pupil reports, then the day report") << false;
        QTest::newRow("day report, then the pupil reports") << true;
    }
    void exportsDoNotShareTheirCharts() {
        QFETCH(bool, dayFirst);
        auto make = [](Rig& rig, bool day) {
            rig.window->Pages()->setCurrentIndex(1);
            rig.Choose(rig.window->DayList(), 0);
            return PdfText(day ? rig.window->ReportPdf() : rig.window->PupilReportPdf(true));
        };
        auto fill = [](Rig& rig) {
            const auto kim = rig.Athlete("Kim", "Klein", "W", 2014);
            const auto ali = rig.Athlete("Ali", "Acar", "M", 2014);
            PostResult(rig.dm->cdsMultiwert, kim, 2025, 11, 3, 5, 2);
            PostResult(rig.dm->cdsMultiwert, kim, 2026, 12, 1, 6, 4);
            PostResult(rig.dm->cdsMultiwert, ali, 2026, 12, 1, 8, 1);
            rig.Open();
        };
        QString fresh;
        {
            Rig rig;
            fill(rig);
            fresh = make(rig, !dayFirst);
        }
        Rig rig;
        fill(rig);
        make(rig, dayFirst);
        QCOMPARE(make(rig, !dayFirst), fresh);
    }

    // "Gruppe:" restricts the test days, the ranking, the summary, the trend and every export
    // to the group's members, and is remembered at the next opening; two classes and adults
    // tested on one day.
    void groupFilter_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("alle") << "alle" << QStringList{"Ada Alt", "Kai Klein", "Lea Lang", "Mo Mut"};
        QTest::newRow("Klasse 7a") << "Klasse 7a" << QStringList{"Kai Klein", "Lea Lang"};
        QTest::newRow("Klasse 7b") << "Klasse 7b" << QStringList{"Mo Mut"};
    }
    void groupFilter() {
        QFETCH(QString, group);
        QFETCH(QStringList, names);
        Rig rig;
        const auto kai = rig.Athlete("Kai", "Klein", "M", 2013);
        const auto lea = rig.Athlete("Lea", "Lang", "W", 2013);
        const auto mo = rig.Athlete("Mo", "Mut", "M", 2012);
        const auto ada = rig.Athlete("Ada", "Alt", "W", 1980);
        for (auto id : {kai, lea, mo, ada})
            PostResult(rig.dm->cdsMultiwert, id, 2026, 12, 1, 6, 2);
        PostResult(rig.dm->cdsMultiwert, kai, 2026, 6, 1, 5, 2); // the class's earlier day
        PostResult(rig.dm->cdsMultiwert, ada, 2026, 3, 1, 9, 1); // a day without the class
        data::GroupStore groups(*rig.dm);
        groups.Create("Klasse 7a", {kai, lea});
        groups.Create("Klasse 7b", {mo});
        rig.Open();
        rig.window->Pages()->setCurrentIndex(1);
        QComboBox* filter = rig.window->GroupFilter();
        filter->setCurrentIndex(filter->findText(group));
        rig.window->GroupChosen();
        rig.Choose(rig.window->DayList(), 0); // 1 December
        QStringList ranked = rig.Column(rig.window->RankingView(), 1);
        ranked.sort();
        QCOMPARE(ranked, names);
        QVERIFY(rig.window->SummaryLabel()->text().contains(
            QStringLiteral("<td align=right>%1</td>").arg(names.size())));
        const int days = rig.window->DayList()->count();
        QCOMPARE(days, group == "alle" ? 3 : group == "Klasse 7a" ? 2 : 1);
        // Every export holds the same athletes.
        auto namesIn = [](const evaluation::ExportTable& table, int column) {
            QSet<QString> found;
            for (const auto& row : table.rows)
                found.insert(QString::fromStdString(row[std::size_t(column)].text));
            return found;
        };
        QCOMPARE(namesIn(rig.window->ShownTable(), 2), QSet<QString>(names.begin(), names.end()));
        const QSet<QString> lastNames = namesIn(rig.window->AllResults(), 2);
        for (const QString& n : names)
            QVERIFY(lastNames.contains(n.section(' ', 1)));
        QCOMPARE(lastNames.size(), names.size());
        // The CSV of all results, written row by row, is that table.
        QCOMPARE(rig.window->AllResultsCsv(), evaluation::CsvOf(rig.window->AllResults()));
        const QString pupils = PdfText(rig.window->PupilReportPdf(true));
        for (const char* everyone : {"Kai Klein", "Lea Lang", "Mo Mut", "Ada Alt"})
            QCOMPARE(pupils.contains(QString::fromUtf8(everyone)),
                     names.contains(QString::fromUtf8(everyone)));
        // Remembered at the next opening.
        rig.window->hide();
        rig.Open();
        QCOMPARE(rig.window->GroupFilter()->currentText(), group);
        QCOMPARE(rig.window->DayList()->count(), days);
    }

    // "Klassenbericht …" on the test-day page: asks for a class first; for a class, the
    // summary says how the class did against its previous test day, and one file name gives
    // the PDF and the spreadsheet beside it, whose table has the changes in two columns.
    void classReportFromTheDayPage() {
        Rig rig;
        const auto kai = rig.Athlete("Kai", "Klein", "M", 2013);
        const auto lea = rig.Athlete("Lea", "Lang", "W", 2013);
        const auto ada = rig.Athlete("Ada", "Alt", "W", 1980);
        PostResult(rig.dm->cdsMultiwert, kai, 2026, 6, 1, 6, 2);
        PostResult(rig.dm->cdsMultiwert, lea, 2026, 6, 1, 6, 2);
        for (auto id : {kai, lea, ada})
            PostResult(rig.dm->cdsMultiwert, id, 2026, 12, 1, id == lea ? 5 : 7, 1);
        data::GroupStore(*rig.dm).Create("Klasse 7a", {kai, lea});
        rig.Open();
        rig.window->Pages()->setCurrentIndex(1);
        auto* button = rig.window->findChild<QPushButton*>(QStringLiteral("btn_class_report"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(rig.dialogs.Texts(),
                 (std::vector<std::string>{"Bitte zuerst links unter „Gruppe“ die Klasse wählen."}));
        QVERIFY(!rig.window->SummaryLabel()->text().contains(QStringLiteral("Seit dem")));

        QComboBox* filter = rig.window->GroupFilter();
        filter->setCurrentIndex(filter->findText(QStringLiteral("Klasse 7a")));
        rig.window->GroupChosen();
        QVERIFY(rig.window->SummaryLabel()->text().contains(
            QStringLiteral("Seit dem 01.06.2026: 1 weiter gelaufen, 0 gleich weit, 1 weniger weit.")));
        const evaluation::ExportTable table = rig.window->ClassTable();
        QCOMPARE(table.header.back(), std::string("VO2max ± seit 01.06.2026"));
        QCOMPARE(table.rows.size(), std::size_t(2));
        rig.dialogs.ScriptFileName(rig.Path("7a")); // typed without its ending
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(QFile::exists(QString::fromStdString(rig.Path("7a.pdf"))));
        QVERIFY(QFile::exists(QString::fromStdString(rig.Path("7a.xlsx"))));
        const std::vector<std::string> texts = rig.dialogs.Texts();
        QCOMPARE(texts[texts.size() - 2], std::string("Klassenbericht-Klasse-7a-2026-12-01.pdf"));
        QVERIFY(texts.back().starts_with("Der Klassenbericht ist gespeichert:"));
    }

    // The help names what the window shows and both sources of the health zone.
    void helpNamesTheSources() {
        Rig rig;
        rig.Open();
        QTest::mouseClick(rig.window->findChild<QPushButton*>(QStringLiteral("btn_help")), Qt::LeftButton);
        const std::string help = rig.dialogs.Texts().at(0);
        QVERIFY(help.find("FITNESSGRAM") != std::string::npos);
        QVERIFY(help.find("Cooper Institute, 2010") != std::string::npos);
        QVERIFY(help.find("Léger") != std::string::npos && help.find("1988") != std::string::npos);
    }
};

QTEST_MAIN(TestEvaluationWindow)
#include "test_evaluation_window.moc"
