// fretlore render --seq and --strum: the chord player's notes laid out in the file exactly
// as it times them, at the pitches of the strings it picks.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/commands/RenderCommand.h"
#include "platform/audio/WavFile.h"
#include "sound/PluckedString.h"
#include "sound/Sampler.h"
#include "tests/app/NoteOnsets.h"
#include "tests/app/commands/CommandRun.h"
#include "theory/Sequence.h"

namespace {

namespace fs = std::filesystem;

// The pitches C major's first shape picks with pattern 0: C3, G3, C4, E4.
constexpr std::array<double, 4> C_PICKED{130.81, 196.0, 261.63, 329.63};
enum { C3, G3, C4, E4 };
// A minor's first shape: A2, E3, A3, C4, E4.
constexpr std::array<double, 5> AM_SHAPE{110.0, 164.81, 220.0, 261.63, 329.63};
enum { A2, E3, A3 };

class RenderChordsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("fretlore-chords-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        setenv("FRETLORE_HOME", dir.c_str(), 1);
        for (int s = 0; s < 6; ++s) {
            sound::Sampler sampler;
            sound::ConfigureGuitarString(sampler, s);
            ASSERT_EQ(sound::SavePatchFile(sampler, dir / sound::StringPatchName(s)), "");
        }
    }
    void TearDown() override {
        unsetenv("FRETLORE_HOME");
        fs::remove_all(dir);
    }
    commandtest::Result Run(const std::vector<std::string>& args) {
        return commandtest::Run(RunRenderCommand, args);
    }
    // C major (first shape) for a bar, then A minor (first shape) for a quarter bar.
    fs::path WriteSequence() {
        theory::Sequence sequence;
        sequence.steps[0] = {0, 0, 0, 4, 0, {}, {-1, 3, 2, 0, 1, 0}};
        sequence.steps[1] = {9, 1, 0, 1, 0, {}, {-1, 0, 2, 2, 1, 0}};
        sequence.count = 2;
        theory::SequenceImage image = theory::EncodeSequence(sequence);
        fs::path path = dir / "two.seq";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), image.size());
        return path;
    }
    std::vector<std::int16_t> Samples(const fs::path& path) {
        platform::WavData wav;
        EXPECT_EQ(platform::ReadWavFile(path, wav), "");
        EXPECT_EQ(wav.sampleRate, 22050u);
        return wav.samples;
    }

    fs::path dir;
};

