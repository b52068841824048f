#include "sdl_sound.h"

#include <SDL.h>

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
        samples[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(9000.0 * envelope * std::sin(2 * M_PI * 880.0 * i / BeepRate)));
    }
    return samples;
}

void PlayBuffer(const SDL_AudioSpec& wanted, const Uint8* data, Uint32 length) {
    SDL_AudioSpec request = wanted;
    // A device buffer of a fiftieth of a second keeps the wait after the last queued
    // byte short, so the call ends close to the sound's real end.
    request.samples = static_cast<Uint16>(std::max(64, wanted.freq / 50));
    request.callback = nullptr;
    request.userdata = nullptr;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &request, &obtained, 0);
    if (device == 0)
        return;
    const Uint32 start = SDL_GetTicks();
    SDL_QueueAudio(device, data, length);
    SDL_PauseAudioDevice(device, 0);
    while (SDL_GetQueuedAudioSize(device) > 0)
        SDL_Delay(1);
    // The queue is empty once the last buffer went to the device: let that buffer play
    // out, and never return before the sound's own length has passed.
    const int frameBytes = SDL_AUDIO_BITSIZE(wanted.format) / 8 * std::max<int>(1, wanted.channels);
    const Uint32 soundMs = static_cast<Uint32>(1000.0 * length / frameBytes / std::max(1, wanted.freq));
    const Uint32 bufferMs =
        static_cast<Uint32>(1000.0 * obtained.samples / (obtained.freq > 0 ? obtained.freq : wanted.freq));
    const Uint32 played = SDL_GetTicks() - start;
    SDL_Delay(std::max(bufferMs, soundMs > played ? soundMs - played : 0));
    SDL_CloseAudioDevice(device);
}

} // namespace

SdlSound::SdlSound() { m_audioReady = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0; }

SdlSound::~SdlSound() {
    if (m_audioReady)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSound::PlaySync(const std::string& fileName) {
    if (!m_audioReady)
        return;
    SDL_AudioSpec spec{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(fileName.c_str(), &spec, &buffer, &length) != nullptr) {
        PlayBuffer(spec, buffer, length);
        SDL_FreeWAV(buffer);
        return;
    }
    static const std::vector<std::int16_t> beep = MakeFallbackBeep();
    SDL_AudioSpec beepSpec{};
    beepSpec.freq = BeepRate;
    beepSpec.format = AUDIO_S16SYS;
    beepSpec.channels = 1;
    PlayBuffer(beepSpec, reinterpret_cast<const Uint8*>(beep.data()),
               static_cast<Uint32>(beep.size() * sizeof(std::int16_t)));
}

} // namespace platform
