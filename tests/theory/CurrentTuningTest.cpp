#include "theory/CurrentTuning.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace theory {
namespace {

TEST(CurrentTuning, SetTuningRetunesNoteAtAndRefusesUnknownRows) {
    EXPECT_EQ(CurrentTuning().strings, (StringTuning{4, 9, 2, 7, 11, 4}));
    ASSERT_TRUE(SetTuning(9, true));  // Open G
    TuningState state = CurrentTuning();
    EXPECT_EQ(state.index, 9);
    EXPECT_TRUE(state.leftHanded);
    std::string captions;
    for (std::uint8_t p : state.strings)
        captions += NoteNames[p];
    EXPECT_EQ(captions, "DGDGBD");
    EXPECT_EQ(NoteAt(1, 0), 7);
    EXPECT_EQ(NoteAt(1, 5), 0);
    EXPECT_EQ(NoteAt(5, 14), 4);  // 2 + 14 wraps
    EXPECT_EQ(NoteAt(6, 0), -1);

    EXPECT_FALSE(SetTuning(-1, false));
    EXPECT_FALSE(SetTuning(TUNING_COUNT, false));
    EXPECT_EQ(CurrentTuning().index, 9);
    EXPECT_TRUE(SetTuning(0, false));
}

// The capo shares the tuning's word: each field must come back out of its own bits, and a
// retuning must not take the capo off.
TEST(CurrentTuning, TheCapoStaysThroughRetuningAndRaisesTheOpenStrings) {
    ASSERT_TRUE(SetTuning(15, false));
    ASSERT_TRUE(SetCapo(8));  // the capo's highest bit
    TuningState state = CurrentTuning();
    EXPECT_EQ(state.capo, 8);
    EXPECT_EQ(state.index, 15);
    EXPECT_FALSE(state.leftHanded);
    EXPECT_EQ(state.strings, (StringTuning{0, 7, 2, 7, 9, 2}));  // not raised

    ASSERT_TRUE(SetCapo(MAX_CAPO));
    ASSERT_TRUE(SetTuning(0, true));
    state = CurrentTuning();
    EXPECT_EQ(state.capo, 11);
    EXPECT_TRUE(state.leftHanded);
    EXPECT_EQ(state.index, 0);
    // E A D G B E a semitone lower: D# G# C# F# A# D#.
    EXPECT_EQ(state.Capoed(), (StringTuning{3, 8, 1, 6, 10, 3}));
    EXPECT_EQ(NoteAt(0, 0), 4);  // the nut's note, not the capo's

    ASSERT_TRUE(SetCapo(2));
    EXPECT_EQ(CurrentTuning().Capoed(), (StringTuning{6, 11, 4, 9, 1, 6}));  // F# B E A C# F#
    EXPECT_EQ(CapoTuning(9, 2), (StringTuning{4, 9, 4, 9, 1, 4}));           // Open G: E A E A C# E
    EXPECT_FALSE(SetCapo(12));
    EXPECT_FALSE(SetCapo(-1));
    EXPECT_EQ(CurrentTuning().capo, 2);
    ASSERT_TRUE(SetCapo(0));
    EXPECT_EQ(CurrentTuning().Capoed(), CurrentTuning().strings);
    SetTuning(0, false);
}

// The player thread reads while the UI thread retunes: a reader must never see the strings of
// one row with the index or flag of another.
TEST(CurrentTuning, ReadersSeeWholeStates) {
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; !stop; ++i)
            SetTuning(i % 2 ? 9 : 14, i % 2 == 1);
    });
    for (int i = 0; i < 100000; ++i) {
        TuningState state = CurrentTuning();
        if (state.index == 0) continue;  // not written yet
        ASSERT_EQ(state.leftHanded, state.index == 9);
        for (int s = 0; s < STRING_COUNT; ++s) {
            ASSERT_EQ(state.strings[s], Tunings[state.index].strings[s]);
        }
    }
    stop = true;
    writer.join();
    SetTuning(0, false);
}

}  // namespace
}  // namespace theory
