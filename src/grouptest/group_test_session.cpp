#include "group_test_session.h"

#include "journal.h"
#include "pacing/run_controller.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "review.h"

namespace grouptest {

GroupTestSession::GroupTestSession(GroupRun run, TestRunController& controller, std::string journalPath)
    : m_run(std::move(run)), m_controller(controller), m_journalPath(std::move(journalPath)) {
    m_controller.SetListener(this);
}

GroupTestSession::~GroupTestSession() {
    if (m_controller.Listener() == this)
        m_controller.SetListener(nullptr);
}

bool GroupTestSession::Running() const {
    return m_controller.Running() && m_stage == SessionStage::Running;
}

void GroupTestSession::Journal() {
    WriteJournal(m_journalPath, m_run);
}

void GroupTestSession::Stage(SessionStage stage) {
    m_stage = stage;
    if (m_view)
        m_view->StageChanged();
}

void GroupTestSession::ShowAllRunners() {
    if (m_view)
        for (std::size_t i = 0; i < m_run.Runners().size(); ++i)
            m_view->RunnerChanged(i);
}

void GroupTestSession::RunStarted() {
    m_run.Start(m_controller.TestStartTime());
    Journal();
    ShowAllRunners();
    Stage(SessionStage::Running);
    if (m_view)
        m_view->RunBegan();
}

bool GroupTestSession::MayRestart() {
    // A second START would begin the run anew and lose every mark: asked first, "Nein" by
    // default.
    return !m_run.Started() || m_run.Finished() ||
           platform::Dialogs().AskYesNoDefaultNo(
               "Der Gruppentest läuft. Neu starten? Alle Markierungen gehen "
               "verloren.") == platform::Answer::Yes;
}

void GroupTestSession::RunStopped() {
    if (m_view)
        m_view->RunEnding();
}

void GroupTestSession::Tap(std::size_t index, std::int64_t moment) {
    if (!Running() || index >= m_run.Runners().size())
        return;
    m_run.Tap(index, moment);
    // The tile answers before the journal goes to disk.
    if (m_view)
        m_view->RunnerChanged(index);
    Journal();
}

bool GroupTestSession::AddRunner(Runner runner) {
    if (m_run.Finished() || !m_run.AddRunner(std::move(runner)))
        return false;
    if (m_run.Started())
        Journal(); // on disk at once, as every tap
    if (m_view)
        m_view->RunnerAdded(m_run.Runners().size() - 1);
    return true;
}

void GroupTestSession::NoteProgress(std::int64_t now) {
    if (Running() && !m_run.Finished() &&
        m_run.NoteCompleted(CompletedAt(std::max<std::int64_t>(0, now - m_run.StartTime()))))
        Journal();
}

void GroupTestSession::EndRun(std::int64_t now) {
    if (!m_run.Started() || m_run.Finished())
        return;
    bool out = false;
    Stage(SessionStage::Ending);
    // Before the first shuttle was completed there is nothing to be out at: no question.
    const std::pair<int, int> completed = CompletedAt(now - m_run.StartTime());
    if (const int running = m_run.StillRunning(); running > 0 && completed.first > 0)
        out = platform::Dialogs().AskYesNo(StillRunningQuestion(running, completed)) == platform::Answer::Yes;
    m_run.Finish(now, out);
    Journal();
    ShowAllRunners();
    Stage(SessionStage::AwaitingReview);
    if (m_view)
        m_view->ReviewDue();
}

void GroupTestSession::ReviewClosed(SessionStage outcome) {
    if (m_stage == SessionStage::AwaitingReview &&
        (outcome == SessionStage::Posted || outcome == SessionStage::Discarded))
        Stage(outcome);
}

} // namespace grouptest
