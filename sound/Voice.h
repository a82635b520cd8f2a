#pragma once
// One sounding note of a synthesiser: up to two pitched oscillators and a frequency
// modulator, a resonant low-pass filter and two envelopes.

#include <array>
#include <cstdint>

#include "sound/Envelope.h"
#include "sound/Oscillator.h"

namespace sound {

// Bounds of the filter's first stage, worked in 64 bits. A stage beyond them does not fit the
// 32 bits the arithmetic is defined in, which had therefore already overflowed: clamping there
// changes no sample that 32 bits define and only stops an unstable resonance running away.
constexpr std::int64_t LOWPASS_STAGE_MIN = INT32_MIN;
constexpr std::int64_t LOWPASS_STAGE_MAX = INT32_MAX;

struct LowpassState {
    std::int32_t s0 = 0;
    std::int32_t s1 = 0;        // clamped to 16 bits
    std::int32_t feedback = 0;  // cached for lastCutoff and lastResonance; 8.8
    std::int32_t lastCutoff = -1;
    std::int32_t lastResonance = -1;
};

// Resonant two-stage low-pass: resonance q 0..256, coefficient c 0..32768 (15 bits).
inline std::int32_t Lowpass(LowpassState& st, std::int32_t x, std::int32_t q, std::int32_t c) {
    if (c > 32760) c = 32760;
    if (c < 0) c = 0;
    if (c != st.lastCutoff || q != st.lastResonance) {
        std::int32_t fb = q + (q * 32768) / (32768 - c);
        st.feedback = fb > 512 ? 512 : fb;
        st.lastCutoff = c;
        st.lastResonance = q;
    }
    // 64-bit products: with full feedback the first stage can swing far past 16 bits.
    std::int64_t s0 = st.s0, s1 = st.s1;
    s0 += (((x >> 2) + (((s0 - s1) * st.feedback) >> 8) - s0) * c) >> 15;
    if (s0 > LOWPASS_STAGE_MAX) s0 = LOWPASS_STAGE_MAX;
    if (s0 < LOWPASS_STAGE_MIN) s0 = LOWPASS_STAGE_MIN;
    s1 += ((s0 - s1) * c) >> 15;
    if (s1 > 32767) s1 = 32767;
    if (s1 < -32768) s1 = -32768;
    st.s0 = static_cast<std::int32_t>(s0);
    st.s1 = static_cast<std::int32_t>(s1);
    return st.s1 * 4;
}

// A plain record: the synthesiser drives it.
struct Voice {
    enum Slot { SLOT_1 = 0, SLOT_2 = 1, SLOT_FM = 2 };

    // gain = v for 0..64, else 64.
    void SetVelocity(int v) { gain = v >= 0 && v <= 64 ? v : 64; }

    // The next sample before filter and envelopes; marks the voice idle when a one-shot runs out.
    std::int32_t NextSample(std::int32_t vibrato) {
        if (oscillatorCount == 0) return 0;
        Oscillator& o0 = oscillators[SLOT_1];
        Oscillator& o1 = oscillators[SLOT_2];
        if (fmOn) {
            Oscillator& fm = oscillators[SLOT_FM];
            std::int32_t f = fm.Next(0);
            if (o0.Finished()) return GoIdle();
            std::int32_t d = vibrato + ((f * fm.Level()) >> 6);
            std::int32_t s;
            if (oscillatorCount == 2) {
                if (o1.Finished()) return GoIdle();
                s = (o1.Level() * o1.Next(vibrato) + o0.Next(d) * o0.Level()) >> 6;
            } else {
                s = (o0.Next(d) * o0.Level()) >> 6;
            }
            return s < -32768 ? -32768 : s > 32767 ? 32767 : s;
        }
        if (oscillatorCount == 2 && !o0.Finished() && !o1.Finished()) {
            return (o1.Level() * o1.Next(vibrato) + o0.Level() * o0.Next(vibrato)) >> 6;
        }
        if (oscillatorCount == 1 && !o0.Finished()) return (o0.Level() * o0.Next(vibrato)) >> 6;
        return GoIdle();
    }

    std::int32_t GoIdle() {
        idle = true;
        return 0;
    }

    bool idle = true;
    int note = 0;
    std::uint32_t startNumber = 0;
    std::int32_t gain = 64;         // 0..64, applied as × v >> 6
    std::int32_t portamento = 0;    // blocks
    std::int32_t keyFrequency = 0;  // Hz, capped to the filter's range
    Adsr ampEnvelope;
    Adsr filterEnvelope;
    LowpassState filter;
    std::array<Oscillator, 3> oscillators;
    std::uint32_t oscillatorCount = 0;  // pitched oscillators in use, 0..2
    bool fmOn = false;
};

}  // namespace sound
