#include "platform/audio/sdl/SdlWaveIn.h"

#include <SDL.h>

#include <span>

#include "platform/QuietStderr.h"
#include "platform/audio/sdl/SdlAudioSpec.h"

namespace platform {

namespace {

// Device names as SDL lists them; SDL's audio is started by the caller.
std::vector<std::string> ListDevices(bool capture) {
    std::vector<std::string> names;
    int count = SDL_GetNumAudioDevices(capture ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        if (const char* name = SDL_GetAudioDeviceName(i, capture ? 1 : 0)) names.emplace_back(name);
    }
    return names;
}

}  // namespace

std::optional<std::vector<std::string>> SdlAudioDeviceNames(bool capture, std::string& error) {
    QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no sound devices: ") + SDL_GetError();
        return std::nullopt;
    }
    std::vector<std::string> names = ListDevices(capture);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return names;
}

bool SdlWaveIn::InitAudio(std::string& error) {
    if (initialised) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no microphone: ") + SDL_GetError();
        return false;
    }
    initialised = true;
    return true;
}

std::size_t SdlWaveIn::DeviceCount() {
    QuietStderr quiet;
    std::string error;
    names.clear();
    if (!InitAudio(error)) return 0;
    if (!deviceName.empty()) {
        names.push_back(deviceName);
        return 1;
    }
    // Some drivers cannot list their devices and still open the default one.
    int count = SDL_GetNumAudioDevices(1);
    if (count == 0) return 0;
    names.emplace_back();  // the default
    for (std::string& name : ListDevices(true))
        names.push_back(std::move(name));
    return names.size();
}

std::string SdlWaveIn::Open(std::size_t index, const WaveFormat& format, WaveInClient& client) {
    if (device != 0) return "the microphone is already open";
    if (format.formatTag != 1 || format.bitsPerSample != 16) return "unsupported sound format";
    if (index >= names.size()) return "no such input device";
    QuietStderr quiet;
    std::string error;
    if (!InitAudio(error)) return error;
    queue.Start(client);
    SDL_AudioSpec want = SdlAudioRequest(format, CALLBACK_FRAMES, &SdlWaveIn::Callback, this);
    SDL_AudioSpec have{};
    const std::string& name = names[index];
    // No changes allowed: SDL converts from whatever the device records.
    device = SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 1, &want, &have, 0);
    if (device == 0) return std::string("no microphone: ") + SDL_GetError();
    return {};
}

void SdlWaveIn::Start() {
    if (device != 0) SDL_PauseAudioDevice(device, 0);
}

void SdlWaveIn::Stop() {
    if (device != 0) SDL_PauseAudioDevice(device, 1);
}

void SdlWaveIn::Close() {
    if (device != 0) {
        SDL_CloseAudioDevice(device);  // waits for a running callback
        device = 0;
    }
    queue.Reset();
    if (initialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        initialised = false;
    }
}

void SdlWaveIn::Callback(void* self, std::uint8_t* stream, int bytes) {
    auto* in = static_cast<SdlWaveIn*>(self);
    in->queue.Push(std::span<const std::int16_t>(reinterpret_cast<const std::int16_t*>(stream),
                                                 static_cast<std::size_t>(bytes) / 2));
}

}  // namespace platform
