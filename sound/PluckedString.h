#pragma once
// A plucked guitar string, synthesised with an extended Karplus–Strong model: a noise
// burst shaped by the pick's brightness and position excites a delay line tuned to the
// string, whose loop filter damps the high partials; a few body resonances colour it.
// This makes the guitar recordings the string instruments play.

#include <array>
#include <cstdint>
#include <vector>

#include "sound/Sampler.h"

namespace sound {

// MIDI notes of the open strings in standard tuning, string 0 (low E) first.
constexpr std::array<int, 6> STANDARD_OPEN_NOTES = {40, 45, 50, 55, 59, 64};

struct PluckSettings {
    double frequency = 110.0;
    std::uint32_t sampleRate = 22050;
    double seconds = 3.0;
    double pickPosition = 0.18;   // fraction of the string from the bridge
    double pickBrightness = 0.6;  // 0 dull .. 1 bright
    double decaySeconds = 4.0;    // time for the fundamental to fall 60 dB
    double damping = 0.5;         // loop filter weight: more damps high partials faster
    double bodyMix = 0.25;
    std::uint32_t seed = 1;
    std::int16_t peak = 24000;
};

std::vector<std::int16_t> RenderPluckedString(const PluckSettings& settings);

// The pluck settings of guitar string 0..5 at its open pitch.
PluckSettings GuitarStringSettings(int string);

// Makes `sampler` the instrument of guitar string 0..5: its recording at the open pitch
// (root 440, so note 69 plays it unshifted), one-shot, with a patch that lets a short
// note ring out.
void ConfigureGuitarString(Sampler& sampler, int string);

}  // namespace sound
