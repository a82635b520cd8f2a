#include "theory/ChordSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace theory {
namespace {

constexpr std::int8_t X = NOT_PLAYED;

StringTuning TuningOf(int row) {
    StringTuning tuning{};
    for (int s = 0; s < STRING_COUNT; ++s)
        tuning[s] = std::uint8_t(Tunings[row].strings[s]);
    return tuning;
}

VoicingList Search(PitchClass root, int type, bool split, int tuning = 0) {
    VoicingList list;
    FindVoicings(root, type, TuningOf(tuning), split, list);
    return list;
}

// "text: frets" per item, to compare whole lists readably.
std::vector<std::string> Describe(const VoicingList& list, PitchClass root) {
    std::vector<std::string> lines;
    FillInversionList(list, root, lines);
    for (int i = 0; i < list.count; ++i) {
        lines[i] += ":";
        for (std::int8_t f : list.items[i].frets)
            (lines[i] += ' ') += std::to_string(f);
    }
    return lines;
}

bool Lists(const VoicingList& list, const Frets& frets) {
    for (const Voicing& v : list.View()) {
        if (v.frets == frets) return true;
    }
    return false;
}

TEST(FindVoicings, StandardCMajorWithoutSplitChords) {
    // String 0 is left out: neither open E nor G at fret 3 is the root.
    EXPECT_EQ(
        Describe(Search(0, CHORD_MAJOR, false), 0),
        (std::vector<std::string>{"01 C (fret 1): -1 3 2 0 1 0", "02 C (fret 1): -1 3 2 0 1 3",
                                  "03 C (fret 3): -1 3 5 5 5 3", "04 C (fret 5): 8 7 5 5 5 8",
                                  "05 C (fret 8): 8 10 10 9 8 8", "06 C (fret 8): -1 -1 10 9 8 8",
                                  "07 C (fret 10): -1 -1 10 12 13 12"}));
}

TEST(FindVoicings, SplitChordsStartOnAnyChordNoteAndSkipCoveredShapes) {
    VoicingList list = Search(0, CHORD_MAJOR, true);
    std::vector<std::string> lines = Describe(list, 0);
    lines.resize(4);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "01 C/E (fret 1): 0 3 2 0 1 0", "02 C/E (fret 1): 0 3 2 0 1 3",
                         "03 C/G (fret 1): 3 3 2 0 1 0", "04 C (fret 1): -1 3 2 0 1 0"}));
    // Covered by item 01, so not listed; item 04 is covered by 03 but has the root in the bass.
    EXPECT_FALSE(Lists(list, {X, X, 2, 0, 1, 0}));
    // Five fingers in window 0: 3 3 2 _ 1 3.
    EXPECT_FALSE(Lists(list, {3, 3, 2, 0, 1, 3}));
}

// Capo 2 makes standard tuning sound a whole tone up: D Major behind it is played with the
// C Major shapes, frets counted from the capo, and named after D.
TEST(FindVoicings, BehindACapoTheShapesAreThoseOfTheChordTheCapoTransposes) {
    ASSERT_TRUE(SetTuning(0, false));
    ASSERT_TRUE(SetCapo(2));
    VoicingList plain, split;
    FindVoicings(2, CHORD_MAJOR, false, plain);
    FindVoicings(2, CHORD_MAJOR, true, split);
    SetCapo(0);
    EXPECT_EQ(
        Describe(plain, 2),
        (std::vector<std::string>{"01 D (fret 1): -1 3 2 0 1 0", "02 D (fret 1): -1 3 2 0 1 3",
                                  "03 D (fret 3): -1 3 5 5 5 3", "04 D (fret 5): 8 7 5 5 5 8",
                                  "05 D (fret 8): 8 10 10 9 8 8", "06 D (fret 8): -1 -1 10 9 8 8",
                                  "07 D (fret 10): -1 -1 10 12 13 12"}));
    std::vector<std::string> lines = Describe(split, 2);
    lines.resize(4);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "01 D/F## (fret 1): 0 3 2 0 1 0", "02 D/F## (fret 1): 0 3 2 0 1 3",
                         "03 D/A (fret 1): 3 3 2 0 1 0", "04 D (fret 1): -1 3 2 0 1 0"}));
    // The whole split list: the C Major shapes of standard tuning, basses a whole tone up.
    VoicingList c = Search(0, CHORD_MAJOR, true);
    ASSERT_EQ(split.count, c.count);
    for (int i = 0; i < c.count; ++i) {
        EXPECT_EQ(split.items[i].frets, c.items[i].frets) << i;
        EXPECT_EQ(split.items[i].labelFret, c.items[i].labelFret) << i;
        EXPECT_EQ(split.items[i].bass, WrapPitch(c.items[i].bass + 2)) << i;
    }
}

TEST(FindVoicings, WalkRulesOnTheEdges) {
    // Two bass strings left out.
    EXPECT_EQ(Search(2, CHORD_MAJOR, false).items[0].frets, (Frets{X, X, 0, 2, 3, 2}));
    // A string that reaches neither root nor fifth ends the power chord.
    VoicingList power = Search(4, 7, false);
    EXPECT_EQ(power.items[0].frets, (Frets{0, 2, 2, X, X, X}));
    EXPECT_EQ(power.items[1].frets, (Frets{X, X, 2, 4, 5, X}));
    // A barre counts one finger above window 0; open strings count none in window 0.
    EXPECT_EQ(Search(5, CHORD_MAJOR, false).items[0].frets, (Frets{1, 3, 3, 2, 1, 1}));
    EXPECT_TRUE(Lists(Search(0, 9, true), {0, 3, 0, 2, 1, 3}));
}

