#pragma once
// Records the sounds handed over with their moments, as the real player hears them: a sound
// planned ahead is heard at its moment, one whose moment has passed at once, and one dropped
// before its moment never. Without a clock every sound counts as heard when it is handed
// over. Playing does not hold up the caller; whether there is an output device is set.
#include "platform/sound.h"

#include <cstdint>
#include <string>
#include <vector>

class VirtualClock;

class FakeSound : public platform::SoundPlayer {
public:
    explicit FakeSound(VirtualClock* clock = nullptr) : m_clock(clock) { platform::SetSound(this); }
    ~FakeSound() override { platform::SetSound(nullptr); }

    void PlayAt(const std::string& fileName, std::int64_t monotonicMs) override;
    void CancelPlanned() override;
    bool HasOutput() override { return m_hasOutput; }
    void SetHasOutput(bool hasOutput) { m_hasOutput = hasOutput; }
    std::int64_t LeadMs() const override { return m_leadMs; }
    void SetLeadMs(std::int64_t lead) { m_leadMs = lead; }

    // The sounds heard by now, in the order heard.
    std::vector<std::string> Played() const;
    // The moments (elapsed on the clock) they were heard.
    std::vector<std::int64_t> Moments() const;
    // Sounds handed over for a moment still ahead.
    int PlannedAhead() const;
    int Count(const std::string& fileName) const;
    void Clear() { m_sounds.clear(); }

private:
    struct Heard {
        std::string file;
        std::int64_t moment; // elapsed on the clock
    };
    std::vector<Heard> HeardByNow() const;
    std::int64_t Now() const;

    VirtualClock* m_clock;
    bool m_hasOutput = true;
    std::int64_t m_leadMs = 0;
    std::vector<Heard> m_sounds;
};
