// The sequence played as arpeggios: picking orders, note counts and spacing, steps found
// again by the search, and word of each step for the screen.

#include <gtest/gtest.h>

#include <vector>

#include "app/ChordPlayer.h"
#include "tests/app/RecordingInstrument.h"
#include "theory/ChordSearch.h"

namespace app {
namespace {

std::vector<int> Order(int pattern, int n) {
    PickingOrder order = ChordPlayer::Picking(pattern, n);
    return {order.strings.begin(), order.strings.begin() + order.size};
}

TEST(Picking, ThePatternsOverSixFourAndTooFewStrings) {
    using V = std::vector<int>;
    EXPECT_EQ(Order(0, 6), (V{0, 3, 4, 3, 5, 3, 4, 3}));
    EXPECT_EQ(Order(1, 6), (V{0, 3, 4, 5, 4, 3}));
    EXPECT_EQ(Order(2, 6), (V{0, 3, 4, 5, 4, 3, 1, 3, 4, 5, 4, 3}));
    EXPECT_EQ(Order(0, 4), (V{0, 1, 2, 1, 3, 1, 2, 1}));
    EXPECT_EQ(Order(2, 4), (V{0, 1, 2, 3, 2, 1, 1, 1, 2, 3, 2, 1}));
    // Two strings: S(n-3) and S(n-2) fall below the lowest and are brought up to it.
    EXPECT_EQ(Order(0, 2), (V{0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(Order(1, 2), (V{0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(Order(2, 2), (V{0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(Order(1, 1), (V{0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(Order(0, 0).empty());
}

// C major, first shape: strings 1..5 at frets 3, 2, 0, 1, 0 (notes 72, 71, 69, 70, 69).
const theory::Frets C_MAJOR{-1, 3, 2, 0, 1, 0};

TEST_F(PlayerFixture, ABarOfPatternZeroIsEightNotesAQuarterSecondApart) {
    player.style = 0;
    player.playing = 1;
    std::uint32_t start = clock.NowMs();
    player.lastNoteTime = start - 100;  // the last note was 100 ms ago
    player.Arpeggio(4, Shape(C_MAJOR));
    auto notes = Notes();
    const int strings[] = {1, 3, 4, 3, 5, 3, 4, 3};
    const int pitches[] = {72, 69, 70, 69, 69, 69, 70, 69};
    ASSERT_EQ(notes.size(), 8u);
    for (std::size_t k = 0; k < notes.size(); ++k) {
        EXPECT_EQ(notes[k].string, strings[k]) << k;
        EXPECT_EQ(notes[k].note, pitches[k]) << k;
        EXPECT_EQ(notes[k].on - start, 150 + 250 * k) << k;
        EXPECT_EQ(notes[k].off - notes[k].on, ChordPlayer::ARPEGGIO_NOTE_MS) << k;
    }
    EXPECT_EQ(player.lastNoteTime, notes.back().on);
}

TEST_F(PlayerFixture, NotesPerLengthAndPattern) {
    struct Case {
        int style, length;
        std::size_t notes;
    };
    // p x length / 4, nothing when below one note.
    const Case cases[] = {{0, 1, 2}, {1, 1, 1},  {2, 1, 3},  {1, 2, 3},   {0, 2, 4},
                          {1, 4, 6}, {2, 4, 12}, {1, 8, 12}, {0, 16, 32}, {1, 0, 0}};
    player.playing = 1;
    for (const Case& c : cases) {
        for (auto& s : strings)
            s.Clear();
        player.style = c.style;
        player.Arpeggio(c.length, Shape(C_MAJOR));
        EXPECT_EQ(Notes().size(), c.notes) << c.style << " " << c.length;
    }
    // Past one pass of the order it starts again: 12 notes of pattern 1 are the six twice.
    for (auto& s : strings)
        s.Clear();
    player.style = 1;
    player.Arpeggio(8, Shape(C_MAJOR));
    auto notes = Notes();
    ASSERT_EQ(notes.size(), 12u);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(notes[k].string, notes[k + 6].string) << k;
}

TEST_F(PlayerFixture, StopTakesEffectAfterTheCurrentNoteAndNothingPlaysWithoutAShape) {
    player.playing = 1;
    strings[1].onNoteOn = [this] { player.playing = 0; };
    player.Arpeggio(4, Shape(C_MAJOR));
    auto notes = Notes();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_GT(notes[0].off, notes[0].on);  // the note that began is ended
    // A strum asked for meanwhile ends it the same way.
    player.playing = 1;
    strings[1].onNoteOn = [this] { player.strumRequest = 1; };
    player.Arpeggio(4, Shape(C_MAJOR));
    EXPECT_EQ(Notes().size(), 2u);
    strings[1].onNoteOn = nullptr;
    player.strumRequest = 0;

    player.playing = 1;
    player.Arpeggio(4, StrumShape{});
    player.Arpeggio(4, Shape({-1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(Notes().size(), 2u);
    // One string: every pick is that string; twelve-string doubling an octave up.
    player.doubleOctave = 1;
    player.style = 1;
    player.Arpeggio(1, Shape({-1, -1, -1, -1, -1, 5}));
    auto events = strings[5].Events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].note, 74);
    EXPECT_EQ(events[1].note, 86);
}

theory::SequenceStep Step(int root, int type, int inversion, int length) {
    theory::SequenceStep s;
    s.root = static_cast<std::uint8_t>(root);
    s.chordType = static_cast<std::uint8_t>(type);
    s.inversion = static_cast<std::uint8_t>(inversion);
    s.length = static_cast<std::uint8_t>(length);
    s.frets = {5, 5, 5, 5, 5, 5};  // never played: the search is run again
    return s;
}

TEST_F(PlayerFixture, StepsAreFoundAgainPlayedInTurnAndAnnounced) {
    theory::Sequence sequence;
    sequence.steps[0] = Step(0, theory::CHORD_MAJOR, 0, 1);  // C: S0 is string 1 fret 3
    sequence.steps[1] = Step(9, theory::CHORD_MINOR, 0, 1);  // Am: S0 is string 1 open
    sequence.steps[2] = Step(7, theory::CHORD_MAJOR, 0, 1);  // beyond the count
    sequence.count = 2;
    player.SetSequence(sequence);
    player.style = 1;
    player.playing = 1;
    player.PlaySequenceStep();
    EXPECT_EQ(player.step, 1);
    EXPECT_EQ(player.TakePlayingStep(), (PlayingStep{0, theory::CHORD_MAJOR, false, 0, 0}));
    EXPECT_EQ(player.TakePlayingStep(), std::nullopt);
    player.PlaySequenceStep();
    EXPECT_EQ(player.step, 0);
    EXPECT_EQ(player.TakePlayingStep(), (PlayingStep{9, theory::CHORD_MINOR, false, 0, 1}));
    player.PlaySequenceStep();
    auto notes = Notes();
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].note, 72);
    EXPECT_EQ(notes[1].note, 69);
    EXPECT_EQ(notes[2].note, 72);
    for (const auto& n : notes)
        EXPECT_EQ(n.string, 1);
    // A shape number past the chord's list plays its last shape.
    theory::VoicingList list;
    theory::FindVoicings(0, theory::CHORD_MAJOR, false, list);
    ASSERT_GT(list.count, 1);
    StrumShape last = ChordPlayer::StepShape(Step(0, theory::CHORD_MAJOR, 200, 4));
    EXPECT_TRUE(last.valid);
    EXPECT_EQ(last.voicing, list.items[list.count - 1]);
}

TEST_F(PlayerFixture, WithNoStepsTheChordOnScreenRepeatsOneBarAtATime) {
    player.Publish(Shape(C_MAJOR));
    player.style = 1;
    player.playing = 1;
    player.PlaySequenceStep();
    EXPECT_EQ(Notes().size(), 6u);
    EXPECT_EQ(player.step, 0);
    EXPECT_EQ(player.TakePlayingStep(), std::nullopt);
}

}  // namespace
}  // namespace app
