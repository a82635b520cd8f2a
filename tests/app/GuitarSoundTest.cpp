// Strum and a tap on the fret board, heard through the WAV-file sound device and analysed.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <functional>
#include <span>

#include "../sound/AudioProbe.h"
#include "GameHarness.h"
#include "platform/audio/WavFile.h"

namespace {

using apptest::GameRun;

struct Heard {
    std::vector<std::int16_t> samples;
    std::uint32_t rate = 0;
};

Heard RunAndListen(const std::string& script, const std::string& name,
                   std::function<void(app::MyGame&)> before = {}) {
    setenv("FRETLORE_HOME", FRETLORE_APP_DIR, 1);  // the generated g1..g6.sampler
    std::string wav = ::testing::TempDir() + name + ".wav";
    {
        GameRun run([wav] { return std::make_unique<platform::WavFileWaveOut>(wav); });
        if (before) before(run.game);
        EXPECT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + script));
    }
    unsetenv("FRETLORE_HOME");
    platform::WavData data;
    EXPECT_EQ(platform::ReadWavFile(wav, data), "");
    return {data.samples, data.sampleRate};
}

TEST(GuitarSound, StrumPlaysTheSelectedShape) {
    Heard heard = RunAndListen(std::string(apptest::TAP_STRUM) + "wait 1200\n", "strum");
    ASSERT_EQ(heard.rate, 22050u);
    ASSERT_GT(heard.samples.size(), 22050u);
    std::span<const std::int16_t> all(heard.samples);
    EXPECT_GT(soundtest::Rms(all), 200.0);
    // C major from the A string up: C3, E3, G3, C4, E4. Their fundamentals stand well above
    // a note the chord does not hold (F#3).
    double notHeld = soundtest::MagnitudeAt(all, 22050, 185.0);
    for (double hz : {130.81, 164.81, 196.0, 261.63})
        EXPECT_GT(soundtest::MagnitudeAt(all, 22050, hz), 3 * notHeld) << hz;
}

TEST(GuitarSound, ATapOnTheOpenAStringSoundsA2AndATapOffTheBoardIsSilent) {
    Heard heard = RunAndListen("tap 150 12\nwait 800\n", "pluck");
    std::span<const std::int16_t> all(heard.samples);
    ASSERT_GT(soundtest::Rms(all), 100.0);
    double hz = soundtest::PeakFrequency(all, 22050, 90, 130);
    EXPECT_LT(std::abs(soundtest::Cents(hz, 110.0)), 10.0) << hz;

    Heard silent = RunAndListen("tap 225 100\nwait 400\n", "off-board");
    EXPECT_EQ(soundtest::PeakAbs(std::span<const std::int16_t>(silent.samples)), 0);
}

// The strings follow another A4 only when asked: the open A string at A4 = 466 sounds
// 110 x 466 / 440 = 116.5 Hz, and stays at 110 Hz for the detector's A4 alone.
TEST(GuitarSound, TheStringsFollowAnotherA4OnlyWhenAsked) {
    auto openA = [](int a4, bool sound) {
        Heard heard = RunAndListen("tap 150 12\nwait 800\n", "a4-" + std::to_string(sound),
                                   [=](app::MyGame& game) { game.SetConcertPitch(a4, sound); });
        return soundtest::PeakFrequency(std::span<const std::int16_t>(heard.samples), 22050, 100,
                                        125);
    };
    double retuned = openA(466, true);
    EXPECT_LT(std::abs(soundtest::Cents(retuned, 116.5)), 10.0) << retuned;
    EXPECT_NEAR(retuned / 110.0, 466.0 / 440.0, 0.006);
    double kept = openA(466, false);
    EXPECT_LT(std::abs(soundtest::Cents(kept, 110.0)), 10.0) << kept;
}

TEST(GuitarSound, ATapOnAScaleNoteSoundsItAndATapOnTheScaleBoardsEdgeIsSilent) {
    const std::string toScales = std::string(apptest::TAP_MENU) + "tap 120 136\nframes 1\n";
    // C on the A string at fret 3: C3.
    Heard heard = RunAndListen(toScales + "tap 150 115\nwait 800\n", "scale-pluck");
    std::span<const std::int16_t> all(heard.samples);
    ASSERT_GT(soundtest::Rms(all), 100.0);
    double hz = soundtest::PeakFrequency(all, 22050, 115, 150);
    EXPECT_LT(std::abs(soundtest::Cents(hz, 130.81)), 10.0) << hz;

    Heard silent = RunAndListen(toScales + "tap 225 115\nwait 400\n", "scale-edge");
    EXPECT_EQ(soundtest::PeakAbs(std::span<const std::int16_t>(silent.samples)), 0);
}

// One shape, x32010, strummed without a capo (C Major) and behind capo 2 (found for D Major):
// the lowest note, alone between 115 and 155 Hz in both, moves up a whole tone.
TEST(GuitarSound, BehindCapoTwoTheSameShapeSoundsAWholeToneHigher) {
    Heard open = RunAndListen(std::string(apptest::TAP_STRUM) + "wait 1200\n", "capo-0");
    Heard capo = RunAndListen(
        std::string("key ]\nkey ]\nkey d\n") + apptest::TAP_STRUM + "wait 1200\n", "capo-2");
    std::span<const std::int16_t> low(open.samples), high(capo.samples);
    ASSERT_GT(soundtest::Rms(high), 200.0);
    double c3 = soundtest::PeakFrequency(low, 22050, 115, 155);
    double d3 = soundtest::PeakFrequency(high, 22050, 115, 155);
    EXPECT_LT(std::abs(soundtest::Cents(c3, 130.81)), 10.0) << c3;
    EXPECT_LT(std::abs(soundtest::Cents(d3 / c3, std::pow(2.0, 2.0 / 12))), 5.0) << d3 / c3;

    // A tap on the open A string's row plays it at the capo: B2.
    Heard tap = RunAndListen("key ]\nkey ]\ntap 150 12\nwait 800\n", "capo-tap");
    double hz =
        soundtest::PeakFrequency(std::span<const std::int16_t>(tap.samples), 22050, 90, 140);
    EXPECT_LT(std::abs(soundtest::Cents(hz, 123.47)), 10.0) << hz;
}

TEST(GuitarSound, MissingPatchFilesFallBackToTheSynthesisedGuitar) {
    setenv("FRETLORE_HOME", "/nonexistent-fretlore-home", 1);
    std::string wav = ::testing::TempDir() + "fallback.wav";
    {
        GameRun run([wav] { return std::make_unique<platform::WavFileWaveOut>(wav); });
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + "tap 150 12\nwait 600\n"));
        std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find("g1.sampler"), std::string::npos);
    }
    unsetenv("FRETLORE_HOME");
    platform::WavData data;
    ASSERT_EQ(platform::ReadWavFile(wav, data), "");
    EXPECT_GT(soundtest::Rms(std::span<const std::int16_t>(data.samples)), 100.0);
}

}  // namespace
