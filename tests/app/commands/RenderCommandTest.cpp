#include "app/commands/RenderCommand.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/audio/WavFile.h"
#include "sound/PluckedString.h"
#include "sound/Sampler.h"
#include "sound/Wavetables.h"
#include "tests/sound/AudioProbe.h"

namespace {

namespace fs = std::filesystem;

class RenderCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("fretlore-render-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        setenv("FRETLORE_HOME", dir.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("FRETLORE_HOME");
        fs::remove_all(dir);
    }

    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        return RunRenderCommand(args, out, err);
    }

    // The fundamental of the rendered file, measured over 0.75 s after the attack.
    double Fundamental(const fs::path& wavPath, double expected) {
        platform::WavData wav;
        EXPECT_EQ(platform::ReadWavFile(wavPath, wav), "");
        EXPECT_EQ(wav.sampleRate, 22050u);
        EXPECT_EQ(wav.channels, 1);
        if (wav.samples.size() < 2205 + 16384) return 0;
        std::span<const std::int16_t> part(wav.samples.data() + 2205, 16384);
        return soundtest::PeakFrequency(part, 22050, expected * 0.85, expected * 1.15);
    }

    void WriteGuitarString(int string) {
        sound::Sampler sampler;
        sound::ConfigureGuitarString(sampler, string);
        auto path = dir / sound::StringPatchName(string);
        ASSERT_EQ(sound::SavePatchFile(sampler, path), "");
    }

    int ErrLines() const {
        std::string text = err.str();
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }

    fs::path dir;
    std::ostringstream out, err;
};

TEST_F(RenderCommandTest, OpenAAndLowEStringsSoundAtTheirPitch) {
    WriteGuitarString(0);
    WriteGuitarString(1);
    const std::vector<std::pair<int, double>> strings = {{1, 110.0}, {0, 82.4069}};
    for (auto [string, hz] : strings) {
        fs::path wav = dir / ("open" + std::to_string(string) + ".wav");
        ASSERT_EQ(Run({"--string", std::to_string(string), "--fret", "0", "--out", wav.string()}),
                  0)
            << err.str();
        EXPECT_EQ(err.str(), "");
        double measured = Fundamental(wav, hz);
        EXPECT_NEAR(soundtest::Cents(measured, hz), 0.0, 3.0) << measured << " Hz";
    }
    // A fret is a semitone: A string at fret 2 is B2.
    fs::path wav = dir / "b2.wav";
    ASSERT_EQ(Run({"--string", "1", "--fret", "2", "--ms", "300", "--out", wav.string()}), 0);
    EXPECT_NEAR(soundtest::Cents(Fundamental(wav, 123.4708), 123.4708), 0.0, 3.0);
}

TEST_F(RenderCommandTest, MissingStringFileFallsBackToTheSynthesisedGuitar) {
    fs::path wav = dir / "synth.wav";
    ASSERT_EQ(Run({"--string", "3", "--fret", "0", "--out", wav.string()}), 0);
    EXPECT_NE(err.str().find("g4.sampler"), std::string::npos);
    EXPECT_EQ(ErrLines(), 1);
    platform::WavData data;
    ASSERT_EQ(platform::ReadWavFile(wav, data), "");
    EXPECT_GT(soundtest::PeakAbs(std::span<const std::int16_t>(data.samples)), 2000);
}

TEST_F(RenderCommandTest, PatchFilesPlayAtTheirNote) {
    sound::PolySynth synth;
    synth.SetWaveform(0, sound::WAVE_SINE);
    synth.SetWaveform(1, sound::WAVE_NONE);
    synth.SetAmpEnvelope(0, 0.1, 1.0, 0.1, true);
    ASSERT_EQ(sound::SavePatchFile(synth, dir / "sine.poly"), "");
    fs::path wav = dir / "sine.wav";
    ASSERT_EQ(Run({"--patch", (dir / "sine.poly").string(), "--note", "57", "--ms", "1000", "--out",
                   wav.string()}),
              0)
        << err.str();
    // The wavetables sound 0.2 % sharp (800 frames labelled 55 Hz at 44100 Hz).
    EXPECT_NEAR(Fundamental(wav, 220.5), 220.5, 0.2);
    platform::WavData data;
    ASSERT_EQ(platform::ReadWavFile(wav, data), "");
    // Held for one second, then a 0.1 s release and a few silent blocks.
    EXPECT_GT(data.samples.size(), 22050u + 2205u);
    EXPECT_LT(data.samples.size(), 22050u + 2205u + 5 * 356u);
}

