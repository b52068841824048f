#include "program.h"

#include "My_std.h"
#include "data/DModule.h"
#include "data/data_file.h"
#include "data/date_value.h"
#include "data/groups.h"
#include "data/instance_lock.h"
#include "data/text_encoding.h"
#include "evaluation/export_table.h"
#include "evaluation/global.h"
#include "evaluation/results_analysis.h"
#include "grouptest/group_test_session.h"
#include "grouptest/journal.h"
#include "grouptest/review.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "ui/evaluation/evaluation_window.h"
#include "ui/grouptest/review_dialog.h"
#include "ui/grouptest/roster_window.h"
#include "ui/widgets/guard.h"
#include "ui/windows/About.h"
#include "ui/windows/f_info.h"
#include "ui/windows/f_sportler.h"
#include "ui/windows/f_werte.h"
#include "ui/windows/management_window.h"
#include "vexo_multistage_form.h"

#include <cstdio>

Program::Program(std::optional<std::string> dataFolder) {
    m_mainWindow = std::make_unique<TMultistage_frm>();
    if (dataFolder) {
        global::SportlerPath = *dataFolder + "sportler.xml";
        global::MultiwertPath = *dataFolder + "multiwert.xml";
        global::GruppenPath = *dataFolder + "gruppen.xml";
        global::GruppentestPath = *dataFolder + "gruppentest.journal";
    }
    m_dataModule = std::make_unique<TDM1>();
    DM1 = m_dataModule.get();
    m_mainWindow->SetDataModule(m_dataModule.get());
    m_sportler = std::make_unique<Tfrm_Sportler>(*m_dataModule, m_mainWindow.get());
    m_werte = std::make_unique<Tfrm_Werte>(*m_dataModule, m_mainWindow.get());
    m_info = std::make_unique<Tfrm_info>(m_mainWindow.get());
    m_about = std::make_unique<TAboutBox>(&GetVersionText, m_mainWindow.get());
    m_evaluation = std::make_unique<ui::EvaluationWindow>(*m_dataModule, m_mainWindow.get());
    m_mainWindow->SetSecondaryWindows(m_sportler.get(), m_werte.get(), m_info.get(), m_about.get());
    m_mainWindow->SetEvaluationWindow(m_evaluation.get());
    m_evaluation->onPrepareGroupTest = [this](std::int64_t groupId) { OpenGroupTest(groupId); };
    // Never while a test is paced: the reading would hold up its beeps and taps.
    m_evaluation->SetMayPrepareNow([this] { return !m_mainWindow->Controller().Running(); });
}

std::function<void(std::int64_t, int)> Program::ClassReportOffer() {
    return [this](std::int64_t groupId, int day) {
        ui::Guarded([&] { m_evaluation->SaveClassReportOf(groupId, day); });
    };
}

void Program::PrepareEvaluation() {
    ui::Guarded([this] { m_evaluation->PrepareInAdvance(); });
}

void Program::OpenGroupTest(std::int64_t groupId) {
    if (m_roster && m_roster->isVisible()) {
        if (m_mainWindow->Controller().Running()) {
            platform::Dialogs().ShowMessage("Es läuft schon ein Gruppentest. Bitte erst STOP drücken.");
            return;
        }
        if (!m_roster->close())
            return; // results not yet taken over, and the user kept the window
    }
    const data::Group group = data::GroupStore(*m_dataModule).Get(groupId);
    std::vector<grouptest::Runner> runners;
    for (std::int64_t member : group.members)
        if (std::optional<grouptest::Runner> r = grouptest::StoredRunner(*m_dataModule, member))
            runners.push_back(std::move(*r));
    std::sort(runners.begin(), runners.end(), [](const grouptest::Runner& a, const grouptest::Runner& b) {
        return evaluation::SearchKey(a.name + " " + a.firstName) <
               evaluation::SearchKey(b.name + " " + b.firstName);
    });
    m_roster.reset();
    m_groupTest.reset();
    m_groupTest = std::make_unique<grouptest::GroupTestSession>(
        grouptest::GroupRun(group.id, group.name, std::move(runners)), m_mainWindow->Controller(),
        global::GruppentestPath);
    m_roster = std::make_unique<ui::RosterWindow>(
        *m_dataModule, *m_groupTest, m_mainWindow->Controller(), [this] { m_mainWindow->btn_startClick(); },
        [this] { m_mainWindow->btn_stopClick(); }, m_mainWindow.get());
    m_roster->setWindowIcon(ProgramIcon());
    m_roster->onClassReportWanted = ClassReportOffer();
    // Kept above the main window by the window manager: a click on the main window (START)
    // never hides the tiles.
    m_roster->setWindowFlag(Qt::Tool, true);
    m_mainWindow->onKeyDuringRun = [this](QKeyEvent* event) { return m_roster && m_roster->TileKey(event); };
    // Beside the main window's menu column, over its displays: the roster shows the run.
    const QRect screen = m_mainWindow->screen()->availableGeometry();
    const int left = std::min(screen.left() + 170, screen.right() - 800);
    m_roster->setGeometry(left, screen.top() + 30, screen.right() - left - 10, screen.height() - 60);
    m_roster->show();
    m_roster->raise();
    m_roster->activateWindow();
}

