#pragma once
// The timing of a user's action until a window has shown what it changed, on whatever
// screen the benchmark runs (offscreen or a real X server).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

// Milliseconds from the action until `window` (or a widget in it) has been painted and the
// event loop has nothing more to do: on a real X server this includes mapping the window
// and the server's expose event.
template <typename F> double PaintedMs(QWidget* window, F action) {
    struct PaintWatch : QObject {
        QWidget* window = nullptr;
        bool painted = false;
        bool eventFilter(QObject* object, QEvent* event) override {
            if (event->type() == QEvent::Paint && object->isWidgetType() &&
                static_cast<QWidget*>(object)->window() == window)
                painted = true;
            return false;
        }
    } watch;
    watch.window = window;
    QCoreApplication::instance()->installEventFilter(&watch);
    QElapsedTimer clock;
    clock.start();
    action();
    while (!watch.painted && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&watch);
    return double(clock.nsecsElapsed()) / 1e6;
}
