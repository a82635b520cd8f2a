#include "sound/PolySynth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "sound/VoiceRenderer.h"
#include "sound/Wavetables.h"
#include "tests/sound/AudioProbe.h"

namespace sound {
namespace {

constexpr std::uint32_t RATE = 22050;

std::vector<std::int32_t> RenderFrames(PolySynth& synth, std::size_t frames,
                                       std::size_t block = 356) {
    std::vector<std::int32_t> out(frames, 0);
    for (std::size_t at = 0; at < frames; at += block) {
        std::span<std::int32_t> part(out.data() + at, std::min(block, frames - at));
        if (!synth.Render(part)) std::fill(part.begin(), part.end(), 0);
    }
    return out;
}

class PolySynthTest : public ::testing::Test {
  protected:
    void SetUp() override { synth.SetSampleRate(RATE); }
    PolySynth synth;
};

TEST_F(PolySynthTest, NoteA4OnAWavetableStepsSixteenSourceFrames) {
    synth.SetWaveform(0, WAVE_SINE);
    synth.SetWaveform(1, WAVE_NONE);
    ASSERT_EQ(synth.NoteOn(69, 64), 69);
    EXPECT_EQ(synth.GetVoice(0).oscillators[0].Step(), 65536);
    EXPECT_EQ(synth.GetVoice(0).oscillatorCount, 1u);
    auto out = RenderFrames(synth, RATE);
    std::span<const std::int32_t> steady(out.data() + 2000, 8192);
    // The tables hold 800 frames labelled 55 Hz at 44100 Hz, so they sound 0.2 % sharp.
    EXPECT_NEAR(soundtest::PeakFrequency(steady, RATE, 400, 480), 441.0, 0.2);
}

TEST_F(PolySynthTest, SilentSynthLeavesTheBufferAlone) {
    std::vector<std::int32_t> out(64, 7);
    EXPECT_FALSE(synth.Render(out));
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int v) { return v == 7; }));
    EXPECT_EQ(synth.ActiveVoiceBound(), 0u);
}

TEST_F(PolySynthTest, TwentyFifthNoteStealsTheOldestVoice) {
    synth.SetPolyphony(1);
    for (int n = 0; n < PolySynth::VOICE_COUNT; ++n)
        synth.NoteOn(40 + n, 64);
    RenderFrames(synth, 356);
    EXPECT_EQ(synth.ActiveVoiceBound(), 24u);
    EXPECT_EQ(synth.NoteOn(90, 64), 90);
    EXPECT_EQ(synth.GetVoice(0).note, 90);
    EXPECT_EQ(synth.GetVoice(0).startNumber, 24u);
    EXPECT_EQ(synth.NoteOn(91, 64), 91);
    EXPECT_EQ(synth.GetVoice(1).note, 91);  // next oldest
}

TEST_F(PolySynthTest, SameNoteTwiceInPolyModeFadesTheFirst) {
    synth.SetPolyphony(1);
    synth.SetAmpEnvelope(0, 0.1, 1.0, 2.0, true);
    synth.NoteOn(60, 64);
    RenderFrames(synth, 1000);
    synth.NoteOn(60, 64);
    EXPECT_FALSE(synth.GetVoice(1).idle);
    RenderFrames(synth, 240);  // a little over 10 ms
    EXPECT_TRUE(synth.GetVoice(0).idle);
    EXPECT_FALSE(synth.GetVoice(1).idle);
    // NoteOff finds the held voice, not the one that faded.
    synth.NoteOff(60);
    EXPECT_FALSE(synth.GetVoice(1).ampEnvelope.Held());
}

