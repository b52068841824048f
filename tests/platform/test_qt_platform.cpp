// The real Qt timer adapter against the timer rules, with short intervals, and the
// locale's long time format.
#include "platform/qt/long_time_format.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_timer.h"

#include "platform/errors.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

#include <thread>

namespace {

// Runs the event loop until `ms` have passed since `clock` started.
void RunUntil(const QElapsedTimer& clock, qint64 ms) {
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

struct TickLog {
    QElapsedTimer clock;
    std::vector<qint64> ticks;
    void Attach(platform::Timer& timer) {
        timer.SetOnTimer([this] { ticks.push_back(clock.elapsed()); });
    }
};

} // namespace

class TestQtPlatform : public QObject {
    Q_OBJECT
private slots:
    void switchingOnAgainDoesNotRestart_data() {
        QTest::addColumn<bool>("sameIntervalAgain");
        QTest::newRow("switch on again") << false;
        QTest::newRow("same interval again") << true;
    }
    void switchingOnAgainDoesNotRestart() {
        QFETCH(bool, sameIntervalAgain);
        platform::QtTimer timer;
        TickLog log;
        log.Attach(timer);
        timer.SetInterval(300);
        log.clock.start();
        timer.SetEnabled(true);
        RunUntil(log.clock, 150);
        if (sameIntervalAgain)
            timer.SetInterval(300);
        else
            timer.SetEnabled(true);
        RunUntil(log.clock, 445);
        timer.SetEnabled(false);
        // Due at 300; a restarted countdown would tick at 450, so a busy machine has 150 ms.
        QVERIFY(!log.ticks.empty());
        QVERIFY2(log.ticks[0] >= 298 && log.ticks[0] < 445, qPrintable(QString::number(log.ticks[0])));
    }

    void newIntervalRestartsCountdown() {
        platform::QtTimer timer;
        TickLog log;
        log.Attach(timer);
        timer.SetInterval(150);
        log.clock.start();
        timer.SetEnabled(true);
        RunUntil(log.clock, 90);
        timer.SetInterval(160); // restarts: the tick is due at 250, not at 150 or 160
        RunUntil(log.clock, 320);
        timer.SetEnabled(false);
        // Not at 150 (the old countdown) nor at 160 (the new interval from the start); a loaded
        // machine may let the loop run past the next tick at 410, which counts for nothing.
        QVERIFY(!log.ticks.empty());
        QVERIFY2(log.ticks[0] >= 245, qPrintable(QString::number(log.ticks[0])));
        if (log.ticks.size() > 1)
            QVERIFY2(log.ticks[1] - log.ticks[0] >= 150, qPrintable(QString::number(log.ticks[1])));
    }

    void newIntervalWhileOffTakesEffectAtStart() {
        platform::QtTimer timer;
        TickLog log;
        log.Attach(timer);
        timer.SetInterval(40);
        QVERIFY(!timer.Enabled());
        log.clock.start();
        RunUntil(log.clock, 100);
        QVERIFY(log.ticks.empty());
        timer.SetEnabled(true);
        QVERIFY(timer.Enabled());
        RunUntil(log.clock, 230);
        timer.SetEnabled(false);
        const std::size_t ticks = log.ticks.size();
        RunUntil(log.clock, 300);
        // The countdown began at switching on (first tick at 140, not at 40), and a
        // switched-off timer ticks no more.
        QVERIFY(ticks >= 1);
        QVERIFY2(log.ticks[0] >= 138, qPrintable(QString::number(log.ticks[0])));
        QCOMPARE(log.ticks.size(), ticks);
    }

    void ticksDoNotPileUp() {
        platform::QtTimer timer;
        TickLog log;
        log.Attach(timer);
        timer.SetInterval(20);
        log.clock.start();
        timer.SetEnabled(true);
        QThread::msleep(250); // the thread is busy for many intervals
        const qint64 freed = log.clock.elapsed();
        RunUntil(log.clock, freed + 10);
        timer.SetEnabled(false);
        // One overdue tick, not the dozen that fell due meanwhile (a second one only if this
        // process was held up for another interval).
        QVERIFY2(log.ticks.size() == 1 || log.ticks.size() == 2,
                 qPrintable(QString::number(log.ticks.size())));
    }

    // Where the platform cannot supply a timer (here: a thread without an event loop), the
    // switch fails with the toolkit's message, which the default error display shows.
    void noTimerAvailable() {
        std::string message;
        std::thread([&] {
            platform::QtTimer timer;
            timer.SetInterval(100);
            try {
                timer.SetEnabled(true);
            } catch (const vexo::Error& e) {
                message = e.what();
            }
        }).join();
        QCOMPARE(message, std::string("Nicht genügend Timer verfügbar"));
    }

    void longTimePattern_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text"); // for 3 min 27.4 s
        QTest::newRow("German") << "de_DE"
                                << "hh:mm:ss"
                                << "00:03:27";
        QTest::newRow("US English, 12 hours") << "en_US"
                                              << "h:mm:ss AP"
                                              << "12:03:27 AM";
        QTest::newRow("British English") << "en_GB"
                                         << "hh:mm:ss"
                                         << "00:03:27";
    }
    void longTimePattern() {
        QFETCH(QString, locale);
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        const QLocale saved;
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(platform::LongTimePattern(QLocale(locale)), pattern);
        QCOMPARE(QString::fromStdString(platform::QtClock().FormatLongTime(3 * 60 * 1000 + 27400)), text);
        QLocale::setDefault(saved);
    }

    void clockCountsFromDayZero() {
        const platform::QtClock clock;
        const QDate today = QDate::currentDate();
        QCOMPARE(qint64(clock.Today()), QDate(1899, 12, 30).daysTo(today));
    }
};

QTEST_GUILESS_MAIN(TestQtPlatform)
#include "test_qt_platform.moc"
