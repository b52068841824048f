// Pacing as it is heard: the real program (its main window on $DISPLAY, its own sound player)
// runs the first levels of a test, and this benchmark is its sound card. SDL's disk driver
// writes the program's audio stream into a pipe; the benchmark takes the samples out at
// exactly 44 100 a second on the monotonic clock, as a device plays them (what arrives late
// is an underrun: silence, and the sound later), and notes the moment every beep and fanfare
// starts. Each sound's lateness is measured against the schedule, counted from the START
// fanfare as heard; printed per sound, per level, and as median, worst and drift at the end.
//
//   build/bench/bench_pacing_heard [--levels N] [--load] PROGRAM [PROGRAM ...]
//
// Several programs (say, two builds) run side by side under the same conditions, each with
// its own pipe. --load starts Debian's stress-ng beside them, pressing CPU, memory and disk
// together (--cpu 2 --vm 2 --vm-bytes 1G --hdd 1). Needs xdotool to press START.
#include "pacing/shuttle_schedule.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Rate = 44100; // the format of the program's sounds: 16-bit mono
constexpr int Threshold = 500;
constexpr int QuietBeforeOnset = Rate * 3 / 10;

std::int64_t NowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

struct Onset {
    double heardMs; // on the device's time line, from the first sample it played
    double lengthMs = 0;
};

// One program and the device it plays into.
struct Device {
    std::string program;
    std::string fifo;
    pid_t pid = -1;
    int fd = -1;
    std::vector<Onset> onsets;
    std::int64_t underrunSamples = 0;

    // Takes out what the device has played by now; runs until told to stop.
    void Play(const std::atomic<bool>& stop) {
        // A sound card is no process: the load must not hold up its clock. With the right to
        // (root, or CAP_SYS_NICE) this thread runs before every ordinary one.
        sched_param realtime{};
        realtime.sched_priority = 50;
        if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &realtime) != 0)
            std::fprintf(stderr, "note: the device runs without real-time priority; under load its own "
                                 "delays count as underruns\n");
        std::int64_t startNs = -1;  // the first sample's moment
        std::int64_t devicePos = 0; // samples played so far (sound or underrun silence)
        std::int64_t quiet = QuietBeforeOnset;
        std::int64_t lastLoud = -1;
        std::vector<std::int16_t> chunk(Rate);
        timespec next{};
        clock_gettime(CLOCK_MONOTONIC, &next);
        while (!stop) {
            next.tv_nsec += 2'000'000;
            if (next.tv_nsec >= 1'000'000'000) {
                next.tv_nsec -= 1'000'000'000;
                ++next.tv_sec;
            }
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
            const std::int64_t now = NowNs();
            std::int64_t due = startNs < 0 ? 0 : (now - startNs) * Rate / 1'000'000'000 - devicePos;
            if (startNs < 0)
                due = 256; // until the stream starts, look for its first bytes
            due = std::min<std::int64_t>(due, std::int64_t(chunk.size()));
            if (due <= 0)
                continue;
            const ssize_t got = read(fd, chunk.data(), std::size_t(due) * 2);
            const std::int64_t samples = got > 0 ? got / 2 : 0;
            if (startNs < 0) {
                if (samples == 0)
                    continue;
                startNs = now;
            }
            for (std::int64_t i = 0; i < samples; ++i) {
                const int value = std::abs(int(chunk[std::size_t(i)]));
                const std::int64_t position = devicePos + i;
                if (value > Threshold) {
                    if (quiet >= QuietBeforeOnset)
                        onsets.push_back({position * 1000.0 / Rate});
                    quiet = 0;
                    lastLoud = position;
                    if (!onsets.empty())
                        onsets.back().lengthMs = (lastLoud * 1000.0 / Rate) - onsets.back().heardMs;
                } else {
                    ++quiet;
                }
            }
            devicePos += samples;
            if (samples < due && startNs >= 0) { // nothing there in time: the device plays silence
                underrunSamples += due - samples;
                quiet += due - samples;
                devicePos += due - samples;
            }
        }
    }
};

struct Sound {
    int level;
    int shuttle;
    double plannedMs;
    bool fanfare;
};

std::vector<Sound> Plan(int levels) {
    std::vector<Sound> plan{{1, 0, 0, true}};
    double t = 0;
    for (int level = 1; level <= levels; ++level)
        for (int s = 1; s <= schedule::ShuttlesPerLevel[level]; ++s) {
            t += schedule::ShuttleIntervalMs[level];
            plan.push_back({level, s, t, s == schedule::ShuttlesPerLevel[level]});
        }
    return plan;
}

int Run(const std::string& command) {
    return std::system(command.c_str());
}

