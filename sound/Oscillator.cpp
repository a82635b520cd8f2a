#include "sound/Oscillator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "sound/Wavetables.h"

namespace sound {

std::int32_t ToStep(double step) {
    if (!(step > 0)) return 0;  // also NaN
    if (step >= MAX_OSCILLATOR_STEP) return MAX_OSCILLATOR_STEP;
    return static_cast<std::int32_t>(step);
}

void Oscillator::Start(const Sample& table, double frequency, double rate, std::int32_t lvl) {
    std::span<const std::int16_t> frames = table.Data();
    data = frames.empty() ? nullptr : frames.data();
    sourceRate = table.SampleRate();
    rootFrequency = table.RootFrequency() == 0 ? 1 : table.RootFrequency();
    outputRate = rate;
    base = sourceRate * 4096.0 * frequency / rootFrequency;
    step = targetStep = StepFor(frequency);
    glideIncrement = 0;
    position = 0;
    lastValue = 0;
    finished = false;
    end = static_cast<std::int32_t>(frames.size() << 12);
    loopStart = static_cast<std::int32_t>(table.LoopStart() << 12);
    loopEnd = static_cast<std::int32_t>(table.LoopEnd() << 12);
    loopMode = table.GetLoopMode();
    level = lvl;
    inUse = true;
}

std::int32_t Oscillator::StepFor(double frequency) const {
    if (outputRate <= 0) return 0;
    return ToStep(sourceRate * 4096.0 * frequency / rootFrequency / outputRate);
}

namespace {

// Interpolates between source frames i and `next` at fraction f (12 bits).
inline std::int32_t Interpolate(const std::int16_t* d, std::int32_t i, std::int32_t next,
                                std::int32_t f) {
    return (d[i] * (4096 - f) + d[next] * f) >> 12;
}

#if defined(__SSE2__)
// Source frames i and i + 1 as one word, frame i in the low half.
inline std::int32_t FramePair(const std::int16_t* d, std::uint32_t i) {
    std::int32_t pair;
    std::memcpy(&pair, d + i, sizeof pair);
    return pair;
}

// Four frames of StraightRun at a time. Each product in it is 16 × 16 bits: a pair of
// source frames against the weights (4096 − f, f), then the interpolated value (16 bits)
// against the level, so one multiply-add makes each exactly.
std::size_t StraightRunByFours(const std::int16_t* d, std::int32_t& pos, std::int32_t st,
                               std::int32_t lvl, std::int32_t* out, std::size_t run) {
    if (run < 4) return 0;
    // Unsigned, as positions here never are negative: indices then need no sign extension.
    std::uint32_t p = static_cast<std::uint32_t>(pos);
    const std::uint32_t s = static_cast<std::uint32_t>(st);
    const __m128i level = _mm_set1_epi32(lvl), fraction = _mm_set1_epi32(4095),
                  whole = _mm_set1_epi32(4096), step4 = _mm_set1_epi32(4 * st);
    __m128i at = _mm_setr_epi32(pos, pos + st, pos + 2 * st, pos + 3 * st);
    std::size_t k = 0;
    for (; k + 4 <= run; k += 4) {
        __m128i pairs =
            _mm_setr_epi32(FramePair(d, p >> 12), FramePair(d, (p + s) >> 12),
                           FramePair(d, (p + 2 * s) >> 12), FramePair(d, (p + 3 * s) >> 12));
        p += 4 * s;
        __m128i f = _mm_and_si128(at, fraction);
        __m128i weights = _mm_add_epi32(_mm_slli_epi32(f, 16), _mm_sub_epi32(whole, f));
        __m128i value = _mm_srai_epi32(_mm_madd_epi16(pairs, weights), 12);
        value = _mm_srai_epi32(_mm_madd_epi16(value, level), 6);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), value);
        at = _mm_add_epi32(at, step4);
    }
    pos = static_cast<std::int32_t>(p);
    return k;
}
#endif

// (lvl × Interpolate) >> 6 for `run` frames from `pos`, all of them before the last source
// frame, so that neither the end check nor the wrap of the interpolation is needed.
void StraightRun(const std::int16_t* d, std::int32_t& pos, std::int32_t st, std::int32_t lvl,
                 std::int32_t* out, std::size_t run) {
    std::size_t k = 0;
#if defined(__SSE2__)
    // The level must fit the multiply-add's 16 bits; the synthesiser's 0..64 always does.
    if (lvl >= 0 && lvl <= 64) k = StraightRunByFours(d, pos, st, lvl, out, run);
#endif
    for (; k < run; ++k) {
        out[k] = (lvl * Interpolate(d, pos >> 12, (pos >> 12) + 1, pos & 4095)) >> 6;
        pos += st;
    }
}

}  // namespace

