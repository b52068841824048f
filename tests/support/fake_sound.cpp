#include "fake_sound.h"

#include "virtual_clock.h"

#include <algorithm>

void FakeSound::Play(const std::string& fileName) {
    m_played.push_back(fileName);
    m_moments.push_back(m_clock ? m_clock->Elapsed() : 0);
}

int FakeSound::Count(const std::string& fileName) const {
    return static_cast<int>(std::count(m_played.begin(), m_played.end(), fileName));
}
