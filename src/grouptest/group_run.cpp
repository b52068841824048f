#include "group_run.h"

#include "pacing/shuttle_schedule.h"

#include <tuple>

namespace grouptest {

std::pair<int, int> CompletedAt(std::int64_t elapsedMs) {
    std::pair<int, int> completed{0, 0};
    std::int64_t beep = 0;
    for (int level = 1; level <= schedule::LevelCount; ++level)
        for (int shuttle = 1; shuttle <= schedule::ShuttlesPerLevel[static_cast<std::size_t>(level)];
             ++shuttle) {
            beep += schedule::ShuttleIntervalMs[static_cast<std::size_t>(level)];
            if (beep > elapsedMs)
                return completed;
            completed = {level, shuttle};
        }
    return completed;
}

std::pair<int, int> CountedForTap(std::int64_t elapsedMs) {
    return CompletedAt(elapsedMs - TapGraceMs);
}

GroupRun::GroupRun(std::int64_t groupId, std::string groupName, std::vector<Runner> runners)
    : m_groupId(groupId), m_groupName(std::move(groupName)), m_runners(std::move(runners)) {}

GroupRun GroupRun::Restored(std::int64_t groupId, std::string groupName, std::int64_t start, bool finished,
                            std::vector<Runner> runners) {
    GroupRun run(groupId, std::move(groupName), std::move(runners));
    run.m_start = start;
    run.m_finished = finished;
    return run;
}

void GroupRun::Start(std::int64_t start) {
    m_start = start;
    m_finished = false;
    m_lastCompleted = {0, 0};
    m_takenOver.clear();
    for (Runner& r : m_runners) {
        r.state = RunnerState::Running;
        r.level = r.shuttle = 0;
    }
}

void GroupRun::Tap(std::size_t index, std::int64_t moment) {
    if (!Started() || m_finished || index >= m_runners.size())
        return;
    Runner& r = m_runners[index];
    switch (r.state) {
    case RunnerState::Running:
        r.state = RunnerState::Warned;
        break;
    case RunnerState::Warned: {
        r.state = RunnerState::Out;
        std::tie(r.level, r.shuttle) = CountedForTap(moment - m_start);
        break;
    }
    case RunnerState::Out:
        r.state = RunnerState::Running;
        r.level = r.shuttle = 0;
        break;
    }
}

int GroupRun::StillRunning() const {
    int running = 0;
    for (const Runner& r : m_runners)
        running += r.state != RunnerState::Out;
    return running;
}

void GroupRun::Finish(std::int64_t moment, bool stillRunningAreOut) {
    if (!Started() || m_finished)
        return;
    FinishAt(CompletedAt(moment - m_start), stillRunningAreOut);
}

bool GroupRun::NoteCompleted(std::pair<int, int> levelAndShuttle) {
    if (levelAndShuttle <= m_lastCompleted)
        return false;
    m_lastCompleted = levelAndShuttle;
    return true;
}

void GroupRun::FinishAfterCrash(bool stillRunningAreOut) {
    if (!Started() || m_finished)
        return;
    FinishAt(m_lastCompleted, stillRunningAreOut);
}

void GroupRun::FinishAt(std::pair<int, int> levelAndShuttle, bool stillRunningAreOut) {
    m_finished = true;
    const auto [level, shuttle] = levelAndShuttle;
    for (Runner& r : m_runners)
        if (r.state != RunnerState::Out) {
            r.state = RunnerState::Out;
            r.level = stillRunningAreOut ? level : 0;
            r.shuttle = stillRunningAreOut ? shuttle : 0;
        }
}

bool GroupRun::AddRunner(Runner runner) {
    for (const Runner& r : m_runners)
        if (r.athleteId == runner.athleteId)
            return false;
    runner.state = RunnerState::Running;
    runner.level = runner.shuttle = 0;
    m_runners.push_back(std::move(runner));
    return true;
}

void GroupRun::Correct(std::size_t index, int level, int shuttle) {
    if (index >= m_runners.size())
        return;
    Runner& r = m_runners[index];
    r.state = RunnerState::Out;
    r.level = level;
    r.shuttle = shuttle;
}

std::string StillRunningQuestion(int running, std::pair<int, int> lastCompleted) {
    return std::to_string(running) + (running == 1 ? " Sportler läuft" : " Sportler laufen") +
           " noch. Sollen sie beim zuletzt vollständig gelaufenen Durchgang (Level " +
           std::to_string(lastCompleted.first) + ", Durchgang " + std::to_string(lastCompleted.second) +
           ") als ausgeschieden gelten?\n(Nein: sie bleiben ohne Ergebnis.)";
}

std::string TileKey(std::size_t index) {
    if (index < 9)
        return std::string(1, static_cast<char>('1' + index));
    if (index == 9)
        return "0";
    if (index < 36)
        return std::string(1, static_cast<char>('a' + (index - 10)));
    return {};
}

std::optional<std::size_t> RunnerOfKey(char key, std::size_t runners) {
    std::optional<std::size_t> index;
    if (key >= '1' && key <= '9')
        index = static_cast<std::size_t>(key - '1');
    else if (key == '0')
        index = 9;
    else if (key >= 'a' && key <= 'z')
        index = 10 + static_cast<std::size_t>(key - 'a');
    else if (key >= 'A' && key <= 'Z')
        index = 10 + static_cast<std::size_t>(key - 'A');
    if (index && *index < runners)
        return index;
    return std::nullopt;
}

} // namespace grouptest
