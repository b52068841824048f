// Group-test benchmark on a real screen: the roster of 30 with the real Qt timers and clock
// and the real sound player (on SDL's dummy driver when there is no sound card, which plays
// in real time on the player's thread). Two runs of level 1 and the start of level 2: one
// without taps, one with 30 taps spread over it — during the START fanfare, just after
// beeps, during the level-2 fanfare and between. Prints the time from each press until its
// tile is painted (median and worst, by when the tap fell), and the lateness of the shuttle
// ticks of both runs against the schedule.
//
//   SDL_AUDIODRIVER=dummy build/bench/bench_group_test        # on $DISPLAY (Xvfb)
#include "bench_program.h"
#include "data/DModule.h"
#include "grouptest/group_test_session.h"
#include "pacing/run_controller.h"
#include "pacing/shuttle_schedule.h"
#include "platform/sdl/sdl_sound.h"
#include "ui/grouptest/roster_window.h"
#include "ui/grouptest/runner_tile.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTimer>

#include <cstdio>
#include <map>

namespace {

void Summary(const char* what, std::vector<double> values) {
    if (values.empty())
        return;
    std::sort(values.begin(), values.end());
    std::printf("  %-34s n=%2zu  median %7.2f ms  worst %7.2f ms\n", what, values.size(),
                values[values.size() / 2], values.back());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const BenchProgram program(1000);
    platform::SdlSound sound;
    platform::SetSound(&sound);
    TDM1 dm;
    DM1 = &dm;
    dm.FirstActivation();
    std::vector<grouptest::Runner> runners;
    for (int i = 0; i < 30; ++i)
        runners.push_back(
            {i + 1, "Kind" + std::to_string(i + 1), "Klasse", grouptest::RunnerState::Running, 0, 0});

    NoRunDisplay display;
    auto shuttleTimer = platform::Timers().CreateTimer();
    auto displayTimer = platform::Timers().CreateTimer();
    TestRunController controller(display, *shuttleTimer, *displayTimer);
    grouptest::GroupTestSession session(grouptest::GroupRun(1, "Klasse 7b", runners), controller,
                                        global::GruppentestPath);
    ui::RosterWindow roster(
        dm, session, controller, [] {}, [] {});
    // Between the session and the pacing: the schedule counts from the moment START tells,
    // and no question and no review come between the runs.
    struct BenchListener : RunListener {
        grouptest::GroupTestSession* session = nullptr;
        QElapsedTimer* since = nullptr;
        void RunStarted() override {
            if (since)
                since->start();
            session->RunStarted();
        }
        void RunStopped() override {}
        bool MayRestart() override { return true; }
    } listener;
    listener.session = &session;
    controller.SetListener(&listener);
    roster.resize(1196, 710);
    roster.show();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();

    // Level 1 (7 shuttles) and the first tick of level 2.
    std::vector<double> nominal;
    double t = 0;
    for (int s = 0; s < 7; ++s)
        nominal.push_back(t += schedule::ShuttleIntervalMs[1]);
    nominal.push_back(t += schedule::ShuttleIntervalMs[2]);
    const double fanfare2 = nominal[6];

    auto run = [&](const std::vector<double>& taps, std::map<std::string, std::vector<double>>* latency) {
        QElapsedTimer since;
        std::vector<double> ticks;
        shuttleTimer->SetOnTimer([&] {
            ticks.push_back(since.nsecsElapsed() / 1e6);
            controller.Timer1Timer();
            if (ticks.size() == nominal.size()) {
                controller.btn_stopClick();
                QTimer::singleShot(200, &app, [&] { app.exit(); });
            }
        });
        for (std::size_t k = 0; k < taps.size(); ++k)
            QTimer::singleShot(static_cast<int>(taps[k]), &roster, [&, k] {
                ui::RunnerTile* tile = roster.Tile(k % 30);
                const QPointF centre(tile->rect().center());
                QMouseEvent press(QEvent::MouseButtonPress, centre, tile->mapToGlobal(centre), Qt::LeftButton,
                                  Qt::LeftButton, Qt::NoModifier);
                QElapsedTimer answer;
                answer.start();
                QApplication::sendEvent(tile, &press); // handled and the tile painted before it returns
                const double ms = answer.nsecsElapsed() / 1e6;
                const double at = taps[k];
                const char* when = at < 1500                                ? "during the START fanfare"
                                   : at >= fanfare2 && at < fanfare2 + 1500 ? "during the level-2 fanfare"
                                   : std::fmod(at, schedule::ShuttleIntervalMs[1]) < 300 ? "during a beep"
                                                                                         : "between signals";
                (*latency)[when].push_back(ms);
                (*latency)["all taps"].push_back(ms);
            });
        // The schedule counts from the moment the shuttle timer starts, which START tells.
        listener.since = &since;
        QTimer::singleShot(0, &app, [&] { controller.btn_startClick(); });
        app.exec();
        listener.since = nullptr;
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        std::vector<double> lateness;
        for (std::size_t i = 0; i < ticks.size(); ++i)
            lateness.push_back(ticks[i] - nominal[i]);
        return lateness;
    };

    std::map<std::string, std::vector<double>> none, latency;
    std::printf("group test of 30 on %s, sound: %s\n", qPrintable(QGuiApplication::platformName()),
                sound.HasOutput() ? "a device" : "none");
    const std::vector<double> quiet = run({}, &none);
    // 30 taps: a warning and an out for 15 athletes, spread over the run.
    std::vector<double> taps;
    for (double at : {100.0, 400.0, 800.0, 1200.0})
        taps.push_back(at); // START fanfare
    for (int beep = 1; beep <= 6; ++beep)
        for (double after : {20.0, 150.0})
            taps.push_back(beep * schedule::ShuttleIntervalMs[1] + after); // beeps
    for (double after : {50.0, 300.0, 700.0, 1100.0, 1400.0})
        taps.push_back(fanfare2 + after); // level-2 fanfare
    for (double at : {4000.0, 13000.0, 21000.0, 30000.0, 38000.0, 47000.0, 55000.0, 63000.0, 64500.0})
        taps.push_back(at); // between
    std::sort(taps.begin(), taps.end());
    const std::vector<double> tapped = run(taps, &latency);

    std::printf("tap to painted tile (%zu taps):\n", taps.size());
    for (const auto& [when, values] : latency)
        Summary(when.c_str(), values);
    std::printf("shuttle tick lateness against the schedule (%zu ticks):\n", nominal.size());
    Summary("run without taps", quiet);
    Summary("run with 30 taps", tapped);
    DM1 = nullptr;
    return 0;
}
