// --tuning of the subcommands: the user's tunings from the settings file (read, never
// written) and six notes written on the command line.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "CommandRun.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/commands/ChordsCommand.h"
#include "app/commands/NameCommand.h"
#include "theory/TuningTable.h"

namespace {

using commandtest::Lines;
using commandtest::Result;

const std::string SETTINGS = "[tunings]\nMy G = D2 G2 D3 G3 B3 D4\nBad = D2 G2\n";

struct UserTuningCommand : ::testing::Test {
    std::string folder = ::testing::TempDir() + "cmd-tunings-" + std::to_string(getpid());
    void SetUp() override {
        std::string dir = folder + "/fretlore";
        ASSERT_EQ(system(("mkdir -p '" + dir + "'").c_str()), 0);
        std::ofstream(dir + "/settings.ini", std::ios::binary) << SETTINGS;
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        theory::SetCustomTunings({});
    }
    std::string Settings() {
        std::ifstream in(folder + "/fretlore/settings.ini", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

// The part of a JSON line after its tuning index.
std::string Items(const std::string& json) {
    return json.substr(json.find(",\"split\""));
}

TEST_F(UserTuningCommand, ChordsTakesTheUsersTuningByNameAndSaysWhichLineWasBad) {
    Result mine = commandtest::Run(RunChordsCommand, {"G", "Major", "--tuning", "my g", "--json"});
    ASSERT_EQ(mine.code, 0) << mine.err;
    EXPECT_EQ(mine.err,
              "fretlore chords: " + folder +
                  "/fretlore/settings.ini: line 3 skipped (not six notes): Bad = D2 G2\n");
    EXPECT_TRUE(mine.out.starts_with(R"({"root":7,"type":0,"tuning":16,)")) << mine.out;
    theory::SetCustomTunings({});
    Result openG =
        commandtest::Run(RunChordsCommand, {"G", "Major", "--tuning", "Open G", "--json"});
    EXPECT_EQ(Items(mine.out), Items(openG.out));
    EXPECT_EQ(Settings(), SETTINGS);  // read, never written

    Result text = commandtest::Run(RunChordsCommand, {"G", "Major", "--tuning", "My G"});
    EXPECT_TRUE(text.out.starts_with("G Major (Major Chord), My G tuning: ")) << text.out;
    Result named = commandtest::Run(RunNameCommand, {"000000", "--tuning", "My G"});
    ASSERT_EQ(named.code, 0);
    EXPECT_TRUE(named.out.starts_with("G Major")) << named.out;
}

TEST_F(UserTuningCommand, SixWrittenNotesAreATuningAndABuiltInWhenTheySoundAlike) {
    auto json = [](const std::string& tuning) {
        return commandtest::Run(RunChordsCommand, {"C", "m7", "--tuning", tuning, "--json"}).out;
    };
    std::string dropD = json("Dropped D");
    EXPECT_EQ(json("D2 A2 D3 G3 B3 E4"), dropD);
    EXPECT_EQ(json("d2 a2 d3 g3 b3 e4"), dropD);  // the built-in's own row, not a new one
    std::string dadgad = json("D2 A2 D3 G3 A3 D4");
    EXPECT_TRUE(dadgad.starts_with(R"({"root":0,"type":29,"tuning":17,)")) << dadgad;
    EXPECT_NE(Items(dadgad), Items(dropD));
    Result text =
        commandtest::Run(RunChordsCommand, {"C", "Major", "--tuning", "D2 A2 D3 G3 A3 D4"});
    EXPECT_TRUE(text.out.starts_with("C Major (Major Chord), D2 A2 D3 G3 A3 D4 tuning: "));
    EXPECT_NE(text.out.find("\n    D  A  D  G  A  D\n"), std::string::npos) << text.out;

    Result bad =
        commandtest::Run(RunChordsCommand, {"C", "Major", "--tuning", "D2 A2 D3 G3 A3 D9"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.out.empty());
    ASSERT_EQ(Lines(bad.err).size(), 2u) << bad.err;  // the bad settings line, then this
    EXPECT_NE(bad.err.find("octave out of range (0 to 6) in D9"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("15 Low C, 16 My G)"), std::string::npos) << bad.err;  // the choices
}

}  // namespace
