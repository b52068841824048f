#pragma once
// The application object with the default error display: a failure that leaves an event
// handler ends that handler and is shown in a box with its message; the silent abort is
// not shown. The program goes on either way, and no exception reaches Qt's event loop.
// Handlers run inside ui::Guarded already; this is the backstop.
#include <QApplication>

class VexoApplication : public QApplication {
public:
    VexoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
