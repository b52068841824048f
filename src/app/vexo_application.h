#pragma once
// The application object with the default error display: a failure that leaves an event
// handler ends that handler and is shown in a box with its message; the silent abort is
// not shown. The program goes on either way, and no exception reaches Qt's event loop.
#include <QApplication>

class VexoApplication : public QApplication {
public:
    VexoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows a caught failure the way the default error display does (nothing for the silent
// abort). For code that runs outside an event handler, such as start-up.
void ShowFailure(std::exception_ptr failure);
