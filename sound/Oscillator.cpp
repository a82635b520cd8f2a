#include "sound/Oscillator.h"

#include <cmath>

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
    for (std::int32_t& value : out) {
        std::int32_t index = phase >> 15;
        if (waveform == LFO_RAND) {
            if (index != lastIndex) heldRandom = static_cast<std::int32_t>(NextRandom());
            value = heldRandom;
        } else {
            value = table[index];
        }
        lastIndex = index;
        phase += increment;
        if (phase >= WRAP) phase -= WRAP;
    }
}

}  // namespace sound
