#include "detect/SpectrumAnalyser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "tests/detect/Signals.h"

namespace detect {
namespace {

constexpr int N = 2048;

class AnalyserTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(a.Configure(8000, N)); }
    SpectrumAnalyser a;
};

// The power of bin k of the windowed frame by the defining sum, as the transform must give it.
double DftPower(const std::vector<std::int16_t>& x, const SpectrumAnalyser& a, int k) {
    std::complex<double> sum;
    for (int i = 0; i < N; ++i)
        sum += a.Window()[i] * x[i] * std::polar(1.0, -2.0 * std::numbers::pi * k * i / N);
    return std::norm(sum);
}

// A cosine exactly on bin `k` of an n-point frame whose bin power is 10^(db/10).
std::vector<std::int16_t> CosineOfPower(int k, double db, int n = N) {
    double amplitude = std::pow(10.0, db / 20.0) * 4.0 * 32767.0 / n;
    std::vector<std::int16_t> x(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        x[i] = static_cast<std::int16_t>(
            std::lround(amplitude * std::cos(2.0 * std::numbers::pi * k * i / n)));
    return x;
}

TEST(SpectrumAnalyserTest, ConfigureSetsTheScaleTheWindowAndTheNoteTable) {
    SpectrumAnalyser a;
    EXPECT_EQ(a.SampleRate(), 44100);
    EXPECT_EQ(a.Size(), 2048);
    ASSERT_TRUE(a.Configure(8000, N));
    EXPECT_EQ(a.Bins(), 1024);
    EXPECT_DOUBLE_EQ(a.BinWidth(), 3.90625);
    for (double s : a.Spectrum())
        ASSERT_EQ(s, -96.0);
    for (double p : a.Power())
        ASSERT_EQ(p, 0.0);
    for (double f : a.NoiseFloor())
        ASSERT_EQ(f, 0.0);

    // Mirrored from the first half: both ends 0, the two middle samples equal.
    auto w = a.Window();
    ASSERT_EQ(w.size(), 2048u);
    EXPECT_EQ(w[0], 0.0);
    EXPECT_EQ(w[2047], 0.0);
    EXPECT_DOUBLE_EQ(
        w[1], 0.5 * (1.0 - std::cos(2.0 * std::numbers::pi / 2048.0)) * 3.051850947599719e-5);
    EXPECT_EQ(w[2046], w[1]);
    EXPECT_DOUBLE_EQ(w[512], 0.5 * 3.051850947599719e-5);
    EXPECT_EQ(w[1024], w[1023]);
    EXPECT_DOUBLE_EQ(w[1023],
                     0.5 * (1.0 - std::cos(2.0 * std::numbers::pi * 1023 / 2048.0)) / 32767.0);

    EXPECT_NEAR(a.NoteTableFrequency(0), 65.40639, 1e-5);
    EXPECT_DOUBLE_EQ(a.NoteTableFrequency(24), 261.6255653006);
    EXPECT_NEAR(a.NoteTableFrequency(33), 440.0, 1e-9);
    EXPECT_NEAR(a.NoteTableFrequency(71), 3951.0664, 1e-4);
    EXPECT_EQ(a.NoteTableFrequency(72), 0.0);
    EXPECT_NEAR(SpectrumAnalyser::NoteFrequency(33), 440.0, 1e-9);
    EXPECT_NEAR(SpectrumAnalyser::NoteFrequency(-12), 65.40639 / 2, 1e-5);
}

TEST_F(AnalyserTest, RefusesSizesAndBuffersItCannotUse) {
    EXPECT_FALSE(a.Configure(8000, 1000));
    EXPECT_FALSE(a.Configure(8000, 2));
    EXPECT_FALSE(a.Configure(0, 2048));
    EXPECT_EQ(a.Size(), 2048);
    EXPECT_EQ(a.SampleRate(), 8000);
    std::vector<std::int16_t> shortBuffer(N - 1, 1000);
    EXPECT_FALSE(a.Analyse(shortBuffer));
    for (double s : a.Spectrum())
        ASSERT_EQ(s, -96.0);
}

TEST_F(AnalyserTest, PowersEqualTheDefiningSumIncludingDcAndNyquistInBinZero) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> sample(-20000, 20000);
    std::vector<std::int16_t> x(N);
    for (auto& s : x)
        s = static_cast<std::int16_t>(sample(random) + 3000);  // a DC offset too
    ASSERT_TRUE(a.Analyse(x));
    for (int k : {1, 2, 17, 112, 511, 512, 1022, 1023})
        EXPECT_NEAR(a.Power()[k], DftPower(x, a, k), 1e-9 * DftPower(x, a, k)) << "bin " << k;
    double dc = DftPower(x, a, 0);
    double nyquist = DftPower(x, a, N / 2);
    EXPECT_NEAR(a.Power()[0], dc + nyquist, 1e-9 * (dc + nyquist));
}

TEST_F(AnalyserTest, ASteady64DbBinRisesBySmoothingAndClampsAtZero) {
    // 16-bit samples reach at most 54 dB in a 2048-point bin; 8192 points reach 66 dB.
    ASSERT_TRUE(a.Configure(8000, 8192));
    auto x = CosineOfPower(400, 64.0, 8192);
    const double expected[] = {-64.0, -40.0, -22.0, -8.5, 0.0, 0.0};
    const double levels[] = {32, 56, 74, 88, 96, 96};
    for (int frame = 0; frame < 6; ++frame) {
        ASSERT_TRUE(a.Analyse(x));
        EXPECT_NEAR(10.0 * std::log10(a.Power()[400]), 64.0, 0.01);
        EXPECT_NEAR(a.Spectrum()[400], expected[frame], 0.02) << "frame " << frame;
        EXPECT_EQ(a.BinLevel(400), levels[frame]) << "frame " << frame;
    }
}

