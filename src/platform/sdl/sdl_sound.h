#pragma once
// Synchronous WAV playback through SDL2's audio subsystem. The file is loaded, queued on an
// audio device with a small buffer (a fiftieth of a second) and the call waits until the
// queue has drained, the last buffer has played and the sound's own length has passed.
// The device stays open (paused) between sounds of the same format, so that a beep starts
// without the delay of opening a device; a sound of another format reopens it. A file that
// cannot be loaded plays a short built-in beep instead; no audio device means silence.
// Nothing is ever reported.
#include "platform/sound.h"

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace platform {

class SdlSound : public SoundPlayer {
public:
    SdlSound();
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    void PlaySync(const std::string& fileName) override;

private:
    void Play(const SDL_AudioSpec& spec, const Uint8* data, Uint32 length);
    void CloseDevice();

    bool m_audioReady = false;
    SDL_AudioDeviceID m_device = 0;
    SDL_AudioSpec m_deviceFormat{}; // the format the open device was asked for
    SDL_AudioSpec m_obtained{};
};

} // namespace platform
