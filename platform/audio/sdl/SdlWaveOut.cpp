#include "platform/audio/sdl/SdlWaveOut.h"

#include <SDL.h>

#include <span>

#include "platform/QuietStderr.h"
#include "platform/audio/sdl/SdlAudioSpec.h"

namespace platform {

std::string SdlWaveOut::Open(const WaveFormat& format, WaveOutClient& client) {
    if (device != 0) return "the sound device is already open";
    if (format.formatTag != 1 || format.bitsPerSample != 16) return "unsupported sound format";
    // The caller reports a failure in one line.
    QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return std::string("no sound device: ") + SDL_GetError();
    }
    initialised = true;
    queue.Start(format, client);
    SDL_AudioSpec want = SdlAudioRequest(format, CALLBACK_FRAMES, &SdlWaveOut::Callback, this);
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the card wants.
    device =
        SDL_OpenAudioDevice(deviceName.empty() ? nullptr : deviceName.c_str(), 0, &want, &have, 0);
    if (device == 0) {
        std::string reason = std::string("no sound device: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        initialised = false;
        return reason;
    }
    SDL_PauseAudioDevice(device, 0);
    return {};
}

void SdlWaveOut::Close() {
    if (device != 0) {
        SDL_CloseAudioDevice(device);  // waits for a running callback
        device = 0;
    }
    if (initialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        initialised = false;
    }
}

void SdlWaveOut::Callback(void* self, std::uint8_t* stream, int bytes) {
    auto* out = static_cast<SdlWaveOut*>(self);
    std::span<std::int16_t> samples(reinterpret_cast<std::int16_t*>(stream),
                                    static_cast<std::size_t>(bytes) / 2);
    out->queue.Pull(samples);
}

}  // namespace platform
