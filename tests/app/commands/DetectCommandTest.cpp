#include "app/commands/DetectCommand.h"

#include <gtest/gtest.h>

#include "CommandRun.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/audio/WavFile.h"

namespace {

using commandtest::Lines;
using commandtest::Result;

Result Detect(const std::vector<std::string>& args) {
    return commandtest::Run(RunDetectCommand, args);
}

// `seconds` of the tones at `rate` on every channel, at a quarter of full scale each.
std::string WriteTones(const std::string& name, std::uint32_t rate, std::uint16_t channels,
                       std::vector<double> tones, double seconds) {
    std::string path = ::testing::TempDir() + name;
    platform::WavWriter wav;
    EXPECT_EQ(wav.Open(path, rate, channels), "");
    std::vector<std::int16_t> frame(channels);
    for (std::size_t i = 0; i < static_cast<std::size_t>(seconds * rate); ++i) {
        double s = 0;
        for (double f : tones)
            s += std::sin(2 * M_PI * f * static_cast<double>(i) / rate);
        frame.assign(channels, static_cast<std::int16_t>(s * 8000));
        wav.Write(frame);
    }
    EXPECT_EQ(wav.Finish(), "");
    return path;
}

// What the buffers read, without their start times.
std::vector<std::string> Readings(const std::string& out) {
    std::vector<std::string> texts;
    for (const std::string& line : Lines(out)) {
        if (line.starts_with("most often")) continue;
        auto space = line.find(' ');
        texts.push_back(space == std::string::npos ? "" : line.substr(space + 1));
    }
    return texts;
}

TEST(DetectCommand, AHeldChordReadsTheSameAtAnyRateAndChannelCount) {
    const std::vector<double> aMinor = {220.0, 261.63, 329.63};
    std::string cd = WriteTones("a-minor-44k.wav", 44100, 2, aMinor, 3.0);
    std::string mic = WriteTones("a-minor-8k.wav", 8000, 1, aMinor, 3.0);
    Result fromCd = Detect({cd}), fromMic = Detect({mic});
    ASSERT_EQ(fromCd.code, 0) << fromCd.err;
    ASSERT_EQ(fromMic.code, 0) << fromMic.err;
    // 3 s hold 11 whole buffers of 256 ms; the last part-buffer is left out.
    std::vector<std::string> cdLines = Lines(fromCd.out);
    ASSERT_EQ(cdLines.size(), 12u);
    EXPECT_EQ(cdLines[0].substr(0, 5), "0.000");
    EXPECT_EQ(cdLines[1].substr(0, 5), "0.256");
    EXPECT_EQ(cdLines[10].substr(0, 5), "2.560");
    EXPECT_EQ(cdLines.back(), "most often: A Minor (10 of 11 buffers)");
    std::vector<std::string> cdReadings = Readings(fromCd.out);
    EXPECT_EQ(cdReadings, Readings(fromMic.out));
    for (std::size_t i = 1; i < cdReadings.size(); ++i)
        EXPECT_EQ(cdReadings[i], "A Minor") << i;
}

TEST(DetectCommand, NotesReadAsJsonWithOctaveFrequencyAndCents) {
    std::string cd = WriteTones("a4-44k.wav", 44100, 2, {440.0}, 1.1);
    std::string mic = WriteTones("a4-8k.wav", 8000, 1, {440.0}, 1.1);
    Result fromCd = Detect({cd, "--notes", "--json"}), fromMic = Detect({mic, "--notes", "--json"});
    ASSERT_EQ(fromCd.code, 0) << fromCd.err;
    std::vector<std::string> lines = Lines(fromCd.out);
    ASSERT_EQ(lines.size(), 4u);  // JSON Lines only: no summary
    EXPECT_TRUE(lines[0].starts_with("{\"t\": 0.000, \"peak\": ")) << lines[0];
    EXPECT_NE(lines[0].find("\"name\": null, \"octave\": null"), std::string::npos) << lines[0];
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_NE(lines[i].find("\"detected\": true, \"text\": \"A4 440.0Hz\""), std::string::npos)
            << lines[i];
        EXPECT_NE(
            lines[i].find("\"name\": \"A\", \"octave\": 4, \"frequency\": 440.0, \"cents\": 0}"),
            std::string::npos)
            << lines[i];
        EXPECT_NE(lines[i].find("\"levels\": ["), std::string::npos);
    }
    auto text = [](const std::string& line) {
        auto from = line.find("\"text\""), to = line.find(", \"levels\"");
        return line.substr(from, to - from);
    };
    std::vector<std::string> micLines = Lines(fromMic.out);
    ASSERT_EQ(micLines.size(), lines.size());
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(text(micLines[i]), text(lines[i]));
    // Chord mode writes root and chord type instead, -1 when nothing was found.
    Result chords = Detect({mic, "--json"});
    EXPECT_NE(Lines(chords.out)[0].find("\"root\": -1, \"chordType\": -1}"), std::string::npos);
}

