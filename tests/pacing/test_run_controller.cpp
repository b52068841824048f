// The paced test on a virtual clock: whole 22-minute runs in milliseconds. Each signal is
// handed to the sound player with its planned moment when its shuttle begins, and is heard
// at that moment whenever the tick comes; it holds up nothing.
#include "fake_dialogs.h"
#include "fake_sound.h"
#include "pacing/run_controller.h"
#include "pacing/shuttle_schedule.h"
#include "virtual_clock.h"

#include <QtTest>

#include <memory>

namespace {

struct RecordingDisplay : RunDisplay {
    bool menuEnabled = true;
    std::string level = "0", shuttle = "0", elapsed = "0:00";
    std::vector<std::string> levelHistory;
    void SetMenuEnabled(bool enabled) override { menuEnabled = enabled; }
    void SetLevelText(const std::string& text) override {
        level = text;
        levelHistory.push_back(text);
    }
    void SetShuttleText(const std::string& text) override { shuttle = text; }
    void SetElapsedText(const std::string& text) override { elapsed = text; }
};

// One run: clock, timers, a sound player that records, and the controller; a hook records
// the moment of every shuttle tick.
struct Rig {
    VirtualClock clock{1000LL * platform::MillisecondsPerDay + 10 * 3600 * 1000LL}; // 10:00 one day
    FakeSound sound{&clock};
    RecordingDisplay display;
    std::unique_ptr<platform::Timer> timer1 = clock.CreateTimer();
    std::unique_ptr<platform::Timer> timer2 = clock.CreateTimer();
    TestRunController controller{display, *timer1, *timer2};
    std::vector<std::int64_t> tickTimes;

    Rig() {
        timer1->SetOnTimer([this] {
            tickTimes.push_back(clock.Elapsed());
            controller.Timer1Timer();
        });
    }
};

} // namespace

class TestRunControllerTest : public QObject {
    Q_OBJECT
private slots:
    void schedule() {
        int shuttles = 0;
        std::int64_t duration = 0;
        for (int level = 1; level <= 21; ++level) {
            shuttles += schedule::ShuttlesPerLevel[level];
            duration += std::int64_t(schedule::ShuttlesPerLevel[level]) * schedule::ShuttleIntervalMs[level];
            if (level > 1) {
                QVERIFY(schedule::ShuttleIntervalMs[level] != schedule::ShuttleIntervalMs[level - 1]);
                QVERIFY(schedule::ShuttlesPerLevel[level] >= schedule::ShuttlesPerLevel[level - 1]);
            }
        }
        QCOMPARE(shuttles, 247);
        QCOMPARE(duration, std::int64_t(1317500));
    }

