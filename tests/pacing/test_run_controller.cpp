// The paced test on a virtual clock: whole 22-minute runs in milliseconds. Sounds start at
// their tick and hold up nothing, as the real player on its own thread.
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
    // machine loaded) still shows the planned level and shuttle, and every later signal
    // sounds at its planned moment on the time line from START; a tick late by more than a
    // shuttle catches up with one signal, not a burst.
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
        rig.timer1->SetOnTimer([&] {
            ++ticks;
            const bool levelEnds = rig.controller.ShuttleCounter() ==
                                   schedule::ShuttlesPerLevel[std::size_t(rig.controller.CurrentLevel())];
            if ((everyNthTick == 0 && levelEnds) || (everyNthTick > 0 && ticks % everyNthTick == 0 &&
                                                     (everyNthTick == 1 || ticks == everyNthTick)))
                rig.clock.Block(busyMs); // handled that much after its moment
            rig.controller.Timer1Timer();
        });
        rig.controller.btn_startClick();
        // The planned end of every shuttle, from START.
        std::vector<std::int64_t> planned;
        std::int64_t t = 0;
        for (int level = 1; level <= 21; ++level)
            for (int k = 0; k < schedule::ShuttlesPerLevel[std::size_t(level)]; ++k)
                planned.push_back(t += schedule::ShuttleIntervalMs[std::size_t(level)]);
        rig.clock.Advance(1317500 + 20000);
        QVERIFY(!rig.controller.Running());
        const auto& moments = rig.sound.Moments(); // [0] is the fanfare at START
        const bool skips = busyMs > 8000;
        QCOMPARE(int(moments.size()) - 1, skips ? 247 - 1 : 247);
        std::int64_t worst = 0;
        for (std::size_t k = 1, p = 0; k < moments.size(); ++k, ++p) {
            if (skips && moments[k] - planned[p] >= busyMs - 1) // the one late tick: one signal for two ends
                ++p;
            const std::int64_t late = moments[k] - planned[p];
            worst = std::max(worst, late);
            if (moments[k] > 40 * 8000 + busyMs) // well after the late tick: exactly on the plan
                QVERIFY2(late <= (everyNthTick == 1 || everyNthTick == 0 ? busyMs : 0),
                         qPrintable(QStringLiteral("signal %1 late by %2 ms").arg(k).arg(late)));
        }
        // Never growing: the last signal of the test is no later than one busy spell.
        QVERIFY2(moments.back() - planned.back() <= busyMs,
                 qPrintable(QString::number(moments.back() - planned.back())));
        // Every level shown in turn, none skipped by a late tick.
        const auto& shown = rig.display.levelHistory;
        for (int level = 1; level <= 22; ++level)
            QVERIFY(std::find(shown.begin(), shown.end(), std::to_string(level)) != shown.end());
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
        QCOMPARE(rig.sound.Moments().back(), std::int64_t(59290)); // each sound at its tick
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
        rig.controller.btn_stopClick();
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
        rig.clock.AdvanceTo(8470);
        QCOMPARE(rig.tickTimes, std::vector<std::int64_t>{8470});
        QCOMPARE(rig.controller.ShuttleCounter(), 2);
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