TEST(DetectCommand, TheTriggerAndTheNoiseProfileAreTheModesOwn) {
    std::string mic = WriteTones("quiet-a4.wav", 8000, 1, {440.0}, 1.1);
    Result deaf = Detect({mic, "--notes", "--trigger", "96"});
    EXPECT_EQ(Lines(deaf.out).back(), "most often: nothing detected in 4 buffers");
    // The first buffer becomes the noise profile: the steady tone is taken away after it.
    Result reduced = Detect({mic, "--notes", "--nr"});
    ASSERT_EQ(reduced.code, 0) << reduced.err;
    EXPECT_EQ(Lines(reduced.out).back(), "most often: nothing detected in 4 buffers");
}

TEST(DetectCommand, SpellingWritesChordsInTheirKeyAndNotesAsTheirMajorKeysTonic) {
    std::string bbMajor = WriteTones("bb-major.wav", 8000, 1, {233.08, 293.66, 349.23}, 1.1);
    std::string csMinor = WriteTones("cs-minor.wav", 8000, 1, {277.18, 329.63, 415.30}, 1.1);
    std::string bb4 = WriteTones("bb4.wav", 8000, 1, {466.16}, 1.1);
    auto most = [](const Result& r) { return Lines(r.out).back(); };
    EXPECT_EQ(most(Detect({bbMajor})), "most often: A# Major (3 of 4 buffers)");
    EXPECT_EQ(most(Detect({bbMajor, "--spelling", "flats"})),
              "most often: Bb Major (3 of 4 buffers)");
    EXPECT_EQ(most(Detect({csMinor, "--spelling", "flats"})),
              "most often: Db Minor (3 of 4 buffers)");
    EXPECT_EQ(most(Detect({csMinor, "--spelling", "key"})),
              "most often: C# Minor (3 of 4 buffers)");
    Result note = Detect({bb4, "--notes", "--json", "--spelling", "key"});
    EXPECT_NE(Lines(note.out)[1].find("\"text\": \"Bb4 466.1Hz\""), std::string::npos) << note.out;
    EXPECT_NE(Lines(note.out)[1].find("\"name\": \"Bb\""), std::string::npos) << note.out;
    EXPECT_NE(Detect({bb4, "--notes"}).out.find("A#4 466.1Hz"), std::string::npos);
}

// Cents are read against the A4 given: a 442 Hz tone is in tune at 442, a 440 Hz one about
// 8 cents flat; the ends of the range are taken.
TEST(DetectCommand, NotesAndCentsFollowTheA4Given) {
    std::string a442 = WriteTones("a4-442.wav", 8000, 1, {442.0}, 1.1);
    std::string a440 = WriteTones("a4-440.wav", 8000, 1, {440.0}, 1.1);
    auto cents = [](const Result& r) {
        EXPECT_EQ(r.code, 0) << r.err;
        std::vector<int> all;
        for (const std::string& line : Lines(r.out)) {
            auto at = line.find("\"name\": \"A\", \"octave\": 4, ");
            if (at != std::string::npos)
                all.push_back(std::stoi(line.substr(line.find("\"cents\": ") + 9)));
        }
        EXPECT_EQ(all.size(), 3u) << r.out;
        return all;
    };
    for (int c : cents(Detect({a442, "--notes", "--json", "--a4", "442"})))
        EXPECT_LE(std::abs(c), 3);
    for (int c : cents(Detect({a440, "--notes", "--json", "--a4", "442"}))) {
        EXPECT_GE(c, -11);
        EXPECT_LE(c, -5);
    }
    for (int c : cents(Detect({a440, "--notes", "--json"})))
        EXPECT_LE(std::abs(c), 3);
    for (const char* edge : {"415", "466"})
        EXPECT_EQ(Detect({a440, "--notes", "--a4", edge}).code, 0) << edge;
}

TEST(DetectCommand, BadInputIsOneLineAndExitTwo) {
    std::string folder = ::testing::TempDir();
    std::string damaged = folder + "damaged.wav";
    { std::ofstream(damaged) << "RIFF....WAVEfmt nothing useful"; }
    struct Case {
        std::vector<std::string> args;
        std::string mentions;
    } cases[] = {
        {{}, "a recording is needed"},
        {{damaged}, damaged},
        {{folder + "missing.wav"}, "missing.wav"},
        {{damaged, "--trigger", "97"}, "--trigger needs a level from 0 to 96"},
        {{damaged, "--trigger"}, "--trigger needs"},
        {{damaged, "--a4", "414"}, "--a4 needs a pitch from 415 to 466 Hz"},
        {{damaged, "--a4", "467"}, "--a4 needs a pitch from 415 to 466 Hz"},
        {{damaged, "--a4"}, "--a4 needs"},
        {{damaged, "--loud"}, "unknown option '--loud'"},
        {{damaged, damaged}, "one recording at a time"},
        {{damaged, "--spelling", "bogus"}, "--spelling needs sharps, flats or key"},
        {{damaged, "--spelling"}, "--spelling needs"},
    };
    for (const Case& c : cases) {
        Result r = Detect(c.args);
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    }
    Result help = Detect({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.starts_with("usage: fretlore detect FILE"));
}

}  // namespace
