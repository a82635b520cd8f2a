#include "app/commands/ChordsCommand.h"

#include <gtest/gtest.h>

#include "CommandRun.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

using commandtest::Lines;
using commandtest::Result;

Result Chords(const std::vector<std::string>& args) {
    return commandtest::Run(RunChordsCommand, args);
}

TEST(ChordsCommand, JsonLineHoldsTheStoredItems) {
    Result run = Chords({"C", "Major", "--json"});
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(run.err.empty());
    EXPECT_TRUE(run.out.starts_with(
        R"j({"root":0,"type":0,"tuning":0,"split":0,"items":[{"text":"01 C (fret 1)","bass":0,)j"
        R"j("labelFret":0,"frets":[-1,3,2,0,1,0]},{"text":"02 C (fret 1)",)j"));
    EXPECT_TRUE(run.out.ends_with(R"j("labelFret":9,"frets":[-1,-1,10,12,13,12]}]})j"
                                  "\n"));
    EXPECT_EQ(Lines(run.out).size(), 1u);

    Result sharp = Chords({"F#", "Major", "--split", "--json"});
    EXPECT_NE(sharp.out.find(R"j("text":"03 F##/A## (fret 3)","bass":10,)j"), std::string::npos);
}

TEST(ChordsCommand, AllJsonNestsRootTypeTuningSplit) {
    Result run = Chords({"--all", "--json"});
    ASSERT_EQ(run.code, 0);
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 12u * 44 * 16 * 2);
    EXPECT_EQ(lines[0] + "\n", Chords({"C", "Major", "--json"}).out);
    EXPECT_TRUE(lines[1].starts_with(R"j({"root":0,"type":0,"tuning":0,"split":1,)j"));
    EXPECT_TRUE(lines[2].starts_with(R"j({"root":0,"type":0,"tuning":1,"split":0,)j"));
    EXPECT_TRUE(lines[32].starts_with(R"j({"root":0,"type":1,"tuning":0,"split":0,)j"));
    // F# (6), "-5" (36), Open G (9), split.
    std::size_t index = ((6 * 44 + 36) * 16 + 9) * 2 + 1;
    EXPECT_EQ(lines[index] + "\n",
              Chords({"Gb", "-5", "--tuning", "Open G", "--split", "--json"}).out);
    EXPECT_TRUE(lines.back().starts_with(R"j({"root":11,"type":43,"tuning":15,"split":1,)j"));
}

TEST(ChordsCommand, TextBoxesShowOneSharpAndMirrorForTheLeftHand) {
    Result run = Chords({"C", "Major"});
    ASSERT_EQ(run.code, 0);
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "C Major (Major Chord), Standard tuning: 7 shapes");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 10),
              (std::vector<std::string>{"01 C (fret 1)", "    x        o     o",
                                        "    ================", " 1  |  |  |  |  C  |",
                                        "    |  |  E  |  |  |", "    |  C  |  |  |  |",
                                        "    |  |  |  |  |  |", "    E  A  D  G  B  E"}));

    lines = Lines(Chords({"C", "Major", "--left"}).out);
    EXPECT_EQ(lines[3], "    o     o        x");
    EXPECT_EQ(lines[5], " 1  |  C  |  |  |  |");
    EXPECT_EQ(lines[9], "    E  B  G  D  A  E");

    Result sharp = Chords({"F#", "Major", "--split"});
    EXPECT_NE(sharp.out.find("03 F#/A# (fret 3)\n"), std::string::npos);
    EXPECT_NE(sharp.out.find(" 2  F# |  |  |  C# F#\n"), std::string::npos);
    EXPECT_EQ(sharp.out.find("##"), std::string::npos);
    EXPECT_NE(Chords({"C", "13"}).out.find("no playable shape"), std::string::npos);
}

