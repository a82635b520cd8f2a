#include "theory/KeyGroup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace theory {
namespace {

constexpr std::int32_t m = MINOR_CODE;

std::vector<std::string> Names(PitchClass key) {
    std::vector<std::string> names;
    for (std::string_view n : KeyGroupNames(key))
        names.emplace_back(n);
    return names;
}

TEST(Circle, RunsInFifthsClockwiseWithEachRelativeMinorAMinorThirdBelow) {
    for (int i = 0; i < CIRCLE_SIZE; ++i) {
        PitchClass major = CircleMajorPitches[i];
        EXPECT_EQ(CircleMajors[i], NoteNames[major]) << i;
        EXPECT_EQ(CircleMinors[i], std::string(NoteNames[CircleMinorPitches[i]]) + "m") << i;
        EXPECT_EQ(CircleMinorPitches[i], WrapPitch(major + 9)) << i;
        EXPECT_EQ(CircleMajorPitches[CircleStep(i, 1)], WrapPitch(major + 7)) << i;
        EXPECT_EQ(CirclePosition(major), i);
    }
    EXPECT_EQ(CircleMajors[0], "C");
    EXPECT_EQ(CircleMajors[6], "F##");  // the bottom
    EXPECT_EQ(CircleMajors[11], "F");
    EXPECT_EQ(CirclePosition(-1), -1);
    EXPECT_EQ(CirclePosition(12), -1);
    EXPECT_EQ(CircleStep(0, -1), 11);
    EXPECT_EQ(CircleStep(11, 1), 0);
}

TEST(KeyGroup, ThreeKeysWrittenOut) {
    EXPECT_EQ(MakeKeyGroup(0), (KeyGroup{0, 2 + m, 4 + m, 5, 7, 9 + m}));    // C Dm Em F G Am
    EXPECT_EQ(MakeKeyGroup(6), (KeyGroup{6, 8 + m, 10 + m, 11, 1, 3 + m}));  // F# G#m A#m B C# D#m
    EXPECT_EQ(MakeKeyGroup(9), (KeyGroup{9, 11 + m, 1 + m, 2, 4, 6 + m}));   // A Bm C#m D E F#m
    EXPECT_EQ(Names(0), (std::vector<std::string>{"C", "Dm", "Em", "F", "G", "Am"}));
    EXPECT_EQ(Names(6), (std::vector<std::string>{"F##", "G##m", "A##m", "B", "C##", "D##m"}));
    EXPECT_EQ(Names(9), (std::vector<std::string>{"A", "Bm", "C##m", "D", "E", "F##m"}));
}

TEST(KeyGroup, EveryKeyHoldsTheTriadsOnItsMajorScale) {
    // Degrees 1, 2, 3, 4, 5 and 6 of the major scale: major, minor, minor, major, major, minor.
    const int degree[] = {0, 2, 4, 5, 7, 9};
    const bool minor[] = {false, true, true, false, false, true};
    for (PitchClass key = 0; key < 12; ++key) {
        KeyGroup group = MakeKeyGroup(key);
        auto names = KeyGroupNames(key);
        for (int k = 0; k < KEY_GROUP_SIZE; ++k) {
            std::int32_t code = WrapPitch(key + degree[k]) + (minor[k] ? m : 0);
            EXPECT_EQ(group[k], code) << "key " << key << " chord " << RomanNumerals[k];
            EXPECT_EQ(names[k], ChordCodeName(code)) << "key " << key << " chord " << k;
        }
    }
}

TEST(KeyGroup, NoKeyGivesNoChords) {
    EXPECT_EQ(MakeKeyGroup(12), KeyGroup{});
    EXPECT_EQ(KeyGroupNames(-1)[0], "");
    EXPECT_EQ(ChordCodeName(1 + m), "C##m");
    EXPECT_EQ(ChordCodeName(11), "B");
    EXPECT_EQ(ChordCodeName(12), "");
}

}  // namespace
}  // namespace theory