TEST(FindVoicings, ListStopsAtTwentyFourInWalkOrder) {
    VoicingList list = Search(0, 9, true);  // C 6/9 with split chords has more than 24 shapes
    ASSERT_EQ(list.count, MAX_VOICINGS);
    EXPECT_EQ(Describe(list, 0).back(), "24 C/E (fret 10): 12 12 10 12 10 10");
}

TEST(FindVoicings, SixNoteChordsPlayEveryStringOnADifferentNote) {
    int found = 0;
    for (PitchClass root = 0; root < 12; ++root) {
        for (int type : {24, 26}) {
            VoicingList list = Search(root, type, true);
            for (const Voicing& v : list.View()) {
                std::uint32_t sounded = 0;
                for (int s = 0; s < STRING_COUNT; ++s)
                    sounded |= 1u << NoteAt(TuningOf(0), s, v.frets[s]);
                EXPECT_EQ(std::popcount(sounded), 6);
                ++found;
            }
        }
    }
    EXPECT_GT(found, 0);
}

TEST(FindVoicings, ItemTextsKeepStoredSharpsAndNothingIsFoundForBadInput) {
    std::vector<std::string> texts;
    FillInversionList(Search(6, CHORD_MAJOR, true), 6, texts);
    EXPECT_EQ(texts[0], "01 F## (fret 2)");
    EXPECT_EQ(texts[2], "03 F##/A## (fret 3)");

    VoicingList list = Search(0, 0, false);
    FindVoicings(0, CHORD_TYPE_COUNT, false, list);
    EXPECT_EQ(list.count, 0);
    FindVoicings(-1, 0, false, list);
    EXPECT_EQ(list.count, 0);
    FillInversionList(list, 0, texts);
    EXPECT_TRUE(texts.empty());
}

// An independent statement of which shapes the finder lists: every combination of chord-note
// frets in each window, in walk order (lower frets first, a silent string last), kept when the
// walk can reach it and it passes the checks; then the covering rule and the cap.
class Oracle {
  public:
    Oracle(PitchClass root, int type, const StringTuning& tuning, bool split)
        : root(root), tuning(tuning), split(split), mask(GetChordNotes(root, type).Mask()) {}

    VoicingList Run() {
        for (int b = 0; b < WINDOW_COUNT; ++b)
            Enumerate(b, 0);
        return list;
    }

  private:
    bool ChordNote(int s, int f) const { return (mask >> NoteAt(tuning, s, f)) & 1; }

    void Enumerate(int b, int s) {
        if (s == STRING_COUNT) return Consider(b);
        // Past a silent string above a played one only silence can follow; skip the rest.
        bool ended = s >= 2 && frets[s - 1] == X && frets[s - 2] != X;
        for (int f = b; f < b + WINDOW_WIDTH && !ended; ++f) {
            if (!ChordNote(s, f)) continue;
            frets[s] = std::int8_t(f);
            Enumerate(b, s + 1);
        }
        frets[s] = X;
        Enumerate(b, s + 1);
    }

    bool Reachable(int b) const {
        int low = 0;
        while (low < STRING_COUNT && frets[low] == X)
            ++low;
        if (low > 2) return false;
        if (!split && NoteAt(tuning, low, frets[low]) != root) return false;
        int high = low;
        while (high < STRING_COUNT && frets[high] != X)
            ++high;
        for (int s = high; s < STRING_COUNT; ++s) {
            if (frets[s] != X) return false;
        }
        if (high == STRING_COUNT) return true;
        for (int f = b; f < b + WINDOW_WIDTH; ++f) {
            if (ChordNote(high, f)) return false;  // the walk would have played it
        }
        return true;
    }

    bool Passes(int b) const {
        bool atBase = false;
        int fingers = b == 0 ? 0 : 1;
        std::uint32_t sounded = 0;
        for (int s = 0; s < STRING_COUNT; ++s) {
            if (frets[s] == X) continue;
            atBase |= frets[s] == b;
            fingers += frets[s] > b ? 1 : 0;
            sounded |= 1u << NoteAt(tuning, s, frets[s]);
        }
        return atBase && fingers <= 4 && sounded == mask;
    }

    void Consider(int b) {
        if (!Reachable(b) || !Passes(b) || list.Full()) return;
        int low = 0;
        while (frets[low] == X)
            ++low;
        PitchClass bass = NoteAt(tuning, low, frets[low]);
        for (const Voicing& v : list.View()) {
            bool covered = true;
            for (int s = 0; s < STRING_COUNT; ++s)
                covered &= frets[s] == X || v.frets[s] == frets[s];
            if (covered && bass != root) return;
        }
        list.items[list.count++] = Voicing{bass, b == 0 ? 0 : b - 1, frets};
    }

    PitchClass root;
    StringTuning tuning;
    bool split;
    std::uint32_t mask;
    Frets frets{};
    VoicingList list;
};

TEST(FindVoicings, AgreesWithAnIndependentEnumeration) {
    for (int tuning : {0, 6, 9, 15}) {
        for (PitchClass root = 0; root < 12; ++root) {
            for (int type = 0; type < CHORD_TYPE_COUNT; ++type) {
                for (bool split : {false, true}) {
                    VoicingList expected = Oracle(root, type, TuningOf(tuning), split).Run();
                    VoicingList actual = Search(root, type, split, tuning);
                    if (actual == expected) continue;
                    ASSERT_EQ(Describe(actual, root), Describe(expected, root))
                        << "root " << root << " type " << type << " tuning " << tuning << " split "
                        << split;
                    FAIL() << "bass or window differs";
                }
            }
        }
    }
}

}  // namespace
}  // namespace theory
