// The evaluation window as a coach uses it after a test: choosing an athlete, searching,
// choosing a day, sorting the ranking, exporting the shown table with the file dialog
// scripted, and the report of a 35-athlete day as a PDF file.
#include "data/text_encoding.h"
#include "data_rig.h"
#include "ui/evaluation/chart_view.h"
#include "ui/evaluation/evaluation_window.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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
};

} // namespace

class TestEvaluationWindow : public QObject {
    Q_OBJECT
private slots:
    // An athlete's results over time with the change since the test before.
    void choosingAnAthlete() {
        Rig rig;
        const auto anna = rig.Athlete("Anna", "Adler", "W", 2010);
        rig.Athlete("Jürgen", "Groß", "M", 1990);
        PostResult(rig.dm->cdsMultiwert, anna, 2025, 5, 1, 6, 1);  // 32,9
        PostResult(rig.dm->cdsMultiwert, anna, 2026, 5, 1, 8, 11); // 43,3
        rig.Open();
        QCOMPARE(rig.ShownAthletes(), (QStringList{"Adler, Anna", "Groß, Jürgen"}));
        rig.Choose(rig.window->AthleteList(), 0);
        QTableView* history = rig.window->HistoryView();
        QCOMPARE(rig.Column(history, 0), (QStringList{"01.05.2025", "01.05.2026"}));
        QCOMPARE(rig.Column(history, 1), (QStringList{"15", "16"}));
        QCOMPARE(rig.Column(history, 5), (QStringList{"32,9", "43,3"}));
        QCOMPARE(rig.Column(history, 6), (QStringList{"ok", "überragend"}));
        QCOMPARE(rig.Column(history, 7), (QStringList{"", "+10,4"}));
        QCOMPARE(rig.window->ChangeLabel()->text(),
                 QStringLiteral("Seit dem Test davor: +10,4 VO2max, +30 Bahnen"));
        rig.Choose(rig.window->AthleteList(), 1); // no results at all
        QCOMPARE(history->model()->rowCount(), 0);
        QCOMPARE(rig.window->ChangeLabel()->text(), QStringLiteral("Noch kein Ergebnis."));
    }

    void search_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("first name without umlaut") << "jurgen" << QStringList{"Groß, Jürgen"};
        QTest::newRow("surname in capitals with ss") << "GROSS" << QStringList{"Groß, Jürgen"};
        QTest::newRow("part of a name") << "ad" << QStringList{"Adler, Anna"};
        QTest::newRow("nothing found") << "xyz" << QStringList{};
        QTest::newRow("empty: all") << "" << QStringList{"Adler, Anna", "Groß, Jürgen"};
    }
    void search() {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        Rig rig;
        rig.Athlete("Anna", "Adler", "W", 2010);
        rig.Athlete("Jürgen", "Groß", "M", 1990);
        rig.Open();
        rig.window->Search()->setFocus();
        QTest::keyClicks(rig.window->Search(), typed);
        QCOMPARE(rig.ShownAthletes(), shown);
        if (shown.isEmpty())
            QCOMPARE(rig.window->HistoryView()->model()->rowCount(), 0);
    }

    // The test days newest first; a day's ranking, sortable by each column; results whose
    // athlete is gone and results outside the table show without a rating.
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
        QCOMPARE(rig.Column(ranking, 8), (QStringList{"gut", "überragend", "–"}));
        QTest::mouseClick(ranking->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(ranking->horizontalHeader()->sectionViewportPosition(1) + 5, 5));
        QCOMPARE(rig.Column(ranking, 1), (QStringList{"(unbekannt)", "Anna Adler", "Ben Bauer"}));
        QTest::mouseClick(ranking->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(ranking->horizontalHeader()->sectionViewportPosition(7) + 5, 5));
        QCOMPARE(rig.Column(ranking, 7), (QStringList{"30,2", "43,3", "46,8"}));
        rig.Choose(days, 1);
        QCOMPARE(rig.Column(ranking, 7), QStringList{"0,0"});
        QCOMPARE(rig.Column(ranking, 8), QStringList{"–"});
        QVERIFY(
            rig.window->SummaryLabel()->text().contains(QStringLiteral("Alle</b></td><td align=right>1")));
    }

    // Empty files: both pages say so, nothing to export as a report.
    void emptyFiles() {
        Rig rig;
        rig.Open();
        QCOMPARE(rig.window->AthleteList()->count(), 0);
        QCOMPARE(rig.window->DayList()->count(), 0);
        QVERIFY(rig.window->ReportPdf().isEmpty());
        QTest::mouseClick(rig.window->findChild<QPushButton*>(QStringLiteral("btn_pdf")), Qt::LeftButton);
        QCOMPARE(rig.dialogs.Texts(),
                 std::vector<std::string>{"Es gibt noch keinen Testtag mit Ergebnissen."});
    }

    // The shown table goes out through "Speichern unter": the name offered, the bytes
    // written; a cancelled dialog writes nothing; a file that cannot be written is told.
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
        QVERIFY(
            csv.startsWith("\xEF\xBB\xBFPlatz;Name;G;Alter;Level;Runde;Meter;VO2max;Bewertung;Notiz\r\n"));
        QVERIFY(csv.contains("1;Anna Adler;W;16;8;11;1440;43,3;\xC3\xBC"
                             "berragend;\"Knie; \"\"links\"\"\r\nbandagiert\"\r\n"));

        rig.dialogs.Clear();
        QTest::mouseClick(rig.window->findChild<QPushButton*>(QStringLiteral("btn_csv_all")), Qt::LeftButton);
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1)); // cancelled: nothing more
        QCOMPARE(rig.dialogs.Shown()[0].text, std::string("Auswertung-2026-12-10.csv"));

        rig.dialogs.Clear();
        rig.dialogs.ScriptFileName(rig.dir.filePath(QStringLiteral("fehlt/tag.csv")).toStdString());
        QTest::mouseClick(rig.window->findChild<QPushButton*>(QStringLiteral("btn_csv")), Qt::LeftButton);
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(2));
        QVERIFY(rig.dialogs.Shown()[1].text.find("kann nicht erstellt werden") != std::string::npos);
    }

    // The report of a day of 35 athletes: a PDF of two A4 pages; of 120, more.
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
        QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 2);
        if (qEnvironmentVariableIsSet("VEXO_KEEP_REPORT")) {
            QFile out(qEnvironmentVariable("VEXO_KEEP_REPORT"));
            if (out.open(QIODevice::WriteOnly))
                out.write(pdf);
        }
        rig.Choose(rig.window->DayList(), 0); // 2 December: 85
        const QByteArray longer = rig.window->ReportPdf();
        QVERIFY(longer.count("/Type /Page\n") + longer.count("/Type /Page\r") +
                    longer.count("/Type /Page ") >=
                3);
    }
};

QTEST_MAIN(TestEvaluationWindow)
#include "test_evaluation_window.moc"