std::size_t Oscillator::RenderPlain(std::span<std::int32_t> out) {
    const std::int16_t* d = data;
    std::int32_t pos = position;
    const std::int32_t e = end, st = step, lvl = level;
    // Frames before this position take none of Next's turns: no jump back to the loop
    // start, no end check and no wrap of the interpolation.
    std::int64_t straight = std::int64_t{e} - 4096;
    if (loopMode == Sample::LOOP_POINTS) straight = std::min<std::int64_t>(straight, loopEnd);
    const std::size_t n = out.size();
    std::size_t f = 0;
    while (f < n) {
        // Steps are never negative, so the frames of a straight run are counted once.
        std::int64_t room = straight - pos;
        std::size_t run = room <= 0 ? 0
                          : st == 0 ? n - f
                                    : static_cast<std::size_t>((room + st - 1) / st);
        run = std::min(run, n - f);
        StraightRun(d, pos, st, lvl, &out[f], run);
        f += run;
        if (f == n) break;
        if (loopMode == Sample::LOOP_POINTS && pos >= loopEnd) pos = pos - loopEnd + loopStart;
        if (pos >= e) {
            if (loopMode == Sample::ONE_SHOT) {
                finished = true;
                break;
            }
            pos %= e;
        }
        std::int32_t next = pos + 4096 >= e ? 0 : (pos >> 12) + 1;
        out[f++] = (lvl * Interpolate(d, pos >> 12, next, pos & 4095)) >> 6;
        pos += st;
    }
    position = pos;
    return f;
}

void Oscillator::RenderLooping(std::span<std::int32_t> out, const std::int32_t* modulation) {
    const std::int16_t* d = data;
    std::int32_t pos = position;
    const std::int32_t e = end, st = step;
    std::int32_t value = lastValue;
    for (std::size_t f = 0; f < out.size(); ++f) {
        if (pos >= e) pos %= e;
        std::int32_t next = pos + 4096 >= e ? 0 : (pos >> 12) + 1;
        value = Interpolate(d, pos >> 12, next, pos & 4095);
        out[f] = value;
        pos += st + modulation[f];
        if (pos < 0) pos = 0;
    }
    lastValue = value;
    position = pos;
}

void Oscillator::Glide() {
    if (step < targetStep) {
        step = targetStep - step > glideIncrement ? step + glideIncrement : targetStep;
    } else if (step > targetStep) {
        step = step - targetStep > glideIncrement ? step - glideIncrement : targetStep;
    }
}

void Oscillator::Bend(double factor) {
    if (outputRate <= 0) return;
    step = targetStep = ToStep(base * factor / outputRate);
}

bool IsLfoWaveform(std::int32_t waveform) {
    return waveform == LFO_SINE || waveform == LFO_SQUARE || waveform == LFO_TRI ||
           waveform == LFO_RAND;
}

void LfoOscillator::Build(std::uint32_t rate, std::int32_t shape) {
    sampleRate = rate == 0 ? 1 : rate;
    waveform = shape;
    phase = 0;
    lastIndex = -1;
    heldRandom = 0;
    if (shape == LFO_SINE) {
        for (std::int32_t i = 0; i < TABLE_SIZE; ++i) {
            table[i] =
                static_cast<std::int32_t>(16383 * std::sin(6.28318 * i / TABLE_SIZE) + 16384);
        }
    } else if (shape == LFO_TRI) {
        double x = 1.0;
        for (std::int32_t& v : table) {
            v = static_cast<std::int32_t>(x * 32767);
            x -= 1.0 / TABLE_SIZE;
        }
        SmoothTable(table, 25.0, 0.5);
    } else {
        // Square; Rand builds it too but reads random values instead.
        for (std::int32_t i = 0; i < TABLE_SIZE; ++i)
            table[i] = (i > 256 && i < 768) ? 32767 : 0;
        if (shape == LFO_SQUARE) SmoothTable(table, 25.0, 0.5);
    }
}

void LfoOscillator::SetSpeed(double cyclesPerSecond) {
    double inc = static_cast<double>(WRAP) * cyclesPerSecond / sampleRate;
    // Negative or absurd speeds would step outside the table.
    increment = !(inc > 0) ? 0 : inc >= WRAP ? WRAP - 1 : static_cast<std::int32_t>(inc);
}

std::uint32_t LfoOscillator::NextRandom() {
    randomState = randomState * 1103515245u + 12345u;
    return (randomState >> 16) & 0x7FFF;
}

void LfoOscillator::Render(std::span<std::int32_t> out) {
    // Locals: `out` could alias the members, which would be reloaded at every store.
    std::int32_t p = phase;
    const std::int32_t inc = increment;
    if (waveform == LFO_RAND) {
        std::int32_t last = lastIndex, held = heldRandom;
        for (std::int32_t& value : out) {
            std::int32_t index = p >> 15;
            if (index != last) held = static_cast<std::int32_t>(NextRandom());
            value = held;
            last = index;
            p += inc;
            if (p >= WRAP) p -= WRAP;
        }
        lastIndex = last;
        heldRandom = held;
    } else {
        // The last index matters only to Rand, and Build resets it when the shape changes.
        const std::int32_t* t = table.data();
        for (std::int32_t& value : out) {
            value = t[p >> 15];
            p += inc;
            if (p >= WRAP) p -= WRAP;
        }
    }
    phase = p;
}

}  // namespace sound
