#pragma once
// The sound card, through SDL2 audio: the device's callback pulls from the buffer queue.

#include <cstdint>
#include <string>

#include "platform/audio/WaveOutQueue.h"

namespace platform {

class SdlWaveOut final : public QueuedWaveOut {
  public:
    // Frames the card asks for at a time: small, so that a note is heard within 50 ms.
    static constexpr std::uint16_t CALLBACK_FRAMES = 256;

    // `deviceName` chooses a device by the name SDL lists; empty is the system default.
    explicit SdlWaveOut(std::string deviceName = {}) : deviceName(std::move(deviceName)) {}
    ~SdlWaveOut() override { Close(); }
    // Fails cleanly, with SDL's reason, when there is no sound card.
    std::string Open(const WaveFormat& format, WaveOutClient& client) override;
    void Close() override;

  private:
    static void Callback(void* self, std::uint8_t* stream, int bytes);

    std::string deviceName;
    std::uint32_t device = 0;
    bool initialised = false;
};

}  // namespace platform
