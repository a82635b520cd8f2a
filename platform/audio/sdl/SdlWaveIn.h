#pragma once
// The microphone, through SDL2 capture. SDL converts from the device's own rate and hands
// over pieces of its own size, which the buffer queue lays into whole buffers.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio/WaveIn.h"

namespace platform {

class SdlWaveIn final : public WaveIn {
  public:
    // Sample frames SDL is asked for at a time; it may use another size.
    static constexpr std::uint16_t CALLBACK_FRAMES = 512;

    // `deviceName` chooses one device; empty tries the system default, then each device.
    explicit SdlWaveIn(std::string deviceName = {}) : deviceName(std::move(deviceName)) {}
    ~SdlWaveIn() override { Close(); }

    std::size_t DeviceCount() override;
    std::string Open(std::size_t device, const WaveFormat& format, WaveInClient& client) override;
    void AddBuffer(WaveHeader& header) override { queue.Add(header); }
    void Start() override;
    void Stop() override;
    void Reset() override { queue.Reset(); }
    void Close() override;

  private:
    static void Callback(void* self, std::uint8_t* stream, int bytes);
    bool InitAudio(std::string& error);

    std::string deviceName;
    std::vector<std::string> names;  // what DeviceCount found, in Open's numbering
    WaveInQueue queue;
    std::uint32_t device = 0;
    bool initialised = false;
};

// The names SDL gives the sound output (capture false) or input devices. Nullopt with a
// one-line reason when SDL's audio cannot start at all.
std::optional<std::vector<std::string>> SdlAudioDeviceNames(bool capture, std::string& error);

}  // namespace platform
