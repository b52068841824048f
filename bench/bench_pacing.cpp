// Pacing benchmark: the real Qt timer and the test run controller with a silent sound
// player, run for the first levels, printing every shuttle tick's lateness against the
// nominal schedule and the drift at the end.
//
//   build/bench/bench_pacing [levels]      (default 2; QT_QPA_PLATFORM not needed)
#include "pacing/run_controller.h"
#include "pacing/shuttle_schedule.h"
#include "platform/dialogs.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_timer.h"
#include "platform/sound.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct SilentSound : platform::SoundPlayer {
    void PlayAt(const std::string&, std::int64_t) override {}
    void CancelPlanned() override {}
    bool HasOutput() override { return true; }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int levels = std::clamp(argc > 1 ? std::atoi(argv[1]) : 2, 1, 21);

    platform::QtTimerFactory timers;
    platform::QtClock clock;
    SilentSound sound;
    platform::SetTimers(&timers);
    platform::SetClock(&clock);
    platform::SetSound(&sound);

    // Nominal moment of every shuttle end, from START.
    std::vector<double> nominal;
    double t = 0;
    for (int level = 1; level <= levels; ++level)
        for (int s = 0; s < schedule::ShuttlesPerLevel[level]; ++s)
            nominal.push_back(t += schedule::ShuttleIntervalMs[level]);

    NoRunDisplay display;
    auto timer1 = timers.CreateTimer();
    auto timer2 = timers.CreateTimer();
    TestRunController controller(display, *timer1, *timer2);
    QElapsedTimer since;
    std::vector<double> ticks;
    timer1->SetOnTimer([&] {
        ticks.push_back(since.nsecsElapsed() / 1e6);
        controller.Timer1Timer();
        if (ticks.size() == nominal.size()) {
            controller.btn_stopClick();
            app.quit();
        }
    });
    QTimer::singleShot(0, [&] {
        since.start();
        controller.btn_startClick();
    });
    std::printf("levels %d, %zu shuttle ticks, %.1f s nominal\n", levels, nominal.size(),
                nominal.back() / 1000);
    app.exec();

    std::vector<double> lateness;
    std::printf("%5s %6s %12s %12s %9s\n", "tick", "level", "nominal_ms", "actual_ms", "late_ms");
    int level = 1, inLevel = 0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        lateness.push_back(ticks[i] - nominal[i]);
        std::printf("%5zu %6d %12.0f %12.3f %9.3f\n", i + 1, level, nominal[i], ticks[i], lateness.back());
        if (++inLevel == schedule::ShuttlesPerLevel[level]) {
            ++level;
            inLevel = 0;
        }
    }
    // Drift within a level: the change of lateness from a level's first to its last tick.
    double worstLevelDrift = 0;
    std::size_t first = 0;
    for (int l = 1; l <= levels; ++l) {
        const std::size_t last = first + schedule::ShuttlesPerLevel[l] - 1;
        worstLevelDrift = std::max(worstLevelDrift, std::abs(lateness[last] - lateness[first]));
        first = last + 1;
    }
    std::vector<double> sorted = lateness;
    std::sort(sorted.begin(), sorted.end());
    std::printf("median lateness %.3f ms, worst %.3f ms, worst drift within a level %.3f ms, "
                "drift at the end %.3f ms over %d level changes\n",
                sorted[sorted.size() / 2], sorted.back(), worstLevelDrift, lateness.back(), levels - 1);
    return 0;
}
