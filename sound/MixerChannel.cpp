#include "sound/MixerChannel.h"

#include <algorithm>

#include "sound/MixerLock.h"

namespace sound {

namespace {

std::int16_t Clip(std::int32_t v) {
    return static_cast<std::int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

}  // namespace

MixerChannel::MixerChannel() {
    name = "Mixer Channel";
    Control title = Title(0, 0, 10, 10, "Channel: 00");
    title.attribute1 = 1;
    controls.push_back(title);
    Control vol = Slider(1, 0, 32, 96, 0, 64, 48, 192, 140, "Volume");
    vol.kind = KIND_SLIDER_2;
    controls.push_back(vol);
    controls.push_back(Slider(2, 0, 32, 48, -128, 128, 0, 192, 0, "Pan"));
    controls.push_back(Slider(3, 0, 192, 90, 0, 64, 32, 192, 0, "Effect 1"));
    controls.push_back(Slider(4, 0, 192, 162, 0, 64, 32, 192, 0, "Effect 2"));
    controls.push_back(Slider(5, 0, 192, 234, 0, 64, 32, 192, 0, "Effect 3"));
    controls.push_back(Box(6, 0, 88, 34, 0, 4, 1, "Mute"));
    controls.push_back(Box(7, 0, 146, 34, 0, 4, 0, "Dry"));
    controls.push_back(Box(8, 0, 80, 79, 0, 52, 4, "Enable"));
    controls.push_back(Box(9, 0, 80, 151, 0, 52, 4, "Enable"));
    controls.push_back(Box(10, 0, 80, 223, 0, 52, 4, "Enable"));
}

void MixerChannel::Prepare(std::uint32_t rate, std::size_t framesPerBlock,
                           const std::uint32_t* master, std::uint8_t number) {
    sampleRate = rate;
    renderBuffer.assign(framesPerBlock, 0);
    masterVolume = master;
    channelNumber = number;
    // Each channel keeps its own title text.
    std::string title = "Channel: ";
    if (number < 10) title += '0';
    controls[0].label = title + std::to_string(number);
}

void MixerChannel::SetVolume(std::uint32_t v) {
    auto guard = HoldMixerLock();
    volume = static_cast<std::int32_t>(std::min<std::uint32_t>(v, 64));
    std::uint32_t master = masterVolume ? *masterVolume : 64;
    gain = static_cast<std::int32_t>((master * static_cast<std::uint32_t>(volume)) >> 6);
    SetControlValue(controls, 1, volume);
}

void MixerChannel::SetPan(std::int32_t p) {
    auto guard = HoldMixerLock();
    // Taken unsigned: anything below −128 wraps high and ends at 255.
    std::uint32_t shifted = static_cast<std::uint32_t>(p) + 128u;
    pan = static_cast<std::int32_t>(std::min<std::uint32_t>(shifted, 255));
    SetControlValue(controls, 2, pan - 128);
}

void MixerChannel::SetMute(bool on) {
    auto guard = HoldMixerLock();
    mute = on ? 1 : 0;
    SetControlValue(controls, 6, mute);
}

int MixerChannel::SetEffectEnable(int, bool) {
    // No effect slot is ever occupied.
    return 0;
}

int MixerChannel::OnControlChanged(const ControlChange& change) {
    auto guard = HoldMixerLock();
    const auto value = static_cast<std::int32_t>(change.value);
    switch (change.id) {
        case 1:
            SetVolume(static_cast<std::uint32_t>(value));
            return 1;
        case 2:
            SetPan(change.mode == 32768 ? value * 4 - 128 : value);
            return 1;
        case 3:
        case 4:
        case 5:
            effectLevel[change.id - 3] = value;
            SetControlValue(controls, change.id, value);
            return 1;
        case 6:
            SetMute(value != 0);
            return 1;
        case 7:
            dry = value != 0;
            SetControlValue(controls, 7, dry);
            return 1;
        case 8:
        case 9:
        case 10:
            return SetEffectEnable(change.id - 8, value != 0);
        default:
            return 1;
    }
}

void MixerChannel::Render(std::span<std::int16_t> out, bool stereo) {
    if (!instrument || mute) return;
    std::size_t frames = std::min(renderBuffer.size(), out.size() >> (stereo ? 1 : 0));
    std::span<std::int32_t> block(renderBuffer.data(), frames);
    // No effect slot is ever occupied, so a silent instrument adds nothing.
    if (!instrument->Render(block)) return;
    if (!stereo) {
        for (std::size_t i = 0; i < frames; ++i) {
            std::int32_t s = block[i];
            if (s != 0) out[i] = Clip(out[i] + ((gain * s) >> 6));
        }
        return;
    }
    for (std::size_t i = 0; i < frames; ++i) {
        std::int32_t s = block[i];
        if (s == 0) continue;
        std::int32_t v = (s * gain) >> 6;
        std::int32_t left, right;
        if (pan == 128) {
            left = v >> 1;
            right = v >> 1;
        } else {
            left = (v * (255 - pan)) >> 8;
            right = (v * pan) >> 8;
        }
        out[2 * i] = Clip(out[2 * i] + left);
        out[2 * i + 1] = Clip(out[2 * i + 1] + right);
    }
}

}  // namespace sound