// A note struck again at once and let go: the voice of the second stroke is the one
// released, so on a looping table nothing is left sounding.
TEST_F(PolySynthTest, QuickRetriggerThenNoteOffLeavesNothingHeld) {
    for (std::uint32_t polyphony : {1u, 0u}) {
        PolySynth s;
        s.SetSampleRate(RATE);
        s.SetPolyphony(polyphony);
        s.SetAmpEnvelope(0, 0.1, 1.0, 0.05, true);
        s.NoteOn(60, 64);
        RenderFrames(s, 356);
        s.NoteOn(60, 64);
        s.NoteOff(60);
        EXPECT_FALSE(s.GetVoice(1).ampEnvelope.Held()) << polyphony;
        RenderFrames(s, RATE / 4);
        std::vector<std::int32_t> out(356);
        EXPECT_FALSE(s.Render(out)) << polyphony;
        if (polyphony == 0) continue;
        // In poly mode three strokes leave two voices held; each release lets go of the newest.
        s.NoteOn(62, 64);
        s.NoteOn(62, 64);
        s.NoteOn(62, 64);
        s.NoteOff(62);
        EXPECT_TRUE(s.GetVoice(1).ampEnvelope.Held()) << polyphony;
        EXPECT_FALSE(s.GetVoice(2).ampEnvelope.Held()) << polyphony;
        s.NoteOff(62);
        EXPECT_FALSE(s.GetVoice(1).ampEnvelope.Held()) << polyphony;
    }
}

TEST_F(PolySynthTest, MonoModeQuickReleasesEverySoundingVoice) {
    synth.SetPolyphony(0);
    synth.SetAmpEnvelope(0, 0.1, 1.0, 2.0, true);
    synth.NoteOn(60, 64);
    synth.NoteOn(64, 64);
    EXPECT_EQ(synth.GetVoice(0).ampEnvelope.GetState(), Adsr::RELEASE);
    RenderFrames(synth, 300);
    EXPECT_TRUE(synth.GetVoice(0).idle);
    EXPECT_FALSE(synth.GetVoice(1).idle);
}

TEST_F(PolySynthTest, ReleasedNoteFallsSilentAndTheSynthStops) {
    synth.SetAmpEnvelope(0, 0.1, 0.5, 0.2, true);
    synth.NoteOn(57, 64);
    auto held = RenderFrames(synth, 4410);
    EXPECT_GT(soundtest::PeakAbs(std::span<const std::int32_t>(held)), 10000);
    synth.NoteOff(57);
    RenderFrames(synth, 4410 + 356);  // 0.2 s of release and a block more
    std::vector<std::int32_t> out(356);
    EXPECT_FALSE(synth.Render(out));
}

TEST_F(PolySynthTest, NoiseLevelOneAddsZeroTo511) {
    synth.SetWaveform(0, WAVE_NONE);
    synth.SetWaveform(1, WAVE_NONE);
    synth.SetLevels(64, 64, 64, 1);
    synth.NoteOn(60, 64);
    RenderFrames(synth, 100);  // past the attack
    auto out = RenderFrames(synth, 20000);
    auto [lo, hi] = std::minmax_element(out.begin(), out.end());
    EXPECT_GE(*lo, 0);
    EXPECT_LE(*hi, 511);
    EXPECT_GT(*hi, 480);
    EXPECT_LT(*lo, 30);
}

TEST_F(PolySynthTest, PortamentoReachesItsTargetEvenWhenTheGlideIsShort) {
    synth.SetPolyphony(0);
    synth.SetPortamento(255);
    synth.NoteOn(0, 64);
    synth.NoteOn(1, 64);  // the steps differ by less than 255
    const Oscillator& osc = synth.GetVoice(1).oscillators[0];
    EXPECT_LT(osc.Step(), osc.TargetStep());
    RenderFrames(synth, 356 * 255);
    EXPECT_EQ(osc.Step(), osc.TargetStep());
}

TEST_F(PolySynthTest, PitchBendOfTwelveDoublesTheStep) {
    synth.NoteOn(69, 64);
    synth.SetPitchBend(12);
    EXPECT_EQ(synth.GetVoice(0).oscillators[0].Step(), 131072);
    synth.SetPitchBend(0);
    EXPECT_EQ(synth.GetVoice(0).oscillators[0].Step(), 65536);
}

TEST_F(PolySynthTest, NotesFarOutOfRangeStayInsideFixedPoint) {
    for (int note : {std::numeric_limits<int>::min(), -1000, 127, 300, 100000,
                     std::numeric_limits<int>::max()}) {
        synth.NoteOn(note, 64);
    }
    for (int i = 0; i < 6; ++i) {
        const Voice& v = synth.GetVoice(i);
        EXPECT_GE(v.oscillators[0].Step(), 0);
        EXPECT_LE(v.oscillators[0].Step(), MAX_OSCILLATOR_STEP);
        EXPECT_LE(v.keyFrequency, 32760);
    }
    RenderFrames(synth, 2000);  // UBSan checks the arithmetic
}