    // Lateness is never carried: a tick handled late (the user-interface thread busy, the
    // machine loaded) still shows the planned level and shuttle, and every signal sounds at
    // its planned moment on the time line from START, the late tick's own included; a tick
    // late by more than a shuttle adds one signal for the ends it missed, not a burst.
    void lateTicksCarryNothing_data() {
        QTest::addColumn<int>("busyMs");
        QTest::addColumn<int>("everyNthTick");
        QTest::newRow("60 ms late at every level change") << 60 << 0;
        QTest::newRow("30 ms late at every tick") << 30 << 1;
        QTest::newRow("9 s late once (a frozen machine)") << 9000 << 40;
    }
    void lateTicksCarryNothing() {
        QFETCH(int, busyMs);
        QFETCH(int, everyNthTick);
        Rig rig;
        int ticks = 0;
        std::int64_t frozenTick = -1;
        rig.timer1->SetOnTimer([&] {
            ++ticks;
            const bool levelEnds = rig.controller.ShuttleCounter() ==
                                   schedule::ShuttlesPerLevel[std::size_t(rig.controller.CurrentLevel())];
            if ((everyNthTick == 0 && levelEnds) || (everyNthTick > 0 && ticks % everyNthTick == 0 &&
                                                     (everyNthTick == 1 || ticks == everyNthTick))) {
                rig.clock.Block(busyMs); // handled that much after its moment
                if (busyMs > 8000)
                    frozenTick = rig.clock.Elapsed();
            }
            rig.controller.Timer1Timer();
        });
        rig.controller.btn_startClick();
        // The planned end of every shuttle, from START.
        std::vector<std::int64_t> planned{0};
        std::int64_t t = 0;
        for (int level = 1; level <= 21; ++level)
            for (int k = 0; k < schedule::ShuttlesPerLevel[std::size_t(level)]; ++k)
                planned.push_back(t += schedule::ShuttleIntervalMs[std::size_t(level)]);
        rig.clock.Advance(1317500 + 20000);
        QVERIFY(!rig.controller.Running());
        std::vector<std::int64_t> heard = rig.sound.Moments(); // [0] is the fanfare at START
        if (frozenTick >= 0) { // the one signal given late for the end the frozen tick missed
            const auto late = std::find(heard.begin(), heard.end(), frozenTick);
            QVERIFY(late != heard.end());
            heard.erase(late);
            planned.erase(std::find_if(planned.begin(), planned.end(),
                                       [&](std::int64_t end) { return end > frozenTick - busyMs; }));
        }
        QCOMPARE(heard, planned);
        QCOMPARE(rig.sound.Count("tada.wav"), 22);
        // Every level shown in turn, none skipped by a late tick.
        const auto& shown = rig.display.levelHistory;
        for (int level = 1; level <= 22; ++level)
            QVERIFY(std::find(shown.begin(), shown.end(), std::to_string(level)) != shown.end());
    }

    // A sound device that must have its sounds a little ahead: the time line begins that much
    // after the press, the fanfare on it like every later signal, and the shuttle shown
    // changes with the signal, not before it.
    void timeLineWaitsForTheSoundsLead() {
        Rig rig;
        rig.sound.SetLeadMs(60);
        rig.controller.btn_startClick();
        rig.clock.AdvanceTo(8529);
        QCOMPARE(rig.controller.ShuttleCounter(), 1); // the countdown's tick at 8470 waited
        rig.clock.AdvanceTo(8530);
        QCOMPARE(rig.controller.ShuttleCounter(), 2);
        rig.clock.AdvanceTo(59290 + 60 + 8000);
        QCOMPARE(rig.display.level, std::string("2"));
        QCOMPARE(rig.sound.Moments(),
                 (std::vector<std::int64_t>{60, 8530, 17000, 25470, 33940, 42410, 50880, 59350, 67350}));
        QCOMPARE(rig.tickTimes.back(), std::int64_t(67350));
    }

    void beforeFirstStart() {
        Rig rig;
        rig.clock.Advance(500);
        QCOMPARE(rig.display.shuttle, std::string("0"));
        QCOMPARE(rig.display.elapsed, std::string("0:00"));
        QVERIFY(!rig.controller.Running());
        QVERIFY(rig.sound.Played().empty());
    }

