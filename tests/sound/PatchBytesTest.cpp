// Patch files built by hand, byte by byte, with a different value in every field: loading
// must put each value in its own field, and saving must give back the very same bytes.

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <sstream>
#include <string>

#include "sound/Sampler.h"
#include "sound/Wavetables.h"

namespace sound {
namespace {

// Appends a field at the offset the file layout gives it, little-endian.
class FileBuilder {
  public:
    void U8(std::size_t offset, std::uint8_t v) {
        ASSERT_EQ(bytes.size(), offset);
        bytes.push_back(static_cast<char>(v));
    }
    void U32(std::size_t offset, std::uint32_t v) {
        ASSERT_EQ(bytes.size(), offset);
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>(v >> (8 * i)));
    }
    void I32(std::size_t offset, std::int32_t v) { U32(offset, static_cast<std::uint32_t>(v)); }
    void F32(std::size_t offset, float v) { U32(offset, std::bit_cast<std::uint32_t>(v)); }
    void F64(std::size_t offset, double v) {
        auto u = std::bit_cast<std::uint64_t>(v);
        U32(offset, static_cast<std::uint32_t>(u));
        U32(offset + 4, static_cast<std::uint32_t>(u >> 32));
    }
    std::string bytes;
};

std::string HandMadePatch() {
    FileBuilder f;
    f.U8(0, 3);  // OSC1 Saw
    f.U8(1, 4);  // OSC2 Tri
    f.U8(2, 1);  // FM on
    f.F64(3, -7.25);
    f.F64(11, 0.125);
    f.F64(19, 12.5);
    f.I32(27, 5);   // noise
    f.I32(31, 11);  // OSC1 level
    f.I32(35, 22);  // OSC2 level
    f.I32(39, 33);  // FM level
    f.U8(43, 1);    // mono
    f.U8(44, 1);    // filter envelope on
    f.U8(45, 0);    // amplitude envelope off
    f.U8(46, 1);    // LFO on
    f.F64(47, 0.015);
    f.F64(55, 0.25);
    f.F64(63, 0.625);
    f.F64(71, 1.375);
    f.F64(79, 0.03125);
    f.F64(87, 0.5);
    f.F64(95, 0.375);
    f.F64(103, 2.25);
    f.F32(111, 6.5f);
    f.I32(115, 41);  // vibrato
    f.I32(119, 42);  // tremolo
    f.I32(123, 43);  // wah-wah
    f.I32(127, 44);  // LFO attack
    f.I32(131, 3);   // LFO Tri
    f.I32(135, 201);
    f.I32(139, 23456);
    f.F64(143, -3.75);
    f.I32(151, 17);
    f.I32(155, 7);
    EXPECT_EQ(f.bytes.size(), 159u);
    return f.bytes;
}

void ExpectHandMadeFields(const PolySynth& synth) {
    const Patch& p = synth.GetPatch();
    EXPECT_EQ(p.waveform[0], 3);
    EXPECT_EQ(p.waveform[1], 4);
    EXPECT_EQ(p.waveform[2], 1);
    EXPECT_EQ(p.pitch[0], -7.25);
    EXPECT_EQ(p.pitch[1], 0.125);
    EXPECT_EQ(p.pitch[2], 12.5);
    EXPECT_EQ(p.noiseLevel, 5);
    EXPECT_EQ(p.level[0], 11);
    EXPECT_EQ(p.level[1], 22);
    EXPECT_EQ(p.level[2], 33);
    EXPECT_EQ(p.mono, 1);
    EXPECT_EQ(p.filterEnvelopeOn, 1);
    EXPECT_EQ(p.ampEnvelopeOn, 0);
    EXPECT_EQ(p.lfoOn, 1);
    EXPECT_EQ(p.ampEnvelope[0], 0.015);
    EXPECT_EQ(p.ampEnvelope[1], 0.25);
    EXPECT_EQ(p.ampEnvelope[2], 0.625);
    EXPECT_EQ(p.ampEnvelope[3], 1.375);
    EXPECT_EQ(p.filterEnvelope[0], 0.03125);
    EXPECT_EQ(p.filterEnvelope[1], 0.5);
    EXPECT_EQ(p.filterEnvelope[2], 0.375);
    EXPECT_EQ(p.filterEnvelope[3], 2.25);
    EXPECT_EQ(p.lfoSpeed, 6.5f);
    EXPECT_EQ(p.vibrato, 41);
    EXPECT_EQ(p.tremolo, 42);
    EXPECT_EQ(p.wahWah, 43);
    EXPECT_EQ(p.lfoAttack, 44);
    EXPECT_EQ(p.lfoWaveform, LFO_TRI);
    EXPECT_EQ(p.resonance, 201);
    EXPECT_EQ(p.cutoff, 23456);
    EXPECT_EQ(p.pitchBend, -3.75);
    EXPECT_EQ(p.portamento, 17);
    EXPECT_EQ(p.bendBase, 7);
    // The values reach the synthesiser itself, not just its record.
    EXPECT_EQ(synth.GetLfo().Waveform(), LFO_TRI);
    EXPECT_EQ(synth.GetTable(2), &SharedWavetables()[WAVE_SINE - 1]);
}

TEST(PatchBytesTest, PolyFileLoadsEveryFieldAndSavesTheSameBytes) {
    const std::string bytes = HandMadePatch();
    PolySynth synth;
    std::istringstream in(bytes);
    std::string error;
    ASSERT_TRUE(synth.Load(in, error)) << error;
    ExpectHandMadeFields(synth);
    EXPECT_EQ(synth.GetTable(0), &SharedWavetables()[WAVE_SAW - 1]);
    EXPECT_EQ(synth.GetTable(1), &SharedWavetables()[WAVE_TRI - 1]);
    EXPECT_EQ(synth.GetControlValue(36), 41.0);  // vibrato
    EXPECT_EQ(synth.GetControlValue(35), 42.0);  // tremolo
    EXPECT_EQ(synth.GetControlValue(25), 0.0);   // amplitude envelope off
    EXPECT_EQ(synth.GetControlValue(41), 1.0);   // LFO Tri
    std::ostringstream out;
    ASSERT_TRUE(synth.Save(out));
    EXPECT_EQ(out.str(), bytes);
}

TEST(PatchBytesTest, SamplerFileLoadsEveryFieldAndSavesTheSameBytes) {
    FileBuilder f;
    f.bytes = HandMadePatch();
    f.U32(159, 3);  // frames
    f.U8(163, 0xFE);
    f.U8(164, 0xFF);  // -2
    f.U8(165, 0xE8);
    f.U8(166, 0x03);  // 1000
    f.U8(167, 0xFF);
    f.U8(168, 0x7F);  // 32767
    f.U32(169, 220);  // root frequency
    f.U32(173, 44100);
    f.U8(177, 2);  // loop between the points
    f.U32(178, 1);
    f.U32(182, 2);
    ASSERT_EQ(f.bytes.size(), 186u);

    Sampler sampler;
    std::istringstream in(f.bytes);
    std::string error;
    ASSERT_TRUE(sampler.Load(in, error)) << error;
    ExpectHandMadeFields(sampler);
    const Sample& s = sampler.GetSample();
    ASSERT_EQ(s.Length(), 3u);
    EXPECT_EQ(s.Data()[0], -2);
    EXPECT_EQ(s.Data()[1], 1000);
    EXPECT_EQ(s.Data()[2], 32767);
    EXPECT_EQ(s.RootFrequency(), 220u);
    EXPECT_EQ(s.SampleRate(), 44100u);
    EXPECT_EQ(s.GetLoopMode(), Sample::LOOP_POINTS);
    EXPECT_EQ(s.LoopStart(), 1u);
    EXPECT_EQ(s.LoopEnd(), 2u);
    EXPECT_EQ(sampler.GetTable(0), &s);
    EXPECT_EQ(sampler.GetTable(1), nullptr);
    EXPECT_EQ(sampler.GetControlValue(52), 1.0);  // Loop
    EXPECT_EQ(sampler.GetControlValue(1), 1.0);   // OSC1 shows "None": the sample plays there
    std::ostringstream out;
    ASSERT_TRUE(sampler.Save(out));
    EXPECT_EQ(out.str(), f.bytes);
}

}  // namespace
}  // namespace sound
