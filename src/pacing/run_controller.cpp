#include "run_controller.h"

#include "pacing/shuttle_schedule.h"
#include "platform/dialogs.h"
#include "platform/sound.h"

#include <algorithm>
#include <string>

namespace {
constexpr std::int32_t LastLevel = schedule::LevelCount;
constexpr const char* ShuttleBeep = "ding.wav";
constexpr const char* LevelFanfare = "tada.wav";
// A tick at most this much before its planned end waits for it (the countdown began before
// the time line by the sound's lead); one earlier belongs to a countdown that a restart in
// level 1 did not restart. The timer itself is never early.
constexpr std::int64_t EarlyTickMs = 100;
} // namespace

TestRunController::TestRunController(RunDisplay& display, platform::Timer& shuttleTimer,
                                     platform::Timer& displayTimer)
    : m_display(display), m_shuttleTimer(shuttleTimer) {
    m_shuttleTimer.SetEnabled(false);
    m_shuttleTimer.SetInterval(5000); // always replaced before the timer is switched on
    m_shuttleTimer.SetOnTimer([this] { Timer1Timer(); });
    displayTimer.SetInterval(DisplayIntervalMs);
    displayTimer.SetOnTimer([this] { Timer2Timer(); });
    displayTimer.SetEnabled(true);
}

const char* const TestRunController::NoSoundQuestion =
    "Es wurde kein Tonausgabegerät gefunden. Der Test würde ohne Signale laufen.\n\nTrotzdem ohne Ton "
    "starten?";

void TestRunController::btn_startClick() {
    // In a gym a test without its signals is no test: the user hears of it before it begins.
    if (!Running() && !platform::Sound().HasOutput() &&
        platform::Dialogs().AskYesNoDefaultNo(NoSoundQuestion) != platform::Answer::Yes)
        return;
    if (Running() && m_listener && !m_listener->MayRestart())
        return;
    m_display.SetMenuEnabled(false);
    m_currentLevel = 1;
    // During level 1 neither call changes the timer, so a restart in level 1 leaves the
    // running countdown undisturbed; from any later level the countdown starts anew here.
    m_shuttleTimer.SetInterval(schedule::ShuttleIntervalMs[1]);
    m_shuttleCounter = 1;
    m_display.SetLevelText("1");
    m_shuttleTimer.SetEnabled(true);
    m_testStartTime = platform::Clock().Now();
    // The time line every shuttle's end is taken from: START on the clock that never jumps,
    // plus the schedule's shuttle times; it begins when the fanfare can be heard, the sound
    // device's lead after the press, so that the fanfare is on it as every later signal.
    m_timeLineStart = platform::Clock().MonotonicMs() + platform::Sound().LeadMs();
    m_nextShuttleEnd = schedule::ShuttleIntervalMs[1];
    // A restarted test's signals still planned belong to the run that was.
    platform::Sound().CancelPlanned();
    // The countdown already runs, so the fanfare's length is part of the first shuttle.
    platform::Sound().PlayAt(LevelFanfare, m_timeLineStart);
    PlanNextSignal();
    if (m_listener)
        m_listener->RunStarted();
}

void TestRunController::btn_stopClick() {
    // The signal planned for the shuttle under way is not heard.
    if (m_shuttleTimer.Enabled())
        platform::Sound().CancelPlanned();
    EndRun();
}

void TestRunController::EndRun() {
    const bool wasRunning = m_shuttleTimer.Enabled();
    m_shuttleTimer.SetEnabled(false);
    m_display.SetLevelText("0");
    m_display.SetShuttleText("0");
    m_display.SetMenuEnabled(true);
    if (wasRunning && m_listener)
        m_listener->RunStopped();
}

void TestRunController::Timer1Timer() {
    // Every shuttle end of the time line up to now counts, however late this tick is
    // handled (the window busy, the machine loaded): the level and shuttle shown are the
    // planned ones. The signal of the first of them was planned in the audio stream when its
    // shuttle began, and sounds at its moment whenever this tick comes.
    const std::int64_t elapsed = platform::Clock().MonotonicMs() - m_timeLineStart;
    // The first countdown began at the press, the sound's lead before the time line: its
    // tick waits for the planned end, so that the shuttle shown changes with the signal.
    if (const std::int64_t untilEnd = m_nextShuttleEnd - elapsed; untilEnd > 0 && untilEnd <= EarlyTickMs) {
        m_shuttleTimer.SetInterval(static_cast<int>(untilEnd));
        return;
    }
    // A test restarted in level 1 keeps its countdown: its first tick comes before the
    // restarted time line's end, and the signal planned for that end is given here instead.
    const bool beforePlannedEnd = elapsed < m_nextShuttleEnd;
    int ends = 0;
    bool unplannedLevelChange = false;
    for (;;) {
        const bool levelChanged = NextShuttle();
        if (++ends > 1 || beforePlannedEnd)
            unplannedLevelChange = unplannedLevelChange || levelChanged;
        if (!Running())
            break;
        m_nextShuttleEnd += schedule::ShuttleIntervalMs[static_cast<std::size_t>(m_currentLevel)];
        if (m_nextShuttleEnd > elapsed)
            break;
    }
    if (beforePlannedEnd)
        platform::Sound().CancelPlanned();
    // Ends whose signals were never planned (a tick late by more than a shuttle) get one
    // signal now, not a burst.
    if (ends > 1 || beforePlannedEnd)
        platform::Sound().Play(unplannedLevelChange ? LevelFanfare : ShuttleBeep);
    if (!Running())
        return;
    PlanNextSignal();
    // Armed for the next planned end: no lateness of this tick is carried into the rest of
    // the test.
    m_shuttleTimer.SetInterval(static_cast<int>(
        std::max<std::int64_t>(1, m_nextShuttleEnd - (platform::Clock().MonotonicMs() - m_timeLineStart))));
}

void TestRunController::PlanNextSignal() {
    // The shuttle under way ends its level when it is the level's last: the fanfare (after
    // level 21 it closes the test).
    const bool levelEnds =
        m_shuttleCounter == schedule::ShuttlesPerLevel[static_cast<std::size_t>(m_currentLevel)];
    platform::Sound().PlayAt(levelEnds ? LevelFanfare : ShuttleBeep, m_timeLineStart + m_nextShuttleEnd);
}

bool TestRunController::NextShuttle() {
    ++m_shuttleCounter;
    if (m_shuttleCounter <= schedule::ShuttlesPerLevel[static_cast<std::size_t>(m_currentLevel)])
        return false;
    ++m_currentLevel;
    m_display.SetLevelText(std::to_string(m_currentLevel));
    if (m_currentLevel > LastLevel)
        EndRun(); // the closing fanfare was planned with the last shuttle
    else          // the new level's countdown starts with its interval
        m_shuttleTimer.SetInterval(schedule::ShuttleIntervalMs[static_cast<std::size_t>(m_currentLevel)]);
    m_shuttleCounter = 1;
    return true;
}

void TestRunController::Timer2Timer() {
    m_display.SetShuttleText(std::to_string(m_shuttleCounter));
    if (!m_shuttleTimer.Enabled())
        return;
    // Written as a time of day; a wall clock set back before the start wraps round the day.
    std::int64_t elapsed = (platform::Clock().Now() - m_testStartTime) % platform::MillisecondsPerDay;
    if (elapsed < 0)
        elapsed += platform::MillisecondsPerDay;
    m_display.SetElapsedText(platform::Clock().FormatLongTime(elapsed));
}
