#pragma once
// Synchronous WAV playback: PlaySync returns only when the sound has ended. A missing or
// unplayable file falls back to a short built-in beep or to silence; it never fails.
#include <string>

namespace platform {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void PlaySync(const std::string& fileName) = 0;
};

SoundPlayer& Sound();
void SetSound(SoundPlayer* sound);

} // namespace platform
