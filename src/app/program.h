#pragma once
// The objects of a running program, created in start-up order and released in the order of
// program end: the main window (its creation sets the paths of the data files), the data
// module, then, hidden, the secondary windows. At the end the secondary windows go in
// reverse order, then the main window, whose destruction saves both tables while the data
// module still exists, and the data module last, which closes its tables.
#include <QIcon>

#include <memory>
#include <optional>
#include <string>

class TMultistage_frm;
class TDM1;
class Tfrm_Sportler;
class Tfrm_Werte;
class Tfrm_info;
class TAboutBox;
class Tfrm_Auswertung;

class Program {
public:
    // `dataFolder` replaces the executable's folder for the data files (tests only).
    explicit Program(std::optional<std::string> dataFolder = std::nullopt);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    TMultistage_frm& MainWindow() { return *m_mainWindow; }
    TDM1& DataModule() { return *m_dataModule; }
    Tfrm_Sportler& SportlerWindow() { return *m_sportler; }
    Tfrm_Werte& WerteWindow() { return *m_werte; }
    Tfrm_Auswertung& EvaluationWindow() { return *m_evaluation; }

private:
    std::unique_ptr<TMultistage_frm> m_mainWindow;
    std::unique_ptr<TDM1> m_dataModule;
    std::unique_ptr<Tfrm_Sportler> m_sportler;
    std::unique_ptr<Tfrm_Werte> m_werte;
    std::unique_ptr<Tfrm_info> m_info;
    std::unique_ptr<TAboutBox> m_about;
    std::unique_ptr<Tfrm_Auswertung> m_evaluation;
};

// The program's icon, in every size it comes in; every window carries it.
QIcon ProgramIcon();

// At start-up: when another copy of the program works on `folder` (its lock is taken), the
// user is told so and the caller ends without touching the data files.
bool OtherCopyRunning(bool lockAcquired, const std::string& folder);
