#pragma once
// One strip of the mixer: an instrument (not owned), volume, pan and mute.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sound/Control.h"
#include "sound/VoiceRoot.h"

namespace sound {

class MixerChannel : public VisualInterface {
  public:
    MixerChannel();

    int OnControlChanged(const ControlChange& change) override;
    std::span<const Control> GetControls() override { return controls; }

    // volume = min(v, 64); gain = (master × volume) >> 6.
    void SetVolume(std::uint32_t volume);
    // p in −128..127: pan = min(p + 128, 255), taken unsigned.
    void SetPan(std::int32_t p);
    // Only an occupied effect slot takes the setting; none is, so this returns 0.
    int SetEffectEnable(int slot, bool on);
    void SetMute(bool on);

    // Gives the channel its rate, its render buffer and the mixer's master volume.
    void Prepare(std::uint32_t rate, std::size_t framesPerBlock, const std::uint32_t* master,
                 std::uint8_t number);
    // Adds the instrument's block into `out` (interleaved when stereo), clamped to 16 bits.
    // The caller holds the mixer lock.
    void Render(std::span<std::int16_t> out, bool stereo);

    VoiceRoot* instrument = nullptr;  // not owned; null when empty

    std::int32_t Gain() const { return gain; }
    std::int32_t Volume() const { return volume; }
    std::int32_t Pan() const { return pan; }
    bool Muted() const { return mute != 0; }
    std::uint32_t SampleRate() const { return sampleRate; }
    std::uint8_t Number() const { return channelNumber; }

  private:
    std::vector<Control> controls;
    std::array<std::int32_t, 3> effectLevel{32, 32, 32};  // 0..64
    std::array<std::uint8_t, 3> effectEnable{0, 0, 0};
    std::uint8_t channelNumber = 0;  // 1-based
    std::vector<std::int32_t> renderBuffer;
    const std::uint32_t* masterVolume = nullptr;
    std::int32_t gain = 48;    // 0..64, applied as × v >> 6
    std::int32_t volume = 48;  // 0..64
    std::int32_t pan = 128;    // 0..255, 128 = centre; applied as × p >> 8
    std::uint8_t mute = 0;
    std::uint8_t dry = 0;
    std::uint32_t sampleRate = 44100;
};

}  // namespace sound
