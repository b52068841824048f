#include "fake_sound.h"

#include "virtual_clock.h"

#include <algorithm>

std::int64_t FakeSound::Now() const {
    return m_clock ? m_clock->Elapsed() : 0;
}

void FakeSound::PlayAt(const std::string& fileName, std::int64_t monotonicMs) {
    // Without a clock the moment means nothing: heard as handed over.
    const std::int64_t planned = m_clock ? monotonicMs - (m_clock->MonotonicMs() - m_clock->Elapsed()) : 0;
    m_sounds.push_back({fileName, std::max(planned, Now())});
}

void FakeSound::CancelPlanned() {
    const std::int64_t now = Now();
    m_sounds.erase(std::remove_if(m_sounds.begin(), m_sounds.end(),
                                  [now](const Heard& sound) { return sound.moment > now; }),
                   m_sounds.end());
}

std::vector<FakeSound::Heard> FakeSound::HeardByNow() const {
    std::vector<Heard> heard;
    const std::int64_t now = Now();
    for (const Heard& sound : m_sounds)
        if (sound.moment <= now)
            heard.push_back(sound);
    std::stable_sort(heard.begin(), heard.end(),
                     [](const Heard& a, const Heard& b) { return a.moment < b.moment; });
    return heard;
}

std::vector<std::string> FakeSound::Played() const {
    std::vector<std::string> files;
    for (const Heard& sound : HeardByNow())
        files.push_back(sound.file);
    return files;
}

std::vector<std::int64_t> FakeSound::Moments() const {
    std::vector<std::int64_t> moments;
    for (const Heard& sound : HeardByNow())
        moments.push_back(sound.moment);
    return moments;
}

int FakeSound::PlannedAhead() const {
    const std::int64_t now = Now();
    return static_cast<int>(std::count_if(m_sounds.begin(), m_sounds.end(),
                                          [now](const Heard& sound) { return sound.moment > now; }));
}

int FakeSound::Count(const std::string& fileName) const {
    const auto files = Played();
    return static_cast<int>(std::count(files.begin(), files.end(), fileName));
}