TEST_F(PolySynthTest, EveryVoiceAtFullScaleNeverOverflows) {
    synth.SetPolyphony(1);
    synth.SetWaveform(0, WAVE_SQUARE);
    synth.SetWaveform(1, WAVE_SAW);
    synth.SetWaveform(2, WAVE_SINE);
    synth.SetLevels(64, 64, 64, 64);
    synth.SetFilterEnvelope(0, 0.1, 1.0, 0.2, true);
    synth.SetResonance(256);
    synth.SetCutoff(32768);
    synth.SetLfo(LFO_SQUARE, 6, 0, 64, 64, 64, true);
    synth.SetAmpEnvelope(0, 0.1, 1.0, 0.2, true);
    for (int n = 0; n < 24; ++n)
        synth.NoteOn(30 + 3 * n, 64);
    auto out = RenderFrames(synth, 22050);
    // 24 voices of at most 65535 each: the sum itself stays in range.
    EXPECT_LE(soundtest::PeakAbs(std::span<const std::int32_t>(out)), 24 * 65535);
}

TEST_F(PolySynthTest, LfoOnWithoutAmpEnvelopeNeverEndsByItself) {
    synth.SetLfo(LFO_SINE, 5, 0, 10, 0, 0, true);
    synth.SetAmpEnvelope(0, 0.1, 0.0, 0.01, false);
    synth.NoteOn(60, 64);
    synth.NoteOff(60);
    RenderFrames(synth, 22050);
    EXPECT_FALSE(synth.GetVoice(0).idle);
}

TEST(LowpassTest, ZeroResonanceHasNoFeedbackAndZeroCutoffFreezes) {
    LowpassState s;
    Lowpass(s, 1000, 0, 16000);
    EXPECT_EQ(s.feedback, 0);
    LowpassState frozen;
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(Lowpass(frozen, 30000, 200, 0), 0);
    // A high cutoff passes a constant input through.
    LowpassState open;
    std::int32_t y = 0;
    for (int i = 0; i < 200; ++i)
        y = Lowpass(open, 20000, 0, 32000);
    EXPECT_NEAR(y, 20000, 8);
    // Full resonance on a full-scale square stays bounded.
    LowpassState wild;
    for (int i = 0; i < 5000; ++i) {
        y = Lowpass(wild, (i / 20) % 2 ? 65535 : -65535, 256, 30000);
        EXPECT_LE(std::abs(y), 131072);
    }
}

TEST(LfoTest, TablesAndSpeed) {
    LfoOscillator lfo;
    lfo.Build(22050, LFO_SINE);
    lfo.SetSpeed(5.0);
    EXPECT_EQ(lfo.Increment(), 7608);  // 1024 × 2^15 × 5 / 22050, truncated
    std::vector<std::int32_t> out(22050);
    lfo.Render(out);
    auto [lo, hi] = std::minmax_element(out.begin(), out.end());
    EXPECT_EQ(*lo, 1);
    EXPECT_EQ(*hi, 32766);
    lfo.SetSpeed(-3);
    EXPECT_EQ(lfo.Increment(), 0);
    lfo.SetSpeed(1e12);
    lfo.Render(out);  // stays inside the table
    lfo.Build(22050, LFO_RAND);
    lfo.SetSpeed(100);
    lfo.Render(out);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int v) { return v >= 0 && v < 32768; }));
}

TEST(WavetableTest, ShapesAndRoot) {
    const auto& tables = SharedWavetables();
    for (const Sample& t : tables) {
        EXPECT_EQ(t.Length(), WAVETABLE_LENGTH);
        EXPECT_EQ(t.RootFrequency(), 55u);
        EXPECT_EQ(t.GetLoopMode(), Sample::LOOP_ALL);
        EXPECT_EQ(t.LoopEnd(), WAVETABLE_LENGTH - 1);
    }
    EXPECT_EQ(tables[WAVE_SINE - 1].Data()[200], 32766);  // trunc(32767 × sin(π/2))
    EXPECT_EQ(tables[WAVE_TRI - 1].Data()[200], 32767);
    EXPECT_EQ(tables[WAVE_TRI - 1].Data()[600], -32767);
    EXPECT_GT(tables[WAVE_SQUARE - 1].Data()[400], 30000);
    EXPECT_LT(tables[WAVE_SQUARE - 1].Data()[100], -30000);
    // The saw falls from top to bottom.
    EXPECT_GT(tables[WAVE_SAW - 1].Data()[50], tables[WAVE_SAW - 1].Data()[700]);
}