    void completeRun() {
        Rig rig;
        rig.controller.btn_startClick();
        QCOMPARE(rig.display.level, std::string("1"));
        QVERIFY(!rig.display.menuEnabled);
        QCOMPARE(rig.sound.Played(), std::vector<std::string>{"tada.wav"});
        QCOMPARE(rig.clock.Elapsed(), std::int64_t(0)); // the fanfare holds up nothing

        // The shuttle number shows from the first display tick, while the fanfare plays.
        rig.clock.AdvanceTo(500);
        QCOMPARE(rig.display.shuttle, std::string("1"));
        rig.clock.AdvanceTo(2000);
        QCOMPARE(rig.display.elapsed, std::string("00:00:02"));

        rig.clock.AdvanceTo(8469);
        QVERIFY(rig.tickTimes.empty());
        rig.clock.AdvanceTo(8470);
        QCOMPARE(rig.tickTimes.size(), std::size_t(1));
        QCOMPARE(rig.sound.Played().back(), std::string("ding.wav"));

        // Level 1 ends with its seventh tick, 59 290 ms after START.
        rig.clock.AdvanceTo(59289);
        QCOMPARE(rig.display.level, std::string("1"));
        QCOMPARE(rig.sound.Count("ding.wav"), 6);
        rig.clock.AdvanceTo(59290);
        QCOMPARE(rig.tickTimes.back(), std::int64_t(59290));
        QCOMPARE(rig.display.level, std::string("2"));
        QCOMPARE(rig.controller.ShuttleCounter(), 1);
        QCOMPARE(rig.sound.Count("tada.wav"), 2);
        QCOMPARE(rig.sound.Moments().back(), std::int64_t(59290)); // each sound at its planned end
        // The next level is measured from that tick, not from the end of the fanfare.
        rig.clock.AdvanceTo(59290 + 8000);
        QCOMPARE(rig.tickTimes.back(), std::int64_t(59290 + 8000));

        rig.clock.AdvanceTo(1317499);
        QVERIFY(rig.controller.Running());
        QCOMPARE(rig.display.level, std::string("21"));
        rig.clock.AdvanceTo(1317500);
        QVERIFY(!rig.controller.Running());
        QCOMPARE(rig.tickTimes.size(), std::size_t(247));
        QCOMPARE(rig.tickTimes.back(), std::int64_t(1317500));
        QCOMPARE(rig.sound.Count("ding.wav"), 226);
        QCOMPARE(rig.sound.Count("tada.wav"), 22);
        QCOMPARE(rig.sound.Played().back(), std::string("tada.wav"));
        QCOMPARE(rig.display.level, std::string("0")); // "22" was replaced before any repaint
        QVERIFY(std::find(rig.display.levelHistory.begin(), rig.display.levelHistory.end(), "22") !=
                rig.display.levelHistory.end());
        QVERIFY(rig.display.menuEnabled);
        const std::string lastElapsed = rig.display.elapsed;
        QCOMPARE(lastElapsed, std::string("00:21:57"));

        // No further tick; the display tick brings back the shuttle number, the time stays.
        rig.clock.Advance(60000);
        QCOMPARE(rig.tickTimes.size(), std::size_t(247));
        QCOMPARE(rig.display.shuttle, std::string("1"));
        QCOMPARE(rig.display.elapsed, lastElapsed);
        QCOMPARE(rig.controller.CurrentLevel(), 22);
    }

    void stopDuringRun() {
        Rig rig;
        rig.controller.btn_startClick();
        rig.clock.AdvanceTo(3 * 8470 + 100); // level 1, shuttle 4
        QCOMPARE(rig.controller.ShuttleCounter(), 4);
        QCOMPARE(rig.sound.PlannedAhead(), 1); // the beep that ends shuttle 4
        rig.controller.btn_stopClick();
        QCOMPARE(rig.sound.PlannedAhead(), 0); // not heard after STOP
        QVERIFY(!rig.controller.Running());
        QCOMPARE(rig.display.level, std::string("0"));
        QCOMPARE(rig.display.shuttle, std::string("0"));
        QVERIFY(rig.display.menuEnabled);
        const std::string frozen = rig.display.elapsed;
        rig.clock.Advance(500);
        QCOMPARE(rig.display.shuttle, std::string("4"));
        rig.clock.Advance(20000);
        QCOMPARE(rig.display.elapsed, frozen);
        QCOMPARE(rig.tickTimes.size(), std::size_t(3));
        QCOMPARE(rig.controller.CurrentLevel(), 1);

        // STOP, then START: level 1 again, the time counted from this START.
        rig.clock.Advance(1000);
        const std::int64_t restart = rig.clock.Elapsed();
        rig.controller.btn_startClick();
        rig.clock.Advance(2500);
        QCOMPARE(rig.display.elapsed, std::string("00:00:02"));
        rig.clock.AdvanceTo(restart + 8470);
        QCOMPARE(rig.tickTimes.back(), restart + 8470);
    }