TEST_F(RenderChordsTest, ASequencePlaysItsPatternEveryQuarterSecondLoopAfterLoop) {
    fs::path wav = dir / "seq.wav";
    auto r = Run(
        {"--seq", WriteSequence().string(), "--style", "0", "--loops", "2", "--out", wav.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<std::int16_t> samples = Samples(wav);
    std::span<const std::int16_t> all(samples);
    auto onsets = soundtest::NoteOnsets(all, 22050);
    // Pattern 0: a bar of C major is 8 notes, a quarter bar of A minor 2; twice.
    const int order[] = {C3, G3, C4, G3, E4, G3, C4, G3, A2, A3};
    static_assert(E3 == 1);
    ASSERT_EQ(onsets.size(), 20u);
    for (std::size_t k = 0; k < onsets.size(); ++k) {
        // The onset finder looks in 5 ms windows.
        EXPECT_NEAR(onsets[k] * 1000.0 / 22050, 250.0 * k, 5.5) << k;
        std::span<const double> candidates =
            k % 10 < 8 ? std::span<const double>(C_PICKED) : std::span<const double>(AM_SHAPE);
        EXPECT_EQ(soundtest::NewestPitch(all, 22050, onsets[k], candidates), order[k % 10]) << k;
    }
    // Pattern 1 picks one note of the quarter bar: 6 + 1.
    auto once = Run({"--seq", WriteSequence().string(), "--out", wav.string()});
    ASSERT_EQ(once.code, 0) << once.err;
    samples = Samples(wav);
    EXPECT_EQ(soundtest::NoteOnsets(std::span<const std::int16_t>(samples), 22050).size(), 7u);
}

TEST_F(RenderChordsTest, AStrumSoundsTheShapesStringsATenthOfASecondApart) {
    fs::path wav = dir / "strum.wav";
    auto r = Run({"--strum", "C", "Major", "--out", wav.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    std::vector<std::int16_t> samples = Samples(wav);
    std::span<const std::int16_t> all(samples);
    // C3 E3 G3 C4 E4 from the A string up, from the first sample on, 100 ms apart.
    const std::array<double, 5> strum{130.81, 164.81, 196.0, 261.63, 329.63};
    ASSERT_GT(samples.size(), 22050u);
    EXPECT_NE(samples[1], 0);
    // C4 (k = 3) lands on the ringing C3's second harmonic in a fixed phase and may cancel it.
    for (std::size_t k : {0, 1, 2, 4})
        EXPECT_EQ(soundtest::NewestPitch(all, 22050, 2205 * k, strum), static_cast<int>(k)) << k;
    // Drop D lowers string 0 to D2; the first shape of D major there plays it open.
    auto drop = Run({"--strum", "D", "Major", "--tuning", "Drop D", "--out", wav.string()});
    ASSERT_EQ(drop.code, 0) << drop.err;
    samples = Samples(wav);
    std::span<const std::int16_t> first(samples.data(), 2205);
    EXPECT_NEAR(soundtest::PeakFrequency(first, 22050, 60, 90), 73.42, 1.0);
}

// Written notes sound at their octave: Drop D an octave up plays its open low string as D3.
TEST_F(RenderChordsTest, AStrumInWrittenNotesSoundsInTheirOctave) {
    fs::path wav = dir / "high.wav";
    auto r = Run({"--strum", "D", "Major", "--tuning", "D3 A3 D4 G4 B4 E5", "--out", wav.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    std::vector<std::int16_t> samples = Samples(wav);
    std::span<const std::int16_t> first(samples.data(), 2205);
    EXPECT_NEAR(soundtest::PeakFrequency(first, 22050, 60, 200), 146.83, 2.0);
    auto bad = Run({"--strum", "D", "Major", "--tuning", "D3 A3 D4", "--out", wav.string()});
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("not six notes"), std::string::npos) << bad.err;
}

TEST_F(RenderChordsTest, DamagedOrEmptySequencesAndBadValuesAreOneLineErrors) {
    fs::path seq = WriteSequence();
    fs::resize_file(seq, 771);
    fs::path wav = dir / "never.wav";
    auto damaged = Run({"--seq", seq.string(), "--out", wav.string()});
    EXPECT_EQ(damaged.code, 2);
    EXPECT_EQ(commandtest::Lines(damaged.err).size(), 1u) << damaged.err;
    EXPECT_NE(damaged.err.find("not a sequence file"), std::string::npos) << damaged.err;
    EXPECT_FALSE(fs::exists(wav));

    theory::SequenceImage empty = theory::EncodeSequence(theory::Sequence{});
    std::ofstream(dir / "empty.seq", std::ios::binary)
        .write(reinterpret_cast<const char*>(empty.data()), empty.size());
    const std::vector<std::vector<std::string>> cases = {
        {"--seq", (dir / "empty.seq").string(), "--out", wav.string()},
        {"--seq", (dir / "missing.seq").string(), "--out", wav.string()},
        {"--seq", WriteSequence().string(), "--style", "3", "--out", wav.string()},
        {"--seq", WriteSequence().string(), "--loops", "0", "--out", wav.string()},
        {"--seq", WriteSequence().string()},
        {"--seq", WriteSequence().string(), "--strum", "C", "Major", "--out", wav.string()},
        {"--strum", "H", "Major", "--out", wav.string()},
        {"--strum", "C", "Majestic", "--out", wav.string()},
        {"--strum", "C", "Major", "--shape", "25", "--out", wav.string()},
        {"--strum", "C", "Major", "--tuning", "Nowhere", "--out", wav.string()},
        {"--strum", "C"},
    };
    for (const auto& args : cases) {
        auto r = Run(args);
        EXPECT_EQ(r.code, 2) << args[1];
        EXPECT_EQ(commandtest::Lines(r.err).size(), 1u) << r.err;
    }
    EXPECT_FALSE(fs::exists(wav));
}

TEST_F(RenderChordsTest, HelpListsEveryOption) {
    auto r = Run({"--help"});
    EXPECT_EQ(r.code, 0);
    for (const char* option :
         {"--string", "--fret", "--patch", "--note", "--ms", "--seq", "--loops", "--style",
          "--twelve", "--strum", "--shape", "--split", "--tuning", "--out"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
}

}  // namespace
