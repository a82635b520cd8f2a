#pragma once
// The synthesiser's sound parameters and their 159-byte patch form.

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

namespace sound {

constexpr std::size_t PATCH_BYTES = 159;
// The pitch bend is a power of the bend base; outside these it has no musical meaning, and
// a base of 0 or below has none at all.
constexpr std::int32_t MIN_BEND_BASE = 1;
constexpr std::int32_t MAX_BEND_BASE = 12;

// Field order is file order. Defaults are a freshly built synthesiser's.
struct Patch {
    std::array<std::uint8_t, 3> waveform{0, 0, 0};  // OSC1, OSC2, FM: 0 None .. 4 Tri
    std::array<double, 3> pitch{0, 0, -12};         // semitone offsets
    std::int32_t noiseLevel = 0;                    // 0..64
    std::array<std::int32_t, 3> level{64, 64, 64};  // 0..64, applied as × v >> 6
    std::uint8_t mono = 1;
    std::uint8_t filterEnvelopeOn = 0;
    std::uint8_t ampEnvelopeOn = 0;
    std::uint8_t lfoOn = 0;
    std::array<double, 4> ampEnvelope{0, 0.1, 1.0,
                                      0.2};  // attack s, decay s, sustain 0..1, release s
    std::array<double, 4> filterEnvelope{0, 0.1, 1.0, 0.2};  // the same
    float lfoSpeed = 0;                                      // cycles per second
    std::int32_t vibrato = 0;                                // 0..64
    std::int32_t tremolo = 0;                                // 0..64
    std::int32_t wahWah = 0;                                 // 0..64
    std::int32_t lfoAttack = 0;    // 0..64, fade-in of value × 0.078125 s
    std::int32_t lfoWaveform = 1;  // 1 Sine, 2 Square, 3 Tri, 6 Rand
    std::int32_t resonance = 0;    // 0..256
    std::int32_t cutoff = 1000;    // 0..32768, a 15-bit filter coefficient
    double pitchBend = 0;          // exponent of the bend base, in twelfths
    std::int32_t portamento = 0;   // glide length in blocks
    std::int32_t bendBase = 2;     // 1..12

    bool operator==(const Patch&) const = default;
};

void WritePatch(std::ostream& out, const Patch& patch);

// Reads 159 bytes and checks them. A short read, a waveform above 4, an unknown LFO
// waveform, a bend base outside 1..12 or a NaN/infinite number refuses the patch (false, `error`
// says why); a resonance outside 0..256 reads as 128 and a cutoff outside 0..32768 as 16384.
bool ReadPatch(std::istream& in, Patch& patch, std::string& error);

}  // namespace sound
