// The group test as a teacher uses it: groups made, renamed, filled and emptied on the page
// "Gruppen"; a class list imported through its preview; the roster with clicks and keys
// during a test, the question at STOP and the review taking the results over; and a run the
// program did not finish, offered at the next start.
#include "app/program.h"
#include "app/termination_signals.h"
#include "app/vexo_multistage_form.h"
#include "data/DModule.h"
#include "data/groups.h"
#include "data/text_encoding.h"
#include "data_rig.h"
#include "evaluation/global.h"
#include "fake_sound.h"
#include "grouptest/group_test_session.h"
#include "grouptest/journal.h"
#include "grouptest/review.h"
#include "pacing/run_controller.h"
#include "pdf_text.h"
#include "ui/grouptest/class_list_dialog.h"
#include "ui/grouptest/groups_page.h"
#include "ui/grouptest/review_dialog.h"
#include "ui/grouptest/roster_window.h"
#include "ui/grouptest/runner_tile.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <functional>

using namespace grouptest;

namespace {

QStringList Texts(const QListWidget* list, bool shownOnly = false) {
    QStringList texts;
    for (int r = 0; r < list->count(); ++r)
        if (!shownOnly || !list->item(r)->isHidden())
            texts << list->item(r)->text();
    return texts;
}

// Runs `inside` on the next modal dialog once it is open.
void WhenModalOpens(std::function<void(QWidget*)> inside) {
    QTimer::singleShot(0, [inside] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            WhenModalOpens(inside); // not open yet: once more
            return;
        }
        inside(modal);
    });
}

// The whole program on a temporary folder, its data files opened, on the virtual clock with a
// silent sound player and scripted dialogs.
struct ProgramRig {
    VirtualClock clock{DataRig::Start()};
    FakeSound sound{&clock};
    FakeDialogs dialogs;
    QTemporaryDir dir;
    std::unique_ptr<Program> program;

    ProgramRig() {
        global::InitVO2Table();
        program = std::make_unique<Program>(dir.path().toStdString() + "/");
        program->MainWindow().FormActivate();
    }
};

struct RosterRig : DataRig {
    FakeSound sound{&clock};
    NoRunDisplay display;
    std::unique_ptr<platform::Timer> shuttleTimer = clock.CreateTimer();
    std::unique_ptr<platform::Timer> displayTimer = clock.CreateTimer();
    TestRunController controller{display, *shuttleTimer, *displayTimer};
    std::unique_ptr<GroupTestSession> session;
    std::unique_ptr<ui::RosterWindow> roster;
    std::vector<std::int64_t> athletes;

    explicit RosterRig(int count = 3) {
        Module().FirstActivation();
        std::vector<Runner> runners;
        for (int i = 0; i < count; ++i) {
            const std::string first = "Kind" + std::to_string(i + 1);
            athletes.push_back(PostAthlete(dm->cdsSportler, first.c_str(), "Klein", i % 2 ? "M" : "W", 2012));
            runners.push_back({athletes.back(), first, "Klein", RunnerState::Running, 0, 0});
        }
        session = std::make_unique<GroupTestSession>(GroupRun(1, "Klasse 7b", runners), controller,
                                                     global::GruppentestPath);
        roster = std::make_unique<ui::RosterWindow>(
            *dm, *session, controller, [this] { controller.btn_startClick(); },
            [this] { controller.btn_stopClick(); });
        roster->resize(1200, 700);
        roster->show();
        QApplication::setActiveWindow(roster.get());
        (void)QTest::qWaitForWindowActive(roster.get());
    }
    ~RosterRig() {
        roster.reset();
        session.reset();
    }
    void Click(std::size_t tile) { QTest::mouseClick(roster->Tile(tile), Qt::LeftButton); }
};

} // namespace

