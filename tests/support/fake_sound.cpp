#include "fake_sound.h"

#include "virtual_clock.h"

#include <algorithm>

void FakeSound::PlaySync(const std::string& fileName) {
    m_played.push_back(fileName);
    const auto length = m_lengths.find(fileName);
    if (m_clock && length != m_lengths.end())
        m_clock->Block(length->second);
}

int FakeSound::Count(const std::string& fileName) const {
    return static_cast<int>(std::count(m_played.begin(), m_played.end(), fileName));
}
