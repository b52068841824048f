#include "vexo_application.h"

#include "ui/widgets/guard.h"

#include <exception>

VexoApplication::VexoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VexoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ui::ShowFailure(std::current_exception());
    }
    return false;
}
