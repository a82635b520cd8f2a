// The sequencer heard through the WAV-file sound device, and played while the interface
// edits and draws (a test for the thread checker as much as for the ear).

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cmath>
#include <span>
#include <vector>

#include "GameHarness.h"
#include "platform/audio/WavFile.h"
#include "tests/app/NoteOnsets.h"
#include "theory/ChordSearch.h"

namespace {

using apptest::GameRun;

const std::string TO_SEQUENCER =
    std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU + "tap 120 157\nframes 1\n";
const std::string TAP_PLAY = "tap 210 185\n";
const std::string TAP_STOP = "tap 210 208\n";
const std::string TAP_ADD = "tap 210 231\n";
const std::string TAP_LENGTH = "tap 210 277\n";

// C major's first shape picks C3 (string 1), G3 (3), C4 (4) and E4 (5).
constexpr std::array<double, 4> C_MAJOR_PITCHES{130.81, 196.0, 261.63, 329.63};
enum { C3, G3, C4, E4 };

TEST(SequencerSound, ABarOfPatternZeroIsEightNotesAQuarterSecondApartInItsOrder) {
    setenv("FRETLORE_HOME", FRETLORE_APP_DIR, 1);  // the generated g1..g6.sampler
    std::string wav = ::testing::TempDir() + "sequence.wav";
    {
        GameRun run([wav] { return std::make_unique<platform::WavFileWaveOut>(wav); });
        // The ninth note would come at 2 s: Stop at 1.9 s ends the bar after eight, or
        // after nine when the machine is slow to get there.
        ASSERT_TRUE(run.Run(TO_SEQUENCER + TAP_ADD + "key P\n" + TAP_PLAY + "wait 1900\n" +
                            TAP_STOP + "wait 700\n"));
    }
    unsetenv("FRETLORE_HOME");
    platform::WavData data;
    ASSERT_EQ(platform::ReadWavFile(wav, data), "");
    std::span<const std::int16_t> all(data.samples);
    auto onsets = soundtest::NoteOnsets(all, data.sampleRate);
    std::string times;
    for (std::size_t at : onsets)
        times += std::to_string(at * 1000 / data.sampleRate) + " ";
    ASSERT_GE(onsets.size(), 8u) << times;
    EXPECT_LE(onsets.size(), 9u) << times;
    const int order[] = {C3, G3, C4, G3, E4, G3, C4, G3};
    for (std::size_t k = 0; k < 8; ++k) {
        // The device takes sound a buffer at a time, so a note may start a little late.
        if (k > 0) {
            double ms = (onsets[k] - onsets[k - 1]) * 1000.0 / data.sampleRate;
            EXPECT_NEAR(ms, 250.0, 40.0) << k << ": " << times;
        }
        EXPECT_EQ(soundtest::NewestPitch(all, data.sampleRate, onsets[k], C_MAJOR_PITCHES),
                  order[k])
            << k;
    }
}

// Pitches (Hz) of the strings a chord's first shape plays, in standard tuning.
std::vector<double> FirstShapePitches(int root, int chordType) {
    constexpr std::array<double, 6> OPEN{82.41, 110.0, 146.83, 196.0, 246.94, 329.63};
    theory::VoicingList shapes;
    theory::FindVoicings(root, chordType, false, shapes);
    std::vector<double> pitches;
    for (int s = 0; s < 6 && shapes.count > 0; ++s) {
        int fret = shapes.items[0].frets[s];
        if (fret != theory::NOT_PLAYED) pitches.push_back(OPEN[s] * std::exp2(fret / 12.0));
    }
    return pitches;
}

// Audition in the key of C plays its chords in the circle's order, a bar each: C major's
// six picked notes, then D minor's.
TEST(SequencerSound, AuditionPlaysTheKeysChordsInOrder) {
    setenv("FRETLORE_HOME", FRETLORE_APP_DIR, 1);
    std::string wav = ::testing::TempDir() + "audition.wav";
    {
        GameRun run([wav] { return std::make_unique<platform::WavFileWaveOut>(wav); });
        const std::string toGroups =
            std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU + "tap 120 180\nframes 1\n";
        ASSERT_TRUE(run.Run(toGroups + apptest::TAP_STRUM + "wait 3200\n" + apptest::TAP_STRUM +
                            "wait 500\n"));
    }
    unsetenv("FRETLORE_HOME");
    platform::WavData data;
    ASSERT_EQ(platform::ReadWavFile(wav, data), "");
    std::span<const std::int16_t> all(data.samples);
    auto onsets = soundtest::NoteOnsets(all, data.sampleRate);
    ASSERT_GE(onsets.size(), 12u);
    std::vector<double> c = FirstShapePitches(0, 0), dm = FirstShapePitches(2, 1);
    ASSERT_FALSE(c.empty() || dm.empty());
    // Tell each note by the pitch that grew most among both chords' pitches, leaving out
    // those the two share (D minor's first shape shares none of C major's).
    std::vector<double> candidates = c;
    candidates.insert(candidates.end(), dm.begin(), dm.end());
    for (std::size_t k = 0; k < 12; ++k) {
        int heard = soundtest::NewestPitch(all, data.sampleRate, onsets[k], candidates);
        bool fromC = heard >= 0 && heard < static_cast<int>(c.size());
        EXPECT_EQ(fromC, k < 6) << "note " << k << " heard " << heard;
    }
}

// The player follows the sequence while the interface adds, lengthens, selects and searches.
TEST(SequencerThreads, PlaybackWhileTheInterfaceEditsAndDraws) {
    std::string early = apptest::TempPath("threads-early.json");
    std::string late = apptest::TempPath("threads-late.json");
    std::string end = apptest::TempPath("threads-end.json");
    GameRun run;
    // Steps: D major, E major, a bar each at pattern 1 (1.5 s); the lists then show G.
    std::string script = TO_SEQUENCER + "key D\n" + TAP_ADD + "key E\n" + TAP_ADD + "key G\n" +
                         TAP_PLAY + "wait 300\nframes 2\nstate " + early + "\n" +
                         "wait 1500\nframes 2\nstate " + late + "\n";
    for (int i = 0; i < 4; ++i) {
        script += "key " + std::string(1, "ACFB"[i]) + "\n" + TAP_ADD + TAP_LENGTH +
                  "key 3\ntap 60 185\nframes 2\nwait 120\n";
    }
    script += TAP_STOP + "wait 300\nframes 1\nstate " + end + "\n";
    ASSERT_TRUE(run.Run(script));
    std::string first = apptest::ReadState(early), second = apptest::ReadState(late);
    EXPECT_EQ(apptest::StateValue(first, "root"), 2);
    EXPECT_EQ(apptest::StateValue(first, "selectedRow"), 0);
    EXPECT_EQ(apptest::StateValue(first, "playing"), 1);
    EXPECT_EQ(apptest::StateValue(second, "root"), 4);
    EXPECT_EQ(apptest::StateValue(second, "selectedRow"), 1);
    std::string last = apptest::ReadState(end);
    EXPECT_EQ(apptest::StateValue(last, "playing"), 0);
    EXPECT_EQ(apptest::StateValue(last, "count"), 6);
    EXPECT_EQ(run.game.player.Steps(), run.game.sequence);
}

}  // namespace
