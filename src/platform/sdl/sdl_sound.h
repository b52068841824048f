#pragma once
// WAV playback through SDL2's audio subsystem on the audio stream's own clock. One device
// (16-bit mono at 44.1 kHz; SDL converts for the hardware) is opened on a thread of its own
// as the player is made, so that neither the window's start nor START waits for it, and the
// first fanfare is heard when START is pressed; when there was none then, HasOutput tries
// again. It keeps running, silent between sounds, so that the stream's samples
// are a clock: SDL's audio thread fills each block from an AudioTimeline,
// which places every sound at the sample of its planned moment. A file is loaded and converted
// once and kept. A file that cannot be loaded plays a short built-in beep instead; no audio
// device means silence, which HasOutput tells beforehand.
#include "platform/sdl/audio_timeline.h"
#include "platform/sound.h"

#include <SDL.h>

#include <map>
#include <string>
#include <thread>

namespace platform {

class SdlSound : public SoundPlayer {
public:
    static constexpr int StreamRate = 44100;

    SdlSound();
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    void PlayAt(const std::string& fileName, std::int64_t monotonicMs) override;
    void CancelPlanned() override;
    bool HasOutput() override;
    std::int64_t LeadMs() const override;
    // Plays a sound now and returns when it has been heard.
    void PlaySync(const std::string& fileName);
    // Waits until every sound asked for has been heard (for tests and the end).
    void WaitUntilQuiet();

private:
    static void FillBlock(void* self, Uint8* stream, int length);
    // The device, opened by now if there is one; on the window's thread.
    bool OpenDevice();
    bool TryOpen();
    void AwaitOpening();
    SoundSamples Load(const std::string& fileName);

    bool m_audioReady = false;
    SDL_AudioDeviceID m_device = 0;
    std::int64_t m_latencyNs = 0;
    // Belongs to SDL's audio thread while the device runs; others take the device's lock.
    AudioTimeline m_timeline{StreamRate, 0};
    std::map<std::string, SoundSamples> m_loaded;
    std::thread m_opening; // the first opening, awaited before the device is used
};

} // namespace platform
