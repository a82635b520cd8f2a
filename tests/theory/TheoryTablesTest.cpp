#include "theory/TheoryTables.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "theory/NoteList.h"

namespace theory {
namespace {

std::vector<PitchClass> Notes(const auto& list) {
    return {list.View().begin(), list.View().end()};
}

TEST(ChordNotes, EveryTypeFromCMatchesItsIntervals) {
    // The notes each chord type yields from C, written out independently of the step table.
    const std::vector<std::vector<PitchClass>> fromC = {
        {0, 4, 7},           {0, 3, 7},           {0, 3, 6},           {0, 4, 8},
        {0, 2, 7},           {0, 5, 7},           {0, 5, 7, 10},       {0, 7},
        {0, 4, 7, 9},        {0, 4, 7, 9, 2},     {0, 4, 7, 10},       {0, 5, 7, 10},
        {0, 4, 6, 10},       {0, 4, 8, 10},       {0, 4, 7, 10, 1},    {0, 4, 7, 10, 3},
        {0, 4, 7, 10, 2},    {0, 4, 6, 10, 2},    {0, 4, 8, 10, 2},    {0, 4, 7, 2},
        {0, 4, 7, 11},       {0, 4, 6, 11},       {0, 4, 8, 11},       {0, 4, 7, 11, 2},
        {0, 4, 7, 10, 2, 5}, {0, 4, 7, 11, 2, 5}, {0, 4, 7, 10, 2, 9}, {0, 4, 7, 11, 2, 9},
        {0, 3, 7, 9},        {0, 3, 7, 10},       {0, 3, 7, 10, 2},    {0, 3, 7, 10, 2, 5},
        {0, 3, 7, 10, 2, 9}, {0, 3, 7, 11},       {0, 3, 7, 11, 2},    {0, 3, 7, 2},
        {0, 4, 6},           {0, 4, 8},           {0, 4, 7, 10, 1},    {0, 4, 7, 10, 3},
        {0, 4, 8, 10, 1},    {0, 4, 6, 10, 1},    {0, 4, 7, 10, 2, 6}, {0, 4, 7, 10, 1, 6},
    };
    ASSERT_EQ(fromC.size(), ChordTypes.size());
    for (int type = 0; type < CHORD_TYPE_COUNT; ++type) {
        EXPECT_EQ(Notes(GetChordNotes(0, type)), fromC[type]) << ChordTypes[type].shortName;
    }
}

TEST(ChordNotes, StepsWrapOneAtATimeAndBadInputGivesNothing) {
    EXPECT_EQ(Notes(GetChordNotes(11, CHORD_MAJOR)), (std::vector<PitchClass>{11, 3, 6}));
    EXPECT_EQ(Notes(GetChordNotes(9, CHORD_MINOR)), (std::vector<PitchClass>{9, 0, 4}));
    EXPECT_EQ(ChordTypes[CHORD_MAJOR].shortName, "Major");
    EXPECT_EQ(ChordTypes[CHORD_MINOR].shortName, "Minor");
    EXPECT_EQ(GetChordNotes(-1, 0).count, 0);
    EXPECT_EQ(GetChordNotes(12, 0).count, 0);
    EXPECT_EQ(GetChordNotes(0, CHORD_TYPE_COUNT).count, 0);
}

TEST(ScaleNotes, OffsetsFromAnyRootWrapAndStayDistinct) {
    EXPECT_EQ(Notes(GetScaleNotes(9, 5)), (std::vector<PitchClass>{9, 0, 2, 4, 7}));
    EXPECT_EQ(GetScaleNotes(7, 16).Mask(), 0xFFFu);  // Chromatic
    for (int type = 0; type < SCALE_TYPE_COUNT; ++type) {
        for (PitchClass root = 0; root < 12; ++root) {
            ScaleNotes scale = GetScaleNotes(root, type);
            EXPECT_GE(scale.count, 5);
            EXPECT_EQ(scale.notes[0], root);
            EXPECT_EQ(std::popcount(scale.Mask()), scale.count) << ScaleTypes[type].name;
        }
    }
    EXPECT_EQ(GetScaleNotes(0, SCALE_TYPE_COUNT).count, 0);
}

TEST(Tunings, StringsReadAsTheirNotes) {
    const std::vector<std::string> asNotes = {
        "E A D G B E", "D A D G B E", "D A D G B D",   "D A F## D A D",
        "D A D F A D", "D A D D A D", "E A D G C F",   "E B E G## B E",
        "D G D G B E", "D G D G B D", "D G D G A## D", "E A E A C## E",
        "E A E A C E", "C G C G A E", "C G C G C E",   "C G D G A D"};
    ASSERT_EQ(asNotes.size(), Tunings.size());
    for (std::size_t u = 0; u < Tunings.size(); ++u) {
        std::string names;
        for (PitchClass p : Tunings[u].strings)
            names += std::string(NoteNames[p]) + " ";
        names.pop_back();
        EXPECT_EQ(names, asNotes[u]) << Tunings[u].name;
    }
}

}  // namespace
}  // namespace theory
