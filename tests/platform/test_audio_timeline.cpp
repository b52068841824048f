// The audio stream as a time line, driven as a device drives it: blocks asked for at the
// device's pace, each request a little late by chance. At a rate of 1000 samples a second
// one sample is one millisecond, so a sound's place in the stream reads as its moment.
#include "platform/sdl/audio_timeline.h"

#include <QtTest>

#include <random>

namespace {

constexpr int Rate = 1000;
constexpr int Block = 25;                           // samples, 25 ms
constexpr std::int64_t LatencyNs = 25'000'000;      // a block asked for now is heard after the one before
constexpr std::int64_t StartNs = 5'000'000'000'000; // the device's first request

platform::SoundSamples Mark(int length, std::int16_t level = 1000) {
    return std::make_shared<std::vector<std::int16_t>>(static_cast<std::size_t>(length), level);
}

// A device whose clock runs `ppm` millionths slow against the system's, asking for every block
// when the one before starts playing, late by up to `jitterMs` (and once by `stallMs`).
struct Device {
    platform::AudioTimeline timeline{Rate, LatencyNs};
    double ppm = 0;
    int jitterMs = 0;
    std::int64_t stallAtBlock = -1;
    int stallMs = 0;
    int prefillBlocks = 0; // asked for at once when the device starts
    std::mt19937 random{7};
    std::vector<std::int16_t> stream;
    std::int64_t blocks = 0;

    // When sample `position` is heard, on the system's clock.
    std::int64_t HeardNs(std::int64_t position) const {
        return StartNs + LatencyNs + std::int64_t(double(position) * 1e6 * (1 + ppm * 1e-6));
    }
    void RunUntilNs(std::int64_t endNs) {
        std::uniform_int_distribution<int> late(0, jitterMs);
        while (HeardNs(std::int64_t(stream.size())) < endNs) {
            std::int64_t asked =
                HeardNs(std::int64_t(stream.size())) - LatencyNs + late(random) * 1'000'000LL;
            if (blocks == stallAtBlock)
                asked += stallMs * 1'000'000LL;
            if (blocks < prefillBlocks)
                asked = StartNs;
            ++blocks;
            std::int16_t block[Block];
            timeline.Fill(block, Block, asked);
            stream.insert(stream.end(), block, block + Block);
        }
    }
    // The moment each sound is heard: where a quiet stretch turns loud.
    std::vector<double> OnsetsMs() const {
        std::vector<double> onsets;
        for (std::size_t i = 0; i < stream.size(); ++i)
            if (stream[i] != 0 && (i == 0 || stream[i - 1] == 0))
                onsets.push_back(double(HeardNs(std::int64_t(i)) - StartNs) / 1e6);
        return onsets;
    }
};

} // namespace

