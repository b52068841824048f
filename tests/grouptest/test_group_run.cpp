// A whole class runs on the virtual clock: the test paced by the run controller, taps at
// scripted moments (warnings, outs, an undo, a tap during a fanfare), the end with athletes
// still running, and the results posted through the results table; a run killed midway is
// read back from its journal and posts the same records.
#include "app/test_run_controller.h"
#include "data/DModule.h"
#include "data/text_encoding.h"
#include "data_rig.h"
#include "evaluation/global.h"
#include "fake_sound.h"
#include "grouptest/journal.h"
#include "grouptest/review.h"

#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace grouptest;

namespace {

// The ends of some shuttles after START (ms), by the schedule.
constexpr std::int64_t EndOfLevel1 = 7 * 8470;           // 59 290: the fanfare of level 2
constexpr std::int64_t EndOf5_2 = 248730 + 2 * 6860;     // 262 450
constexpr std::int64_t EndOfLevel8 = 438570 + 11 * 6000; // 504 570: the fanfare of level 9
constexpr std::int64_t EndOf9_1 = EndOfLevel8 + 5760;    // 510 330

struct Rig : DataRig {
    FakeSound sound{&clock};
    NoRunDisplay display;
    std::unique_ptr<platform::Timer> shuttleTimer = clock.CreateTimer();
    std::unique_ptr<platform::Timer> displayTimer = clock.CreateTimer();
    TestRunController controller{display, *shuttleTimer, *displayTimer};
    std::vector<std::int64_t> athletes;
    std::unique_ptr<GroupRun> run;
    std::int64_t startElapsed = 0;
    bool journal = false;

    Rig() {
        Module().FirstActivation();
        const char* names[][3] = {{"Anna", "Adler", "W"},
                                  {"Ben", "Bauer", "M"},
                                  {"Carla", "Cordes", "W"},
                                  {"Dirk", "Dorn", "M"},
                                  {"Emil", "Engel", "M"}};
        std::vector<Runner> runners;
        for (const auto& n : names) {
            athletes.push_back(PostAthlete(dm->cdsSportler, n[0], n[1], n[2], 2010));
            runners.push_back({athletes.back(), n[0], n[1], RunnerState::Running, 0, 0});
        }
        run = std::make_unique<GroupRun>(1, "Klasse 10a", runners);
    }
    void Start() {
        controller.btn_startClick();
        startElapsed = clock.Elapsed();
        run->Start(platform::Clock().Now());
        Journal();
    }
    void TapAt(std::int64_t elapsed, std::size_t runner) {
        clock.AdvanceTo(startElapsed + elapsed);
        run->Tap(runner, platform::Clock().Now());
        Journal();
    }
    void Journal() {
        if (journal)
            WriteJournal(global::GruppentestPath, *run);
    }
    // The scripted run up to just before its end.
    void Script() {
        Start();
        TapAt(40000, 0);              // Anna: warned
        TapAt(EndOfLevel1 + 500, 0);  // out during the fanfare: the missed shuttle is level 1's 7th
        TapAt(100000, 2);             // Carla warned ...
        TapAt(120000, 2);             // ... out by mistake ...
        TapAt(121000, 2);             // ... and running again
        TapAt(200000, 1);             // Ben warned
        TapAt(EndOf5_2 + 2500, 1);    // out well after the beep: 5/2 was completed
        TapAt(400000, 2);             // Carla warned
        TapAt(EndOfLevel8 + 2500, 2); // out after the level-9 fanfare: all of level 8
    }
    // Each result record: athlete, day, level, shuttle, VO2max, rating.
    QStringList Records() {
        QStringList records;
        data::Table& t = dm->cdsMultiwert;
        for (t.First(); !t.Eof(); t.Next())
            records << QStringLiteral("%1 %2 %3/%4 %5 %6")
                           .arg(t.AsInteger("sportlerid"))
                           .arg(t.AsDate("Datum"))
                           .arg(t.AsInteger("Level"))
                           .arg(t.AsInteger("Runde"))
                           .arg(t.AsFloat("VO2-wert"))
                           .arg(QString::fromStdString(data::Cp1252ToUtf8(t.AsString("Bewertung"))));
        records.sort();
        return records;
    }
};

} // namespace

class TestGroupRun : public QObject {
    Q_OBJECT
private slots:
    // Which shuttle counts for a tap: the beeps at least two seconds before it.
    void countedShuttle_data() {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("shuttle");
        QTest::newRow("before the first beep") << qint64(8000) << 0 << 0;
        QTest::newRow("just after the first beep") << qint64(8470 + 1999) << 0 << 0;
        QTest::newRow("two seconds after it") << qint64(8470 + 2000) << 1 << 1;
        QTest::newRow("during the level-2 fanfare") << qint64(EndOfLevel1 + 500) << 1 << 6;
        QTest::newRow("after the fanfare") << qint64(EndOfLevel1 + 2500) << 1 << 7;
        QTest::newRow("after the very last beep") << qint64(1317500 + 5000) << 21 << 16;
    }
    void countedShuttle() {
        QFETCH(qint64, elapsed);
        QFETCH(int, level);
        QFETCH(int, shuttle);
        QCOMPARE(CountedForTap(elapsed), std::make_pair(level, shuttle));
    }

