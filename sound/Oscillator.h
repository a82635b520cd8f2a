#pragma once
// The sample player every voice is built from, and the low-frequency oscillator.

#include <array>
#include <cstdint>
#include <span>

#include "sound/Sample.h"

namespace sound {

// Steps are capped so that position + step + modulation stays inside 32 bits.
constexpr std::int32_t MAX_OSCILLATOR_STEP = 1 << 28;

// Converts a step in 20.12 source frames per output frame to an integer, safely.
std::int32_t ToStep(double step);

class Oscillator {
  public:
    // Plays `table` at `frequency` Hz into output frames at `outputRate`.
    void Start(const Sample& table, double frequency, double outputRate, std::int32_t level);
    // Computes the step this oscillator would have for `frequency`.
    std::int32_t StepFor(double frequency) const;
    void Stop() { inUse = false; }

    // The next sample, interpolated; `modulation` bends this sample's step (20.12).
    std::int32_t Next(std::int32_t modulation) {
        if (!data) return 0;
        if (loopMode == Sample::LOOP_POINTS && position >= loopEnd) {
            position = position - loopEnd + loopStart;
        }
        if (position >= end) {
            if (loopMode == Sample::ONE_SHOT) {
                finished = true;
                return 0;
            }
            position %= end;
        }
        std::int32_t i = position >> 12;
        std::int32_t f = position & 4095;
        std::int32_t next = position + 4096 >= end ? 0 : i + 1;
        lastValue = (data[i] * (4096 - f) + data[next] * f) >> 12;
        position += step + modulation;
        if (position < 0) position = 0;  // a deep modulation never reads before the start
        return lastValue;
    }

    // The plain case of Next(0) × level >> 6 over a block: writes `out` and returns the
    // frames written before a one-shot ran out (out.size() when it did not).
    std::size_t RenderPlain(std::span<std::int32_t> out);
    // Next(modulation[f]) for each frame, for an oscillator that loops the whole sample.
    void RenderLooping(std::span<std::int32_t> out, const std::int32_t* modulation);
    bool IsPlain() const { return data != nullptr; }
    bool IsLooping() const { return data != nullptr && loopMode == Sample::LOOP_ALL; }

    // Moves the step one glide increment toward its target.
    void Glide();
    // Retunes by a factor of the base step (pitch bend).
    void Bend(double factor);

    bool InUse() const { return inUse; }
    bool Finished() const { return finished; }
    std::int32_t Level() const { return level; }
    std::int32_t Step() const { return step; }
    std::int32_t TargetStep() const { return targetStep; }
    std::int32_t Position() const { return position; }
    void SetStep(std::int32_t value) { step = value; }
    void SetGlideIncrement(std::int32_t value) { glideIncrement = value; }

  private:
    double base = 0;  // (source rate << 12) × frequency / root frequency
    double outputRate = 0;
    std::int32_t step = 0;      // 20.12 source frames per output frame
    std::int32_t position = 0;  // 20.12
    std::int32_t end = 0;       // 20.12, length << 12
    std::int32_t lastValue = 0;
    bool finished = false;
    std::int32_t loopStart = 0;  // 20.12
    std::int32_t loopEnd = 0;    // 20.12
    std::int32_t level = 0;      // 0..64, applied as × v >> 6
    std::int32_t targetStep = 0;
    std::int32_t glideIncrement = 0;  // step change per block
    bool inUse = false;
    const std::int16_t* data = nullptr;  // not owned: a wavetable or the sampler's sample
    std::uint8_t loopMode = Sample::ONE_SHOT;
    double sourceRate = 0;
    double rootFrequency = 1;
};

enum LfoWaveform : std::int32_t { LFO_SINE = 1, LFO_SQUARE = 2, LFO_TRI = 3, LFO_RAND = 6 };

bool IsLfoWaveform(std::int32_t waveform);

// A unipolar (0..32767) low-frequency oscillator reading a 1024-entry table.
class LfoOscillator {
  public:
    static constexpr std::int32_t TABLE_SIZE = 1024;
    static constexpr std::int32_t WRAP = TABLE_SIZE << 15;  // phase: 15 fraction bits per entry

    void Build(std::uint32_t sampleRate, std::int32_t waveform);
    void SetSpeed(double cyclesPerSecond);
    void Render(std::span<std::int32_t> out);
    std::int32_t Waveform() const { return waveform; }
    std::int32_t Increment() const { return increment; }

  private:
    std::uint32_t NextRandom();

    std::int32_t waveform = LFO_SINE;
    std::int32_t lastIndex = -1;
    std::int32_t heldRandom = 0;
    std::uint32_t sampleRate = 44100;
    std::int32_t phase = 0;
    std::array<std::int32_t, TABLE_SIZE> table{};
    std::int32_t increment = 0;
    std::uint32_t randomState = 0x2545F491;
};

}  // namespace sound
