#include "sound/Patch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "sound/PolySynth.h"
#include "sound/Wavetables.h"

namespace sound {
namespace {

std::string Bytes(const Patch& p) {
    std::ostringstream out;
    WritePatch(out, p);
    return out.str();
}

PolySynth Configured() {
    PolySynth s;
    s.SetWaveform(0, WAVE_SAW);
    s.SetWaveform(1, WAVE_TRI);
    s.SetWaveform(2, WAVE_SINE);
    s.SetPitch(0, -7.5);
    s.SetPitch(1, 0.2);
    s.SetPitch(2, 12);
    s.SetLevels(10, 20, 30, 4);
    s.SetPolyphony(1);
    s.SetAmpEnvelope(0.01, 0.2, 0.6, 1.25, true);
    s.SetFilterEnvelope(0.02, 0.3, 0.4, 0.9, true);
    s.SetLfo(LFO_TRI, 4.5, 12, 5, 6, 7, true);
    s.SetCutoff(9000);
    s.SetResonance(77);
    s.SetPortamento(9);
    s.SetBendBase(3);
    return s;
}

TEST(PatchTest, OutOfRangeResonanceAndCutoffAreMended) {
    Patch p;
    p.resonance = 300;
    p.cutoff = -1;
    std::istringstream in(Bytes(p));
    PolySynth s;
    std::string error;
    ASSERT_TRUE(s.Load(in, error));
    EXPECT_EQ(s.GetPatch().resonance, 128);
    EXPECT_EQ(s.GetPatch().cutoff, 16384);
}

// A bend base outside 1..12 would make a NaN or infinite step and freeze the oscillators:
// a patch holding one is refused whole, and the setter keeps to the range.
TEST(PatchTest, BendBaseOutsideOneToTwelveIsRefusedOrClamped) {
    for (std::int32_t base : {-2, 0, 1, 12, 13}) {
        Patch p;
        p.bendBase = base;
        p.cutoff = 4321;
        std::istringstream in(Bytes(p));
        PolySynth s;
        std::string error;
        const bool inside = base >= 1 && base <= 12;
        EXPECT_EQ(s.Load(in, error), inside) << base;
        EXPECT_EQ(s.GetPatch().bendBase, inside ? base : 2) << base;
        EXPECT_EQ(s.GetPatch().cutoff, inside ? 4321 : 1000) << base;
    }
    PolySynth s;
    s.SetSampleRate(22050);
    s.SetWaveform(0, WAVE_SINE);
    for (auto [base, kept] : {std::pair{-3, 1}, {0, 1}, {1, 1}, {12, 12}, {13, 12}}) {
        s.SetBendBase(base);
        EXPECT_EQ(s.GetPatch().bendBase, kept) << base;
        EXPECT_EQ(s.GetControlValue(82), kept) << base;
    }
    s.SetBendBase(-3);
    s.NoteOn(69, 64);
    s.SetPitchBend(1.5);
    // Base 1: every bend is a factor of 1.
    EXPECT_EQ(s.GetVoice(0).oscillators[0].Step(), 65536);
}

TEST(PatchTest, MonoByteMakesTheSynthRetriggerMonophonically) {
    Patch p;
    p.waveform = {WAVE_SINE, 0, 0};
    p.mono = 1;
    std::istringstream in(Bytes(p));
    PolySynth s;
    s.SetPolyphony(1);
    std::string error;
    ASSERT_TRUE(s.Load(in, error));
    s.SetSampleRate(22050);
    s.NoteOn(60, 64);
    s.NoteOn(62, 64);
    EXPECT_EQ(s.GetVoice(0).ampEnvelope.GetState(), Adsr::RELEASE);
}

TEST(PatchTest, DamagedPatchesAreRefusedAndChangeNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<std::pair<const char*, std::string>> cases;
    Patch good;
    cases.emplace_back("short", Bytes(good).substr(0, PATCH_BYTES - 1));
    cases.emplace_back("empty", "");
    Patch p = good;
    p.waveform[1] = 5;
    cases.emplace_back("waveform 5", Bytes(p));
    p = good;
    p.waveform[2] = 200;
    cases.emplace_back("FM waveform 200", Bytes(p));
    p = good;
    p.lfoWaveform = 4;
    cases.emplace_back("LFO waveform 4", Bytes(p));
    p = good;
    p.pitch[0] = nan;
    cases.emplace_back("NaN pitch", Bytes(p));
    p = good;
    p.ampEnvelope[3] = inf;
    cases.emplace_back("infinite release", Bytes(p));
    p = good;
    p.lfoSpeed = std::numeric_limits<float>::infinity();
    cases.emplace_back("infinite LFO speed", Bytes(p));
    p = good;
    p.pitchBend = -inf;
    cases.emplace_back("infinite bend", Bytes(p));

    for (const auto& [what, bytes] : cases) {
        PolySynth s = Configured();
        Patch before = s.GetPatch();
        std::istringstream in(bytes);
        std::string error;
        EXPECT_FALSE(s.Load(in, error)) << what;
        EXPECT_FALSE(error.empty()) << what;
        EXPECT_EQ(s.GetPatch(), before) << what;
    }
}

TEST(PatchTest, WildButFiniteValuesAreClampedWhereTheyWouldOverflow) {
    Patch p;
    p.waveform = {WAVE_SAW, WAVE_SQUARE, WAVE_SINE};
    p.level = {1 << 30, -5, 1000};
    p.noiseLevel = 1 << 30;
    p.pitch = {1e300, -1e300, 1e6};
    p.ampEnvelope = {-1, 1e300, 1e10, 0};
    p.lfoOn = 1;
    p.lfoSpeed = 1e30f;
    p.vibrato = p.tremolo = p.wahWah = 1 << 30;
    p.lfoAttack = -1000;
    p.portamento = -7;
    std::istringstream in(Bytes(p));
    PolySynth s;
    std::string error;
    ASSERT_TRUE(s.Load(in, error)) << error;
    EXPECT_EQ(s.GetPatch().level[0], 64);
    EXPECT_EQ(s.GetPatch().level[1], 0);
    EXPECT_EQ(s.GetPatch().noiseLevel, 64);
    s.SetSampleRate(22050);
    s.NoteOn(60, 64);
    s.NoteOn(61, 64);
    std::vector<std::int32_t> out(2048);
    s.Render(out);  // UBSan checks the arithmetic
}

}  // namespace
}  // namespace sound
