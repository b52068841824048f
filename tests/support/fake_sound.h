#pragma once
// Records the sounds played, and when on the clock if it has one. Playing does not hold up
// the caller, as the real player does not; whether there is an output device is set.
#include "platform/sound.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class VirtualClock;

class FakeSound : public platform::SoundPlayer {
public:
    explicit FakeSound(VirtualClock* clock = nullptr) : m_clock(clock) { platform::SetSound(this); }
    ~FakeSound() override { platform::SetSound(nullptr); }

    void Play(const std::string& fileName) override;
    bool HasOutput() override { return m_hasOutput; }
    void SetHasOutput(bool hasOutput) { m_hasOutput = hasOutput; }

    const std::vector<std::string>& Played() const { return m_played; }
    // The moments (elapsed on the clock) the sounds were started.
    const std::vector<std::int64_t>& Moments() const { return m_moments; }
    int Count(const std::string& fileName) const;
    void Clear() {
        m_played.clear();
        m_moments.clear();
    }

private:
    VirtualClock* m_clock;
    bool m_hasOutput = true;
    std::vector<std::string> m_played;
    std::vector<std::int64_t> m_moments;
};
