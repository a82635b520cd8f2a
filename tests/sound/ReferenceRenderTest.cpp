// The engine against the plain frame-by-frame model of ReferenceSynth, sample for sample, on
// patches that between them reach every path of the renderer.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sound/Sampler.h"
#include "sound/Wavetables.h"
#include "tests/sound/ReferenceSynth.h"

namespace sound {
namespace {

constexpr std::uint32_t RATE = 22050;

struct Event {
    enum Kind { ON, OFF, FRAMES } kind;
    int a = 0, b = 0;  // note and velocity, or frames
};

Event On(int note, int velocity = 64) {
    return {Event::ON, note, velocity};
}
Event Off(int note) {
    return {Event::OFF, note};
}
Event Frames(int n) {
    return {Event::FRAMES, n};
}

// Plays `events` through both and compares every frame; blocks of changing sizes put block
// edges inside attacks and loop ends and across the engine's 1024-frame pieces. The model
// starts afresh, so the synthesiser's noise and LFO must not have run before.
void ExpectSameAsReference(PolySynth& synth, const std::vector<Event>& events) {
    static constexpr std::size_t SIZES[] = {356, 1, 97, 1500, 64, 731};
    soundtest::ReferenceSynth reference(synth);
    std::size_t next = 0, frame = 0;
    std::int32_t peak = 0;
    std::vector<std::int32_t> got, want;
    for (const Event& e : events) {
        if (e.kind == Event::ON) {
            ASSERT_EQ(synth.NoteOn(e.a, e.b), reference.NoteOn(e.a, e.b));
        } else if (e.kind == Event::OFF) {
            synth.NoteOff(e.a);
            reference.NoteOff(e.a);
        }
        for (std::size_t left = e.kind == Event::FRAMES ? e.a : 0; left > 0;) {
            std::size_t n = std::min(left, SIZES[next++ % std::size(SIZES)]);
            got.assign(n, 0);
            want.assign(n, 0);
            bool sounding = synth.Render(got);
            ASSERT_EQ(sounding, reference.Render(want)) << "at frame " << frame;
            for (std::size_t f = 0; f < n; ++f) {
                ASSERT_EQ(got[f], want[f]) << "at frame " << frame + f;
                peak = std::max(peak, std::abs(want[f]));
            }
            frame += n;
            left -= n;
        }
    }
    EXPECT_GT(peak, 3000);  // the patch made sound worth comparing
    EXPECT_FALSE(reference.overflowed);
}

// A recording with a broad spectrum, so that every interpolation is visible.
Sample Recording(std::uint8_t mode, std::uint32_t loopStart, std::uint32_t loopEnd) {
    std::vector<std::int16_t> frames(4000);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = static_cast<std::int16_t>((i * 7919 % 3001) * 20 - 30000 + i % 7 * 100);
    Sample s;
    s.Assign16(frames, 32000);
    s.SetRootFrequency(220);
    s.SetLoop(mode, loopStart, loopEnd);
    return s;
}

std::unique_ptr<Sampler> PlainSampler(Sample recording) {
    auto sampler = std::make_unique<Sampler>();
    sampler->SetSampleRate(RATE);
    sampler->SetSample(std::move(recording));
    sampler->UseSample(1, nullptr);
    sampler->SetPolyphony(1);
    sampler->SetLevels(56, 0, 0, 0);
    sampler->SetAmpEnvelope(0.003, 0.1, 0.7, 0.05, true);
    return sampler;
}

const std::vector<Event> SAMPLER_NOTES = {
    On(57),       Frames(900), On(64, 50),  Frames(700), On(52, 40), Frames(3000), Off(64),
    Frames(2000), On(57, 30),  Frames(500), Off(52),     Off(57),    Frames(6000)};

TEST(ReferenceRenderTest, SamplerOneShot) {
    auto sampler = PlainSampler(Recording(Sample::ONE_SHOT, 0, 0));
    ExpectSameAsReference(*sampler, SAMPLER_NOTES);
}

TEST(ReferenceRenderTest, SamplerLoopingTheWholeRecording) {
    auto sampler = PlainSampler(Recording(Sample::LOOP_ALL, 0, 0));
    ExpectSameAsReference(*sampler, SAMPLER_NOTES);
}

TEST(ReferenceRenderTest, SamplerLoopingBetweenPoints) {
    auto sampler = PlainSampler(Recording(Sample::LOOP_POINTS, 700, 2900));
    ExpectSameAsReference(*sampler, SAMPLER_NOTES);
    // And with a second oscillator beside it.
    sampler->SetWaveform(1, WAVE_TRI);
    sampler->SetLevels(40, 30, 0, 0);
    ExpectSameAsReference(*sampler, SAMPLER_NOTES);
}

std::unique_ptr<PolySynth> Synth(int wave0, int wave1, int fm) {
    auto synth = std::make_unique<PolySynth>();
    synth->SetSampleRate(RATE);
    synth->SetWaveform(0, wave0);
    synth->SetWaveform(1, wave1);
    synth->SetWaveform(2, fm);
    synth->SetPolyphony(1);
    synth->SetAmpEnvelope(0.005, 0.1, 0.6, 0.08, true);
    return synth;
}

TEST(ReferenceRenderTest, TwoSawsThroughTheFilterEnvelope) {
    auto synth = Synth(WAVE_SAW, WAVE_SAW, WAVE_NONE);
    synth->SetPitch(1, 0.2);
    synth->SetLevels(40, 40, 0, 0);
    synth->SetFilterEnvelope(0.01, 0.2, 0.4, 0.3, true);
    synth->SetCutoff(9000);
    synth->SetResonance(120);
    ExpectSameAsReference(*synth, {On(45), Frames(4000), Off(45), Frames(8000)});
}

// Full levels and a cutoff near the top with strong resonance: the filter's output swings
// past 16 bits, where the envelope's product needs more than 32.
TEST(ReferenceRenderTest, ResonantFilterAtFullLevels) {
    for (int wave : {WAVE_SINE, WAVE_SAW}) {
        auto synth = Synth(wave, WAVE_SQUARE, WAVE_SINE);
        synth->SetLevels(64, 64, 64, 0);
        synth->SetFilterEnvelope(0.0, 0.1, 0.5, 0.2, true);
        synth->SetCutoff(30000);
        synth->SetResonance(250);
        synth->SetAmpEnvelope(0.0, 0.1, 1.0, 0.1, true);
        // Notes high enough that the modulator never steps back before the table's start.
        ExpectSameAsReference(*synth, {On(57), Frames(6000), On(64, 50), Frames(3000), Off(57),
                                       Off(64), Frames(4000)});
    }
}

TEST(ReferenceRenderTest, FrequencyModulation) {
    auto synth = Synth(WAVE_SAW, WAVE_NONE, WAVE_SINE);
    synth->SetPitch(2, 7);
    synth->SetLevels(50, 0, 48, 0);
    ExpectSameAsReference(
        *synth, {On(60), Frames(3000), On(67, 40), Frames(3000), Off(60), Off(67), Frames(4000)});
    synth->SetWaveform(1, WAVE_TRI);  // two pitched oscillators: only the first is bent
    synth->SetLevels(40, 30, 64, 0);
    ExpectSameAsReference(*synth, {On(62), Frames(5000), Off(62), Frames(4000)});
}

TEST(ReferenceRenderTest, NoiseThroughTheFilter) {
    auto synth = Synth(WAVE_TRI, WAVE_NONE, WAVE_NONE);
    synth->SetLevels(40, 0, 0, 12);
    synth->SetFilterEnvelope(0.01, 0.1, 0.5, 0.2, true);
    synth->SetCutoff(7000);
    synth->SetResonance(90);
    ExpectSameAsReference(*synth, {On(50), Frames(5000), Off(50), Frames(5000)});
}

TEST(ReferenceRenderTest, LfoOnVibratoTremoloAndWah) {
    // Without the amplitude envelope, only the tremolo shapes the level.
    for (bool amp : {true, false}) {
        auto synth = Synth(WAVE_SAW, WAVE_SQUARE, WAVE_NONE);
        synth->SetPitch(1, -12);
        synth->SetLevels(40, 30, 0, 0);
        synth->SetAmpEnvelope(0.005, 0.1, 0.6, 0.08, amp);
        synth->SetFilterEnvelope(0.02, 0.2, 0.5, 0.3, true);
        synth->SetCutoff(10000);
        synth->SetResonance(150);
        synth->SetLfo(LFO_SINE, 5.5, 4, 30, 40, 50, true);
        ExpectSameAsReference(*synth, {On(55), Frames(7000), On(62, 48), Frames(5000), Off(55),
                                       Off(62), Frames(6000)});
    }
}

TEST(ReferenceRenderTest, PortamentoGlides) {
    auto synth = Synth(WAVE_SAW, WAVE_TRI, WAVE_NONE);
    synth->SetPolyphony(0);
    synth->SetPitch(1, 0.3);
    synth->SetLevels(40, 30, 0, 0);
    synth->SetPortamento(20);
    ExpectSameAsReference(*synth, {On(48), Frames(3000), On(60), Frames(9000), On(43), Frames(9000),
                                   Off(43), Frames(4000)});
}

// Two to twelve filtered voices at once: the engine runs their filters side by side.
TEST(ReferenceRenderTest, ChordsOfFilteredVoices) {
    for (bool lfo : {false, true}) {
        auto synth = Synth(WAVE_SAW, WAVE_SQUARE, WAVE_NONE);
        synth->SetPitch(1, 0.2);
        synth->SetLevels(40, 30, 0, 0);
        synth->SetFilterEnvelope(0.01, 0.3, 0.5, 0.2, true);
        synth->SetCutoff(lfo ? 12000 : 30000);
        synth->SetResonance(lfo ? 180 : 250);
        synth->SetLfo(LFO_SINE, 5.0, 2, 16, 16, 16, lfo);
        std::vector<Event> events;
        for (int voices : {2, 3, 5, 8, 12}) {
            for (int v = 0; v < voices; ++v) {
                events.push_back(On(40 + 5 * v, 40 + v));
                events.push_back(Frames(v % 3 == 0 ? 0 : 37 * v));
            }
            events.push_back(Frames(2500));
            for (int v = 0; v < voices; v += 2)
                events.push_back(Off(40 + 5 * v));
            events.push_back(Frames(1500));
            for (int v = 1; v < voices; v += 2)
                events.push_back(Off(40 + 5 * v));
            events.push_back(Frames(6000));
        }
        ExpectSameAsReference(*synth, events);
    }
}

}  // namespace
}  // namespace sound