TEST_F(RenderCommandTest, DamagedPatchIsAOneLineErrorAndNoFile) {
    std::ofstream(dir / "bad.sampler", std::ios::binary) << std::string(100, '\x07');
    fs::path wav = dir / "never.wav";
    EXPECT_EQ(
        Run({"--patch", (dir / "bad.sampler").string(), "--note", "60", "--out", wav.string()}), 2);
    EXPECT_NE(err.str().find("damaged"), std::string::npos);
    EXPECT_EQ(ErrLines(), 1);
    EXPECT_FALSE(fs::exists(wav));
    EXPECT_FALSE(fs::exists(dir / "never.wav.tmp"));
}

TEST_F(RenderCommandTest, BadArgumentsAreOneLineErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--string", "1", "--fret", "0"},
        {"--string", "6", "--fret", "0", "--out", "x.wav"},
        {"--string", "1", "--fret", "-1", "--out", "x.wav"},
        {"--string", "1x", "--fret", "0", "--out", "x.wav"},
        {"--patch", "a.poly", "--out", "x.wav"},
        {"--patch", "a.poly", "--note", "128", "--out", "x.wav"},
        {"--patch", "a.txt", "--note", "60", "--out", "x.wav"},
        {"--patch", "missing.poly", "--note", "60", "--out", "x.wav"},
        {"--string", "1", "--fret", "0", "--patch", "a.poly", "--out", "x.wav"},
        {"--string", "1", "--fret", "0", "--ms", "0", "--out", "x.wav"},
        {"--frets", "1"},
        {"--out"},
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(Run(args), 2) << joined;
        EXPECT_EQ(ErrLines(), 1) << joined << err.str();
    }
    EXPECT_EQ(Run({"--out", (dir / "none" / "x.wav").string(), "--string", "0", "--fret", "0"}), 2);
    EXPECT_NE(err.str().find("cannot write " + (dir / "none" / "x.wav").string() +
                             ": No such file or directory"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out.str().find("usage: fretlore render"), std::string::npos);
}

TEST_F(RenderCommandTest, AnUnknownOptionIsCalledUnknownWhereverItStands) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-x"}, {"--out", "x.wav", "-x"}, {"-x", "--out", "x.wav"}}) {
        EXPECT_EQ(Run(args), 2);
        EXPECT_EQ(err.str(), "fretlore render: unknown option '-x' (see fretlore render --help)\n");
    }
    EXPECT_EQ(Run({"--string", "0", "--out"}), 2);
    EXPECT_EQ(err.str(), "fretlore render: --out needs a value (see fretlore render --help)\n");
}

// What --out names is the only thing written: no planted link beside it is followed, and a
// link given as --out stays a link to the new recording.
TEST_F(RenderCommandTest, OutWritesOnlyTheFileItNames) {
    std::ofstream(dir / "victim") << "precious";
    fs::create_symlink(dir / "victim", dir / "x.wav.tmp");
    ASSERT_EQ(Run({"--string", "0", "--fret", "0", "--out", (dir / "x.wav").string()}), 0)
        << err.str();
    fs::create_symlink("x.wav", dir / "link.wav");
    ASSERT_EQ(
        Run({"--string", "0", "--fret", "5", "--ms", "300", "--out", (dir / "link.wav").string()}),
        0)
        << err.str();
    std::ifstream victim(dir / "victim");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(victim), {}), "precious");
    EXPECT_TRUE(fs::is_symlink(dir / "x.wav.tmp"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.wav"));
    platform::WavData wav;
    ASSERT_EQ(platform::ReadWavFile(dir / "x.wav", wav), "");
    EXPECT_GT(wav.samples.size(), 22050u * 3 / 10);  // the second, longer note
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 4);
}

}  // namespace
