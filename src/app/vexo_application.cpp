#include "vexo_application.h"

#include "platform/dialogs.h"
#include "platform/errors.h"

#include <exception>

VexoApplication::VexoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VexoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowFailure(std::current_exception());
    }
    return false;
}

void ShowFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const vexo::Abort&) {
        // already told by whoever aborted
    } catch (const std::exception& e) {
        platform::Dialogs().ShowError(e.what());
    } catch (...) {
        platform::Dialogs().ShowError("Unbekannter Fehler");
    }
}
