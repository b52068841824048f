#include "run_controller.h"

#include "pacing/shuttle_schedule.h"
#include "platform/dialogs.h"
#include "platform/sound.h"

#include <algorithm>
#include <string>

namespace {
constexpr std::int32_t LastLevel = schedule::LevelCount;
}

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
    // plus the schedule's shuttle times.
    m_timeLineStart = platform::Clock().MonotonicMs();
    m_nextShuttleEnd = schedule::ShuttleIntervalMs[1];
    // The countdown already runs, so the fanfare's length is part of the first shuttle.
    PlayLevelFanfare();
    if (m_listener)
        m_listener->RunStarted();
}

void TestRunController::btn_stopClick() {
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
    // planned ones, and one signal sounds for them.
    const std::int64_t elapsed = platform::Clock().MonotonicMs() - m_timeLineStart;
    bool levelChanged = false;
    for (;;) {
        levelChanged = NextShuttle() || levelChanged;
        if (!Running())
            break;
        m_nextShuttleEnd += schedule::ShuttleIntervalMs[static_cast<std::size_t>(m_currentLevel)];
        if (m_nextShuttleEnd > elapsed)
            break;
    }
    if (levelChanged)
        PlayLevelFanfare();
    else
        PlayShuttleBeep();
    // Armed for the next planned end: no lateness of this tick, nor the time the signal
    // took to start, is carried into the rest of the test.
    if (Running())
        m_shuttleTimer.SetInterval(static_cast<int>(std::max<std::int64_t>(
            1, m_nextShuttleEnd - (platform::Clock().MonotonicMs() - m_timeLineStart))));
}

bool TestRunController::NextShuttle() {
    ++m_shuttleCounter;
    if (m_shuttleCounter <= schedule::ShuttlesPerLevel[static_cast<std::size_t>(m_currentLevel)])
        return false;
    ++m_currentLevel;
    m_display.SetLevelText(std::to_string(m_currentLevel));
    if (m_currentLevel > LastLevel)
        btn_stopClick();
    else // the new level's countdown starts with its interval
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

void TestRunController::PlayShuttleBeep() {
    platform::Sound().Play("ding.wav");
}

void TestRunController::PlayLevelFanfare() {
    platform::Sound().Play("tada.wav");
}
