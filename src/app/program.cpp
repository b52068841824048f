#include "program.h"

#include "My_std.h"
#include "data/DModule.h"
#include "evaluation/global.h"
#include "platform/dialogs.h"
#include "ui/About.h"
#include "ui/f_auswertung.h"
#include "ui/f_info.h"
#include "ui/f_sportler.h"
#include "ui/f_werte.h"
#include "vexo_multistage_form.h"

Program::Program(std::optional<std::string> dataFolder) {
    m_mainWindow = std::make_unique<TMultistage_frm>();
    if (dataFolder) {
        global::SportlerPath = *dataFolder + "sportler.xml";
        global::MultiwertPath = *dataFolder + "multiwert.xml";
    }
    m_dataModule = std::make_unique<TDM1>();
    DM1 = m_dataModule.get();
    m_sportler = std::make_unique<Tfrm_Sportler>(m_mainWindow.get());
    m_werte = std::make_unique<Tfrm_Werte>(m_mainWindow.get());
    m_info = std::make_unique<Tfrm_info>(m_mainWindow.get());
    m_about = std::make_unique<TAboutBox>(&GetVersionText, m_mainWindow.get());
    m_evaluation = std::make_unique<Tfrm_Auswertung>(m_mainWindow.get());
    m_mainWindow->SetSecondaryWindows(m_sportler.get(), m_werte.get(), m_info.get(), m_about.get());
    m_mainWindow->SetEvaluationWindow(m_evaluation.get());
}

Program::~Program() {
    m_evaluation.reset();
    m_about.reset();
    m_info.reset();
    m_werte.reset();
    m_sportler.reset();
    m_mainWindow.reset(); // saves both tables while the data module still exists
    m_dataModule.reset(); // closes the tables under the close rule
    DM1 = nullptr;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/icon/vexo-rizidevizi-%1.png").arg(size), QSize(size, size));
    return icon;
}

bool OtherCopyRunning(bool lockAcquired, const std::string& folder) {
    if (lockAcquired)
        return false;
    platform::Dialogs().ShowMessage("Vexo-Rizidevizi läuft bereits mit den Datendateien in \"" + folder +
                                    "\".\nBitte das schon geöffnete Programmfenster verwenden; dieses "
                                    "zweite Programm wird beendet, ohne die Daten anzurühren.");
    return true;
}
