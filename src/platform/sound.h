#pragma once
// Sound playback that never holds up the caller: a sound is handed over and the call returns
// at once, so the window keeps answering taps and keys while a fanfare plays. A sound has
// its moment on the clock that never jumps (ClockService::MonotonicMs): the player starts it
// at that sample of the audio stream while the moment is still ahead, and at once when it
// has passed, so neither the window's thread nor a timer's jitter moves a sound planned in
// time. Sounds that meet are heard together. A missing or unplayable file falls back to a
// short built-in beep or to silence; it never fails.
#include <cstdint>
#include <string>

namespace platform {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts a WAV file at a moment of the monotonic clock, in milliseconds.
    virtual void PlayAt(const std::string& fileName, std::int64_t monotonicMs) = 0;
    // Drops every sound whose moment has not yet come; those already heard play on.
    virtual void CancelPlanned() = 0;
    // Whether a sound can be heard at all: an output device can be opened.
    virtual bool HasOutput() = 0;
    // How long before its moment a sound must be handed over to be heard exactly then (the
    // device's delay); one handed over later is heard as soon as the device can.
    virtual std::int64_t LeadMs() const { return 0; }
    // Starts a WAV file now.
    void Play(const std::string& fileName);
};

SoundPlayer& Sound();
void SetSound(SoundPlayer* sound);

} // namespace platform
