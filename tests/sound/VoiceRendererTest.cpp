// A sampler voice rendered a block at a time against the same voice taken one frame at a
// time: one oscillator, amplitude envelope and velocity, no LFO, filter or noise.

#include "sound/VoiceRenderer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace sound {
namespace {

constexpr std::uint32_t RATE = 22050;

// 1000 frames reaching both ends of 16 bits, with a jump between neighbours everywhere so
// that an interpolation weight put on the wrong frame shows.
Sample Recording(std::uint8_t loopMode) {
    std::vector<std::int16_t> frames(1000);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = static_cast<std::int16_t>(static_cast<std::int32_t>(i * 7919 % 65536) - 32768);
    frames[1] = 32767;
    frames[2] = -32768;
    frames[999] = 32767;
    Sample s;
    s.Assign16(std::move(frames), RATE);
    s.SetRootFrequency(440);  // 440 Hz then steps one frame: 4096
    s.SetLoop(loopMode, 200, 700);
    return s;
}

Voice StartVoice(const Sample& recording, double hz, std::int32_t level, int velocity) {
    Voice v;
    v.idle = false;
    v.oscillatorCount = 1;
    v.oscillators[Voice::SLOT_1].Start(recording, hz, RATE, level);
    v.SetVelocity(velocity);
    v.ampEnvelope.SetSampleRate(RATE);
    // Attack over 88 frames, decay to 0.6 over 441 and release over 2205, so that every
    // stage ends inside a block.
    v.ampEnvelope.SetAll(0.004, 0.05, 0.6, 0.1);
    v.ampEnvelope.Trigger();
    return v;
}

// The synthesiser's per-frame loop for this voice: a voice found off goes idle; otherwise
// its sample, times the envelope's tick >> 15, times the velocity >> 6, is added.
void RenderFrameByFrame(Voice& v, std::span<std::int32_t> out) {
    for (std::int32_t& sum : out) {
        if (v.idle) return;
        if (v.ampEnvelope.GetState() == Adsr::OFF) {
            v.idle = true;
            return;
        }
        std::int32_t s = v.NextSample(0);
        s = (v.ampEnvelope.Tick() * s) >> 15;
        sum += (v.gain * s) >> 6;
    }
}

struct Case {
    std::uint8_t loopMode;
    double hz;  // steps: 440 Hz is 4096
    std::int32_t level;
    int velocity;
};

TEST(VoiceRendererTest, SamplerVoiceBlocksMatchFrameByFrame) {
    const std::array<Case, 9> cases{{
        {Sample::ONE_SHOT, 1234.5, 64, 64},  // runs out mid-block during the decay
        {Sample::ONE_SHOT, 110.0, 37, 56},   // runs out during the release
        {Sample::ONE_SHOT, 440.0, 64, 56},
        {Sample::LOOP_ALL, 317.3, 64, 64},
        {Sample::LOOP_ALL, 1234.5, 50, 33},
        {Sample::LOOP_ALL, 440.0, 64, 64},
        {Sample::LOOP_POINTS, 317.3, 64, 56},
        {Sample::LOOP_POINTS, 2903.1, 41, 64},
        {Sample::LOOP_POINTS, 440.0, 64, 64},
    }};
    // Odd sizes leave every remainder of a four-frame group; 3000 frames in, the release.
    constexpr std::array<std::size_t, 8> sizes = {356, 1, 97, 5, 1024, 3, 200, 6};
    const VoiceBlockParams plain;
    auto scratch = std::make_unique<VoiceScratch>();
    for (const Case& c : cases) {
        const Sample recording = Recording(c.loopMode);
        Voice block = StartVoice(recording, c.hz, c.level, c.velocity);
        Voice frame = block;
        std::uint32_t noise = 1;
        std::size_t done = 0;
        for (std::size_t b = 0; !block.idle; ++b) {
            ASSERT_LT(done, 20000u) << "the release never ended";
            if (done >= 3000 && block.ampEnvelope.Held()) {
                block.ampEnvelope.Release();
                frame.ampEnvelope.Release();
            }
            std::vector<std::int32_t> got(sizes[b % sizes.size()], 1000 - 7 * b);
            std::vector<std::int32_t> want = got;
            RenderVoiceBlock(block, noise, plain, *scratch, got);
            RenderFrameByFrame(frame, want);
            SCOPED_TRACE(testing::Message() << "mode " << int{c.loopMode} << " at " << c.hz
                                            << " Hz, frames " << done << "+");
            ASSERT_EQ(got, want);
            done += got.size();
            if (block.idle) break;
            ASSERT_FALSE(frame.idle);
            const Oscillator& a = block.oscillators[0];
            const Oscillator& b0 = frame.oscillators[0];
            ASSERT_EQ(a.Position(), b0.Position());
            ASSERT_EQ(block.ampEnvelope.Level(), frame.ampEnvelope.Level());
            ASSERT_EQ(block.ampEnvelope.GetState(), frame.ampEnvelope.GetState());
        }
        // The frame-by-frame voice has nothing more to add either.
        std::vector<std::int32_t> rest(64, 0);
        RenderFrameByFrame(frame, rest);
        EXPECT_EQ(rest, std::vector<std::int32_t>(64, 0));
        // One-shots end with their recording, the loops with their release.
        EXPECT_EQ(block.oscillators[0].Finished(), c.loopMode == Sample::ONE_SHOT);
        EXPECT_EQ(done > 3000, c.hz < 200 || c.loopMode != Sample::ONE_SHOT);
    }
}

}  // namespace
}  // namespace sound