class TestGroupTestWindows : public QObject {
    Q_OBJECT
private slots:
    // New (a taken name is said and asked again), rename, members added from a search and
    // removed, delete asking first.
    void managingGroups() {
        DataRig rig;
        rig.Module().FirstActivation();
        PostAthlete(rig.dm->cdsSportler, "Anna", "Adler", "W", 2012);
        PostAthlete(rig.dm->cdsSportler, "J\xFCrgen", "Gro\xDF", "M", 2011);
        PostAthlete(rig.dm->cdsSportler, "Zo\xEB", "Wei\xDF", "W", 2012);
        ui::GroupsPage page(*rig.dm);
        page.Reload();
        QVERIFY(QFile::exists(QString::fromStdString(global::GruppenPath)));
        QCOMPARE(Texts(page.Athletes()),
                 (QStringList{"Adler, Anna (2012)", "Groß, Jürgen (2011)", "Weiß, Zoë (2012)"}));

        rig.dialogs.ScriptText(std::string("Klasse 7b"));
        page.NewGroup();
        rig.dialogs.ScriptText(std::string("klasse 7B"));
        rig.dialogs.ScriptText(std::string("Klasse 7c"));
        page.NewGroup();
        QVERIFY(rig.dialogs.Texts().size() >= 3);
        QCOMPARE(rig.dialogs.Texts()[2], std::string("Eine Gruppe \"Klasse 7b\" gibt es schon."));
        QCOMPARE(Texts(page.Groups()), (QStringList{"Klasse 7b  (0)", "Klasse 7c  (0)"}));

        page.Groups()->setCurrentRow(0);
        QTest::keyClicks(page.Search(), QStringLiteral("weiss"));
        QCOMPARE(Texts(page.Athletes(), true), QStringList{"Weiß, Zoë (2012)"});
        page.Search()->clear();
        for (int r : {2, 0})
            page.Athletes()->item(r)->setSelected(true);
        page.AddMembers();
        QCOMPARE(Texts(page.Members()), (QStringList{"Adler, Anna (2012)", "Weiß, Zoë (2012)"}));
        QCOMPARE(Texts(page.Groups())[0], QStringLiteral("Klasse 7b  (2)"));
        page.Members()->item(0)->setSelected(true);
        page.RemoveMembers();
        QCOMPARE(Texts(page.Members()), QStringList{"Weiß, Zoë (2012)"});

        rig.dialogs.ScriptText(std::string("Klasse 8b"));
        page.RenameGroup();
        QCOMPARE(Texts(page.Groups()), (QStringList{"Klasse 7c  (0)", "Klasse 8b  (1)"}));
        page.Groups()->setCurrentRow(1);
        rig.dialogs.ScriptAnswer(platform::Answer::No);
        page.DeleteGroup();
        QCOMPARE(page.Groups()->count(), 2);
        rig.dialogs.ScriptAnswer(platform::Answer::Yes);
        page.DeleteGroup();
        QCOMPARE(Texts(page.Groups()), QStringList{"Klasse 7c  (0)"});
        QCOMPARE(data::GroupStore(*rig.dm).All().size(), std::size_t(1));
    }

