#pragma once
// The objects of a running program, created in start-up order and released in the order of
// program end: the main window (its creation sets the paths of the data files), the data
// module, then, hidden, the secondary windows. The program's end (End, after the event
// loop) hands over what is still being typed, saves both tables through the main window's
// FormDestroy and closes them, saying what went wrong; then the secondary windows go in
// reverse order, the main window, and the data module last. Nothing is shown from a
// destructor.
#include <QIcon>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TMultistage_frm;
class TDM1;
class Tfrm_Sportler;
class Tfrm_Werte;
class Tfrm_info;
class TAboutBox;
namespace grouptest {
class GroupTestSession;
}
namespace ui {
class EvaluationWindow;
class RosterWindow;
} // namespace ui

class Program {
public:
    // `dataFolder` replaces the executable's folder for the data files (tests only).
    explicit Program(std::optional<std::string> dataFolder = std::nullopt);
    ~Program();
    Program(const Program&) = delete;
    // The program's end, before anything is released: see above. Runs once. `quiet` when
    // the system asked for it (logout, shutdown): nothing is shown or asked; what the user
    // would have been told goes to standard error, and typed input that cannot be stored to
    // the recovery file.
    void End(bool quiet = false);
    // At start-up: input kept at the last program end because it could not be stored is
    // shown, and its file renamed so that it is shown once.
    void OfferRecoveredInput();
    Program& operator=(const Program&) = delete;

    TMultistage_frm& MainWindow() { return *m_mainWindow; }
    TDM1& DataModule() { return *m_dataModule; }
    Tfrm_Sportler& SportlerWindow() { return *m_sportler; }
    Tfrm_Werte& WerteWindow() { return *m_werte; }
    ui::EvaluationWindow& Evaluation() { return *m_evaluation; }

    // A group test of a group: its roster beside the main window.
    void OpenGroupTest(std::int64_t groupId);
    ui::RosterWindow* Roster() { return m_roster.get(); }
    // At start-up: a group test the program did not finish (its journal is still there) is
    // offered for review; declined, it is offered again at the next start.
    void OfferUnfinishedGroupTest();
    // After the start's questions, while nobody waits: the evaluation window read and laid
    // out ahead, so that its first opening is as quick as the later ones.
    void PrepareEvaluation();

private:
    // After a group test is taken over: its class's handout saved through the evaluation.
    std::function<void(std::int64_t groupId, int day)> ClassReportOffer();

    std::unique_ptr<TMultistage_frm> m_mainWindow;
    std::unique_ptr<TDM1> m_dataModule;
    std::unique_ptr<Tfrm_Sportler> m_sportler;
    std::unique_ptr<Tfrm_Werte> m_werte;
    std::unique_ptr<Tfrm_info> m_info;
    std::unique_ptr<TAboutBox> m_about;
    std::unique_ptr<ui::EvaluationWindow> m_evaluation;
    // The group test under way and its roster, which shows it (released before it).
    std::unique_ptr<grouptest::GroupTestSession> m_groupTest;
    std::unique_ptr<ui::RosterWindow> m_roster;
    bool m_ended = false;
};

// The program's icon, in every size it comes in; every window carries it.
QIcon ProgramIcon();

namespace data {
class InstanceLock;
}

// At start-up: when the lock on `folder` could not be taken (another copy works on it, or
// another user's lock file cannot be opened), the user is told so and the caller ends
// without touching the data files. A folder where nothing can be saved is said too, but
// the program runs: the test itself needs no files.
bool StartRefused(const data::InstanceLock& lock, const std::string& folder);
