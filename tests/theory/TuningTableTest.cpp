// The table of every tuning by list index (built-ins, then the user's) and the written notes
// a user's tuning is made of.

#include "theory/TuningTable.h"

#include <gtest/gtest.h>

#include "theory/ChordSearch.h"
#include "theory/CurrentTuning.h"
#include "theory/Names.h"

namespace theory {
namespace {

struct TableFixture : ::testing::Test {
    ~TableFixture() override {
        SetCustomTunings({});
        SetTuning(0, false);
    }
};

StringPitches Pitches(std::string_view text, bool octavesRequired = true) {
    std::string error;
    auto pitches = ParseStringPitches(text, octavesRequired, error);
    EXPECT_TRUE(pitches) << text << ": " << error;
    return pitches.value_or(StringPitches{});
}

std::string Refusal(std::string_view text, bool octavesRequired = true) {
    std::string error;
    EXPECT_FALSE(ParseStringPitches(text, octavesRequired, error)) << text;
    return error;
}

TEST(StringPitches, WrittenNotesGiveTheirNoteNumbers) {
    EXPECT_EQ(Pitches("E2 A2 D3 G3 B3 E4"), (StringPitches{40, 45, 50, 55, 59, 64}));
    EXPECT_EQ(Pitches("D2 A2 D3 G3 A3 D4"), (StringPitches{38, 45, 50, 55, 57, 62}));
    // Sharps and flats both ways, no spaces needed; a flat of C falls into the octave below.
    EXPECT_EQ(Pitches("C#2 Db2 Cb3 B#2 F##3 G♭0"), (StringPitches{37, 37, 47, 48, 54, 18}));
    EXPECT_EQ(Pitches("C0 C1 C2 C3 C4 C6"), (StringPitches{12, 24, 36, 48, 60, 84}));
    // Without octaves, where allowed, each string is the step from standard, unwrapped.
    EXPECT_EQ(Pitches("D A D G A D", false), (StringPitches{38, 45, 50, 55, 57, 62}));
    EXPECT_EQ(Pitches("EADGBE", false), StandardPitches);
}

TEST(StringPitches, BadNotesAreRefusedWithTheirReason) {
    EXPECT_EQ(Refusal("E2 A2 D3 G3 B3"), "not six notes");
    EXPECT_EQ(Refusal("E2 A2 D3 G3 B3 E4 A4"), "more than six notes");
    EXPECT_EQ(Refusal("E2 A2 H3 G3 B3 E4"), "unknown note H3");
    EXPECT_EQ(Refusal("E2 A2 D3x G3 B3 E4"), "unknown note D3x");
    EXPECT_EQ(Refusal("E2 A2 D3 G3 B3 E7"), "octave out of range (0 to 6) in E7");
    EXPECT_EQ(Refusal("E2 A2 D3 G3 B3 E"), "octaves on some notes but not all");
    EXPECT_EQ(Refusal("E A D G B E"), "notes without octaves");
    EXPECT_EQ(Refusal(""), "not six notes");
    EXPECT_EQ(Pitches("B6 B6 B6 B6 B6 B6")[0], 95);  // the top of the range is taken
}

TEST_F(TableFixture, TheUserTuningsFollowTheBuiltInsWhichNeverMove) {
    EXPECT_EQ(TuningCount(), 16);
    EXPECT_FALSE(TuningRowAt(16));
    EXPECT_FALSE(TuningRowAt(-1));
    TuningRow baritone{"Baritone", {}, Pitches("B1 E2 A2 D3 F#3 B3")};
    baritone.strings = ClassesOf(baritone.pitches);
    SetCustomTunings(std::vector<TuningRow>{baritone, {"Nashville", {}, StandardPitches}});
    EXPECT_EQ(TuningCount(), 18);
    auto first = TuningRowAt(16);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name, "Baritone");
    EXPECT_EQ(first->strings, (StringTuning{11, 4, 9, 2, 6, 11}));
    EXPECT_EQ(TuningRowAt(17)->name, "Nashville");
    EXPECT_FALSE(TuningRowAt(18));
    // The built-ins keep their rows and sound the pitch-class step from standard.
    EXPECT_EQ(TuningRowAt(15)->name, "Low C");
    EXPECT_EQ(TuningRowAt(11)->pitches, (StringPitches{40, 45, 52, 57, 49, 64}));  // Open A
    EXPECT_EQ(TuningRowAt(0)->pitches, StandardPitches);
    EXPECT_EQ(FindCustomTuning("baritone"), 16);
    EXPECT_EQ(FindCustomTuning("Nashville"), 17);
    EXPECT_FALSE(FindCustomTuning("Standard"));

    ASSERT_TRUE(SetTuning(16, true));
    EXPECT_EQ(CurrentTuning().strings, (StringTuning{11, 4, 9, 2, 6, 11}));
    EXPECT_EQ(CurrentTuning().index, 16);
    EXPECT_EQ(NoteAt(0, 1), 0);
    EXPECT_EQ(CapoTuning(16, 2), (StringTuning{1, 6, 11, 4, 8, 1}));
    EXPECT_FALSE(SetTuning(18, false));
    EXPECT_EQ(CurrentTuning().index, 16);
}

TEST_F(TableFixture, TheTableHoldsSixteenOfTheUsersTunings) {
    std::vector<TuningRow> many(MAX_CUSTOM_TUNINGS + 3, TuningRow{"x", {}, StandardPitches});
    SetCustomTunings(many);
    EXPECT_EQ(TuningCount(), 32);
    SetCustomTunings(std::span(many).first(15));
    EXPECT_EQ(AddCustomTuning({"last", {}, StandardPitches}), 31);
    EXPECT_FALSE(AddCustomTuning({"one too many", {}, StandardPitches}));
    EXPECT_EQ(TuningRowAt(31)->name, "last");
}

TEST_F(TableFixture, AUserTuningEqualToABuiltInGivesItsShapes) {
    StringPitches openG = Pitches("D2 G2 D3 G3 B3 D4");
    EXPECT_EQ(FindBuiltInTuning(openG), 9);
    EXPECT_FALSE(FindBuiltInTuning(Pitches("D3 G2 D3 G3 B3 D4")));  // an octave away
    SetCustomTunings(std::vector<TuningRow>{{"My G", ClassesOf(openG), openG}});
    ASSERT_TRUE(SetTuning(16, false));
    StringTuning builtIn = CapoTuning(9, 0);
    EXPECT_EQ(CurrentTuning().strings, builtIn);
    for (int type : {0, 1, 10, 29}) {
        VoicingList mine, theirs;
        FindVoicings(7, type, CurrentTuning().strings, true, mine);
        FindVoicings(7, type, builtIn, true, theirs);
        ASSERT_EQ(mine.count, theirs.count) << type;
        ASSERT_GT(mine.count, 0);
        for (int i = 0; i < mine.count; ++i)
            EXPECT_EQ(mine.items[i].frets, theirs.items[i].frets) << type << ' ' << i;
    }
}

}  // namespace
}  // namespace theory
