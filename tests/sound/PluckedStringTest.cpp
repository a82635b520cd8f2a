#include "sound/PluckedString.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/sound/AudioProbe.h"

namespace sound {
namespace {

using soundtest::Cents;
using soundtest::MagnitudeAt;
using soundtest::PeakFrequency;
using soundtest::Rms;

class PluckedStringTest : public ::testing::TestWithParam<int> {};

TEST_P(PluckedStringTest, SoundsLikeAPluckedStringAtItsOpenPitch) {
    const int string = GetParam();
    const PluckSettings settings = GuitarStringSettings(string);
    const double f = settings.frequency;
    const double rate = settings.sampleRate;
    auto sound = RenderPluckedString(settings);
    ASSERT_EQ(sound.size(), static_cast<std::size_t>(settings.seconds * rate));
    std::span<const std::int16_t> all(sound);

    // The fundamental is in tune within a few cents.
    auto body = all.subspan(2205, 16384);
    double measured = PeakFrequency(body, rate, f * 0.8, f * 1.2);
    EXPECT_NEAR(Cents(measured, f), 0.0, 3.0) << measured << " Hz";

    // It starts loud and dies away: no beep with a flat envelope.
    double start = Rms(all.subspan(0, 2205));
    double middle = Rms(all.subspan(all.size() / 2, 2205));
    EXPECT_GT(start, 3000);
    EXPECT_LT(middle, start * 0.6);
    EXPECT_EQ(sound.back(), 0);

    // Rich in harmonics, and they lie on the harmonic series.
    double fundamental = MagnitudeAt(body, rate, measured);
    int strongHarmonics = 0;
    for (int k = 2; k <= 6; ++k) {
        if (MagnitudeAt(body, rate, k * measured) > 0.05 * fundamental) ++strongHarmonics;
    }
    EXPECT_GE(strongHarmonics, 3);
    // The high partials fade faster than the fundamental.
    auto late = all.subspan(all.size() / 2, 16384);
    double early8 = MagnitudeAt(body, rate, 8 * measured) / fundamental;
    double late8 = MagnitudeAt(late, rate, 8 * measured) / MagnitudeAt(late, rate, measured);
    EXPECT_LT(late8, early8);
}

INSTANTIATE_TEST_SUITE_P(EveryString, PluckedStringTest, ::testing::Range(0, 6));

TEST(GuitarStringTest, InstrumentPlaysItsRecordingAtNote69Unshifted) {
    Sampler sampler;
    ConfigureGuitarString(sampler, 1);
    sampler.SetSampleRate(22050);
    EXPECT_EQ(sampler.GetSample().RootFrequency(), 440u);
    EXPECT_EQ(sampler.GetSample().GetLoopMode(), Sample::ONE_SHOT);
    EXPECT_EQ(sampler.GetTable(0), &sampler.GetSample());
    EXPECT_EQ(sampler.GetTable(1), nullptr);
    sampler.NoteOn(69, 56);
    EXPECT_EQ(sampler.GetVoice(0).oscillators[0].Step(), 4096);
    // A 100 ms note rings on after its release.
    std::vector<std::int32_t> block(2205);
    sampler.Render(block);
    sampler.NoteOff(69);
    for (int i = 0; i < 5; ++i)
        sampler.Render(block);
    EXPECT_GT(soundtest::Rms(std::span<const std::int32_t>(block)), 1000);
}

}  // namespace
}  // namespace sound