    // A class list through its preview: a refused row shown with its reason, a sex chosen,
    // the group named after the file; the import lands.
    void importingAClassList() {
        DataRig rig;
        rig.Module().FirstActivation();
        const std::string path = rig.Path("Klasse 5a.csv");
        rig.Write(path, "Nachname;Vorname;m/w/d;Geburtsdatum\n"
                        "Acar;Ali;m;03.04.2015\n"
                        "Klein;Kim;d;12.12.2015\n"
                        "Alt;Otto;m;01.01.1900\n");
        ui::GroupsPage page(*rig.dm);
        page.Reload();
        rig.dialogs.ScriptFileName(path);
        rig.dialogs.ScriptAnswer(platform::Answer::Yes); // leave the refused row out
        QStringList preview;
        WhenModalOpens([&](QWidget* modal) {
            auto* dialog = qobject_cast<ui::ClassListDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->GroupName()->text(), QStringLiteral("Klasse 5a"));
            for (int r = 0; r < dialog->Table()->rowCount(); ++r)
                preview << dialog->Table()->item(r, 5)->text();
            dialog->ChooseSex(1, "W");
            dialog->Import();
        });
        page.ImportClassList();
        QCOMPARE(preview, (QStringList{"neu", "abgelehnt: Geschlecht \"d\": bitte W oder M wählen",
                                       "abgelehnt: das Geburtsjahr sollte zwischen 1920 und heute liegen"}));
        QCOMPARE(Texts(page.Groups()), QStringList{"Klasse 5a  (2)"});
        QCOMPARE(Texts(page.Members()), (QStringList{"Acar, Ali (2015)", "Klein, Kim (2015)"}));
        QCOMPARE(rig.dm->cdsSportler.RecordCount(), 2);
    }

    // Clicks and keys during the test; a tap before START does nothing; STOP asks about those
    // still running, and the review takes the results over and removes the journal.
    void rosterDuringATest() {
        RosterRig rig;
        rig.Click(0);
        QCOMPARE(rig.roster->Tile(0)->StateText(), QStringLiteral("bereit")); // not started yet
        rig.controller.btn_startClick();
        QCOMPARE(rig.roster->Tile(0)->StateText(), QStringLiteral("läuft"));
        QVERIFY(rig.Read(global::GruppentestPath).startsWith("VEXO-GRUPPENTEST 2"));
        rig.clock.AdvanceTo(20000);
        rig.Click(0);
        QCOMPARE(rig.roster->Tile(0)->StateText(), QStringLiteral("Warnung"));
        rig.clock.AdvanceTo(8470 * 5 + 500); // half a second after the 5th beep
        QTest::keyClick(rig.roster.get(), Qt::Key_1);
        QCOMPARE(rig.roster->Tile(0)->StateText(), QStringLiteral("raus: 1 / 4"));
        QTest::keyClick(rig.roster.get(), Qt::Key_2);
        QTest::keyClick(rig.roster.get(), Qt::Key_2);
        QTest::keyClick(rig.roster.get(), Qt::Key_2); // and back: running again
        QCOMPARE(rig.roster->Tile(1)->StateText(), QStringLiteral("läuft"));
        const GroupRun journal = *ReadJournal(global::GruppentestPath);
        QCOMPARE(journal.Runners()[0].shuttle, 4); // every tap is on disk at once
        QCOMPARE(int(journal.Runners()[1].state), int(RunnerState::Running));

        rig.clock.AdvanceTo(59290 + 8000 * 2 + 100);     // level 2, two shuttles done
        rig.dialogs.ScriptAnswer(platform::Answer::Yes); // still running: out where they are
        bool reviewed = false;
        WhenModalOpens([&](QWidget* modal) {
            auto* review = qobject_cast<ui::ReviewDialog*>(modal);
            QVERIFY(review);
            QCOMPARE(review->Table()->rowCount(), 3);
            QCOMPARE(review->Table()->item(1, 4)->text(), QStringLiteral("0,0")); // level 2: no value
            review->TakeOver();
            reviewed = true;
        });
        rig.controller.btn_stopClick();
        QTRY_VERIFY(reviewed);
        QVERIFY(rig.dialogs.Texts()[0].find("2 Sportler laufen noch") != std::string::npos);
        QCOMPARE(rig.roster->findChild<QLabel*>(QStringLiteral("RunStatus"))->text(),
                 QStringLiteral("Test beendet – Ergebnisse übernommen"));
        // A long status wraps; the window keeps its width.
        QCOMPARE(rig.roster->width(), 1200);
        QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 3);
        QVERIFY(!QFile::exists(QString::fromStdString(global::GruppentestPath)));
        QVERIFY(rig.Read(global::MultiwertPath).contains("<ROW "));
    }

    // A pupil who arrives late joins the running test: chosen from the athletes not running
    // yet, a tile and a key of its own, in the journal at once, and tapped like the others.
    void latecomerJoinsTheRun() {
        RosterRig rig;
        const auto lena = PostAthlete(rig.dm->cdsSportler, "Lena", "Sp\xE4t", "W", 2012); // Windows-1252
        rig.controller.btn_startClick();
        rig.clock.AdvanceTo(30000);
        rig.dialogs.ScriptChoice(0);
        rig.roster->AddLatecomer();
        QCOMPARE(rig.dialogs.LastChoices(), std::vector<std::string>{"Spät, Lena (2012)"});
        QCOMPARE(rig.roster->Run().Runners().size(), std::size_t(4));
        QCOMPARE(rig.roster->Run().Runners()[3].athleteId, lena);
        QCOMPARE(rig.roster->Tile(3)->StateText(), QStringLiteral("läuft"));
        QCOMPARE(ReadJournal(global::GruppentestPath)->Runners().size(), std::size_t(4));
        QTest::keyClick(rig.roster.get(), Qt::Key_4);
        QCOMPARE(rig.roster->Tile(3)->StateText(), QStringLiteral("Warnung"));
        rig.dialogs.Clear();
        rig.roster->AddLatecomer(); // nobody left to add
        QCOMPARE(rig.dialogs.Texts(),
                 std::vector<std::string>{"Alle gespeicherten Sportler laufen schon mit."});
    }

    // A tap handled late (the window busy) counts at the moment of its press: the press's own
    // time stamp, on the clock of the events handled at once; never later than now and never
    // more than two seconds earlier.
    void tapCountsWhenItWasMade() {
        RosterRig rig;
        const std::int64_t now = platform::Clock().Now();
        QCOMPARE(rig.roster->MomentOf(0), now);
        QCOMPARE(rig.roster->MomentOf(50000), now); // handled at once: the two clocks' offset
        rig.clock.Advance(700);                     // the next press waited 700 ms to be handled
        QCOMPARE(rig.roster->MomentOf(50100), now + 100);
        rig.clock.Advance(10000);
        QCOMPARE(rig.roster->MomentOf(50200), platform::Clock().Now() - 2000); // strayed: at most 2 s
    }

    // The roster is not closed while the test runs.
    void noClosingDuringTheTest() {
        RosterRig rig;
        rig.controller.btn_startClick();
        QVERIFY(!rig.roster->close());
        QCOMPARE(rig.dialogs.Texts().back(), std::string("Der Test läuft noch. Bitte erst STOP drücken."));
    }

    // One wrong press never loses a class's marks: a second START (main window or roster)
    // asks first with "Nein" as its default, and "Nein" keeps every mark and the journal;
    // closing the main window during the run says so once and the run goes on; a tile's
    // key pressed in the main window taps the tile; the roster is a tool window of the main
    // window, kept above it.
    void runSurvivesOneWrongPress() {
        ProgramRig rig;
        VirtualClock& clock = rig.clock;
        FakeDialogs& dialogs = rig.dialogs;
        Program& program = *rig.program;
        TMultistage_frm& main = program.MainWindow();
        std::vector<std::int64_t> members;
        for (const char* first : {"Anna", "Ben"})
            members.push_back(PostAthlete(program.DataModule().cdsSportler, first, "Klein", "W", 2012));
        const std::int64_t group = data::GroupStore(program.DataModule()).Create("Klasse 7b", members);
        main.show();
        program.OpenGroupTest(group);
        ui::RosterWindow& roster = *program.Roster();
        QVERIFY(roster.windowFlags().testFlag(Qt::Tool));
        QCOMPARE(roster.parentWidget(), &main);

        main.btn_startClick();
        clock.AdvanceTo(20000);
        QTest::keyClick(&main, Qt::Key_1); // pressed while the main window had the keys
        QCOMPARE(roster.Tile(0)->StateText(), QStringLiteral("Warnung"));
        auto readJournal = [] {
            QFile f(QString::fromStdString(global::GruppentestPath));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray journal = readJournal();
        QVERIFY(journal.contains("laeufer"));

        dialogs.Clear();
        clock.AdvanceTo(30000);
        main.btn_startClick(); // unscripted: Enter on the question, its default
        QCOMPARE(dialogs.Shown().size(), std::size_t(1));
        QCOMPARE(dialogs.Shown()[0].kind, ShownBox::YesNoDefaultNo);
        QCOMPARE(dialogs.Shown()[0].text,
                 std::string("Der Gruppentest läuft. Neu starten? Alle Markierungen gehen verloren."));
        QCOMPARE(roster.Tile(0)->StateText(), QStringLiteral("Warnung"));
        QCOMPARE(roster.Run().StartTime(), DataRig::Start());
        QCOMPARE(readJournal(), journal);

        dialogs.Clear();
        QVERIFY(!main.close());
        QCOMPARE(dialogs.Texts(), std::vector<std::string>{"Der Test läuft noch. Bitte erst STOP drücken."});
        QVERIFY(main.Controller().Running());
        QTest::keyClick(&roster, Qt::Key_2);
        QCOMPARE(roster.Tile(1)->StateText(), QStringLiteral("Warnung"));

        dialogs.ScriptAnswer(platform::Answer::Yes);
        main.btn_startClick(); // asked, and meant
        QCOMPARE(roster.Tile(0)->StateText(), QStringLiteral("läuft"));
        QCOMPARE(roster.Run().StartTime(), DataRig::Start() + 30000);
        main.btn_stopClick();
        program.End();
    }

    // The system ends the program during a run (logout, shutdown): no box and no question
    // keeps it, the journal holds the run, and the next start offers it.
    void terminationDuringARunEndsWithoutABox() {
        ProgramRig rig;
        VirtualClock& clock = rig.clock;
        FakeDialogs& dialogs = rig.dialogs;
        {
            Program& program = *rig.program;
            const auto ben = PostAthlete(program.DataModule().cdsSportler, "Ben", "Bauer", "M", 2010);
            const std::int64_t group = data::GroupStore(program.DataModule()).Create("Klasse 7b", {ben});
            program.MainWindow().show();
            program.OpenGroupTest(group);
            program.MainWindow().btn_startClick();
            clock.AdvanceTo(20000);
            QTest::keyClick(program.Roster(), Qt::Key_1);
            dialogs.Clear();
            const TerminationSignals endWhenAsked;
            QTimer::singleShot(0, [] { std::raise(SIGTERM); });
            QTimer::singleShot(3000, [] { QCoreApplication::exit(7); });
            QCOMPARE(QCoreApplication::exec(), 0);
            program.End();
            QVERIFY(dialogs.Shown().empty());
            rig.program.reset();
        }
        const auto run = ReadJournal(global::GruppentestPath);
        QVERIFY(run && run->Started() && !run->Finished());
        QCOMPARE(run->Runners()[0].state, RunnerState::Warned);
    }

    // A run the program did not finish: offered at the next start; declined, kept for later;
    // taken, its results are posted and the journal is gone.
    void unfinishedRunOfferedAtStart() {
        ProgramRig rig;
        FakeDialogs& dialogs = rig.dialogs;
        {
            Program& program = *rig.program;
            const auto ben = PostAthlete(program.DataModule().cdsSportler, "Ben", "Bauer", "M", 2010);
            WriteJournal(global::GruppentestPath,
                         GroupRun::Restored(1, "Klasse 10a", DataRig::Start(), false,
                                            {{ben, "Ben", "Bauer", RunnerState::Out, 5, 2}}));
            program.OfferUnfinishedGroupTest(); // declined
            QCOMPARE(
                dialogs.Texts().back(),
                std::string(
                    "Ein Gruppentest vom 10.12.2026 wurde nicht abgeschlossen. Ergebnisse jetzt prüfen?"));
            QVERIFY(QFile::exists(QString::fromStdString(global::GruppentestPath)));
            dialogs.ScriptAnswer(platform::Answer::Yes);
            WhenModalOpens([](QWidget* modal) { qobject_cast<ui::ReviewDialog*>(modal)->TakeOver(); });
            program.OfferUnfinishedGroupTest();
            QCOMPARE(program.DataModule().cdsMultiwert.RecordCount(), 1);
            QVERIFY(!QFile::exists(QString::fromStdString(global::GruppentestPath)));
            program.End();
        }
    }

    // After "Übernehmen" the class's handout is offered: one PDF (the class page with the
    // comparison to the class's previous test day, then a page per pupil) and the class's
    // table as a spreadsheet beside it; declined, nothing is written.
    void classHandoutAfterTheTakeOver_data() {
        QTest::addColumn<bool>("wanted");
        QTest::newRow("Ja") << true;
        QTest::newRow("Nein") << false;
    }
    void classHandoutAfterTheTakeOver() {
        QFETCH(bool, wanted);
        ProgramRig rig;
        FakeDialogs& dialogs = rig.dialogs;
        Program& program = *rig.program;
        data::Table& athletes = program.DataModule().cdsSportler;
        const auto ben = PostAthlete(athletes, "Ben", "Bauer", "M", 2013);
        const auto ida = PostAthlete(athletes, "Ida", "Imhof", "W", 2013);
        const auto ada = PostAthlete(athletes, "Ada", "Alt", "W", 1980);      // not in the class
        PostResult(program.DataModule().cdsMultiwert, ben, 2026, 6, 3, 5, 2); // the class's day before
        PostResult(program.DataModule().cdsMultiwert, ada, 2026, 12, 10, 9, 1);
        const std::int64_t group = data::GroupStore(program.DataModule()).Create("Klasse 7b", {ben, ida});
        WriteJournal(global::GruppentestPath,
                     GroupRun::Restored(group, "Klasse 7b", DataRig::Start(), true,
                                        {{ben, "Ben", "Bauer", RunnerState::Out, 6, 1},
                                         {ida, "Ida", "Imhof", RunnerState::Out, 4, 3}}));
        const QString pdfPath = rig.dir.filePath(QStringLiteral("bericht.pdf"));
        dialogs.ScriptAnswer(platform::Answer::Yes); // review it now
        dialogs.ScriptAnswer(wanted ? platform::Answer::Yes : platform::Answer::No);
        dialogs.ScriptFileName(pdfPath.toStdString());
        WhenModalOpens([](QWidget* modal) { qobject_cast<ui::ReviewDialog*>(modal)->TakeOver(); });
        program.OfferUnfinishedGroupTest();
        QVERIFY(dialogs.Texts().at(1).starts_with("2 Ergebnisse wurden übernommen und gespeichert.\n\n"
                                                  "Den Klassenbericht jetzt speichern?"));
        const QString sheetPath = rig.dir.filePath(QStringLiteral("bericht.xlsx"));
        // Saved once the review has closed.
        QTRY_COMPARE_WITH_TIMEOUT(QFile::exists(sheetPath), wanted, 2000);
        QTest::qWait(20);
        QCOMPARE(QFile::exists(pdfPath), wanted);
        QCOMPARE(QFile::exists(sheetPath), wanted);
        if (wanted) {
            QFile pdf(pdfPath);
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            const QString text = PdfText(pdf.readAll());
            const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
            QVERIFY2(pages.size() >= 3, qPrintable(text)); // the class page, then one per pupil
            QVERIFY(pages[0].contains(QStringLiteral("Klassenbericht Klasse 7b · Testtag 10.12.2026")));
            QVERIFY(pages[0].contains(QStringLiteral("Seit dem 03.06.2026: 1 weiter gelaufen, 0 gleich weit, "
                                                     "0 weniger weit, 1 ohne Ergebnis damals.")));
            QVERIFY(!text.contains(QStringLiteral("Ada Alt")));
            QVERIFY(pages[pages.size() - 2].contains(QStringLiteral("Fitnessbericht: Ben Bauer")));
            QVERIFY(pages.back().contains(QStringLiteral("Fitnessbericht: Ida Imhof")));
            QVERIFY(dialogs.Texts().back().starts_with("Der Klassenbericht ist gespeichert:"));
        }
        program.End();
    }

    // A correction in the review is in the journal at once: a crash during the review keeps it.
    void reviewCorrectionsAreJournalled() {
        DataRig rig;
        rig.Module().FirstActivation();
        const auto ben = PostAthlete(rig.dm->cdsSportler, "Ben", "Bauer", "M", 2010);
        const auto ida = PostAthlete(rig.dm->cdsSportler, "Ida", "Iser", "W", 2011);
        const GroupRun run = GroupRun::Restored(
            1, "Klasse 10a", DataRig::Start(), true,
            {{ben, "Ben", "Bauer", RunnerState::Out, 5, 2}, {ida, "Ida", "Iser", RunnerState::Out, 0, 0}});
        WriteJournal(global::GruppentestPath, run);
        ui::ReviewDialog review(*rig.dm, run);
        auto spin = [&](int row, int column) {
            return static_cast<QSpinBox*>(review.Table()->cellWidget(row, column));
        };
        spin(0, 1)->setValue(6);
        QCOMPARE(ReadJournal(global::GruppentestPath)->Runners()[0].level, 6);
        spin(1, 1)->setValue(3);
        spin(1, 2)->setValue(4);
        static_cast<QCheckBox*>(review.Table()->cellWidget(1, 6))->setChecked(true);
        const auto journal = ReadJournal(global::GruppentestPath);
        QCOMPARE(std::make_pair(journal->Runners()[1].level, journal->Runners()[1].shuttle),
                 std::make_pair(3, 4));
        const auto rows = ReviewRows(*journal); // as a review after a crash would show them
        QVERIFY(rows[0].include && rows[1].include);
        QCOMPARE(rows[0].level, 6);
    }

    // The program died during a run: the journal noted the last shuttle completed as the run
    // passed it, and the next start asks about those still running as STOP does (out there,
    // or no result); the review shows them so and the answer is in the journal.
    void runEndedByTheProgramsDeath() {
        ProgramRig rig;
        VirtualClock& clock = rig.clock;
        FakeDialogs& dialogs = rig.dialogs;
        Program& program = *rig.program;
        const auto ben = PostAthlete(program.DataModule().cdsSportler, "Ben", "Bauer", "M", 2010);
        const auto ida = PostAthlete(program.DataModule().cdsSportler, "Ida", "Iser", "W", 2011);
        {
            // The roster notes the shuttles as the run passes them.
            const std::int64_t group = data::GroupStore(program.DataModule()).Create("Klasse 7b", {ben, ida});
            program.OpenGroupTest(group);
            program.MainWindow().btn_startClick();
            clock.AdvanceTo(3 * 8470 + 100);
            QTRY_COMPARE(ReadJournal(global::GruppentestPath)->LastCompleted(), std::make_pair(1, 3));
            program.MainWindow().Controller().SetListener(nullptr); // the program dies: no end of the run
        }
        GroupRun died = GroupRun::Restored(
            1, "Klasse 7b", DataRig::Start(), false,
            {{ben, "Ben", "Bauer", RunnerState::Out, 2, 1}, {ida, "Ida", "Iser", RunnerState::Warned, 0, 0}});
        died.NoteCompleted({3, 4});
        WriteJournal(global::GruppentestPath, died);
        dialogs.Clear();
        dialogs.ScriptAnswer(platform::Answer::Yes); // review now
        dialogs.ScriptAnswer(platform::Answer::Yes); // those still running are out at 3/4
        bool reviewed = false;
        WhenModalOpens([&](QWidget* modal) {
            auto* review = qobject_cast<ui::ReviewDialog*>(modal);
            const auto rows = review->Rows();
            QCOMPARE(std::make_pair(rows[1].level, rows[1].shuttle), std::make_pair(3, 4));
            QVERIFY(rows[1].include);
            reviewed = true;
            review->reject();
        });
        program.OfferUnfinishedGroupTest();
        QTRY_VERIFY(reviewed);
        QCOMPARE(dialogs.Texts()[1], StillRunningQuestion(1, {3, 4}));
        const auto journal = ReadJournal(global::GruppentestPath);
        QVERIFY(journal->Finished());
        QCOMPARE(journal->Runners()[1].level, 3);
        program.MainWindow().btn_stopClick();
        program.End();
    }

    // At the start, a journal that is not whole is kept aside and said, never offered with
    // other values nor overwritten by the next test; a journal whose results are in the
    // results file already is removed with a word, never offered for a second post.
    void damagedOrTakenOverJournalAtStart() {
        ProgramRig rig;
        FakeDialogs& dialogs = rig.dialogs;
        Program& program = *rig.program;
        const auto ben = PostAthlete(program.DataModule().cdsSportler, "Ben", "Bauer", "M", 2010);
        GroupRun run = GroupRun::Restored(1, "Klasse 10a", DataRig::Start(), true,
                                          {{ben, "Ben", "Bauer", RunnerState::Out, 5, 2}});
        const std::string whole = JournalText(run);
        const QByteArray cut = QByteArray::fromStdString(whole.substr(0, whole.size() - 12));
        {
            QFile f(QString::fromStdString(global::GruppentestPath));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(cut);
        }
        program.OfferUnfinishedGroupTest();
        QVERIFY(QString::fromStdString(dialogs.Texts().back()).contains(QStringLiteral("beschädigt")));
        QVERIFY(QString::fromStdString(dialogs.Texts().back())
                    .contains(QStringLiteral("gruppentest.journal.defekt-")));
        QVERIFY(!QFile::exists(QString::fromStdString(global::GruppentestPath)));
        const QStringList kept =
            QDir(rig.dir.path()).entryList({QStringLiteral("gruppentest.journal.defekt-*")});
        QCOMPARE(kept.size(), 1);
        QFile keptFile(QDir(rig.dir.path()).filePath(kept[0]));
        QVERIFY(keptFile.open(QIODevice::ReadOnly));
        QCOMPARE(keptFile.readAll(), cut);

        // Taken over, but the program died before the journal was removed.
        TakeOverRun(program.DataModule(), run, ReviewRows(run), global::GruppentestPath);
        run.SetTakenOver({program.DataModule().cdsMultiwert.AsInteger("werteid")});
        WriteJournal(global::GruppentestPath, run);
        const std::size_t shown = dialogs.Texts().size();
        program.OfferUnfinishedGroupTest();
        QCOMPARE(dialogs.Texts().size(), shown + 1);
        QCOMPARE(
            dialogs.Texts().back(),
            std::string(
                "Die Ergebnisse des Gruppentests vom 10.12.2026 waren bereits übernommen und gespeichert."));
        QCOMPARE(program.DataModule().cdsMultiwert.RecordCount(), 1);
        QVERIFY(!QFile::exists(QString::fromStdString(global::GruppentestPath)));
        program.End();
    }
};

QTEST_MAIN(TestGroupTestWindows)
#include "test_group_test_windows.moc"