    // Without a sound device START says so first; the test begins only if the user agrees.
    void startWithoutSoundDevice() {
        Rig rig;
        FakeDialogs dialogs;
        rig.sound.SetHasOutput(false);
        dialogs.ScriptAnswer(platform::Answer::No);
        rig.controller.btn_startClick();
        QCOMPARE(dialogs.Texts(), std::vector<std::string>{TestRunController::NoSoundQuestion});
        QVERIFY(!rig.controller.Running());
        QVERIFY(rig.display.menuEnabled);
        dialogs.ScriptAnswer(platform::Answer::Yes);
        rig.controller.btn_startClick();
        QVERIFY(rig.controller.Running());
        rig.controller.btn_startClick(); // a restart during the test asks nothing
        QCOMPARE(dialogs.Texts().size(), std::size_t(2));
    }

    void stopWhileIdleChangesNothingElse() {
        Rig rig;
        rig.controller.btn_stopClick();
        QCOMPARE(rig.display.level, std::string("0"));
        QVERIFY(rig.display.menuEnabled);
        QVERIFY(rig.sound.Played().empty());
    }

    void restartInLevelOneKeepsCountdown() {
        Rig rig;
        rig.controller.btn_startClick();
        rig.clock.AdvanceTo(5000);
        rig.controller.btn_startClick(); // still level 1: interval and state unchanged
        QCOMPARE(rig.sound.Count("tada.wav"), 2);
        QCOMPARE(rig.sound.PlannedAhead(), 1); // the first run's beep is dropped, the new one planned
        rig.clock.AdvanceTo(8470);
        QCOMPARE(rig.tickTimes, std::vector<std::int64_t>{8470});
        QCOMPARE(rig.controller.ShuttleCounter(), 2);
        // The countdown's tick gives the beep; none follows at the restart's own first end.
        QCOMPARE(rig.sound.Moments(), (std::vector<std::int64_t>{0, 5000, 8470}));
        rig.clock.AdvanceTo(5000 + 2 * 8470 - 1);
        QCOMPARE(rig.sound.Count("ding.wav"), 1);
        QCOMPARE(rig.tickTimes.back(), std::int64_t(8470));
        rig.clock.AdvanceTo(5000 + 2 * 8470);
        QCOMPARE(rig.sound.Count("ding.wav"), 2);
        QCOMPARE(rig.controller.ShuttleCounter(), 3);
    }

    void restartInLevelThreeStartsAnew() {
        Rig rig;
        rig.controller.btn_startClick();
        const std::int64_t levelThree = 7 * 8470 + 8 * 8000;
        rig.clock.AdvanceTo(levelThree + 1000);
        QCOMPARE(rig.display.level, std::string("3"));
        const std::int64_t restart = rig.clock.Elapsed();
        rig.controller.btn_startClick();
        const std::size_t ticks = rig.tickTimes.size();
        QCOMPARE(rig.display.level, std::string("1"));
        QCOMPARE(rig.controller.ShuttleCounter(), 1);
        rig.clock.AdvanceTo(restart + 8469);
        QCOMPARE(rig.tickTimes.size(), ticks);
        rig.clock.AdvanceTo(restart + 8470);
        QCOMPARE(rig.tickTimes.back(), restart + 8470);
    }

    // The elapsed time is the wall-clock difference: a clock change shows, the pace does not.
    void wallClockChangeShiftsOnlyTheTime() {
        Rig rig;
        rig.controller.btn_startClick();
        rig.clock.AdvanceTo(4000);
        rig.clock.ShiftWallClock(3600 * 1000);
        rig.clock.AdvanceTo(4500);
        QCOMPARE(rig.display.elapsed, std::string("01:00:04"));
        rig.clock.AdvanceTo(8470);
        QCOMPARE(rig.tickTimes.back(), std::int64_t(8470));
    }
};

QTEST_APPLESS_MAIN(TestRunControllerTest)
#include "test_run_controller.moc"
