// The group test's session without any window: the real pacing on the virtual clock with a
// silent sound player and scripted boxes, a view that records what it is told, and the
// journal on disk after every change.
#include "fake_dialogs.h"
#include "fake_sound.h"
#include "grouptest/group_test_session.h"
#include "grouptest/journal.h"
#include "pacing/run_controller.h"
#include "virtual_clock.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace grouptest;

namespace {

struct RecordingView : SessionView {
    QStringList told;
    void RunnerChanged(std::size_t index) override { told << QStringLiteral("tile %1").arg(index); }
    void RunnerAdded(std::size_t index) override { told << QStringLiteral("added %1").arg(index); }
    void StageChanged() override { told << QStringLiteral("stage"); }
    void RunBegan() override { told << QStringLiteral("began"); }
    void RunEnding() override { told << QStringLiteral("ending"); }
    void ReviewDue() override { told << QStringLiteral("review"); }
};

struct Rig {
    VirtualClock clock{1000LL * platform::MillisecondsPerDay + 10 * 3600 * 1000LL};
    FakeSound sound{&clock};
    FakeDialogs dialogs;
    NoRunDisplay display;
    std::unique_ptr<platform::Timer> shuttleTimer = clock.CreateTimer();
    std::unique_ptr<platform::Timer> displayTimer = clock.CreateTimer();
    TestRunController controller{display, *shuttleTimer, *displayTimer};
    QTemporaryDir dir;
    std::string journal = dir.filePath(QStringLiteral("gruppentest.journal")).toStdString();
    GroupTestSession session{GroupRun(7, "Klasse 7b",
                                      {{1, "Anna", "Adler", RunnerState::Running, 0, 0},
                                       {2, "Ben", "Bauer", RunnerState::Running, 0, 0}}),
                             controller, journal};
    RecordingView view;
    Rig() {
        shuttleTimer->SetOnTimer([this] { controller.Timer1Timer(); });
        session.SetView(&view);
    }
    GroupRun OnDisk() const { return *ReadJournal(journal); }
};

} // namespace

class TestGroupTestSession : public QObject {
    Q_OBJECT
private slots:
    // START, taps, STOP with the question about those still running, the review: each
    // change in the journal and told to the view; taps before START or after the end count
    // for nothing.
    void oneRunFromStartToReview() {
        Rig rig;
        rig.session.Tap(0, rig.clock.Now());
        QVERIFY(!QFile::exists(QString::fromStdString(rig.journal)));
        rig.controller.btn_startClick();
        QCOMPARE(int(rig.session.Stage()), int(SessionStage::Running));
        QCOMPARE(rig.view.told, (QStringList{"tile 0", "tile 1", "stage", "began"}));
        QVERIFY(rig.OnDisk().Started());

        rig.clock.AdvanceTo(8470 * 3 + 2500);
        rig.session.Tap(0, rig.clock.Now());
        rig.session.Tap(0, rig.clock.Now());
        QCOMPARE(int(rig.OnDisk().Runners()[0].state), int(RunnerState::Out));
        QCOMPARE(rig.OnDisk().Runners()[0].shuttle, 3);
        rig.clock.AdvanceTo(8470 * 4 + 100);
        rig.session.NoteProgress(rig.clock.Now());
        QCOMPARE(rig.OnDisk().LastCompleted(), std::make_pair(1, 4));

        rig.view.told.clear();
        rig.controller.btn_stopClick();
        QCOMPARE(rig.view.told, QStringList{"ending"});  // the question waits for the pacing's handlers
        rig.dialogs.ScriptAnswer(platform::Answer::Yes); // Ben is out where he is
        rig.session.EndRun(rig.clock.Now());
        QVERIFY(rig.dialogs.Texts().back().find("1 Sportler läuft noch") != std::string::npos);
        QCOMPARE(int(rig.session.Stage()), int(SessionStage::AwaitingReview));
        QCOMPARE(rig.view.told.back(), QStringLiteral("review"));
        QVERIFY(rig.OnDisk().Finished());
        QCOMPARE(rig.OnDisk().Runners()[1].shuttle, 4);
        rig.session.Tap(1, rig.clock.Now()); // after the end: nothing
        QCOMPARE(int(rig.OnDisk().Runners()[1].state), int(RunnerState::Out));

        rig.session.ReviewClosed(SessionStage::AwaitingReview); // later
        QCOMPARE(int(rig.session.Stage()), int(SessionStage::AwaitingReview));
        rig.session.ReviewClosed(SessionStage::Posted);
        QCOMPARE(int(rig.session.Stage()), int(SessionStage::Posted));
    }

    // START during the run asks first; "Nein" (and the default) keeps every mark, "Ja" starts
    // anew. A latecomer runs from now on and is in the journal at once, but not after the end.
    void restartAsksAndLatecomersJoin() {
        Rig rig;
        rig.controller.btn_startClick();
        rig.clock.AdvanceTo(62000); // in level 2
        rig.session.Tap(1, rig.clock.Now());
        rig.controller.btn_startClick(); // unscripted: the default, "Nein"
        QCOMPARE(rig.dialogs.Texts(),
                 std::vector<std::string>{
                     "Der Gruppentest läuft. Neu starten? Alle Markierungen gehen verloren."});
        QCOMPARE(int(rig.OnDisk().Runners()[1].state), int(RunnerState::Warned));
        QCOMPARE(rig.controller.CurrentLevel(), 2);

        QVERIFY(rig.session.AddRunner({3, "Cem", "Celik", RunnerState::Running, 0, 0}));
        QVERIFY(!rig.session.AddRunner({3, "Cem", "Celik", RunnerState::Running, 0, 0})); // runs already
        QCOMPARE(rig.view.told.back(), QStringLiteral("added 2"));
        QCOMPARE(rig.OnDisk().Runners().size(), std::size_t(3));

        rig.dialogs.ScriptAnswer(platform::Answer::Yes);
        rig.controller.btn_startClick();
        QCOMPARE(int(rig.OnDisk().Runners()[1].state), int(RunnerState::Running));
        QCOMPARE(rig.controller.CurrentLevel(), 1);

        // STOP before the first shuttle is done: nobody is asked about, nobody has a result.
        rig.controller.btn_stopClick();
        const std::size_t asked = rig.dialogs.Texts().size();
        rig.session.EndRun(rig.clock.Now());
        QCOMPARE(rig.dialogs.Texts().size(), asked);
        QCOMPARE(int(rig.session.Stage()), int(SessionStage::AwaitingReview));
        QCOMPARE(rig.OnDisk().Runners()[0].level, 0);
        QVERIFY(!rig.session.AddRunner({4, "Dora", "Dorn", RunnerState::Running, 0, 0}));
    }

    // The session leaves the pacing when it goes: a single athlete's test restarts again.
    void goneSessionLeavesThePacing() {
        Rig rig;
        auto other =
            std::make_unique<GroupTestSession>(GroupRun(8, "Klasse 8a", {}), rig.controller, rig.journal);
        QCOMPARE(rig.controller.Listener(), other.get());
        other.reset();
        QCOMPARE(rig.controller.Listener(), static_cast<RunListener*>(nullptr));
    }
};

QTEST_MAIN(TestGroupTestSession)
#include "test_group_test_session.moc"