TEST(PanelTest, ControlsMirrorTheSetters) {
    PolySynth synth;
    EXPECT_EQ(synth.GetControlValue(20), 1.0);
    synth.SetPolyphony(1);
    EXPECT_EQ(synth.GetControlValue(20), 0.0);
    synth.SetWaveform(1, WAVE_SAW);
    EXPECT_EQ(synth.GetControlValue(12), 1.0);
    for (std::uint8_t id : {9, 10, 11, 13})
        EXPECT_EQ(synth.GetControlValue(id), 0.0) << int(id);
    synth.SetPitch(1, 0.2);
    EXPECT_EQ(synth.GetControlValue(14), 0.0);
    EXPECT_EQ(synth.GetControlValue(15), 0.0);
    EXPECT_FLOAT_EQ(synth.GetControlValue(16), 0.2f);
    synth.SetPitch(2, -12);
    EXPECT_EQ(synth.GetControlValue(71), -1.0);
    EXPECT_EQ(synth.GetControlValue(72), 0.0);
    synth.SetPitch(0, -14.5);
    EXPECT_EQ(synth.GetControlValue(6), -1.0);
    EXPECT_EQ(synth.GetControlValue(7), -2.0);
    EXPECT_FLOAT_EQ(synth.GetControlValue(8), -0.5f);
    EXPECT_FALSE(synth.SetControlValue(99, 5));
    EXPECT_EQ(synth.GetControlValue(99), 0.0);
    synth.SetLfo(LFO_RAND, 1, 0, 0, 0, 0, false);
    EXPECT_EQ(synth.GetControlValue(42), 1.0);
    EXPECT_EQ(synth.GetControlValue(39), 0.0);
}

TEST(PanelTest, MovedControlsReachTheirSetters) {
    PolySynth synth;
    synth.OnControlChanged({4, 1});
    EXPECT_EQ(synth.GetPatch().waveform[0], WAVE_SAW);
    synth.OnControlChanged({6, 1});
    synth.OnControlChanged({7, 2});
    synth.OnControlChanged({8, 0.25f});
    EXPECT_DOUBLE_EQ(synth.GetPatch().pitch[0], 14.25);
    synth.OnControlChanged({18, 40});
    EXPECT_EQ(synth.GetPatch().level[1], 40);
    synth.OnControlChanged({20, 0});
    EXPECT_EQ(synth.GetPatch().mono, 0);
    synth.OnControlChanged({23, 0.75f});
    EXPECT_DOUBLE_EQ(synth.GetPatch().ampEnvelope[2], 0.75);
    synth.OnControlChanged({41, 1});
    EXPECT_EQ(synth.GetPatch().lfoWaveform, LFO_TRI);
    synth.OnControlChanged({31, 999});
    EXPECT_EQ(synth.GetPatch().resonance, 256);
    synth.OnControlChanged({70, 1});
    EXPECT_NE(synth.GetTable(2), nullptr);
}

}  // namespace
}  // namespace sound

