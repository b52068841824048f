#pragma once
// The system asks the program to end (logout, shutdown, kill): SIGTERM, SIGINT and SIGHUP
// end the event loop as "ENDE" does, so that the program end saves both tables. A signal
// handler may do almost nothing, so it only writes a byte into a pipe; the event loop
// reads it and quits.
#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
public:
    TerminationSignals();
    ~TerminationSignals() override;

    // Whether the system asked: the program then ends without a box or a question, as
    // nobody may be at the keyboard and the system kills a program that waits.
    static bool Requested();

private:
    QSocketNotifier* m_notifier = nullptr;
};
