#pragma once
// The audio stream as a time line: sounds planned for moments on the monotonic clock are
// mixed into the stream at the sample that will be heard at that moment.
//
// The device asks for the stream block by block (Fill). Each request tells when the block's
// first sample will be heard: the moment of the request plus the device's latency, less the
// samples before it. A request can come late (the machine busy), never early, so the stream's
// start on the clock is the earliest such reading of the last few seconds: a late request
// moves nothing, and a device whose crystal runs a little off the system clock is followed.
// The first blocks, which a device takes at once to fill its buffer, are not read. A sound is
// placed when the block that holds its moment is filled, at its exact sample; one whose moment
// has passed starts at the block's first sample. Samples are 16-bit mono at the stream's rate.
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace platform {

using SoundSamples = std::shared_ptr<const std::vector<std::int16_t>>;

class AudioTimeline {
public:
    AudioTimeline(int rate, std::int64_t latencyNs) : m_rate(rate), m_latencyNs(latencyNs) {}

    void Plan(SoundSamples samples, std::int64_t atNs);
    // Drops the sounds not yet begun in the stream.
    void CancelPlanned();
    // Nothing planned and nothing playing.
    bool Quiet() const { return m_voices.empty(); }
    // The next `frames` samples of the stream, asked for at `nowNs`.
    void Fill(std::int16_t* out, int frames, std::int64_t nowNs);

private:
    // Where a moment falls in the stream, by what is known of its start.
    std::int64_t SampleAt(std::int64_t atNs) const;
    struct Voice {
        SoundSamples samples;
        std::int64_t atNs;
        std::int64_t startSample = -1; // placed in the stream; -1 while still ahead
    };

    void Follow(std::int64_t nowNs);

    int m_rate;
    std::int64_t m_latencyNs;
    std::int64_t m_position = 0;
    std::int64_t m_blocks = 0;
    std::int64_t m_startNs = 0; // when the stream's sample 0 is heard
    struct Reading {
        std::int64_t position;
        std::int64_t startNs;
    };
    // The readings of the last seconds that may still become the earliest, earliest first.
    std::deque<Reading> m_earliest;
    std::vector<Voice> m_voices;
    std::vector<std::int32_t> m_mix; // kept between blocks: no allocation while the device waits
};

} // namespace platform