void Program::OfferUnfinishedGroupTest() {
    m_mainWindow->FormActivate(); // the data files opened first (once only)
    std::optional<grouptest::GroupRun> run;
    ui::Guarded([&] {
        try {
            run = grouptest::ReadJournal(global::GruppentestPath);
        } catch (const std::exception& e) {
            // A journal that is not whole is never read as a run with other values, and never
            // overwritten by the next group test: its bytes are kept aside.
            const std::string kept = data::KeepAside(global::GruppentestPath, platform::Clock().Now());
            throw vexo::Error(std::string(e.what()) +
                              (kept.empty() ? "\nEs lässt sich nicht umbenennen und bleibt als \"" +
                                                  global::GruppentestPath + "\" liegen."
                                            : "\nEs bleibt unverändert als \"" + kept + "\" erhalten."));
        }
    });
    if (!run)
        return;
    const std::string when =
        data::FormatGermanDate(static_cast<int>(run->StartTime() / platform::MillisecondsPerDay));
    if (grouptest::AlreadyTakenOver(*m_dataModule, *run)) {
        // The program ended after the results were saved, before the journal was removed.
        grouptest::RemoveJournal(global::GruppentestPath);
        platform::Dialogs().ShowMessage("Die Ergebnisse des Gruppentests vom " + when +
                                        " waren bereits übernommen und gespeichert.");
        return;
    }
    if (platform::Dialogs().AskYesNo("Ein Gruppentest vom " + when +
                                     " wurde nicht abgeschlossen. Ergebnisse jetzt prüfen?") !=
        platform::Answer::Yes)
        return;
    // Ended by the program's death: those still running then are asked about as at STOP,
    // with the last shuttle the journal noted; the answer goes into the journal.
    if (!run->Finished()) {
        const int running = run->StillRunning();
        const bool out = running > 0 && platform::Dialogs().AskYesNo(grouptest::StillRunningQuestion(
                                            running, run->LastCompleted())) == platform::Answer::Yes;
        run->FinishAfterCrash(out);
        ui::Guarded([&] { grouptest::WriteJournal(global::GruppentestPath, *run); });
    }
    ui::Guarded([&] {
        ui::ReviewDialog review(*m_dataModule, *run, m_mainWindow.get());
        review.onClassReportWanted = ClassReportOffer();
        review.exec();
    });
}

