// A whole class runs on the virtual clock: the test paced by the run controller, taps at
// scripted moments (warnings, outs, an undo, a tap during a fanfare), the end with athletes
// still running, and the results posted through the results table; a run killed midway is
// read back from its journal and posts the same records.
#include "data/DModule.h"
#include "data/text_encoding.h"
#include "data_rig.h"
#include "evaluation/global.h"
#include "fake_sound.h"
#include "grouptest/journal.h"
#include "grouptest/review.h"
#include "pacing/run_controller.h"

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
        QCOMPARE(TakeOverRun(*rig.dm, *rig.run, rows, global::GruppentestPath), 5);
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
        QVERIFY(!FailureOf([&] { TakeOverRun(*rig.dm, *rig.run, rows, global::GruppentestPath); }).isEmpty());
        QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 0);
        rows[1].shuttle = 2;
        QCOMPARE(TakeOverRun(*rig.dm, *rig.run, rows, global::GruppentestPath), 3);
    }

    // Killed during the run: the journal written at every tap holds all of it, and its
    // review posts the same records as the run that was not killed.
    void killedDuringTheRun() {
        QStringList expected;
        {
            Rig rig;
            rig.Script();
            rig.run->Finish(platform::Clock().Now(), false);
            TakeOverRun(*rig.dm, *rig.run, ReviewRows(*rig.run), global::GruppentestPath);
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
        TakeOverRun(*rig.dm, *restored, ReviewRows(*restored), global::GruppentestPath);
        QCOMPARE(rig.Records(), expected);
        QVERIFY(!ReadJournal(global::GruppentestPath)); // removed once taken over
    }

    // A journal is read whole and unchanged or not at all: cut short anywhere, or with any
    // single bit flipped, it is refused, never read as a run with other pupils, another date
    // or other levels.
    void damagedJournal_data() {
        QTest::addColumn<QByteArray>("journal");
        const GroupRun run = GroupRun::Restored(
            3, "Klasse 7b", 1234567, true,
            {{5, "Zoë", "Weiß", RunnerState::Out, 4, 2}, {17, "Lena", "Lenz", RunnerState::Running, 0, 0}});
        const QByteArray good = QByteArray::fromStdString(JournalText(run));
        auto with = [&](const char* from, const char* to) { return QByteArray(good).replace(from, to); };
        QTest::newRow("no journal at all") << QByteArray("irgendwas");
        QTest::newRow("cut after the first line") << good.left(good.indexOf('\n') + 1);
        QTest::newRow("cut inside a runner") << good.left(good.indexOf("Lenz"));
        QTest::newRow("cut before the end mark") << good.left(good.indexOf("ende\t"));
        QTest::newRow("end mark without its sum") << good.left(good.indexOf("ende\t") + 5);
        QTest::newRow("another athlete id") << with("laeufer\t17", "laeufer\t19");
        QTest::newRow("another start") << with("start\t1234567", "start\t1234577");
        QTest::newRow("another level") << with("\t4\t2\t", "\t5\t2\t");
        QTest::newRow("a line twice") << with("start\t1234567\n", "start\t1234567\nstart\t1234567\n");
        QTest::newRow("an earlier program's journal")
            << QByteArray("VEXO-GRUPPENTEST 1\ngruppe\t3\tKlasse 7b\nstart\t1234567\nbeendet\t1\n");
    }
    void damagedJournal() {
        QFETCH(QByteArray, journal);
        QVERIFY(!FailureOf([&] { ParseJournal(journal.toStdString()); }).isEmpty());
    }

    // Every truncation and every single-bit flip of a journal is refused; the whole journal
    // reads back as it was written.
    void everyDamageOfAJournalIsRefused() {
        GroupRun run = GroupRun::Restored(
            3, "Klasse\t7b", 1234567, true,
            {{5, "Zoë", "Weiß", RunnerState::Out, 4, 2}, {17, "Lena", "Lenz", RunnerState::Warned, 0, 0}});
        run.SetTakenOver({41, 42});
        const std::string good = JournalText(run);
        const GroupRun back = ParseJournal(good);
        QCOMPARE(back.GroupName(), std::string("Klasse 7b"));
        QCOMPARE(back.Runners()[0].name, std::string("Weiß"));
        QCOMPARE(back.Runners()[1].state, RunnerState::Warned);
        QCOMPARE(back.TakenOver(), (std::vector<std::int64_t>{41, 42}));
        int read = 0;
        for (std::size_t length = 0; length < good.size(); ++length)
            read += FailureOf([&] { ParseJournal(good.substr(0, length)); }).isEmpty();
        for (std::size_t at = 0; at < good.size(); ++at)
            for (int bit = 0; bit < 8; ++bit) {
                std::string damaged = good;
                damaged[at] = static_cast<char>(damaged[at] ^ (1 << bit));
                read += FailureOf([&] { ParseJournal(damaged); }).isEmpty();
            }
        QCOMPARE(read, 0);
    }

    // Taking a run over survives the program dying after any of its steps: the next start
    // finds every result in the file exactly once, either because the run was taken over
    // already (only the journal is removed) or because it is taken over again.
    void takeOverSurvivesDyingAtEveryStep_data() {
        QTest::addColumn<int>("step");
        QTest::newRow("results posted, nothing on disk") << int(PostStep::ResultsPosted);
        QTest::newRow("journal noted, file not saved") << int(PostStep::JournalNoted);
        QTest::newRow("file saved, journal not removed") << int(PostStep::FileSaved);
        QTest::newRow("journal removed") << int(PostStep::JournalRemoved);
    }
    void takeOverSurvivesDyingAtEveryStep() {
        QFETCH(int, step);
        Rig rig;
        rig.journal = true;
        rig.dm->cdsSportler.SaveToFile();
        rig.Script();
        rig.run->Finish(platform::Clock().Now(), true);
        rig.Journal();
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            TakeOverRun(*rig.dm, *rig.run, ReviewRows(*rig.run), global::GruppentestPath, [&](PostStep done) {
                if (int(done) == step)
                    ::raise(SIGKILL); // no destructor, no save: as the machine dying
            });
            _exit(3);
        }
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(WIFSIGNALED(status));
        // The next start.
        rig.dm.reset();
        rig.Module().FirstActivation();
        if (const auto journal = ReadJournal(global::GruppentestPath)) {
            if (AlreadyTakenOver(*rig.dm, *journal))
                RemoveJournal(global::GruppentestPath);
            else
                TakeOverRun(*rig.dm, *journal, ReviewRows(*journal), global::GruppentestPath);
        }
        QVERIFY(!ReadJournal(global::GruppentestPath));
        const QStringList records = rig.Records();
        QCOMPARE(records.size(), 5);
        QSet<QString> athletes;
        for (const QString& record : records)
            athletes.insert(record.section(' ', 0, 0));
        QCOMPARE(athletes.size(), 5);
        // And what the file holds is the same.
        rig.dm.reset();
        rig.Module().FirstActivation();
        QCOMPARE(rig.Records(), records);
    }

    // A row whose athlete is gone, or stored under another name than the journal recorded,
    // is never posted (a damaged or outdated journal must not give a result to someone else).
    void rowsOfAnotherAthleteAreRefused() {
        Rig rig;
        rig.Script();
        rig.run->Finish(platform::Clock().Now(), true);
        auto rows = ReviewRows(*rig.run);
        QVERIFY(AthleteProblem(*rig.dm, rows[0]).empty());
        rows[1].athleteId = 999;
        QCOMPARE(AthleteProblem(*rig.dm, rows[1]), std::string("nicht mehr unter den Sportlern"));
        rows[2].firstName = "Lena";
        QCOMPARE(AthleteProblem(*rig.dm, rows[2]), std::string("heißt jetzt Carla Cordes"));
        QVERIFY(!FailureOf([&] { TakeOverRun(*rig.dm, *rig.run, rows, global::GruppentestPath); }).isEmpty());
        QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 0);
        rows[1].include = rows[2].include = false;
        QCOMPARE(TakeOverRun(*rig.dm, *rig.run, rows, global::GruppentestPath), 3);
    }
};

QTEST_APPLESS_MAIN(TestGroupRun)
#include "test_group_run.moc"
