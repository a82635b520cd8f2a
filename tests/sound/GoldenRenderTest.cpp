// Fingerprints of rendered sound. The numbers were taken from the plain sample-by-sample
// renderer; faster rendering must leave every sample, and every voice's state, as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "sound/PluckedString.h"
#include "sound/Sampler.h"
#include "sound/Wavetables.h"

namespace sound {
namespace {

constexpr std::uint32_t RATE = 22050;

// Renders in blocks of changing sizes, so that block edges fall inside attacks, at
// one-shot ends and across the synthesiser's chunking, and folds every frame into a hash.
class Fingerprint {
  public:
    explicit Fingerprint(PolySynth& instrument) : instrument(instrument) {}

    void Frames(std::size_t n) {
        while (n > 0) {
            std::size_t size = std::min(n, SIZES[next++ % SIZES.size()]);
            block.assign(size, 0x5A5A5A5A);
            if (!instrument.Render(block)) std::fill(block.begin(), block.end(), 0);
            for (std::int32_t v : block) {
                Fold(static_cast<std::uint32_t>(v));
                peak = std::max(peak, v < 0 ? -v : v);
            }
            n -= size;
        }
        // A sounding voice's state carries into later blocks, so it is part of the print
        // too; an idle voice's is dropped at its next start.
        for (int i = 0; i < PolySynth::VOICE_COUNT; ++i) {
            const Voice& v = instrument.GetVoice(i);
            Fold(v.idle);
            if (v.idle) continue;
            Fold(static_cast<std::uint32_t>(v.ampEnvelope.Level()));
            Fold(static_cast<std::uint32_t>(v.filterEnvelope.Level()));
            Fold(static_cast<std::uint32_t>(v.filter.s0));
            Fold(static_cast<std::uint32_t>(v.filter.s1));
            for (const Oscillator& o : v.oscillators) {
                if (o.InUse()) Fold(static_cast<std::uint32_t>(o.Position()));
            }
        }
    }

    std::uint64_t hash = 0xCBF29CE484222325ull;
    std::int32_t peak = 0;

  private:
    void Fold(std::uint32_t v) { hash = (hash ^ v) * 0x100000001B3ull; }

