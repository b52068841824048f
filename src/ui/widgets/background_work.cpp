#include "background_work.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <exception>
#include <thread>

namespace ui {

namespace {
// Quicker work shows no box at all.
constexpr int BoxAfterMs = 400;
} // namespace

void RunOffTheWindow(QWidget* parent, const QString& whatIsDone, const std::function<void()>& work) {
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued: the loop ends once it runs, however early the work was done.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    QProgressDialog box(whatIsDone, QString(), 0, 0, parent);
    box.setWindowTitle(QStringLiteral("Bitte warten"));
    box.setCancelButton(nullptr);
    box.setWindowModality(Qt::WindowModal);
    box.setMinimumDuration(0);
    box.reset(); // not shown until the timer below says so
    QTimer showBox;
    showBox.setSingleShot(true);
    QObject::connect(&showBox, &QTimer::timeout, &box, [&box] {
        box.setRange(0, 0);
        box.show();
    });
    showBox.start(BoxAfterMs);

    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    showBox.stop();
    box.hide();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace ui
