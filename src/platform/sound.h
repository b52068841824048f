#pragma once
// Sound playback that never holds up the caller: Play starts a WAV file and returns at once,
// so the window keeps answering taps and keys while a fanfare plays. A sound asked for while
// another still plays starts when that one has ended, so each sound starts when it did with
// playback on the user-interface thread. A missing or unplayable file falls back to a short
// built-in beep or to silence; it never fails.
#include <string>

namespace platform {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void Play(const std::string& fileName) = 0;
    // Whether a sound can be heard at all: an output device can be opened.
    virtual bool HasOutput() = 0;
};

SoundPlayer& Sound();
void SetSound(SoundPlayer* sound);

} // namespace platform