    static constexpr std::array<std::size_t, 7> SIZES = {356, 1, 97, 2048, 355, 1024, 5};
    PolySynth& instrument;
    std::vector<std::int32_t> block;
    std::size_t next = 0;
};

// Every path at once: two oscillators and FM, noise, resonant filter with its envelope,
// the LFO on all three destinations, portamento in mono mode, bend and aftertouch.
TEST(GoldenRenderTest, SynthWithEverythingOn) {
    PolySynth synth;
    synth.SetSampleRate(RATE);
    synth.SetWaveform(0, WAVE_SAW);
    synth.SetWaveform(1, WAVE_SQUARE);
    synth.SetWaveform(2, WAVE_SINE);
    synth.SetPitch(1, 0.2);
    synth.SetLevels(40, 30, 20, 3);
    synth.SetPolyphony(0);
    synth.SetPortamento(40);
    synth.SetAmpEnvelope(0.01, 0.1, 0.7, 0.3, true);
    synth.SetFilterEnvelope(0.02, 0.2, 0.4, 0.5, true);
    synth.SetCutoff(12000);
    synth.SetResonance(200);
    synth.SetLfo(LFO_SINE, 5.5, 4, 16, 20, 24, true);
    Fingerprint print(synth);
    synth.NoteOn(57, 56);
    print.Frames(5000);
    synth.NoteOn(64, 60);
    print.Frames(8000);
    synth.SetPitchBend(1.5);
    print.Frames(3000);
    synth.NoteOff(64);
    print.Frames(12000);
    synth.NoteOn(45, 64);
    synth.SetAftertouch(30);
    print.Frames(4000);
    synth.AllNotesOff();
    print.Frames(10000);
    EXPECT_GT(print.peak, 5000);
    EXPECT_EQ(print.hash, 1974288757288925975ull);
}

// Many voices through the filter without the LFO (the cutoff follows the key), a wild
// resonance, retriggered notes, stolen voices and voices that run out.
TEST(GoldenRenderTest, PolyphonicFilterWithoutLfo) {
    PolySynth synth;
    synth.SetSampleRate(RATE);
    synth.SetWaveform(0, WAVE_TRI);
    synth.SetWaveform(1, WAVE_SAW);
    synth.SetPitch(1, -7.1);
    synth.SetLevels(64, 50, 0, 0);
    synth.SetPolyphony(1);
    synth.SetAmpEnvelope(0, 0.05, 0.5, 0.15, true);
    synth.SetFilterEnvelope(0, 0.3, 0.2, 0.3, true);
    synth.SetCutoff(32768);
    synth.SetResonance(256);
    Fingerprint print(synth);
    for (int n : {40, 44, 47, 52}) {
        synth.NoteOn(n, 50);
        print.Frames(700);
    }
    synth.NoteOn(47, 64);
    print.Frames(3000);
    synth.NoteOff(40);
    synth.NoteOff(44);
    print.Frames(2000);
    for (int n = 0; n < 30; ++n) {
        synth.NoteOn(30 + 2 * n, 20 + n);
        print.Frames(60);
    }
    print.Frames(4000);
    synth.AllNotesOff();
    print.Frames(6000);
    // Sustain 0 ends a note at once on release; sustain 1 holds the peak.
    synth.SetAmpEnvelope(0.002, 0.01, 0.0, 0.5, true);
    synth.NoteOn(60, 64);
    print.Frames(1500);
    synth.NoteOff(60);
    synth.SetAmpEnvelope(0.002, 0.01, 1.0, 0.05, true);
    synth.NoteOn(61, 64);
    print.Frames(900);
    synth.NoteOff(61);
    print.Frames(3000);
    EXPECT_GT(print.peak, 5000);
    EXPECT_EQ(print.hash, 12657178506800433091ull);
}

// The LFO's other shapes, with the amplitude envelope off, noise and no filter.
TEST(GoldenRenderTest, LfoShapesWithoutAmpEnvelope) {
    PolySynth synth;
    synth.SetSampleRate(RATE);
    synth.SetWaveform(0, WAVE_SINE);
    synth.SetWaveform(1, WAVE_NONE);
    synth.SetWaveform(2, WAVE_TRI);
    synth.SetPitch(2, 7);
    synth.SetLevels(64, 0, 48, 10);
    synth.SetPolyphony(1);
    synth.SetAmpEnvelope(0, 0.1, 1.0, 0.2, false);
    Fingerprint print(synth);
    for (std::int32_t shape : {LFO_SQUARE, LFO_TRI, LFO_RAND, LFO_SINE}) {
        synth.SetLfo(shape, 7.0, 8, 40, 50, 0, true);
        synth.NoteOn(50 + shape, 64);
        print.Frames(4000);
    }
    synth.SetLfo(LFO_SINE, 3.0, 0, 0, 64, 64, true);
    synth.SetFilterEnvelope(0.01, 0.1, 0.5, 0.2, true);
    synth.SetResonance(90);
    synth.SetCutoff(3000);
    print.Frames(5000);
    EXPECT_GT(print.peak, 5000);
    EXPECT_EQ(print.hash, 15713235906870731017ull);
}

// The guitar strings: one-shot recordings that end inside a block, several at once.
TEST(GoldenRenderTest, SamplerGuitarStrings) {
    Sampler sampler;
    ConfigureGuitarString(sampler, 1);
    sampler.SetSampleRate(RATE);
    Fingerprint print(sampler);
    for (int n : {69, 71, 76, 81, 93}) {
        sampler.NoteOn(n, 56);
        print.Frames(2205);
    }
    sampler.NoteOff(71);
    sampler.NoteOn(69, 40);
    print.Frames(30000);
    sampler.AllNotesOff();
    print.Frames(50000);
    EXPECT_GT(print.peak, 5000);
    EXPECT_EQ(print.hash, 14219994266904496828ull);
}

// A recording looping between points, with a second oscillator, the filter and the LFO;
// then a whole-sample loop played plainly at several pitches.
TEST(GoldenRenderTest, SamplerLoopsFilteredAndPlain) {
    Sampler sampler;
    sampler.SetSampleRate(RATE);
    std::vector<std::int16_t> frames(3000);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = static_cast<std::int16_t>((i * 7919 % 4001) * 13 - 26000);
    Sample looped;
    looped.Assign16(frames, 32000);
    looped.SetRootNote(60);
    looped.SetLoop(Sample::LOOP_POINTS, 500, 1800);
    sampler.SetSample(looped);
    sampler.SetWaveform(1, WAVE_SQUARE);
    sampler.SetLevels(50, 30, 0, 0);
    sampler.SetAmpEnvelope(0.005, 0.2, 0.6, 0.1, true);
    sampler.SetFilterEnvelope(0.1, 0.2, 0.6, 0.1, true);
    sampler.SetCutoff(9000);
    sampler.SetResonance(60);
    sampler.SetLfo(LFO_TRI, 4.0, 2, 10, 10, 10, true);
    Fingerprint print(sampler);
    sampler.NoteOn(60, 64);
    sampler.NoteOn(67, 50);
    print.Frames(9000);
    sampler.AllNotesOff();
    print.Frames(4000);

    Sample whole = looped;
    whole.SetLoop(Sample::LOOP_ALL, 0, 0);
    sampler.SetSample(whole);
    sampler.UseSample(1, nullptr);
    sampler.SetFilterEnvelope(0.1, 0.2, 0.6, 0.1, false);
    sampler.SetLfo(LFO_TRI, 4.0, 2, 10, 10, 10, false);
    sampler.SetAmpEnvelope(0, 0.1, 0.8, 0.2, true);
    for (int n : {48, 60, 61, 84}) {
        sampler.NoteOn(n, 60);
        print.Frames(3000);
    }
    sampler.AllNotesOff();
    print.Frames(6000);
    EXPECT_GT(print.peak, 5000);
    EXPECT_EQ(print.hash, 16531540560114252614ull);
}

// Each combination of LFO, filter and noise, on two detuned oscillators.
TEST(GoldenRenderTest, EveryCombinationOfLfoFilterAndNoise) {
    PolySynth synth;
    synth.SetSampleRate(RATE);
    synth.SetWaveform(0, WAVE_SQUARE);
    synth.SetWaveform(1, WAVE_TRI);
    synth.SetPitch(1, 12.3);
    synth.SetAmpEnvelope(0.003, 0.05, 0.6, 0.05, true);
    synth.SetCutoff(6000);
    synth.SetResonance(150);
    Fingerprint print(synth);
    for (int mask = 0; mask < 8; ++mask) {
        synth.SetLfo(LFO_SINE, 6.0, 1, 12, 30, 40, (mask & 1) != 0);
        synth.SetFilterEnvelope(0.01, 0.1, 0.5, 0.1, (mask & 2) != 0);
        synth.SetLevels(40, 40, 0, (mask & 4) != 0 ? 6 : 0);
        synth.NoteOn(48 + mask, 64);
        print.Frames(1500);
        synth.NoteOff(48 + mask);
        print.Frames(1500);
    }
    EXPECT_GT(print.peak, 5000);
    EXPECT_EQ(print.hash, 9563180655199186664ull);
}

// Chords of 4 to 12 voices sounding together with filter and LFO: the voices start at
// different times, so their envelopes sit in different stages within one block; some are
// released while others sound, and a thirteenth note arrives while twelve are held.
TEST(GoldenRenderTest, SynthChordsOfFourToTwelveVoices) {
    PolySynth synth;
    synth.SetSampleRate(RATE);
    synth.SetWaveform(0, WAVE_SAW);
    synth.SetWaveform(1, WAVE_SQUARE);
    synth.SetPitch(1, 0.2);
    synth.SetLevels(40, 30, 0, 0);
    synth.SetPolyphony(1);
    synth.SetAmpEnvelope(0.01, 0.1, 0.8, 0.3, true);
    synth.SetFilterEnvelope(0.01, 0.3, 0.5, 0.4, true);
    synth.SetCutoff(12000);
    synth.SetResonance(180);
    synth.SetLfo(LFO_SINE, 5.0, 4, 16, 16, 16, true);
    Fingerprint print(synth);
    for (int n : {45, 52, 57, 61}) {
        synth.NoteOn(n, 56);
        print.Frames(37);
    }
    print.Frames(4000);
    for (int n : {64, 69, 73, 76, 81, 85, 88, 93}) {
        synth.NoteOn(n, 40 + n % 24);
        print.Frames(211);
    }
    print.Frames(6000);
    synth.NoteOff(57);
    synth.NoteOff(76);
    synth.NoteOff(88);
    print.Frames(3000);
    synth.NoteOn(50, 64);
    print.Frames(3000);
    // The LFO off: the cutoff follows each voice's key; noise shared among the voices.
    synth.SetLfo(LFO_SINE, 5.0, 4, 16, 16, 16, false);
    synth.SetLevels(40, 30, 0, 4);
    print.Frames(5000);
    synth.AllNotesOff();
    print.Frames(9000);
    EXPECT_GT(print.peak, 5000);
    EXPECT_EQ(print.hash, 11197795802121515298ull);
}

// Six strings' worth of sampler voices at once: interpolating and exact pitches, one-shot
// ends falling at different frames, and a whole-sample loop with the filter and LFO on.
TEST(GoldenRenderTest, SamplerChordsOfSixVoices) {
    Sampler sampler;
    ConfigureGuitarString(sampler, 1);
    sampler.SetSampleRate(RATE);
    Fingerprint print(sampler);
    for (int n : {64, 69, 71, 74, 76, 81}) {
        sampler.NoteOn(n, 56);
        print.Frames(53);
    }
    print.Frames(40000);
    Sample looped = sampler.GetSample();
    looped.SetLoop(Sample::LOOP_ALL, 0, 0);
    sampler.SetSample(std::move(looped));
    for (int n : {52, 57, 62, 67, 71, 76}) {
        sampler.NoteOn(n, 48 + n % 16);
        print.Frames(19);
    }
    print.Frames(8000);
    sampler.SetFilterEnvelope(0.01, 0.2, 0.5, 0.2, true);
    sampler.SetCutoff(8000);
    sampler.SetResonance(100);
    sampler.SetLfo(LFO_TRI, 4.0, 2, 10, 10, 10, true);
    print.Frames(8000);
    sampler.AllNotesOff();
    print.Frames(30000);
    EXPECT_GT(print.peak, 5000);
    EXPECT_EQ(print.hash, 706506193664761319ull);
}

}  // namespace
}  // namespace sound