void Report(const Device& device, const std::vector<Sound>& plan) {
    std::printf("\n== %s\n", device.program.c_str());
    if (device.onsets.empty()) {
        std::printf("   no sound heard\n");
        return;
    }
    const double origin = device.onsets.front().heardMs;
    std::vector<double> late;
    std::printf("%5s %6s %8s %8s %11s %11s %8s\n", "sound", "level", "shuttle", "kind", "planned_ms",
                "heard_ms", "late_ms");
    for (std::size_t i = 0; i < plan.size() && i < device.onsets.size(); ++i) {
        const double heard = device.onsets[i].heardMs - origin;
        const bool fanfare = device.onsets[i].lengthMs > 800;
        late.push_back(heard - plan[i].plannedMs);
        std::printf("%5zu %6d %8d %8s %11.0f %11.2f %8.2f%s\n", i, plan[i].level, plan[i].shuttle,
                    fanfare ? "fanfare" : "beep", plan[i].plannedMs, heard, late.back(),
                    fanfare != plan[i].fanfare ? "  (other sound than planned)" : "");
    }
    std::vector<double> fromFirstBeep;
    for (std::size_t i = 1; i < late.size(); ++i)
        fromFirstBeep.push_back(late[i] - late[1]);
    if (device.onsets.size() != plan.size())
        std::printf("   heard %zu sounds, planned %zu\n", device.onsets.size(), plan.size());
    std::printf("   per level, mean lateness:");
    for (int level = 1; level <= plan.back().level; ++level) {
        double sum = 0;
        int count = 0;
        for (std::size_t i = 1; i < late.size(); ++i)
            if (plan[i].level == level) {
                sum += late[i];
                ++count;
            }
        if (count)
            std::printf("  L%d %.2f", level, sum / count);
    }
    std::vector<double> sorted(late.begin() + 1, late.end());
    std::sort(sorted.begin(), sorted.end());
    if (sorted.empty())
        return;
    std::printf(
        "\n   %zu sounds after START, against the START fanfare as heard: median %.2f ms, worst %.2f ms, "
        "drift at the end %.2f ms\n",
        sorted.size(), sorted[sorted.size() / 2], sorted.back(), late.back());
    // The same against the first beep: what the device's delay at START cannot explain.
    std::sort(fromFirstBeep.begin(), fromFirstBeep.end());
    std::printf("   against the first beep: median %.2f ms, earliest %.2f ms, worst %.2f ms, drift at the "
                "end %.2f ms; "
                "underruns %.1f ms\n",
                fromFirstBeep[fromFirstBeep.size() / 2], fromFirstBeep.front(), fromFirstBeep.back(),
                late.back() - late[1], device.underrunSamples * 1000.0 / Rate);
}

} // namespace

int main(int argc, char** argv) {
    int levels = 5;
    bool load = false;
    std::vector<Device> devices;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--levels" && i + 1 < argc)
            levels = std::clamp(std::atoi(argv[++i]), 1, schedule::LevelCount - 1);
        else if (arg == "--load")
            load = true;
        else
            devices.push_back({arg, "", -1, -1, {}, 0});
    }
    if (devices.empty() || !std::getenv("DISPLAY")) {
        std::fprintf(stderr, "usage: bench_pacing_heard [--levels N] [--load] PROGRAM...  (on $DISPLAY)\n");
        return 2;
    }
    const std::vector<Sound> plan = Plan(levels);
    char folder[] = "/tmp/pacing-heard-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    pid_t stress = -1;
    const double runSeconds = plan.back().plannedMs / 1000 + 3;
    if (load) {
        stress = fork();
        if (stress == 0) {
            setpgid(0, 0);
            const std::string timeout = std::to_string(int(runSeconds) + 60) + "s";
            execlp("stress-ng", "stress-ng", "--cpu", "2", "--vm", "2", "--vm-bytes", "1G", "--hdd", "1",
                   "--temp-path", folder, "--timeout", timeout.c_str(), "--quiet",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        std::this_thread::sleep_for(std::chrono::seconds(3)); // let the load settle
    }

    std::atomic<bool> stop{false};
    std::vector<std::thread> players;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        Device& device = devices[i];
        device.fifo = std::string(folder) + "/stream" + std::to_string(i);
        mkfifo(device.fifo.c_str(), 0600);
        device.fd = open(device.fifo.c_str(), O_RDONLY | O_NONBLOCK);
        // SDL's disk driver writes through stdio, in bursts of a page: the pipe holds a few of
        // them, so that the stream reaches the "device" without gaps (a constant delay).
        fcntl(device.fd, F_SETPIPE_SZ, 16384);
        device.pid = fork();
        if (device.pid == 0) {
            const std::string dir = device.program.substr(0, device.program.rfind('/') + 1);
            if (!dir.empty() && chdir(dir.c_str()) != 0)
                _exit(127);
            setenv("SDL_AUDIODRIVER", "disk", 1);
            setenv("SDL_DISKAUDIOFILE", device.fifo.c_str(), 1);
            setenv("SDL_DISKAUDIODELAY", "0", 1); // the pace is the device's, not a sleep's
            execl(device.program.c_str(), device.program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        players.emplace_back([&device, &stop] { device.Play(stop); });
    }
    // START in each main window: it has the focus there when the window opens.
    for (const Device& device : devices) {
        const std::string pid = std::to_string(device.pid);
        Run("xdotool search --sync --onlyvisible --pid " + pid +
            " --name 'Vexo-Rizidevizi' windowactivate --sync >/dev/null 2>&1; sleep 1.5; "
            "xdotool key --clearmodifiers Return");
    }
    std::printf("%zu program(s), %d levels, %zu sounds planned over %.1f s%s\n", devices.size(), levels,
                plan.size(), plan.back().plannedMs / 1000, load ? ", under stress-ng load" : ", idle");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::duration<double>(runSeconds));
    stop = true;
    for (auto& player : players)
        player.join();
    for (Device& device : devices) {
        kill(device.pid, SIGKILL); // its files are of no interest; no question may hold it
        waitpid(device.pid, nullptr, 0);
        close(device.fd);
        unlink(device.fifo.c_str());
    }
    if (stress > 0) {
        kill(-stress, SIGTERM);
        waitpid(stress, nullptr, 0);
    }
    Run(std::string("rm -rf ") + folder);
    for (const Device& device : devices)
        Report(device, plan);
    return 0;
}
