#include "app/ChordPlayer.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/Clock.h"
#include "tests/app/RecordingInstrument.h"

namespace app {
namespace {

TEST_F(PlayerFixture, StrumSoundsEachPlayedStringFromTheLowestUpward) {
    player.Publish(Shape({-1, 3, 2, 0, 1, 0}));  // C major
    player.Strum();
    EXPECT_TRUE(strings[0].Events().empty());
    std::uint32_t previous = 0;
    const int expected[] = {0, 72, 71, 69, 70, 69};  // each string's own open note is 69
    for (int s = 1; s < 6; ++s) {
        auto events = strings[s].Events();
        ASSERT_EQ(events.size(), 2u) << s;
        EXPECT_EQ(events[0].note, expected[s]);
        EXPECT_EQ(events[1].time - events[0].time, ChordPlayer::NOTE_MS);
        EXPECT_GT(events[0].time, previous);
        previous = events[0].time;
    }
}

TEST_F(PlayerFixture, TwelveStringDoublingAndRetunedStringsWithoutWrapping) {
    player.doubleOctave = 1;
    // "Open A": string 4 is tuned from B up to C#, so it sounds 10 semitones below B.
    player.Publish(Shape({-1, -1, -1, -1, 0, -1}, {4, 9, 4, 9, 1, 4}));
    player.Strum();
    auto events = strings[4].Events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].note, 59);
    EXPECT_EQ(events[1].note, 71);
    EXPECT_EQ(ChordPlayer::NoteNumber(4, 0, {4, 9, 4, 9, 1, 4}), 59);
}

// A shape found behind a capo counts its frets from it; the strings still sound from the
// nut's tuning, so the B string is not wrapped round to C# below it.
TEST_F(PlayerFixture, BehindACapoAShapeSoundsAtItsRealPitch) {
    StrumShape shape = Shape({-1, 3, 2, 0, 1, 0});
    shape.capo = 2;
    player.Publish(shape);
    player.Strum();
    const int expected[] = {0, 74, 73, 71, 72, 71};  // each string 69 + 2 + fret
    for (int s = 1; s < 6; ++s) {
        auto events = strings[s].Events();
        ASSERT_EQ(events.size(), 2u) << s;
        EXPECT_EQ(events[0].note, expected[s]) << s;
    }
    // A sequence step is searched again behind the capo and keeps it for sounding.
    ASSERT_TRUE(theory::SetTuning(0, false));
    ASSERT_TRUE(theory::SetCapo(2));
    theory::SequenceStep d;
    d.root = 2;
    d.chordType = theory::CHORD_MAJOR;
    d.length = 4;
    StrumShape step = ChordPlayer::StepShape(d);
    theory::SetCapo(0);
    ASSERT_TRUE(step.valid);
    EXPECT_EQ(step.voicing.frets, (theory::Frets{-1, 3, 2, 0, 1, 0}));
    EXPECT_EQ(step.capo, 2);
    EXPECT_EQ(step.tuning, (theory::StringTuning{4, 9, 2, 7, 11, 4}));
    EXPECT_EQ(step.AbsoluteFret(4), 3);
}

TEST_F(PlayerFixture, AStrumWaitsForTheGapAfterAnArpeggioAndStopsPlayback) {
    player.Publish(Shape({0, -1, -1, -1, -1, -1}));
    player.playing = 1;
    player.lastNoteTime = clock.NowMs() - 100;
    std::uint32_t start = clock.NowMs();
    player.Strum();
    EXPECT_EQ(player.playing, 0u);
    auto events = strings[0].Events();
    ASSERT_FALSE(events.empty());
    EXPECT_GE(events[0].time - start, 150u);
    // Nothing to strum: silence.
    player.Publish(StrumShape{});
    player.Strum();
    EXPECT_EQ(strings[0].Events().size(), 2u);
}

// The main thread keeps publishing new shapes while the player strums them.
TEST_F(PlayerFixture, ThePlayerThreadStrumsWhileTheMainThreadChangesTheShape) {
    platform::SetClock(nullptr);  // real threads, real time
    player.lastNoteTime = platform::TickMs() - ChordPlayer::ARPEGGIO_GAP_MS;
    player.StartPlayer();
    for (int i = 0; i < 40; ++i) {
        std::int8_t f = static_cast<std::int8_t>(i % 5);
        player.Publish(Shape({f, f, f, f, f, f}));
        if (i % 10 == 0) player.strumRequest = 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (int i = 0; i < 400 && player.strumRequest; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    player.StopPlayer();
    EXPECT_EQ(player.strumRequest, 0u);
    // Every note that went on went off, and every strum used one whole shape.
    for (auto& string : strings) {
        auto events = string.Events();
        EXPECT_EQ(events.size() % 2, 0u);
        EXPECT_FALSE(events.empty());
    }
}

// A user's tuning sounds where it is written, not at the pitch-class step from standard.
TEST_F(PlayerFixture, AUsersTuningSoundsInTheOctaveItIsWrittenIn) {
    auto row = [](std::string name, theory::StringPitches pitches) {
        return theory::TuningRow{std::move(name), theory::ClassesOf(pitches), pitches};
    };
    theory::SetCustomTunings(std::vector<theory::TuningRow>{
        row("Baritone", {35, 40, 45, 50, 54, 59}), row("High", {52, 57, 62, 67, 71, 76})});
    EXPECT_EQ(ChordPlayer::Octaves(11), theory::StringPitches{});  // built-ins: none
    EXPECT_EQ(ChordPlayer::Octaves(16), (theory::StringPitches{-12, 0, -12, 0, 0, -12}));
    ASSERT_TRUE(theory::SetTuning(16, false));
    player.PluckString(0, 0);  // B1, five below the E2 of note 69
    player.PluckString(4, 1);  // F#3 + 1, five below B3
    ASSERT_TRUE(theory::SetTuning(17, false));
    player.PluckString(5, 0);  // E5
    StrumShape shape = Shape({2, -1, -1, -1, -1, -1}, theory::CurrentTuning().strings);
    shape.octaves = ChordPlayer::Octaves(17);
    player.Publish(shape);
    player.Strum();
    theory::SetCustomTunings({});
    theory::SetTuning(0, false);
    ASSERT_EQ(strings[0].Events().size(), 4u);
    EXPECT_EQ(strings[0].Events()[0].note, 64);
    EXPECT_EQ(strings[0].Events()[2].note, 83);  // E3 at fret 2
    EXPECT_EQ(strings[4].Events()[0].note, 65);
    EXPECT_EQ(strings[5].Events()[0].note, 81);
}

}  // namespace
}  // namespace app
