#pragma once
// Synchronous WAV playback through SDL2's audio subsystem. The file is loaded, queued on a
// freshly opened device with a small buffer (about 20 ms) and the call waits until the
// queue has drained and the last buffer has played. A file that cannot be loaded plays a
// short built-in beep instead; no audio device at all means silence. Nothing is reported.
#include "platform/sound.h"

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
    bool m_audioReady = false;
};

} // namespace platform
