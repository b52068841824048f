// Work done off the window's thread: the window keeps answering its timers (and painting)
// while it runs, a box says what is done when it takes a while, and a failure arrives on the
// window's thread.
#include "ui/widgets/background_work.h"

#include <QApplication>
#include <QProgressDialog>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

class TestBackgroundWork : public QObject {
    Q_OBJECT
private slots:
    void windowKeepsAnsweringWhileTheWorkRuns() {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        int timerTicks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++timerTicks; });
        ticker.start(20);
        bool boxShown = false;
        QTimer::singleShot(700, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QProgressDialog*>(w); box && box->isVisible())
                    boxShown = box->labelText() == QStringLiteral("Die Tabelle wird geschrieben …");
        });
        std::atomic<bool> onOtherThread = false;
        const auto windowThread = std::this_thread::get_id();
        ui::RunOffTheWindow(&window, QStringLiteral("Die Tabelle wird geschrieben …"), [&] {
            onOtherThread = std::this_thread::get_id() != windowThread;
            std::this_thread::sleep_for(std::chrono::milliseconds(900));
        });
        QVERIFY(onOtherThread);
        QVERIFY2(timerTicks >= 20, qPrintable(QString::number(timerTicks)));
        QVERIFY(boxShown);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QProgressDialog*>(w))
                QVERIFY(!box->isVisible());
    }

    void quickWorkShowsNoBoxAndFailuresArriveHere() {
        QWidget window;
        bool boxSeen = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                boxSeen = boxSeen || (qobject_cast<QProgressDialog*>(w) && w->isVisible());
        });
        watch.start(5);
        int result = 0;
        ui::RunOffTheWindow(&window, QStringLiteral("…"), [&] { result = 42; });
        QCOMPARE(result, 42);
        QVERIFY(!boxSeen);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, ui::RunOffTheWindow(&window, QStringLiteral("…"), [] {
                                     throw std::runtime_error("Datenträger voll");
                                 }));
    }
};

QTEST_MAIN(TestBackgroundWork)
#include "test_background_work.moc"
