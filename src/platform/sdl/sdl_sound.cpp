#include "sdl_sound.h"

#include "platform/clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace platform {
namespace {

// The fallback alert: 150 ms of an 880 Hz tone with short fades, in the stream's format.
SoundSamples MakeFallbackBeep() {
    const int rate = SdlSound::StreamRate;
    const int count = rate * 150 / 1000;
    const int fade = rate * 10 / 1000;
    auto samples = std::make_shared<std::vector<std::int16_t>>(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        double envelope = 1.0;
        if (i < fade)
            envelope = double(i) / fade;
        else if (i > count - fade)
            envelope = double(count - i) / fade;
        (*samples)[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(9000.0 * envelope * std::sin(2 * M_PI * 880.0 * i / rate)));
    }
    return samples;
}

// A WAV file in the stream's format, or nothing when it cannot be read or converted.
SoundSamples LoadConverted(const std::string& fileName) {
    SDL_AudioSpec spec{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(fileName.c_str(), &spec, &buffer, &length) == nullptr)
        return nullptr;
    SDL_AudioCVT cvt{};
    SoundSamples result;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1,
                          SdlSound::StreamRate) >= 0) {
        cvt.len = static_cast<int>(length);
        std::vector<Uint8> work(static_cast<std::size_t>(length) *
                                static_cast<std::size_t>(std::max(1, cvt.len_mult)));
        std::copy(buffer, buffer + length, work.begin());
        cvt.buf = work.data();
        if (cvt.needed == 0 || SDL_ConvertAudio(&cvt) == 0) {
            const int bytes = cvt.needed == 0 ? static_cast<int>(length) : cvt.len_cvt;
            auto samples = std::make_shared<std::vector<std::int16_t>>(static_cast<std::size_t>(bytes) / 2);
            std::copy_n(work.data(), samples->size() * 2, reinterpret_cast<Uint8*>(samples->data()));
            result = std::move(samples);
        }
    }
    SDL_FreeWAV(buffer);
    return result;
}

} // namespace

SdlSound::SdlSound() {
    // SDL would otherwise take over SIGINT and SIGTERM and turn them into events nobody
    // reads: the program could no longer be ended by the session or the system.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    m_audioReady = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (m_audioReady)
        m_opening = std::thread([this] { TryOpen(); });
}

SdlSound::~SdlSound() {
    AwaitOpening();
    if (m_device != 0)
        SDL_CloseAudioDevice(m_device); // the sound playing stops; nothing waits for it
    if (m_audioReady)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSound::FillBlock(void* self, Uint8* stream, int length) {
    auto& sound = *static_cast<SdlSound*>(self);
    try { // SDL's thread, C code: nothing may leave it but silence
        sound.m_timeline.Fill(reinterpret_cast<std::int16_t*>(stream), length / 2, SteadyClockNs());
    } catch (...) {
        std::fill_n(stream, length, Uint8(0));
    }
}

void SdlSound::AwaitOpening() {
    if (m_opening.joinable())
        m_opening.join();
}

bool SdlSound::OpenDevice() {
    AwaitOpening();
    return m_device != 0 || TryOpen();
}

bool SdlSound::TryOpen() {
    if (!m_audioReady)
        return false;
    SDL_AudioSpec request{};
    request.freq = StreamRate;
    request.format = AUDIO_S16SYS;
    request.channels = 1;
    // About a fortieth of a second a block: little delay after a sound is placed, few wake-ups.
    request.samples = 1024;
    request.callback = &SdlSound::FillBlock;
    request.userdata = this;
    SDL_AudioSpec obtained{};
    m_device = SDL_OpenAudioDevice(nullptr, 0, &request, &obtained, 0);
    if (m_device == 0)
        return false;
    // A block asked for now is heard once the block before it has played.
    m_latencyNs = std::int64_t(obtained.samples) * 1'000'000'000 / StreamRate;
    m_timeline = AudioTimeline(StreamRate, m_latencyNs);
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

bool SdlSound::HasOutput() {
    return OpenDevice();
}

std::int64_t SdlSound::LeadMs() const {
    // The block being filled when the sound is handed over, the one that follows it, and a
    // little time for the device's request to come late.
    return 2 * m_latencyNs / 1'000'000 + 10;
}

SoundSamples SdlSound::Load(const std::string& fileName) {
    auto known = m_loaded.find(fileName);
    if (known != m_loaded.end())
        return known->second;
    SoundSamples samples = LoadConverted(fileName);
    if (!samples) {
        static const SoundSamples beep = MakeFallbackBeep();
        samples = beep;
    }
    m_loaded.emplace(fileName, samples);
    return samples;
}

void SdlSound::PlayAt(const std::string& fileName, std::int64_t monotonicMs) {
    // Without a device, only HasOutput (asked at START) tries again: a test the user agreed
    // to run without sound must not wait for a device at every beep.
    AwaitOpening();
    if (m_device == 0)
        return;
    SoundSamples samples = Load(fileName);
    SDL_LockAudioDevice(m_device);
    m_timeline.Plan(std::move(samples), monotonicMs * 1'000'000);
    SDL_UnlockAudioDevice(m_device);
}

void SdlSound::CancelPlanned() {
    AwaitOpening();
    if (m_device == 0)
        return;
    SDL_LockAudioDevice(m_device);
    m_timeline.CancelPlanned();
    SDL_UnlockAudioDevice(m_device);
}

void SdlSound::WaitUntilQuiet() {
    AwaitOpening();
    if (m_device == 0)
        return;
    for (;;) {
        SDL_LockAudioDevice(m_device);
        const bool quiet = m_timeline.Quiet();
        SDL_UnlockAudioDevice(m_device);
        if (quiet)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The last block handed over still plays.
    std::this_thread::sleep_for(std::chrono::nanoseconds(m_latencyNs));
}

void SdlSound::PlaySync(const std::string& fileName) {
    PlayAt(fileName, SteadyClockNs() / 1'000'000);
    WaitUntilQuiet();
}

} // namespace platform
