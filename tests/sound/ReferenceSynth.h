#pragma once
// A deliberately plain model of the synthesiser's arithmetic: one frame at a time, one voice
// at a time, every step written out in full, with nothing shared with the engine's renderer
// but the envelope classes. Tests render the same notes through both.

#include <array>
#include <cstdint>
#include <span>

#include "sound/Envelope.h"
#include "sound/PolySynth.h"

namespace soundtest {

class ReferenceSynth {
  public:
    // Takes the parameters, tables and sample rate of `model` as they stand; envelopes and
    // other parameters must not change afterwards.
    explicit ReferenceSynth(const sound::PolySynth& model);

    int NoteOn(int note, int velocity);
    void NoteOff(int note);
    bool Render(std::span<std::int32_t> out);

    // Set when the filter's 32-bit arithmetic would have overflowed (the model is then no
    // longer the plain 32-bit one).
    bool overflowed = false;

  private:
    struct Osc {
        const std::int16_t* data = nullptr;
        std::int64_t end = 0, loopStart = 0, loopEnd = 0;
        std::uint8_t loopMode = 0;
        std::int32_t step = 0, targetStep = 0, glide = 0, position = 0, level = 0;
        bool finished = false;
        std::int32_t Next(std::int32_t d);
    };
    struct Voice {
        bool idle = true;
        int note = 0;
        std::uint32_t startNumber = 0;
        std::int32_t gain = 64, portamento = 0, keyFrequency = 0;
        sound::Adsr amp, filter;
        std::int32_t s0 = 0, s1 = 0;
        std::array<Osc, 3> osc;
        int count = 0;
        bool fmOn = false;
    };

    std::int32_t Step(const sound::Sample& table, double frequency) const;
    void Start(Voice& v, int note);
    std::int32_t VoiceSample(Voice& v, std::int32_t vibrato);
    std::int32_t Filter(Voice& v, std::int32_t x, std::int32_t c);
    std::int32_t Rand();
    std::int32_t Frame(std::int32_t lfoValue, std::int32_t ramp);

    sound::Patch patch;
    std::array<const sound::Sample*, 3> tables;
    std::uint32_t rate;
    std::array<Voice, 24> voices;
    std::uint32_t startCounter = 0;
    int lastNote = 0;
    std::uint32_t randState = 22222;
    sound::Envelope lfoRamp;
    std::array<std::int32_t, 1024> lfoTable{};
    std::int32_t lfoPhase = 0, lfoIncrement = 0;
    std::int32_t cachedC = -1, cachedQ = -1, cachedFb = 0;
};

}  // namespace soundtest
