#pragma once
// One group test from START to the review: the run with its taps, its journal on disk and
// what became of its results. The session follows the pacing as its run listener and tells
// its window what changed; the window only shows the run and hands taps and keys over.
// Every change of the run goes into the journal at once (a tap's tile is shown first).
#include "group_run.h"
#include "pacing/run_listener.h"

#include <cstdint>
#include <string>

class TestRunController;

namespace grouptest {

// What the session tells its window.
class SessionView {
public:
    virtual ~SessionView() = default;
    // A runner's tile is to be shown anew (a tap, the start, the end of the run).
    virtual void RunnerChanged(std::size_t index) = 0;
    // A runner joined the run (a latecomer); its tile is the next one.
    virtual void RunnerAdded(std::size_t index) = 0;
    // The stage changed (started, ending, finished, reviewed).
    virtual void StageChanged() = 0;
    // The run began with a START from here or the main window.
    virtual void RunBegan() = 0;
    // The pacing ended the run (STOP, the last shuttle); the window calls EndRun once the
    // pacing's handlers are done.
    virtual void RunEnding() = 0;
    // The run is finished: its review follows.
    virtual void ReviewDue() = 0;
};

enum class SessionStage {
    Ready,          // before START
    Running,        // paced
    Ending,         // the question about those still running is open
    AwaitingReview, // finished, results not yet taken over
    Posted,         // the results are taken over
    Discarded       // the results are thrown away
};

class GroupTestSession : public RunListener {
public:
    GroupTestSession(GroupRun run, TestRunController& controller, std::string journalPath);
    ~GroupTestSession() override;
    GroupTestSession(const GroupTestSession&) = delete;
    GroupTestSession& operator=(const GroupTestSession&) = delete;

    void SetView(SessionView* view) { m_view = view; }
    const GroupRun& Run() const { return m_run; }
    SessionStage Stage() const { return m_stage; }
    bool Running() const;

    // A tap on runner `index` made at `moment` (the clock seam's time); ignored unless the
    // test runs.
    void Tap(std::size_t index, std::int64_t moment);
    // A latecomer runs from now on; false when the runner runs already or the run is over.
    bool AddRunner(Runner runner);
    // The run passes `now`: the shuttle completed last goes into the journal, so that after a
    // crash those still running can be taken out there.
    void NoteProgress(std::int64_t now);
    // The end of the run at `now`: those still running are asked about (out where they are,
    // or without a result), the run is finished and journalled, the review is due.
    void EndRun(std::int64_t now);
    // The review closed: posted, discarded, or left for later (the journal stays).
    void ReviewClosed(SessionStage outcome);

    // RunListener
    void RunStarted() override;
    void RunStopped() override;
    bool MayRestart() override;

private:
    void Journal();
    void Stage(SessionStage stage);
    void ShowAllRunners();

    GroupRun m_run;
    TestRunController& m_controller;
    std::string m_journalPath;
    SessionView* m_view = nullptr;
    SessionStage m_stage = SessionStage::Ready;
};

} // namespace grouptest
