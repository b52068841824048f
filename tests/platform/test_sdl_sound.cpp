// Playback on SDL's dummy driver, which asks for the stream in real time: PlaySync returns
// when the sound has been heard, PlayAt at once.
#include "platform/clock.h"
#include "platform/sdl/sdl_sound.h"

#include <QElapsedTimer>

#include <QtTest>
#include <chrono>

class TestSdlSound : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("SDL_AUDIODRIVER", "dummy"); }

    void playSyncBlocksForTheSound_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("lengthMs");
        QTest::newRow("beep") << "ding.wav" << 300;
        QTest::newRow("fanfare") << "tada.wav" << 1500;
    }
    void playSyncBlocksForTheSound() {
        QFETCH(QString, file);
        QFETCH(int, lengthMs);
        platform::SdlSound sound;
        QElapsedTimer clock;
        clock.start();
        sound.PlaySync(QStringLiteral(VEXO_ASSETS "/%1").arg(file).toStdString());
        const qint64 took = clock.elapsed();
        // Never shorter than the sound; the dummy driver's own pace runs a little slow, and a
        // busy machine more so: the upper bound only shows that the call comes back.
        QVERIFY2(took >= lengthMs && took <= lengthMs * 3 + 500, qPrintable(QString::number(took)));
    }

    // One player, one sound after another: each call still lasts as long as its sound.
    void soundsInARow() {
        platform::SdlSound sound;
        for (const char* file : {"ding.wav", "tada.wav", "ding.wav"}) {
            const int lengthMs = QByteArray(file) == "ding.wav" ? 300 : 1500;
            QElapsedTimer clock;
            clock.start();
            sound.PlaySync(QStringLiteral(VEXO_ASSETS "/%1").arg(QLatin1String(file)).toStdString());
            QVERIFY2(clock.elapsed() >= lengthMs && clock.elapsed() <= lengthMs * 3 + 500,
                     qPrintable(QString::number(clock.elapsed())));
        }
    }

    // PlayAt hands the sound over and returns at once; a sound planned ahead begins at its
    // moment, and sounds that meet are heard together.
    void playAtDoesNotHoldUpTheCaller() {
        platform::SdlSound sound;
        QVERIFY(sound.HasOutput()); // the dummy driver is a device
        const auto nowMs = [] { return platform::SteadyClockNs() / 1'000'000; };
        QElapsedTimer clock;
        clock.start();
        sound.PlayAt(VEXO_ASSETS "/tada.wav", nowMs());
        sound.PlayAt(VEXO_ASSETS "/ding.wav", nowMs() + 1000);
        QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
        sound.WaitUntilQuiet();
        QVERIFY2(clock.elapsed() >= 1500, qPrintable(QString::number(clock.elapsed())));
        // A sound dropped before its moment is not waited for.
        sound.PlayAt(VEXO_ASSETS "/ding.wav", nowMs() + 60000);
        sound.CancelPlanned();
        clock.restart();
        sound.WaitUntilQuiet();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }

    // A missing or broken file falls back to the short built-in beep, without an error,
    // and still returns promptly.
    void unplayableFileFallsBack_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a wav") << QByteArray("RIFF garbage that is no sound");
    }
    void unplayableFileFallsBack() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sound.wav"));
        if (!content.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        platform::SdlSound sound;
        QElapsedTimer clock;
        clock.start();
        sound.PlaySync(path.toStdString());
        QVERIFY(clock.elapsed() < 2000); // the short beep, not a wait without end
    }

    // The fallback is a real beep, not silence: SDL's disk driver writes what was played.
    void fallbackBeepIsSound() {
        QTemporaryDir dir;
        const QString output = dir.filePath(QStringLiteral("played.raw"));
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", output.toLocal8Bit());
        {
            platform::SdlSound sound;
            sound.PlaySync(dir.filePath(QStringLiteral("fehlt.wav")).toStdString());
        }
        qputenv("SDL_AUDIODRIVER", "dummy");
        QFile played(output);
        QVERIFY(played.open(QIODevice::ReadOnly));
        const QByteArray bytes = played.readAll();
        // 150 ms of 16-bit samples at 44.1 kHz; loud in the middle.
        QVERIFY2(bytes.size() >= 44100 * 2 * 150 / 1000, qPrintable(QString::number(bytes.size())));
        int loudest = 0;
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
            const auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
            loudest = std::max(loudest, std::abs(int(sample)));
        }
        QVERIFY2(loudest > 4000, qPrintable(QString::number(loudest)));
    }
};

QTEST_APPLESS_MAIN(TestSdlSound)
#include "test_sdl_sound.moc"