TEST_F(AnalyserTest, ABinFallsAtMostTenDbPerFrameAndStopsAtTheFloor) {
    auto loud = test::Sine(400.0, 0.0, N);  // far above 0 dB: clamped
    for (int i = 0; i < 8; ++i)
        a.Analyse(loud);
    ASSERT_EQ(a.Spectrum()[102], 0.0);
    std::vector<std::int16_t> silence(N, 0);
    // x is held at spectrum - 10, so each frame takes 0.25 x 10 off.
    for (double expected : {-2.5, -5.0, -7.5, -10.0}) {
        a.Analyse(silence);
        EXPECT_DOUBLE_EQ(a.Spectrum()[102], expected);
    }
    // Below -86 the fall limit no longer binds and smoothing approaches the floor.
    for (int i = 0; i < 200; ++i)
        a.Analyse(silence);
    for (double s : a.Spectrum()) {
        ASSERT_GE(s, -96.0);
        ASSERT_LT(s, -96.0 + 1e-9);
    }
    for (double p : a.Power())
        ASSERT_EQ(p, 0.0);
    EXPECT_EQ(a.BinLevel(102), 1.0);  // trunc(-95.99...) is -95
}

TEST_F(AnalyserTest, LevelAtFrequencyReadsTheTruncatedBin) {
    auto x = test::Sine(437.5, -40.0, N);  // bin 112 exactly
    for (int i = 0; i < 8; ++i)
        a.Analyse(x);
    ASSERT_GT(a.BinLevel(112), a.BinLevel(113));
    ASSERT_GT(a.BinLevel(112), a.BinLevel(111));
    EXPECT_EQ(a.LevelAtFrequency(440.0), a.BinLevel(112));
    EXPECT_EQ(a.LevelAtFrequency(441.40625), a.BinLevel(113));  // 113.0 bins
    EXPECT_EQ(a.LevelAtFrequency(441.4), a.BinLevel(112));
    EXPECT_EQ(a.BinLevel(112), 96.0 - std::fabs(std::trunc(a.Spectrum()[112])));
    EXPECT_EQ(a.LevelAtFrequency(-4.0), 0.0);
    EXPECT_EQ(a.LevelAtFrequency(4000.0), 0.0);
    EXPECT_EQ(a.BinLevel(1024), 0.0);
}

TEST_F(AnalyserTest, NoiseCaptureTakesOneFrameAndLeavesItsDisplayUnchanged) {
    auto tone = CosineOfPower(100, 40.0);
    for (int i = 0; i < 3; ++i)
        a.Analyse(tone);
    std::vector<double> spectrum(a.Spectrum().begin(), a.Spectrum().end());
    std::vector<double> power(a.Power().begin(), a.Power().end());

    a.RequestNoiseCapture();
    auto noise = CosineOfPower(200, 30.0);
    ASSERT_TRUE(a.Analyse(noise));
    EXPECT_EQ(std::vector<double>(a.Spectrum().begin(), a.Spectrum().end()), spectrum);
    EXPECT_EQ(std::vector<double>(a.Power().begin(), a.Power().end()), power);
    EXPECT_NEAR(a.NoiseFloor()[200], 30.0 - 32.0 + 96.0, 0.01);
    EXPECT_EQ(a.NoiseFloor()[500], 0.0);  // the window leaves far bins empty
    EXPECT_NEAR(a.NoiseFloor()[201],
                std::clamp(10.0 * std::log10(DftPower(noise, a, 201)) - 32.0, -96.0, 0.0) + 96.0,
                1e-9);

    // The next frame is an ordinary one, its bins lowered by their profile.
    a.Analyse(noise);
    EXPECT_NE(a.Power()[200], power[200]);
    double x = 10.0 * std::log10(a.Power()[201]) - (a.NoiseFloor()[201] + 32.0);
    EXPECT_NEAR(
        a.Spectrum()[201],
        std::clamp(0.25 * std::max(x, spectrum[201] - 10.0) + 0.75 * spectrum[201], -96.0, 0.0),
        1e-9);
}

TEST_F(AnalyserTest, ClearingTheProfileWinsOverAPendingCapture) {
    auto tone = CosineOfPower(100, 40.0);
    a.RequestNoiseCapture();
    a.Analyse(tone);
    ASSERT_GT(a.NoiseFloor()[100], 0.0);
    a.ClearNoiseFloor();
    a.Analyse(tone);
    for (double f : a.NoiseFloor())
        ASSERT_EQ(f, 0.0);
    EXPECT_NEAR(a.Spectrum()[100], 0.25 * 8.0 + 0.75 * -96.0, 0.02);  // a normal frame, no profile

    a.RequestNoiseCapture();
    a.ClearNoiseFloor();  // NR on and off before a frame: no profile is taken
    a.Analyse(tone);
    for (double f : a.NoiseFloor())
        ASSERT_EQ(f, 0.0);
    EXPECT_GT(a.Spectrum()[100], 0.25 * 8.0 + 0.75 * -96.0 + 1.0);
}

}  // namespace
}  // namespace detect