TEST(ChordsCommand, SpellingWritesNamesWithFlatsOrInTheChordsKey) {
    Result f = Chords({"F", "Major", "--spelling", "key"});
    ASSERT_EQ(f.code, 0) << f.err;
    std::vector<std::string> lines = Lines(f.out);
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "F Major (Major Chord), Standard tuning: 6 shapes");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 10),
              (std::vector<std::string>{"01 F (fret 1)", "",
                                        "    ================", " 1  F  |  |  |  C  F",
                                        "    |  |  |  A  |  |", "    |  C  F  |  |  |",
                                        "    |  |  |  |  |  |", "    E  A  D  G  B  E"}));
    // F7's seventh is the key's flat, not A#'s neighbour D#.
    Result f7 = Chords({"F", "7", "--spelling", "key"});
    EXPECT_NE(f7.out.find(" 1  F  |  Eb |  C  F\n    |  |  |  A  |  |\n    |  C  |  |  |  |"),
              std::string::npos)
        << f7.out;
    EXPECT_EQ(f7.out.find('#'), std::string::npos);
    // A# under flats; D major keeps its F# and C# under key.
    Result bb = Chords({"A#", "Major", "--split", "--spelling", "flats"});
    EXPECT_TRUE(bb.out.starts_with("Bb Major (Major Chord)")) << bb.out;
    EXPECT_NE(bb.out.find("/D (fret"), std::string::npos);
    EXPECT_EQ(bb.out.find('#'), std::string::npos);
    Result d = Chords({"D", "Major", "--spelling", "key"});
    EXPECT_NE(d.out.find(" 2  |  |  |  A  |  F#"), std::string::npos) << d.out;
    EXPECT_EQ(d.out, Chords({"D", "Major"}).out);
    // The shapes never change, only their names.
    Result json = Chords({"C#", "m7", "--split", "--json", "--spelling", "flats"});
    Result sharps = Chords({"C#", "m7", "--split", "--json"});
    EXPECT_NE(json.out.find("{\"text\":\"01 Db/E (fret 1)\",\"bass\":4,"), std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("{\"text\":\"02 Db/Ab (fret 2)\",\"bass\":8,"), std::string::npos);
    auto frets = [](std::string text) {
        std::string out;
        for (std::size_t at = 0; (at = text.find("\"bass\"", at)) != std::string::npos; ++at)
            out += text.substr(at, text.find(']', at) - at);
        return out;
    };
    EXPECT_EQ(frets(json.out), frets(sharps.out));
    EXPECT_FALSE(frets(json.out).empty());
}

// The names reach the command's parsers; their spellings are checked with the parsers.
TEST(ChordsCommand, RootsTypesSymbolsAndTuningsAreReadByName) {
    auto json = [](std::vector<std::string> args) {
        args.push_back("--json");
        Result run = Chords(args);
        EXPECT_EQ(run.code, 0) << args[0] << ": " << run.err;
        return run.out;
    };
    EXPECT_EQ(json({"Db", "m7"}), json({"C#", "m7"}));
    // Types starting with '-' are chord names, not options.
    EXPECT_EQ(Chords({"A", "-9+5"}).code, 0);
    EXPECT_EQ(json({"Am7"}), json({"A", "m7"}));
    EXPECT_EQ(json({"Bbmaj7"}), json({"A#", "maj7"}));
    EXPECT_EQ(json({"C", "M7"}), json({"C", "maj7"}));
    const std::string dropD = json({"C", "m7", "--tuning", "Dropped D"});
    EXPECT_TRUE(dropD.starts_with(R"j({"root":0,"type":29,"tuning":1,)j")) << dropD;
    for (const char* name : {"drop-d", "D A D G B E", "1"})
        EXPECT_EQ(json({"C", "m7", "--tuning", name}), dropD) << name;
    EXPECT_EQ(json({"C", "m7", "--tuning=Drop D"}), dropD);
    EXPECT_EQ(Chords({"C", "m7", "--json", "--tuning", "1"}).out, dropD);  // options in any order
}

