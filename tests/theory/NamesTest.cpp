#include "theory/Names.h"

#include <gtest/gtest.h>

#include <string>

namespace theory {
namespace {

TEST(Names, NoteNamesTakeOneSharpOrFlat) {
    EXPECT_EQ(ParseNoteName("C"), 0);
    EXPECT_EQ(ParseNoteName("c#"), 1);
    EXPECT_EQ(ParseNoteName("C##"), 1);  // as the tables store it
    EXPECT_EQ(ParseNoteName("Db"), 1);
    EXPECT_EQ(ParseNoteName("Cb"), 11);
    EXPECT_EQ(ParseNoteName("B#"), 0);
    EXPECT_EQ(ParseNoteName("G♯"), 8);
    EXPECT_EQ(ParseNoteName("A♭"), 8);
    for (const char* bad : {"", "H", "C#b", "Cbb", "C #", "#"})
        EXPECT_FALSE(ParseNoteName(bad)) << bad;
}

TEST(Names, ChordTypesPreferExactSpellings) {
    EXPECT_EQ(ParseChordType("m7"), 29);
    EXPECT_EQ(ParseChordType("M7"), 20);  // chord sheets' major seventh, not minor
    EXPECT_EQ(ParseChordType("M6"), 8);
    EXPECT_EQ(ParseChordType("m6"), 28);
    EXPECT_EQ(ParseChordType("MAJOR"), CHORD_MAJOR);
    EXPECT_EQ(ParseChordType("minor"), CHORD_MINOR);
    EXPECT_EQ(ParseChordType("MIN7"), 29);
    EXPECT_EQ(ParseChordType("Maj7"), 20);
    EXPECT_EQ(ParseChordType("-5"), 36);
    EXPECT_EQ(ParseChordType("-"), CHORD_MINOR);
    EXPECT_EQ(ParseChordType("7b9"), 14);
    EXPECT_EQ(ParseChordType("7+9"), 15);
    EXPECT_EQ(ParseChordType("mM7"), 33);
    EXPECT_EQ(ParseChordType("+"), 3);
    EXPECT_EQ(ParseChordType("sus"), 5);
    for (const char* bad : {"", "major7", "m7b5", "dim7", "13b9"})
        EXPECT_FALSE(ParseChordType(bad)) << bad;
    // Every short name reads back as its own row.
    for (int type = 0; type < CHORD_TYPE_COUNT; ++type)
        EXPECT_EQ(ParseChordType(ChordTypes[static_cast<std::size_t>(type)].shortName), type);
}

TEST(Names, ChordSymbolsSplitRootFromType) {
    struct Case {
        const char* text;
        PitchClass root;
        int type;
    };
    for (Case c : {Case{"Am7", 9, 29}, Case{"C#m", 1, 1}, Case{"Dsus4", 2, 5},
                   Case{"Bbmaj7", 10, 20}, Case{"G", 7, 0}, Case{"Ab", 8, 0}, Case{"Ebm", 3, 1},
                   Case{"Bb5", 10, 7}, Case{"F#7-9", 6, 14}, Case{"c-5", 0, 36}, Case{"Cb", 11, 0},
                   Case{"Bm", 11, 1}, Case{"E+", 4, 3}}) {
        auto symbol = ParseChordSymbol(c.text);
        ASSERT_TRUE(symbol) << c.text;
        EXPECT_EQ(symbol->root, c.root) << c.text;
        EXPECT_EQ(symbol->type, c.type) << c.text;
    }
    for (const char* bad : {"", "H7", "Cmaj8", "#m", "C/G"})
        EXPECT_FALSE(ParseChordSymbol(bad)) << bad;
}

TEST(Names, TuningsByNameShortFormNotesOrIndex) {
    EXPECT_EQ(ParseTuning("Standard"), 0);
    EXPECT_EQ(ParseTuning("dropped d"), 1);
    EXPECT_EQ(ParseTuning("Drop D"), 1);
    EXPECT_EQ(ParseTuning("Double Drop D"), 2);
    EXPECT_EQ(ParseTuning("open d minor"), 4);
    EXPECT_EQ(ParseTuning("Open Dm"), 4);
    EXPECT_EQ(ParseTuning("Open-G"), 9);
    EXPECT_EQ(ParseTuning("Open Gm"), 10);
    EXPECT_EQ(ParseTuning("Open Am"), 12);
    EXPECT_EQ(ParseTuning("EADGBE"), 0);
    EXPECT_EQ(ParseTuning("DAF#DAD"), 3);
    EXPECT_EQ(ParseTuning("D G D G A# D"), 10);
    EXPECT_EQ(ParseTuning("DGDGBbD"), 10);
    EXPECT_EQ(ParseTuning("CGDGAD"), 15);
    EXPECT_EQ(ParseTuning("15"), 15);
    EXPECT_EQ(ParseTuning("0"), 0);
    for (const char* bad : {"", "16", "DADGAD", "EADGB", "EADGBEE", "Nashville", "-1", " "})
        EXPECT_FALSE(ParseTuning(bad)) << bad;
    // Every name reads back as its own row.
    for (int u = 0; u < TUNING_COUNT; ++u)
        EXPECT_EQ(ParseTuning(Tunings[static_cast<std::size_t>(u)].name), u);
}

}  // namespace
}  // namespace theory
