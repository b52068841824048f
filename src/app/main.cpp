// Program start: the toolkit, the seams, the check that no other copy works on the same
// data files, then the program's objects in start-up order; then the event loop. Leaving
// the loop releases them in the order of program end (see Program).
#include "My_std.h"
#include "data/instance_lock.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_timer.h"
#include "platform/sdl/sdl_sound.h"
#include "program.h"
#include "termination_signals.h"
#include "ui/widgets/panel.h"
#include "vexo_application.h"
#include "vexo_multistage_form.h"

#include <QDir>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

int main(int argc, char** argv) {
    VexoApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Vexo-Rizidevizi"));
    // The main window is the one task-bar entry: secondary windows are dialogs owned by it.
    app.setQuitOnLastWindowClosed(true);
    app.setWindowIcon(ProgramIcon());
    app.setDesktopFileName(QStringLiteral("vexo-rizidevizi"));
    ui::RegisterFonts();

    QTranslator qtGerman;
    if (qtGerman.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtGerman);

    platform::QtDialogs dialogs;
    platform::QtTimerFactory timers;
    platform::QtClock clock;
    platform::SdlSound sound;
    platform::SetDialogs(&dialogs);
    platform::SetTimers(&timers);
    platform::SetClock(&clock);
    platform::SetSound(&sound);

    // The sounds and the information text are looked up in the working folder.
    if (const std::string assets = GetAssetsDir(); !assets.empty())
        QDir::setCurrent(QString::fromStdString(assets));
    const std::string dataFolder = GetDataDir();
    const data::InstanceLock lock(dataFolder);
    if (StartRefused(lock, dataFolder))
        return 1;

    const TerminationSignals endWhenAsked;
    Program program;
    program.MainWindow().showMaximized();
    // Once the main window has opened the data files.
    QTimer::singleShot(300, &program.MainWindow(), [&program] {
        program.OfferRecoveredInput();
        program.OfferUnfinishedGroupTest();
        QTimer::singleShot(0, &program.MainWindow(), [&program] { program.PrepareEvaluation(); });
    });
    const int exitCode = app.exec();
    program.End(TerminationSignals::Requested());
    return exitCode;
}
