#include "app/commands/NameCommand.h"

#include <gtest/gtest.h>

#include "CommandRun.h"

#include <random>
#include <string>
#include <vector>

#include "theory/ChordSearch.h"

namespace {

using commandtest::Lines;
using commandtest::Result;

Result Name(const std::vector<std::string>& args) {
    return commandtest::Run(RunNameCommand, args);
}

TEST(NameCommand, NamesOpenShapesWithTheirItems) {
    Result c = Name({"x32010"});
    ASSERT_EQ(c.code, 0);
    EXPECT_TRUE(c.err.empty());
    EXPECT_EQ(Lines(c.out), (std::vector<std::string>{"C Major — 01 C (fret 1)",
                                                      "C Major — 04 C (fret 1) (split)"}));

    // The capo raises the strings; the frets stay as written.
    Result d = Name({"x32010", "--capo", "2"});
    ASSERT_EQ(d.code, 0);
    EXPECT_EQ(Lines(d.out), (std::vector<std::string>{"capo 2", "D Major — 01 D (fret 1)",
                                                      "D Major — 04 D (fret 1) (split)"}));

    Result json = Name({"x32010", "--json"});
    EXPECT_EQ(json.out,
              R"j({"frets":[-1,3,2,0,1,0],"tuning":0,"capo":0,"matches":[{"root":0,"type":0,)j"
              R"j("item":0,"text":"01 C (fret 1)","split":0},{"root":0,"type":0,"item":3,)j"
              R"j("text":"04 C (fret 1)","split":1}],"others":[]})j"
              "\n");

    // Drop D: the low string sounds D, so 000232 is D Major.
    Result drop = Name({"000232", "--tuning", "Drop D"});
    ASSERT_EQ(drop.code, 0);
    EXPECT_EQ(Lines(drop.out).at(0).rfind("D Major — 01 D", 0), 0u) << drop.out;
}

TEST(NameCommand, HighFretsComeAsSixWordsOrOneQuotedArgument) {
    Result quoted = Name({"x 10 12 12 11 x"});
    Result words = Name({"x", "10", "12", "12", "11", "x", "--json"});
    ASSERT_EQ(quoted.code, 0);
    ASSERT_EQ(words.code, 0);
    // G D G A# from the A string up: a G Minor not in any list.
    EXPECT_EQ(quoted.out, "not in the lists; its notes are those of: G Minor\n");
    EXPECT_EQ(words.out, R"j({"frets":[-1,10,12,12,11,-1],"tuning":0,"capo":0,"matches":[],)j"
                         R"j("others":[{"root":7,"type":1,"kind":"notes"}]})j"
                         "\n");
}

TEST(NameCommand, NearestChordsWhenNoChordHasTheNotes) {
    // C, G and F#: a power chord with one note extra.
    Result text = Name({"x3x0x2"});
    ASSERT_EQ(text.code, 0);
    EXPECT_EQ(Lines(text.out),
              (std::vector<std::string>{"not in the lists, nor are its notes a chord's; nearest:",
                                        "C 5 — one note extra: F#"}));
    // E, D and B: E 7sus4 without its A, among others, each with its kind.
    Result json = Name({"0x0x0x", "--json"});
    ASSERT_EQ(json.code, 0);
    EXPECT_NE(json.out.find(R"j({"root":4,"type":6,"kind":"missing","note":9})j"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(R"j("kind":"extra","note":2})j"), std::string::npos);
    EXPECT_EQ(json.out.find(R"j("kind":"notes")j"), std::string::npos);
}

TEST(NameCommand, EveryListedShapeNamesItsOwnChord) {
    using namespace theory;
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> root(0, 11), type(0, CHORD_TYPE_COUNT - 1),
        tuning(0, TUNING_COUNT - 1), split(0, 1);
    int named = 0;
    for (int n = 0; n < 24; ++n) {
        PitchClass r = root(random);
        int t = type(random), u = tuning(random);
        bool s = split(random) == 1;
        StringTuning strings{};
        for (int k = 0; k < STRING_COUNT; ++k)
            strings[k] = static_cast<std::uint8_t>(Tunings[u].strings[k]);
        VoicingList list;
        FindVoicings(r, t, strings, s, list);
        for (int i = 0; i < list.count; ++i) {
            std::vector<std::string> args{"--tuning", std::to_string(u)};
            for (std::int8_t fret : list.items[i].frets)
                args.push_back(fret == NOT_PLAYED ? "x" : std::to_string(fret));
            std::string text = InversionItemText(i, r, list.items[i]);
            std::string want = std::string(NoteNames[r]) + " " +
                               std::string(ChordTypes[t].shortName) + " — " + text +
                               (s ? " (split)" : "") + "\n";
            // Plain text has one '#' where the stored names have two.
            for (std::size_t at; (at = want.find("##")) != std::string::npos;)
                want.erase(at, 1);
            Result run = Name(args);
            ASSERT_EQ(run.code, 0);
            EXPECT_NE(run.out.find(want), std::string::npos) << want << " in\n" << run.out;
            ++named;
        }
    }
    EXPECT_GT(named, 150);
}

TEST(NameCommand, BadInputIsOneLineAndExitTwo) {
    const std::vector<std::vector<std::string>> bad{
        {"x3201"},
        {"x3201y"},
        {"x 3 2 0 1 25"},
        {"xxxxxx"},
        {"x", "3", "2", "0", "1"},
        {"x32010", "--capo", "12"},
        {"x32010", "--capo", "-1"},
        {"x32010", "--tuning", "Banjo"},
        {"x32010", "--frets"},
        {},
    };
    for (const auto& args : bad) {
        Result run = Name(args);
        EXPECT_EQ(run.code, 2) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
        EXPECT_TRUE(run.err.starts_with("fretlore name: ")) << run.err;
    }
    Result top = Name({"x 3 2 0 1 24"});
    EXPECT_EQ(top.code, 0);

    Result help = Name({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* option : {"--tuning", "--capo", "--json", "--help"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

}  // namespace
