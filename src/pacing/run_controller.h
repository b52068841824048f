#pragma once
// Paces the shuttle-run test. START begins at level 1, shuttle 1 (when no sound device can
// be opened, only after the user agreed to a test without signals); the shuttle timer ticks
// once per shuttle with the interval of the current level, beeping at the end of every
// shuttle and sounding the fanfare at every level change; after the last shuttle of
// level 21 the test stops by itself. The free-running display timer shows the shuttle
// number and the elapsed wall-clock time twice a second.
//
// Invariant: the test runs exactly while the shuttle timer is on. The level, shuttle and
// start time keep their values after a stop.
#include "platform/clock.h"
#include "platform/timer.h"
#include "run_display.h"
#include "run_listener.h"

#include <cstdint>

class TestRunController {
public:
    static constexpr int DisplayIntervalMs = 500;
    // Asked at START when no sound can be heard; anything but "Ja" leaves the test unstarted.
    static const char* const NoSoundQuestion;

    // The timers belong to the window; the controller sets them up and drives them. The
    // display timer runs from now on until the window goes.
    TestRunController(RunDisplay& display, platform::Timer& shuttleTimer, platform::Timer& displayTimer);

    void btn_startClick();
    void btn_stopClick();
    void Timer1Timer();
    void Timer2Timer();

    // The one who follows the run (a group test), or none. Without one, START during a test
    // starts it anew (a single athlete's test).
    void SetListener(RunListener* listener) { m_listener = listener; }
    RunListener* Listener() const { return m_listener; }

    bool Running() const { return m_shuttleTimer.Enabled(); }
    std::int32_t CurrentLevel() const { return m_currentLevel; }
    std::int32_t ShuttleCounter() const { return m_shuttleCounter; }
    platform::LocalDateTime TestStartTime() const { return m_testStartTime; }

private:
    // Hands the signal that ends the shuttle under way to the sound player, at its moment.
    void PlanNextSignal();
    // The run's end, by STOP or after the last shuttle.
    void EndRun();
    // One shuttle end: the counter, and at a level's end the next level (or the end of the
    // test); true at a level change.
    bool NextShuttle();

    RunDisplay& m_display;
    RunListener* m_listener = nullptr;
    platform::Timer& m_shuttleTimer;
    std::int32_t m_currentLevel = 0;
    std::int32_t m_shuttleCounter = 0;
    platform::LocalDateTime m_testStartTime = 0;
    std::int64_t m_timeLineStart = 0;  // START on the clock that never jumps
    std::int64_t m_nextShuttleEnd = 0; // the planned end of the shuttle under way, after START
};
