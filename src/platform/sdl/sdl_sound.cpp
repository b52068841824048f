#include "sdl_sound.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

// The fallback alert: 150 ms of an 880 Hz tone with short fades, 16-bit mono.
constexpr int BeepRate = 44100;

std::vector<std::int16_t> MakeFallbackBeep() {
    const int count = BeepRate * 150 / 1000;
    const int fade = BeepRate * 10 / 1000;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        double envelope = 1.0;
        if (i < fade)
            envelope = double(i) / fade;
        else if (i > count - fade)
            envelope = double(count - i) / fade;
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
            std::lround(9000.0 * envelope * std::sin(2 * M_PI * 880.0 * i / BeepRate)));
    }
    return samples;
}

} // namespace

SdlSound::SdlSound() {
    // SDL would otherwise take over SIGINT and SIGTERM and turn them into events nobody
    // reads: the program could no longer be ended by the session or the system.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    m_audioReady = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    m_thread = std::thread([this] { Run(); });
}

SdlSound::~SdlSound() {
    {
        const std::lock_guard lock(m_queueLock);
        m_stopping = true; // the sound playing plays to its end; those still waiting are dropped
        m_queue.clear();
    }
    m_queueChanged.notify_all();
    m_thread.join();
    CloseDevice();
    if (m_audioReady)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSound::Play(const std::string& fileName) {
    {
        const std::lock_guard lock(m_queueLock);
        m_queue.push_back(fileName);
    }
    m_queueChanged.notify_all();
}

void SdlSound::WaitUntilQuiet() {
    std::unique_lock lock(m_queueLock);
    m_queueChanged.wait(lock, [this] { return m_queue.empty() && !m_playing; });
}

void SdlSound::Run() {
    for (;;) {
        std::string file;
        {
            std::unique_lock lock(m_queueLock);
            m_queueChanged.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            file = std::move(m_queue.front());
            m_queue.pop_front();
            m_playing = true;
        }
        PlaySync(file);
        {
            const std::lock_guard lock(m_queueLock);
            m_playing = false;
        }
        m_queueChanged.notify_all();
    }
}

bool SdlSound::HasOutput() {
    if (!m_audioReady)
        return false;
    // A sound playing holds the device: then there is one, and nobody waits for the sound.
    std::unique_lock lock(m_deviceLock, std::try_to_lock);
    if (!lock.owns_lock() || m_device != 0)
        return true;
    // The format of the fallback beep; the device is closed again, a sound opens its own.
    SDL_AudioSpec request{};
    request.freq = BeepRate;
    request.format = AUDIO_S16SYS;
    request.channels = 1;
    request.samples = 1024;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID probe = SDL_OpenAudioDevice(nullptr, 0, &request, &obtained, 0);
    if (probe == 0)
        return false;
    SDL_CloseAudioDevice(probe);
    return true;
}

void SdlSound::CloseDevice() {
    if (m_device != 0)
        SDL_CloseAudioDevice(m_device);
    m_device = 0;
}

void SdlSound::PlayOnDevice(const SDL_AudioSpec& spec, const Uint8* data, Uint32 length) {
    const std::lock_guard lock(m_deviceLock);
    const bool sameFormat = m_device != 0 && m_deviceFormat.freq == spec.freq &&
                            m_deviceFormat.format == spec.format && m_deviceFormat.channels == spec.channels;
    if (!sameFormat) {
        CloseDevice();
        SDL_AudioSpec request = spec;
        // A device buffer of a fiftieth of a second keeps the wait after the last queued
        // byte short, so the call ends close to the sound's real end.
        request.samples = static_cast<Uint16>(std::max(64, spec.freq / 50));
        request.callback = nullptr;
        request.userdata = nullptr;
        m_device = SDL_OpenAudioDevice(nullptr, 0, &request, &m_obtained, 0);
        if (m_device == 0)
            return;
        m_deviceFormat = spec;
    }
    const Uint32 start = SDL_GetTicks();
    SDL_ClearQueuedAudio(m_device);
    SDL_QueueAudio(m_device, data, length);
    SDL_PauseAudioDevice(m_device, 0);
    while (SDL_GetQueuedAudioSize(m_device) > 0)
        SDL_Delay(1);
    // The queue is empty once the last buffer went to the device: let that buffer play
    // out, and never return before the sound's own length has passed.
    const int frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * std::max<int>(1, spec.channels);
    const Uint32 soundMs = static_cast<Uint32>(1000.0 * length / frameBytes / std::max(1, spec.freq));
    const Uint32 bufferMs = static_cast<Uint32>(1000.0 * m_obtained.samples /
                                                (m_obtained.freq > 0 ? m_obtained.freq : spec.freq));
    const Uint32 played = SDL_GetTicks() - start;
    SDL_Delay(std::max(bufferMs, soundMs > played ? soundMs - played : 0));
    SDL_PauseAudioDevice(m_device, 1);
}

void SdlSound::PlaySync(const std::string& fileName) {
    if (!m_audioReady)
        return;
    SDL_AudioSpec spec{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(fileName.c_str(), &spec, &buffer, &length) != nullptr) {
        PlayOnDevice(spec, buffer, length);
        SDL_FreeWAV(buffer);
        return;
    }
    static const std::vector<std::int16_t> beep = MakeFallbackBeep();
    SDL_AudioSpec beepSpec{};
    beepSpec.freq = BeepRate;
    beepSpec.format = AUDIO_S16SYS;
    beepSpec.channels = 1;
    PlayOnDevice(beepSpec, reinterpret_cast<const Uint8*>(beep.data()),
                 static_cast<Uint32>(beep.size() * sizeof(std::int16_t)));
}

} // namespace platform
