#pragma once
// A group test: the athletes of a group running together, each with a state a tap changes,
// and the level and shuttle that count for the athlete who dropped out. Plain values on the
// clock seam's moments; the roster window only shows them.
//
// Which shuttle counts: an athlete is out after missing the line twice, and the teacher taps
// once the athlete has missed it, usually just after the beep that ended the shuttle. So a
// tap counts the shuttles whose beep sounded at least TapGraceMs before it: a tap within two
// seconds after a beep belongs to that beep (its shuttle was missed), a later tap to the
// shuttle under way (the one the last beep ended was completed). The review corrects any
// value.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace grouptest {

enum class RunnerState { Running, Warned, Out };

struct Runner {
    std::int64_t athleteId = 0;
    std::string firstName, name; // UTF-8
    RunnerState state = RunnerState::Running;
    int level = 0; // when out: the last completed shuttle's level and shuttle; 0 0: none
    int shuttle = 0;
};

// The level and shuttle of the last shuttle completed `elapsedMs` after START (0 0 before
// the first beep), by the schedule, and with the grace of a tap.
constexpr std::int64_t TapGraceMs = 2000;
std::pair<int, int> CompletedAt(std::int64_t elapsedMs);
std::pair<int, int> CountedForTap(std::int64_t elapsedMs);

class GroupRun {
public:
    GroupRun(std::int64_t groupId, std::string groupName, std::vector<Runner> runners);

    // The test began at `start` (the clock's local time in milliseconds); every runner runs.
    void Start(std::int64_t start);
    bool Started() const { return m_start != 0; }
    bool Finished() const { return m_finished; }
    std::int64_t StartTime() const { return m_start; }

    // A tap on runner `index` at `moment`: running → warned → out (at the shuttle that counts
    // then) → running again. Nothing before START or after the end.
    void Tap(std::size_t index, std::int64_t moment);

    // The test ended at `moment`. Runners still running (or warned) either drop out at the
    // last shuttle completed then, or stay without a result.
    int StillRunning() const;
    void Finish(std::int64_t moment, bool stillRunningAreOut);

    // The last shuttle completed, noted while the run goes on (the journal keeps it): where
    // those still running stood when the program died.
    std::pair<int, int> LastCompleted() const { return m_lastCompleted; }
    // True when it is a later shuttle than the one noted before.
    bool NoteCompleted(std::pair<int, int> levelAndShuttle);
    // Ends a run the program did not end (it died during it): those still running drop out
    // at the last shuttle noted, or stay without a result.
    void FinishAfterCrash(bool stillRunningAreOut);

    std::int64_t GroupId() const { return m_groupId; }
    const std::string& GroupName() const { return m_groupName; }
    const std::vector<Runner>& Runners() const { return m_runners; }

    // Restores a run read back from its journal.
    static GroupRun Restored(std::int64_t groupId, std::string groupName, std::int64_t start, bool finished,
                             std::vector<Runner> runners);

    // The ids of the results that taking the run over creates, noted in the journal before
    // the results file is saved: found there at the next start, the run was taken over.
    const std::vector<std::int64_t>& TakenOver() const { return m_takenOver; }
    void SetTakenOver(std::vector<std::int64_t> resultIds) { m_takenOver = std::move(resultIds); }
    // A pupil who arrives late joins the run, running from now on (false when already in it).
    bool AddRunner(Runner runner);
    // A correction made in the review: runner `index` out at level and shuttle, or (0 0)
    // without a result.
    void Correct(std::size_t index, int level, int shuttle);

private:
    std::int64_t m_groupId;
    std::string m_groupName;
    std::vector<Runner> m_runners;
    std::int64_t m_start = 0;
    bool m_finished = false;
    std::pair<int, int> m_lastCompleted{0, 0};
    std::vector<std::int64_t> m_takenOver;

    void FinishAt(std::pair<int, int> levelAndShuttle, bool stillRunningAreOut);
};

// The question when a run ends with `running` athletes still running: out at the last
// shuttle completed, or without a result.
std::string StillRunningQuestion(int running, std::pair<int, int> lastCompleted);

// The key shown on the tile of runner `index`: "1" .. "9", "0", then "a" .. "z".
std::string TileKey(std::size_t index);
// The runner a key stands for, if any.
std::optional<std::size_t> RunnerOfKey(char key, std::size_t runners);

} // namespace grouptest
