#include "audio_timeline.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {
constexpr std::int64_t NsPerSecond = 1'000'000'000;
// How far back the earliest reading is looked for: long enough that some request in it came
// in time on a busy machine, short enough that a device's drift (a tenth of a millisecond
// in a second at worst) does not count.
constexpr std::int64_t WindowSeconds = 3;
// The blocks a device fills at once when it starts.
constexpr std::int64_t WarmUpBlocks = 8;
} // namespace

void AudioTimeline::Plan(SoundSamples samples, std::int64_t atNs) {
    if (samples && !samples->empty())
        m_voices.push_back({std::move(samples), atNs});
}

void AudioTimeline::CancelPlanned() {
    m_voices.erase(std::remove_if(m_voices.begin(), m_voices.end(),
                                  [](const Voice& voice) { return voice.startSample < 0; }),
                   m_voices.end());
}

std::int64_t AudioTimeline::SampleAt(std::int64_t atNs) const {
    const std::int64_t sinceStart = atNs - m_startNs;
    // Rounded to the nearest sample, also before the start.
    return (sinceStart * m_rate + (sinceStart >= 0 ? NsPerSecond / 2 : -NsPerSecond / 2)) / NsPerSecond;
}

void AudioTimeline::Follow(std::int64_t nowNs) {
    const std::int64_t reading = nowNs + m_latencyNs - m_position * NsPerSecond / m_rate;
    if (m_blocks++ < WarmUpBlocks) {
        m_startNs = reading; // the best there is until the device keeps its pace
        return;
    }
    while (!m_earliest.empty() && m_earliest.back().startNs >= reading)
        m_earliest.pop_back();
    m_earliest.push_back({m_position, reading});
    while (m_earliest.front().position < m_position - WindowSeconds * m_rate)
        m_earliest.pop_front();
    m_startNs = m_earliest.front().startNs;
}

void AudioTimeline::Fill(std::int16_t* out, int frames, std::int64_t nowNs) {
    Follow(nowNs);
    std::vector<std::int32_t>& mix = m_mix;
    mix.assign(static_cast<std::size_t>(frames), 0);
    const std::int64_t blockEnd = m_position + frames;
    for (Voice& voice : m_voices) {
        if (voice.startSample < 0) {
            const std::int64_t at = SampleAt(voice.atNs);
            if (at >= blockEnd)
                continue; // still ahead
            voice.startSample = std::max(at, m_position);
        }
        const auto& samples = *voice.samples;
        const std::int64_t from = std::max(voice.startSample, m_position);
        for (std::int64_t s = from; s < blockEnd; ++s) {
            const std::int64_t index = s - voice.startSample;
            if (index >= std::int64_t(samples.size()))
                break;
            mix[std::size_t(s - m_position)] += samples[std::size_t(index)];
        }
    }
    for (int i = 0; i < frames; ++i)
        out[i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(mix[std::size_t(i)], -32768, 32767));
    m_position = blockEnd;
    m_voices.erase(std::remove_if(m_voices.begin(), m_voices.end(),
                                  [this](const Voice& voice) {
                                      return voice.startSample >= 0 &&
                                             voice.startSample + std::int64_t(voice.samples->size()) <=
                                                 m_position;
                                  }),
                   m_voices.end());
}

} // namespace platform
