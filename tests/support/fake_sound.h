#pragma once
// Records the sounds played. With a clock, each sound blocks the virtual user-interface
// thread for its length, as the real synchronous playback does.
#include "platform/sound.h"

#include <map>
#include <string>
#include <vector>

class VirtualClock;

class FakeSound : public platform::SoundPlayer {
public:
    explicit FakeSound(VirtualClock* clock = nullptr) : m_clock(clock) { platform::SetSound(this); }
    ~FakeSound() override { platform::SetSound(nullptr); }

    void SetLength(const std::string& fileName, int milliseconds) { m_lengths[fileName] = milliseconds; }
    void PlaySync(const std::string& fileName) override;

    const std::vector<std::string>& Played() const { return m_played; }
    int Count(const std::string& fileName) const;
    void Clear() { m_played.clear(); }

private:
    VirtualClock* m_clock;
    std::map<std::string, int> m_lengths;
    std::vector<std::string> m_played;
};