// Behind a capo at fret 2, D Major is played with the C Major shapes of the tuning.
TEST(ChordsCommand, CapoListsTheShapesPlayedBehindIt) {
    Result d = Chords({"D", "Major", "--capo", "2", "--json"});
    ASSERT_EQ(d.code, 0) << d.err;
    std::string c = Chords({"C", "Major", "--json"}).out;
    // The same frets and labels item for item; only the names and the capo differ.
    std::string expected = c;
    expected.replace(0, std::string(R"j({"root":0,"type":0,"tuning":0,)j").size(),
                     R"j({"root":2,"type":0,"tuning":0,"capo":2,)j");
    for (std::string from : {"C (fret", "\"bass\":0,", "\"bass\":4,", "\"bass\":7,"}) {
        std::string to = from == "C (fret"       ? "D (fret"
                         : from == "\"bass\":0," ? "\"bass\":2,"
                         : from == "\"bass\":4," ? "\"bass\":6,"
                                                 : "\"bass\":9,";
        for (std::size_t at = expected.find(from); at != std::string::npos;
             at = expected.find(from, at + to.size()))
            expected.replace(at, from.size(), to);
    }
    EXPECT_EQ(d.out, expected);

    std::vector<std::string> lines = Lines(Chords({"D", "Major", "--capo", "2"}).out);
    ASSERT_GE(lines.size(), 11u);
    EXPECT_EQ(lines[0], "capo 2");
    EXPECT_EQ(lines[1], "D Major (Major Chord), Standard tuning: 7 shapes");
    EXPECT_EQ(lines[3], "01 D (fret 1)");
    EXPECT_EQ(lines[6], " 1  |  |  |  |  D  |");
    // The strings as they sound with the capo on.
    EXPECT_EQ(lines[10], "    F# B  E  A  C# F#");

    // Capo 0 is no capo: the output is that of today, byte for byte.
    EXPECT_EQ(Chords({"C", "Major", "--capo", "0", "--json"}).out, c);
    EXPECT_EQ(Chords({"C", "Major", "--capo=0"}).out, Chords({"C", "Major"}).out);
    // Capo 11 on Drop D: its strings raised by eleven semitones, wrapping.
    EXPECT_EQ(
        Chords({"C#", "m7", "--tuning", "1", "--capo", "11", "--json"}).out.find("\"capo\":11,"),
        std::string(R"j({"root":1,"type":29,"tuning":1,)j").size());
}

TEST(ChordsCommand, BadInputExitsTwoWithTheChoices) {
    struct Case {
        std::vector<std::string> args;
        std::string errorMentions;
    };
    const std::vector<Case> cases = {
        {{"H", "Major"}, "Db"},
        {{"C#b", "Major"}, "Bb"},
        {{"C", "major7"}, "m(maj7)"},
        {{"C", "Major", "--tuning", "16"}, "15 Low C"},
        {{"C", "Major", "--tuning", "DADGAD"}, "1 Dropped D"},
        {{"C", "Major", "--tuning"}, "0 Standard"},
        {{"C", "Major", "--flat"}, "--split"},
        {{"C", "Major", "--capo", "12"}, "0 to 11"},
        {{"C", "Major", "--capo", "-1"}, "0 to 11"},
        {{"C", "Major", "--capo", "2x"}, "'2x'"},
        {{"C", "Major", "--capo"}, "--capo K"},
        {{"--all", "--json", "--capo", "2"}, "--json"},
        {{"C", "Major", "extra"}, "--help"},
        {{"--left"}, "--help"},
        {{"Hm7"}, "Bb"},
        {{"Cmaj8"}, "maj7"},
        {{"--all"}, "--json"},
        {{"--all", "--json", "--split"}, "--json"},
        {{"C", "Major", "--spelling", "bogus"}, "--spelling needs sharps, flats or key"},
        {{"C", "Major", "--spelling"}, "--spelling needs"},
        {{"--all", "--json", "--spelling", "key"}, "--json"},
    };
    for (const Case& c : cases) {
        Result run = Chords(c.args);
        EXPECT_EQ(run.code, 2) << c.args[0];
        EXPECT_TRUE(run.out.empty()) << c.args[0];
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
        EXPECT_NE(run.err.find(c.errorMentions), std::string::npos) << run.err;
    }
}

TEST(ChordsCommand, HelpSucceedsAndAFailedWriteDoesNot) {
    Result help = Chords({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.starts_with("usage: fretlore chords ROOT TYPE"));

    std::ostream broken(nullptr);
    std::ostringstream err;
    std::vector<std::string> args{"C", "Major"};
    EXPECT_EQ(RunChordsCommand(args, broken, err), 1);
    EXPECT_FALSE(err.str().empty());
}

}  // namespace
