#pragma once
// What both SDL sound devices ask of SDL: signed 16-bit samples at the format's rate and
// channel count, delivered through a callback in pieces of `frames`.

#include <SDL.h>

#include <cstdint>

#include "platform/audio/WaveOut.h"

namespace platform {

inline SDL_AudioSpec SdlAudioRequest(const WaveFormat& format, std::uint16_t frames,
                                     SDL_AudioCallback callback, void* userdata) {
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(format.samplesPerSec);
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<std::uint8_t>(format.channels);
    want.samples = frames;
    want.callback = callback;
    want.userdata = userdata;
    return want;
}

}  // namespace platform
