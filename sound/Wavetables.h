#pragma once
// The generated waveforms every synthesiser plays, and the smoothing that rounds their corners.

#include <array>
#include <cstdint>
#include <span>

#include "sound/Sample.h"

namespace sound {

enum Waveform : std::uint8_t {
    WAVE_NONE = 0,
    WAVE_SINE = 1,
    WAVE_SQUARE = 2,
    WAVE_SAW = 3,
    WAVE_TRI = 4
};

constexpr std::uint32_t WAVETABLE_LENGTH = 800;
constexpr std::uint32_t WAVETABLE_RATE = 44100;
constexpr int WAVETABLE_ROOT_NOTE = 33;  // 55 Hz: 800 frames at 44100 Hz

// A three-pole smoothing pass over `table`, in place, clamped to 16 bits.
void SmoothTable(std::span<std::int32_t> table, double a, double b);

// Builds one of the four wavetables (Sine, Square, Saw, Tri).
void BuildWavetable(Waveform type, Sample& out);

// The four tables, built once and shared read-only by every synthesiser: index = waveform − 1.
const std::array<Sample, 4>& SharedWavetables();

}  // namespace sound