class TestAudioTimeline : public QObject {
    Q_OBJECT
private slots:
    // Every sound starts at the sample heard at its planned moment, however late the device's
    // requests come, and on a device whose clock is not quite the system's.
    void soundsStartAtTheirPlannedSample_data() {
        QTest::addColumn<double>("ppm");
        QTest::addColumn<int>("jitterMs");
        QTest::addColumn<int>("stallMs");
        QTest::addColumn<int>("prefillBlocks");
        QTest::newRow("punctual device") << 0.0 << 0 << 0 << 0;
        QTest::newRow("requests up to 15 ms late") << 0.0 << 15 << 0 << 0;
        QTest::newRow("one request 200 ms late") << 0.0 << 3 << 200 << 0;
        QTest::newRow("device clock 100 ppm slow") << 100.0 << 10 << 0 << 0;
        QTest::newRow("device clock 100 ppm fast") << -100.0 << 10 << 0 << 0;
        QTest::newRow("first blocks taken at once") << 0.0 << 5 << 0 << 4;
    }
    void soundsStartAtTheirPlannedSample() {
        QFETCH(double, ppm);
        QFETCH(int, jitterMs);
        QFETCH(int, stallMs);
        QFETCH(int, prefillBlocks);
        Device device;
        device.prefillBlocks = prefillBlocks;
        device.ppm = ppm;
        device.jitterMs = jitterMs;
        device.stallAtBlock = stallMs ? 4000 : -1;
        device.stallMs = stallMs;
        // A signal every 8 470 ms for twenty minutes, each handed over a shuttle ahead.
        std::vector<double> planned;
        for (std::int64_t at = 1000; at < 20 * 60 * 1000; at += 8470) {
            device.RunUntilNs(StartNs + (at - 8000) * 1'000'000);
            device.timeline.Plan(Mark(300), StartNs + at * 1'000'000);
            planned.push_back(double(at));
        }
        device.RunUntilNs(StartNs + 21LL * 60 * 1'000'000'000);
        const std::vector<double> heard = device.OnsetsMs();
        QCOMPARE(heard.size(), planned.size());
        double worst = 0;
        for (std::size_t i = 0; i < heard.size(); ++i)
            worst = std::max(worst, std::abs(heard[i] - planned[i]));
        // Within two samples: the start is read from the earliest requests, and a drift of
        // the device's clock is followed.
        QVERIFY2(worst <= 2.0, qPrintable(QString::number(worst)));
        QVERIFY(device.timeline.Quiet());
    }

    // A moment that has passed starts at once, from the sound's beginning; a sound dropped
    // before its moment is never heard, one already begun plays to its end.
    void latePassedAndCancelled() {
        Device device;
        device.RunUntilNs(StartNs + 1'000'000'000);
        const std::int64_t askedAt = device.HeardNs(std::int64_t(device.stream.size()));
        device.timeline.Plan(Mark(100, 7), askedAt - 500'000'000); // half a second ago
        device.timeline.Plan(Mark(100, 9), askedAt + 5'000'000'000);
        device.RunUntilNs(askedAt + 50'000'000);
        device.timeline.CancelPlanned();
        QVERIFY(!device.timeline.Quiet()); // the late one still plays
        device.RunUntilNs(askedAt + 10'000'000'000);
        const auto onsets = device.OnsetsMs();
        QCOMPARE(onsets.size(), std::size_t(1));
        QCOMPARE(onsets[0], double(askedAt - StartNs) / 1e6); // the first sample of the next block
        QCOMPARE(std::count(device.stream.begin(), device.stream.end(), std::int16_t(7)), 100L);
        QCOMPARE(std::count(device.stream.begin(), device.stream.end(), std::int16_t(9)), 0L);
        QVERIFY(device.timeline.Quiet());
    }

    // Sounds that meet are heard together, the sum kept within the sample's range.
    void meetingSoundsAreMixed() {
        Device device;
        device.timeline.Plan(Mark(50, 30000), StartNs + LatencyNs + 100'000'000);
        device.timeline.Plan(Mark(50, 10), StartNs + LatencyNs + 120'000'000);
        device.RunUntilNs(StartNs + 1'000'000'000);
        QCOMPARE(device.stream[100], std::int16_t(30000));
        QCOMPARE(device.stream[130], std::int16_t(30010));
        QCOMPARE(device.stream[160], std::int16_t(10));
        device.timeline.Plan(Mark(10, 30000),
                             device.HeardNs(std::int64_t(device.stream.size())) + 100'000'000);
        device.timeline.Plan(Mark(10, 30000),
                             device.HeardNs(std::int64_t(device.stream.size())) + 100'000'000);
        const std::size_t before = device.stream.size();
        device.RunUntilNs(StartNs + 2'000'000'000);
        QCOMPARE(*std::max_element(device.stream.begin() + std::ptrdiff_t(before), device.stream.end()),
                 std::int16_t(32767));
    }
};

QTEST_APPLESS_MAIN(TestAudioTimeline)
#include "test_audio_timeline.moc"
