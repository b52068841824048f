// Program start: the toolkit, the seams, the main window, the data module and the
// secondary windows in this order; then the event loop; at the end the secondary windows
// are released in reverse order, then the main window (which saves the tables), and the
// data module last.
#include "My_std.h"
#include "data/DModule.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_timer.h"
#include "platform/sdl/sdl_sound.h"
#include "ui/About.h"
#include "ui/f_info.h"
#include "vexo_application.h"
#include "vexo_multistage_form.h"

#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

int main(int argc, char** argv) {
    VexoApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Vexo-Rizidevizi"));
    // The main window is the one task-bar entry: secondary windows are dialogs owned by it.
    app.setQuitOnLastWindowClosed(true);

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

    auto mainWindow = std::make_unique<TMultistage_frm>();
    auto dataModule = std::make_unique<TDM1>();
    DM1 = dataModule.get();
    // Hidden until their buttons show them; owned here, released before the main window.
    auto info = std::make_unique<Tfrm_info>(mainWindow.get());
    auto about = std::make_unique<TAboutBox>(&GetVersionText, mainWindow.get());
    mainWindow->SetSecondaryWindows(nullptr, nullptr, info.get(), about.get());

    mainWindow->showMaximized();
    const int result = app.exec();

    about.reset();
    info.reset();
    mainWindow.reset(); // saves both tables while the data module still exists
    dataModule.reset(); // closes the tables under the close rule
    DM1 = nullptr;
    return result;
}
