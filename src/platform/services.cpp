// The installed seams. main() installs the real ones before the first window exists;
// tests install fakes. Using a seam before it is installed is a programming error.
#include "clock.h"
#include "dialogs.h"
#include "errors.h"
#include "sound.h"
#include "timer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace platform {
namespace {
DialogService* g_dialogs = nullptr;
TimerFactory* g_timers = nullptr;
ClockService* g_clock = nullptr;
SoundPlayer* g_sound = nullptr;

template <typename T> T& Installed(T* service, const char* name) {
    if (service == nullptr) {
        std::fprintf(stderr, "platform service '%s' used before it was installed\n", name);
        std::abort();
    }
    return *service;
}
} // namespace

DialogService& Dialogs() {
    return Installed(g_dialogs, "dialogs");
}
void SetDialogs(DialogService* dialogs) {
    g_dialogs = dialogs;
}
TimerFactory& Timers() {
    return Installed(g_timers, "timers");
}
void SetTimers(TimerFactory* timers) {
    g_timers = timers;
}
ClockService& Clock() {
    return Installed(g_clock, "clock");
}
void SetClock(ClockService* clock) {
    g_clock = clock;
}
SoundPlayer& Sound() {
    return Installed(g_sound, "sound");
}
void SetSound(SoundPlayer* sound) {
    g_sound = sound;
}
std::int64_t SteadyClockNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
void SoundPlayer::Play(const std::string& fileName) {
    PlayAt(fileName, Clock().MonotonicMs());
}

void ShowFailure(std::exception_ptr failure) {
    try {
        try {
            std::rethrow_exception(failure);
        } catch (const vexo::Abort&) {
            // already told by whoever aborted
        } catch (const std::bad_alloc&) {
            Dialogs().ShowError("Nicht genügend Arbeitsspeicher für diese Aktion.");
        } catch (const std::exception& e) {
            Dialogs().ShowError(e.what());
        } catch (...) {
            Dialogs().ShowError("Unbekannter Fehler");
        }
    } catch (...) {
        // showing the failure failed as well: nothing more can be done here
    }
}

} // namespace platform
