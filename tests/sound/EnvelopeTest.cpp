#include "sound/Envelope.h"

#include <gtest/gtest.h>

#include <vector>

namespace sound {
namespace {

// An envelope at `rate` with the given stages, triggered.
Adsr Triggered(std::uint32_t rate, double attack, double decay, double sustain, double release) {
    Adsr a;
    a.SetSampleRate(rate);
    a.SetAll(attack, decay, sustain, release);
    a.Trigger();
    return a;
}

TEST(EnvelopeTest, TimeZeroReachesFullScaleInOneTick) {
    Envelope e(22050);
    e.SetTime(0);
    e.Trigger();
    EXPECT_EQ(e.Tick(), 32767);
    EXPECT_FALSE(e.IsActive());
}

TEST(EnvelopeTest, OneSecondRampAt22050) {
    Envelope e(22050);
    e.SetTime(1.0);
    EXPECT_EQ(e.Step(), 760);
    e.Trigger();
    std::vector<std::int32_t> ramp(22075);
    e.RenderRamp(ramp);
    EXPECT_TRUE(e.IsActive());
    EXPECT_LT(e.Current(), ENVELOPE_FULL);
    EXPECT_EQ(e.Tick(), 32767);  // the 22076th tick: 16777215 / 760 rounded up
    EXPECT_EQ(e.Current(), ENVELOPE_FULL);
    EXPECT_FALSE(e.IsActive());
    // The ramp falls back to a target and stops there.
    e.SetTarget(0x800000);
    while (e.IsActive())
        e.Tick();
    EXPECT_EQ(e.Current(), 0x800000);
    e.SetValue(5);
    EXPECT_FALSE(e.IsActive());
}

TEST(AdsrTest, AttackZeroPeaksAfter22SamplesAt22050) {
    Adsr a = Triggered(22050, 0, 0.1, 0.5, 0.2);
    EXPECT_EQ(a.AttackStep(), 760871);
    for (int i = 1; i <= 21; ++i)
        EXPECT_EQ(a.Tick(), (760871 * i) >> 9) << i;
    EXPECT_EQ(a.Tick(), 32767);
    EXPECT_EQ(a.GetState(), Adsr::DECAY);
}

TEST(AdsrTest, StagesFollowOneAnother) {
    Adsr a = Triggered(1000, 0.01, 0.01, 0.5, 0.01);
    int ticks = 0;
    while (a.GetState() != Adsr::SUSTAIN && ticks < 100)
        a.Tick(), ++ticks;
    EXPECT_EQ(a.Level(), a.SustainLevel());
    EXPECT_EQ(a.Tick(), 0x7FFFFF >> 9);  // held: stays
    a.Release();
    ticks = 0;
    while (a.GetState() != Adsr::OFF && ticks < 100)
        a.Tick(), ++ticks;
    EXPECT_NEAR(ticks, 10, 1);  // the release time is the fall from sustain to 0
    EXPECT_EQ(a.Tick(), 0);
}

TEST(AdsrTest, ReleaseDuringAttackFallsFromWhereItIs) {
    Adsr a = Triggered(22050, 1.0, 0.1, 0.5, 0.5);
    for (int i = 0; i < 100; ++i)
        a.Tick();
    std::int32_t level = a.Level();
    a.Release();
    a.Tick();
    EXPECT_EQ(a.Level(), level - a.ReleaseStep());
    EXPECT_EQ(a.ReleaseStep(), 760);  // 0x7FFFFF over half a second of frames, truncated
}

// Full sustain never leaves the peak; zero sustain falls silent at once on release.
TEST(AdsrTest, SustainAtItsEnds) {
    Adsr full = Triggered(22050, 0, 0.5, 1.0, 0.2);
    while (full.GetState() == Adsr::ATTACK)
        full.Tick();
    EXPECT_EQ(full.Tick(), 32767);
    EXPECT_EQ(full.GetState(), Adsr::SUSTAIN);
    Adsr zero = Triggered(22050, 0, 0.1, 0.0, 1.0);
    EXPECT_EQ(zero.ReleaseStep(), 0);
    zero.Tick();
    zero.Release();
    EXPECT_EQ(zero.Tick(), 0);
    EXPECT_EQ(zero.GetState(), Adsr::OFF);
}

TEST(AdsrTest, QuickReleaseEndsWithinTenMilliseconds) {
    Adsr a = Triggered(22050, 0, 0.1, 1.0, 3.0);
    for (int i = 0; i < 100; ++i)
        a.Tick();
    a.QuickRelease();
    int ticks = 0;
    while (a.GetState() != Adsr::OFF)
        a.Tick(), ++ticks;
    EXPECT_LE(ticks, 221);
}

TEST(AdsrTest, ExtremeTimesNeitherOverflowNorStall) {
    Adsr a;
    a.SetSampleRate(8000);
    a.SetAll(1e9, 1e-300, 2.0, -5);
    EXPECT_GE(a.AttackStep(), 1);
    EXPECT_EQ(a.SustainLevel(), ENVELOPE_FULL);
    a.SetSampleRate(1);
    a.SetAll(0, 0, 0.5, 0);
    EXPECT_LE(a.AttackStep(), ENVELOPE_FULL);
    a.Trigger();
    EXPECT_EQ(a.Tick(), 32767);
    Envelope e(1);
    e.SetTime(1e-12);
    EXPECT_EQ(e.Step(), ENVELOPE_FULL);
}

// Block rendering must be Tick for Tick the same, whatever the block edges, through
// every stage change, releases at any moment, quick releases and retriggers.
TEST(AdsrTest, BlockRenderingMatchesTickByTick) {
    struct Shape {
        double attack, decay, sustain, release;
    };
    const Shape shapes[] = {{0, 0.1, 0.5, 0.2},        {0.01, 0.01, 1.0, 0.05},
                            {0.003, 0.2, 0.0, 1.0},    {1e-9, 1e-9, 0.3, 1e-9},
                            {0.05, 0.002, 0.999, 0.3}, {0.02, 0.5, 0.01, 0.001}};
    const std::size_t blocks[] = {1, 7, 64, 356, 1024};
    std::uint32_t random = 12345;
    for (const Shape& shape : shapes) {
        for (std::size_t block : blocks) {
            Adsr ticked = Triggered(22050, shape.attack, shape.decay, shape.sustain, shape.release);
            Adsr rendered = ticked;
            std::vector<std::int32_t> out(block);
            for (int round = 0; round < 60; ++round) {
                random = random * 1103515245u + 12345u;
                switch ((random >> 16) % 8) {
                    case 0:
                        ticked.Release(), rendered.Release();
                        break;
                    case 1:
                        ticked.QuickRelease(), rendered.QuickRelease();
                        break;
                    case 2:
                        ticked.Trigger(), rendered.Trigger();
                        break;
                    default:
                        break;
                }
                std::size_t live = rendered.Render(out);
                std::size_t expectLive = ticked.GetState() == Adsr::OFF ? 0 : block;
                for (std::size_t f = 0; f < block; ++f) {
                    ASSERT_EQ(out[f], ticked.Tick()) << f;
                    if (ticked.GetState() == Adsr::OFF && expectLive == block) expectLive = f + 1;
                }
                ASSERT_EQ(live, expectLive);
                ASSERT_EQ(rendered.Level(), ticked.Level());
                ASSERT_EQ(rendered.GetState(), ticked.GetState());
            }
        }
    }
}

}  // namespace
}  // namespace sound