namespace {

// The boxes of a program end nobody may be watching: messages to standard error, every
// question answered "no" (or "back"), nothing waits.
class UnattendedDialogs : public platform::DialogService {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    platform::Answer AskYesNo(const std::string&) override { return platform::Answer::No; }
    platform::Answer AskYesNoDefaultNo(const std::string&) override { return platform::Answer::No; }
    platform::Answer AskYesNoCancel(const std::string&) override { return platform::Answer::Abort; }
    platform::Answer AskYesAbort(const std::string&) override { return platform::Answer::Abort; }
    void ShowError(const std::string& text) override { ShowMessage(text); }
    std::string AskSaveFileName(const std::string&, const std::string&) override { return {}; }
    std::string AskOpenFileName(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> AskText(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::size_t> AskChoice(const std::string&, const std::string&,
                                         const std::vector<std::string>&) override {
        return std::nullopt;
    }
};

} // namespace

void Program::End(bool quiet) {
    if (m_ended)
        return;
    m_ended = true;
    UnattendedDialogs unattended;
    platform::DialogService* shown = &platform::Dialogs();
    if (quiet)
        platform::SetDialogs(&unattended);
    // What is still being typed goes into its record first, so that the saves below post it
    // (or say what they drop); what a cell editor holds that its field refuses is kept for
    // the next start.
    ui::Guarded([this] {
        for (ui::ManagementWindow* window : {static_cast<ui::ManagementWindow*>(m_sportler.get()),
                                             static_cast<ui::ManagementWindow*>(m_werte.get())})
            if (!window->CommitPendingInput())
                if (const std::string left = window->UncommittedText(); !left.empty())
                    TDM1::KeepForRecovery("Nicht übernommen im Fenster \"" +
                                          window->windowTitle().toStdString() + "\": " + left);
    });
    ui::Guarded([this] {
        m_mainWindow->FormDestroy();
        m_dataModule->CloseTables();
    });
    if (quiet)
        platform::SetDialogs(shown);
}

void Program::OfferRecoveredInput() {
    const std::string path = TDM1::RecoveryPath();
    if (!data::FileExists(path))
        return;
    ui::Guarded([&] {
        const std::string text = data::ReadWholeFile(path);
        // Shown once: the file stays, under a name of its own, for whoever needs it again.
        const std::string kept = data::KeepAside(path, platform::Clock().Now(), "gezeigt");
        platform::Dialogs().ShowMessage(
            "Beim letzten Beenden des Programms konnten diese Eingaben nicht gespeichert werden:\n\n" +
            text.substr(0, 4000) + (kept.empty() ? "" : "\nSie bleiben in \"" + kept + "\" erhalten."));
    });
}

Program::~Program() {
    m_roster.reset();
    m_groupTest.reset(); // it leaves the main window's pacing, so it goes first
    m_evaluation.reset();
    m_about.reset();
    m_info.reset();
    m_werte.reset();
    m_sportler.reset();
    m_mainWindow.reset();
    m_dataModule.reset(); // closes any table still open under the close rule, showing nothing
    DM1 = nullptr;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/icon/vexo-rizidevizi-%1.png").arg(size), QSize(size, size));
    return icon;
}

bool StartRefused(const data::InstanceLock& lock, const std::string& folder) {
    switch (lock.Status()) {
    case data::LockStatus::HeldElsewhere:
        platform::Dialogs().ShowMessage("Vexo-Rizidevizi läuft bereits mit den Datendateien in \"" + folder +
                                        "\".\nBitte das schon geöffnete Programmfenster verwenden; dieses "
                                        "zweite Programm wird beendet, ohne die Daten anzurühren.");
        return true;
    case data::LockStatus::Unavailable: {
        const std::string owner = lock.Owner();
        platform::Dialogs().ShowMessage(
            "Die Sperrdatei \"" + lock.Path() + "\" kann nicht geöffnet werden " +
            data::Parenthesized(lock.Reason()) + ".\nSie gehört dem Benutzerkonto \"" + owner +
            "\", das vielleicht gerade mit den Datendateien in \"" + folder +
            "\" arbeitet. Das Programm wird beendet, ohne die Daten anzurühren.\n\nLäuft das Programm bei "
            "\"" +
            owner +
            "\" nicht mehr, ist die Sperrdatei übrig geblieben: dann kann sie gelöscht werden (in der "
            "Dateiverwaltung oder mit \"rm '" +
            lock.Path() + "'\"), danach startet das Programm wieder.");
        return true;
    }
    case data::LockStatus::Acquired:
    case data::LockStatus::FolderNotWritable:
        break;
    }
    // Said now, before anybody types: at program end it would be too late.
    const std::string problem =
        data::WhyNothingCanBeSaved(folder, {folder + "sportler.xml", folder + "multiwert.xml"});
    if (!problem.empty())
        // Installed, the data folder is the user's own: copying the program would not help.
        platform::Dialogs().ShowMessage(
            problem + "\nSportler und Werte können hier nicht gespeichert werden. Der Test läuft trotzdem; " +
            (GetAssetsDir().empty()
                 ? std::string("zum Erfassen das Programm in einen Ordner kopieren, in dem Sie "
                               "schreiben dürfen.")
                 : "zum Erfassen muss der Ordner \"" + folder + "\" Ihnen gehören."));
    return false;
}