namespace sound {
namespace {

TEST(OscillatorTest, BlockRenderingMatchesSampleBySample) {
    Sample recording;
    std::vector<std::int16_t> frames(1000);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = static_cast<std::int16_t>(i * 37 % 30000 - 15000);
    recording.Assign16(frames, 22050);
    struct Loop {
        std::uint8_t mode;
        std::uint32_t start, end;
    };
    // The last: points the wrong way round, which jump forward at every frame past 100.
    const Loop loops[] = {{Sample::ONE_SHOT, 0, 0},
                          {Sample::LOOP_ALL, 0, 0},
                          {Sample::LOOP_POINTS, 200, 700},
                          {Sample::LOOP_POINTS, 0, 0},
                          {Sample::LOOP_POINTS, 900, 100}};
    // Steps below, at and above one frame, one that lands exactly on the end, and none.
    for (double hz : {517.3, 440.0, 55.0, 1760.0, 0.0}) {
        for (const Loop& loop : loops) {
            const std::uint8_t mode = loop.mode;
            ASSERT_TRUE(recording.SetLoop(mode, loop.start, loop.end));
            Oscillator a, b;
            a.Start(recording, hz, 22050, 48);
            b.Start(recording, hz, 22050, 48);
            std::vector<std::int32_t> block(2500);
            std::size_t n = b.RenderPlain(block);
            for (std::size_t f = 0; f < n; ++f)
                ASSERT_EQ(block[f], (48 * a.Next(0)) >> 6) << hz << " " << loop.start << " " << f;
            EXPECT_EQ(b.Position(), a.Position());
            if (mode == Sample::ONE_SHOT && hz > 100) {  // runs out within the block
                EXPECT_LT(n, block.size());
                EXPECT_TRUE(b.Finished());
            } else {
                EXPECT_EQ(n, block.size());
            }
        }
    }
    // A looping oscillator under deep modulation, negative steps included.
    recording.SetLoop(Sample::LOOP_ALL, 0, 0);
    Oscillator a, b;
    a.Start(recording, 700, 22050, 64);
    b.Start(recording, 700, 22050, 64);
    std::vector<std::int32_t> modulation(3000), block(3000);
    for (std::size_t f = 0; f < modulation.size(); ++f)
        modulation[f] = static_cast<std::int32_t>(f * 7919 % 60001) - 30000;
    b.RenderLooping(block, modulation.data());
    for (std::size_t f = 0; f < block.size(); ++f)
        ASSERT_EQ(block[f], a.Next(modulation[f])) << f;
    EXPECT_EQ(b.Position(), a.Position());
}

// Full resonance on a full-scale square runs the first filter stage away, far past the range
// the side-by-side filter lanes hold: voices rendered together must still match each voice
// rendered alone, before, across and after the crossing.
TEST(LowpassTest, VoicesTogetherMatchEachAloneAsTheFilterRunsAway) {
    auto configure = [](PolySynth& s) {
        s.SetSampleRate(22050);
        s.SetWaveform(0, WAVE_SQUARE);
        s.SetWaveform(1, WAVE_SQUARE);
        s.SetLevels(64, 64, 0, 0);
        s.SetPolyphony(1);
        s.SetAmpEnvelope(0, 0.1, 1.0, 0.1, true);
        s.SetFilterEnvelope(0, 0.2, 1.0, 0.2, true);
        s.SetCutoff(6000);
        s.SetResonance(256);
    };
    for (int count : {3, 6}) {
        PolySynth together;
        configure(together);
        std::vector<std::unique_ptr<PolySynth>> alone;
        for (int v = 0; v < count; ++v) {
            alone.push_back(std::make_unique<PolySynth>());
            configure(*alone.back());
        }
        std::int64_t widest = 0;
        std::vector<std::int32_t> mixed(97), part(97), sum(97);
        for (int block = 0; block < 120; ++block) {
            // Voices join one by one, so that they cross at different frames.
            if (block % 7 == 0 && block / 7 < count) {
                int v = block / 7;
                together.NoteOn(45 + 5 * v, 40 + 3 * v);
                alone[v]->NoteOn(45 + 5 * v, 40 + 3 * v);
            }
            std::fill(sum.begin(), sum.end(), 0);
            for (auto& synth : alone) {
                if (!synth->Render(part)) continue;
                for (std::size_t f = 0; f < sum.size(); ++f)
                    sum[f] += part[f];
            }
            together.Render(mixed);
            ASSERT_EQ(mixed, sum) << count << " voices, block " << block;
            for (int v = 0; v < count; ++v)
                widest = std::max<std::int64_t>(
                    widest, std::abs(std::int64_t{together.GetVoice(v).filter.s0}));
        }
        EXPECT_GT(widest, std::int64_t{1} << 24) << count;
    }
}

// The division-free feedback is the quotient itself for every resonance and coefficient.
TEST(LowpassTest, FeedbackWithoutDivisionIsExact) {
    for (std::int32_t q = 0; q <= 256; ++q) {
        for (std::int32_t c = 0; c <= 32760; ++c) {
            std::int32_t fb = q + (q * 32768) / (32768 - c);
            ASSERT_EQ(LowpassFeedback(q, c), fb > 512 ? 512 : fb) << q << " " << c;
        }
    }
}

}  // namespace
}  // namespace sound