    void tileKeys() {
        QCOMPARE(TileKey(0), std::string("1"));
        QCOMPARE(TileKey(9), std::string("0"));
        QCOMPARE(TileKey(10), std::string("a"));
        QCOMPARE(*RunnerOfKey('0', 30), std::size_t(9));
        QCOMPARE(*RunnerOfKey('C', 30), std::size_t(12));
        QVERIFY(!RunnerOfKey('z', 30));
        QVERIFY(!RunnerOfKey('#', 30));
    }

    // The whole class: the records are exactly those of the taps, with VO2max and rating as
    // the results table computes them; Dirk and Emil still run at STOP and drop out there.
    void wholeClass() {
        Rig rig;
        rig.Script();
        QCOMPARE(int(rig.run->Runners()[2].state), int(RunnerState::Out));
        rig.clock.AdvanceTo(rig.startElapsed + EndOf9_1 + 500);
        rig.controller.btn_stopClick();
        QCOMPARE(rig.run->StillRunning(), 2);
        rig.run->Finish(platform::Clock().Now(), true);
        const int day = TestDay(rig.run->StartTime());
        QCOMPARE(day, data::DaysFromCivil(2026, 12, 10));
        auto rows = ReviewRows(*rig.run);
        QCOMPARE(PostResults(*rig.dm, day, rows), 5);
        const auto id = [&](int k) { return QString::number(rig.athletes[static_cast<std::size_t>(k)]); };
        const QString d = QString::number(day);
        // 16-year-olds (born 2010); VO2max 0 below level 4 is rated "sehr schlecht".
        QCOMPARE(rig.Records(),
                 (QStringList{id(0) + " " + d + " 1/6 0 sehr schlecht",
                              id(1) + " " + d + " 5/2 30.2 sehr schlecht",
                              id(2) + " " + d + " 8/11 43.3 überragend", id(3) + " " + d + " 9/1 43.3 ok",
                              id(4) + " " + d + " 9/1 43.3 ok"}));
        QVERIFY(QFile::exists(QString::fromStdString(global::MultiwertPath)));
        QCOMPARE(rig.Read(global::MultiwertPath).count("<ROW "), 5);
    }

    // Athletes still running at the end may stay without a result; a row refused in the
    // review stops the post before anything lands.
    void leftWithoutResultAndRefusedRow() {
        Rig rig;
        rig.Script();
        rig.clock.AdvanceTo(rig.startElapsed + EndOf9_1 + 500);
        rig.run->Finish(platform::Clock().Now(), false);
        auto rows = ReviewRows(*rig.run);
        QVERIFY(!rows[3].include && !rows[4].include);
        rows[1].shuttle = 12; // level 5 has 9
        QCOMPARE(RowProblem(rows[1]), std::string("Level 5 hat die Durchgänge 1 bis 9"));
        QVERIFY(!FailureOf([&] { PostResults(*rig.dm, 1, rows); }).isEmpty());
        QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 0);
        rows[1].shuttle = 2;
        QCOMPARE(PostResults(*rig.dm, TestDay(rig.run->StartTime()), rows), 3);
    }

    // Killed during the run: the journal written at every tap holds all of it, and its
    // review posts the same records as the run that was not killed.
    void killedDuringTheRun() {
        QStringList expected;
        {
            Rig rig;
            rig.Script();
            rig.run->Finish(platform::Clock().Now(), false);
            PostResults(*rig.dm, TestDay(rig.run->StartTime()), ReviewRows(*rig.run));
            expected = rig.Records();
        }
        Rig rig;
        rig.journal = true;
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            rig.Script();
            ::raise(SIGKILL); // no destructor, no save: as the machine dying
        }
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(WIFSIGNALED(status));
        const auto restored = ReadJournal(global::GruppentestPath);
        QVERIFY(restored);
        QVERIFY(restored->Started() && !restored->Finished());
        QCOMPARE(restored->GroupName(), std::string("Klasse 10a"));
        QCOMPARE(restored->Runners().size(), std::size_t(5));
        PostResults(*rig.dm, TestDay(restored->StartTime()), ReviewRows(*restored));
        QCOMPARE(rig.Records(), expected);
        RemoveJournal(global::GruppentestPath);
        QVERIFY(!ReadJournal(global::GruppentestPath));
    }

    void damagedJournal() {
        QVERIFY(!FailureOf([] { ParseJournal("irgendwas"); }).isEmpty());
        QVERIFY(
            !FailureOf([] { ParseJournal("VEXO-GRUPPENTEST 1\nlaeufer\t1\t7\t0\t0\ta\tb\n"); }).isEmpty());
        const GroupRun run = ParseJournal(JournalText(
            GroupRun::Restored(3, "Klasse\t7b", 1234, true, {{5, "Zoë", "Weiß", RunnerState::Out, 4, 2}})));
        QCOMPARE(run.GroupName(), std::string("Klasse 7b"));
        QCOMPARE(run.Runners()[0].name, std::string("Weiß"));
        QCOMPARE(run.Runners()[0].shuttle, 2);
        QVERIFY(run.Finished());
    }
};

QTEST_APPLESS_MAIN(TestGroupRun)
#include "test_group_run.moc"
