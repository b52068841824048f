#pragma once
// WAV playback through SDL2's audio subsystem on a thread of its own. Play hands the file to
// that thread and returns; the thread plays one sound after the other (PlaySync): the file
// is loaded, queued on an audio device with a small buffer (a fiftieth of a second), and the
// thread waits until the queue has drained, the last buffer has played and the sound's own
// length has passed. The device stays open (paused) between sounds of the same format, so
// that a beep starts without the delay of opening a device; a sound of another format
// reopens it. A file that cannot be loaded plays a short built-in beep instead; no audio
// device means silence, which HasOutput tells beforehand.
#include "platform/sound.h"

#include <SDL.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

class SdlSound : public SoundPlayer {
public:
    SdlSound();
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    void Play(const std::string& fileName) override;
    bool HasOutput() override;
    // Plays a sound on the calling thread, returning when it has ended.
    void PlaySync(const std::string& fileName);
    // Waits until every sound asked for has been played (for tests and the end).
    void WaitUntilQuiet();

private:
    void PlayOnDevice(const SDL_AudioSpec& spec, const Uint8* data, Uint32 length);
    void CloseDevice();
    void Run();

    bool m_audioReady = false;
    // The device and its format belong to whoever holds m_deviceLock: the playing thread, or
    // HasOutput between sounds.
    std::mutex m_deviceLock;
    SDL_AudioDeviceID m_device = 0;
    SDL_AudioSpec m_deviceFormat{}; // the format the open device was asked for
    SDL_AudioSpec m_obtained{};

    std::mutex m_queueLock;
    std::condition_variable m_queueChanged;
    std::deque<std::string> m_queue;
    bool m_playing = false;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace platform
