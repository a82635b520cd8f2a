#include "theory/TheoryTables.h"

#include <gtest/gtest.h>

#include <bit>
#include <span>
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

std::string Spelled(std::span<const PitchClass> notes) {
    std::string names;
    for (PitchClass p : notes)
        names += std::string(NoteNames[p]) + " ";
    if (!names.empty()) names.pop_back();
    return names;
}

TEST(ScaleNotes, EveryScaleFromCAsWrittenOut) {
    // Name and notes of each row, spelled from C, written out apart from the offset table.
    const std::vector<std::pair<std::string, std::string>> fromC = {
        {"Major", "C D E F G A B"},
        {"Harmonic Minor", "C D D## F G G## B"},
        {"Melod Minor (asc)", "C D D## F G A B"},
        {"Melod Minor (dec)", "C D D## F G G## A##"},
        {"Pentatonic Major", "C D E G A"},
        {"Pentatonic Minor", "C D## F G A##"},
        {"Pentatonic Blues", "C D## F F## G A##"},
        {"Pentatonic Neutral", "C D F G A##"},
        {"Ionian", "C D E F G A B"},
        {"Dorian", "C D D## F G A A##"},
        {"Phrygian", "C C## D## F G G## A##"},
        {"Lydian", "C D E F## G A B"},
        {"Mixolydian", "C D E F G A A##"},
        {"Aeolian", "C D D## F G G## A##"},
        {"Locrian", "C C## D## F F## G## A##"},
        {"Blues", "C D## F F## G A##"},
        {"Chromatic", "C C## D D## E F F## G G## A A## B"},
        {"Chinese", "C E F## G B"},
        {"Diatonic", "C D E G A"},
        {"Diminished", "C D D## F F## G## A B"},
        {"Diminished Half", "C C## D## E F## G A A##"},
        {"Diminished Whole", "C D D## F F## G## A B"},
        {"Dominant 7th", "C D E F G A A##"},
        {"Double Harmonic", "C C## E F G G## B"},
        {"Egyptian", "C D F G A##"},
        {"Eight Tone Spanish", "C C## D## E F F## G## A##"},
        {"Hawaiian", "C D D## F G A B"},
        {"Hindu", "C D E F G G## A##"},
    };
    ASSERT_EQ(fromC.size(), ScaleTypes.size());
    for (int type = 0; type < SCALE_TYPE_COUNT; ++type) {
        ScaleNotes scale = GetScaleNotes(0, type);
        EXPECT_EQ(ScaleTypes[type].name, fromC[type].first) << type;
        EXPECT_EQ(Spelled(scale.View()), fromC[type].second) << fromC[type].first;
        for (std::size_t k = static_cast<std::size_t>(ScaleTypes[type].count); k < 12; ++k)
            EXPECT_EQ(ScaleTypes[type].offsets[k], 0) << fromC[type].first << " entry " << k;
    }
}

TEST(ChordNotes, EveryTypeIsNamedAsWrittenOut) {
    // Short and long names in list order, odd spellings and repeated long names included.
    const std::vector<std::pair<std::string, std::string>> names = {
        {"Major", "Major Chord"},
        {"Minor", "Minor Chord"},
        {"dim", "Diminished triad"},
        {"aug", "Augmented triad"},
        {"sus2", "Suspended 2nd"},
        {"sus4", "Suspended 4th"},
        {"7sus4", "Dominant 7th suspended 4th"},
        {"5", "Power Chord"},
        {"6", "Major 6th"},
        {"6/9", "Major 6th Add9"},
        {"7", "Major 7th"},
        {"7sus", "Dominant 7th"},
        {"7-5", "Dominant 7th b5"},
        {"7+5", "Dominant 7th #5"},
        {"7-9", "Dominant 7th b9"},
        {"7+9", "Dominant 7th #9"},
        {"9", "Dominant 9th"},
        {"9-5", "Dominant 9th b5"},
        {"9+5", "Dominant 9th #5"},
        {"add9", "Major add9"},
        {"maj7", "Major 7th"},
        {"maj7-5", "Major 7th b5"},
        {"maj7+5", "Major 7th #5"},
        {"maj9", "Major 7th add9"},
        {"11", "Dominant 11th"},
        {"maj11", "Major 7th add11"},
        {"13", "Major 7th add13"},
        {"maj13", "Major 7th add11"},
        {"m6", "Minor 6th"},
        {"m7", "Minor 7th"},
        {"m9", "Minor 9th"},
        {"m11", "Minor 11th"},
        {"m13", "Minor 13th"},
        {"m(maj7)", "Minor Major 7th"},
        {"m(maj9)", "Minor Major 9th"},
        {"m(add9)", "Minor add9"},
        {"-5", "Flatterned 5th"},
        {"+5", "Augmented 5th"},
        {"-9", "Flatterned 9th"},
        {"+9", "Augmented 9th"},
        {"-9+5", "Flatterned 9th Augmented 5th"},
        {"-9-5", "Flatterned 9th Minor 5th"},
        {"+11", "Augmented 11th"},
        {"-9+11", "Flatterned 9th Augmented 11th"},
    };
    ASSERT_EQ(names.size(), ChordTypes.size());
    for (std::size_t type = 0; type < names.size(); ++type) {
        EXPECT_EQ(ChordTypes[type].shortName, names[type].first) << type;
        EXPECT_EQ(ChordTypes[type].longName, names[type].second) << names[type].first;
    }
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
