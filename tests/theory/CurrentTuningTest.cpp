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
