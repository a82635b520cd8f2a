// The Piano Chords and Scales modes of the real program, reached through the mode menu and
// driven by taps and keys; checked by pixel probes at the screens' coordinates and by the
// state dump.

#include <gtest/gtest.h>

#include "GameHarness.h"
#include "platform/Clock.h"
#include "screens/ChordView.h"

namespace {

using apptest::GameRun;
using namespace screens;

constexpr std::uint16_t YELLOW = 0xFFE0;
const std::string TO_PIANO =
    std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU + "tap 120 114\nframes 1\n";
const std::string TO_SCALES =
    std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU + "tap 120 136\nframes 1\n";

// Holds the stylus down, takes a shot and lifts it: a tap's dot is in the shot.
std::string Hold(int x, int y, const std::string& shot) {
    const std::string at = std::to_string(x) + " " + std::to_string(y) + "\n";
    return "down " + at + "shot " + shot + "\nup " + at + "frames 1\n";
}
// C, the A string at fret 3 on the Scales board: a dot of radius 10 at (157.5, 116.5).
std::string HoldOnC(const std::string& shot) {
    return Hold(150, 115, shot);
}

// Opens the Scale list and walks down to item `index`.
std::string PickScale(int index) {
    std::string script = "tap 177 27\n";
    for (int i = 0; i < index; ++i)
        script += "key Down\n";
    return script + "key Enter\nframes 1\n";
}

struct PianoScalesMode : ::testing::Test {
    void SetUp() override {
        platform::SetResourceTable(res::EmbeddedResources());
        roll = gfx::loadImageResource(107, platform::RESOURCE_BITMAP);
        largeRoll = gfx::loadImageResource(121, platform::RESOURCE_BITMAP);
        ASSERT_TRUE(roll && largeRoll);
    }
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
    GameRun run;
    gfx::SurfacePtr roll, largeRoll;
};

TEST_F(PianoScalesMode, PianoChordsMarksCMajorBesideTheRollAndTakesNoTaps) {
    const std::string shot = apptest::TempPath("piano-tap.png");
    // Where either fret board has an E or a D under the stylus, in C major.
    ASSERT_TRUE(run.Run(TO_PIANO + Hold(172, 52, shot)));
    EXPECT_EQ(run.game.mode, app::MODE_PIANO);
    EXPECT_EQ(GameRun::ShotPixel(shot, 177, 55), run.Pixel(177, 55));
    EXPECT_FALSE(run.game.scaleList.Visible());
    EXPECT_EQ(run.Pixel(165, 10), roll->Row(0)[0]);
    EXPECT_EQ(run.Pixel(209, 282), roll->Row(272)[44]);
    EXPECT_NE(run.Pixel(164, 150), roll->Row(140)[0]);
    // C, E and G beside their white keys, left of the names drawn on them; dots on the keys.
    EXPECT_EQ(run.Pixel(147, 16), YELLOW);
    EXPECT_EQ(run.Pixel(147, 42), WHITE);
    EXPECT_EQ(run.Pixel(147, 68), WHITE);
    EXPECT_NE(run.Pixel(147, 29), WHITE);  // no D
    for (int y : {16, 42, 68})
        EXPECT_EQ(run.Pixel(175, y), BLACK) << y;
    EXPECT_EQ(run.Pixel(33, 232), YELLOW);  // the chord box, lower left, as on Guitar Chords

    GameRun more;
    ASSERT_TRUE(more.Run(TO_PIANO + apptest::TAP_MORE + "frames 1\n"));
    EXPECT_EQ(more.Pixel(8, 160), BLACK);  // the description boxes instead
    EXPECT_NE(more.Pixel(33, 232), YELLOW);
    EXPECT_EQ(more.Pixel(147, 16), YELLOW);
}

TEST_F(PianoScalesMode, ScalesShowsTheListAndTheBoardAndTheStateNamesTheScale) {
    const std::string state = apptest::TempPath("scales-state.json");
    ASSERT_TRUE(run.Run(TO_SCALES + PickScale(16) + "state " + state + "\n"));
    EXPECT_TRUE(run.game.scaleList.Visible());
    const std::string json = apptest::ReadState(state);
    EXPECT_EQ(apptest::StateValue(json, "scale"), 16);
    EXPECT_EQ(apptest::StateValue(json, "mode"), 2);
    EXPECT_EQ(apptest::StateValue(json, "chordType"), 0);  // the other keys stay
    EXPECT_EQ(run.Pixel(137, 270), BOARD);
    EXPECT_EQ(run.Pixel(150, 64), WHITE);
    EXPECT_EQ(run.Pixel(159, 116), YELLOW);  // C on the A string, fret 3
    EXPECT_EQ(run.Pixel(159, 78), WHITE);    // Chromatic: A# beside it too
    EXPECT_EQ(run.Pixel(33, 232), YELLOW);   // the chord box stays
}

TEST_F(PianoScalesMode, MajorFromBOnThePianoViewClimbsAnOctaveAfterB) {
    ASSERT_TRUE(run.Run(TO_SCALES + "key B\n" + apptest::TAP_MORE + "frames 1\n"));
    EXPECT_EQ(run.Pixel(221, 55), largeRoll->Row(0)[0]);
    EXPECT_EQ(run.Pixel(158, 278), largeRoll->Row(63)[223]);
    EXPECT_EQ(run.Pixel(139, 159), YELLOW);            // B in octave 0
    for (int y : {183, 199, 231, 247, 263})            // C#, D#, F#, G#, A# 112 px further down
        EXPECT_EQ(run.Pixel(226, y + 5), WHITE) << y;  // below the name
    EXPECT_EQ(run.Pixel(139, 207), WHITE);             // E
    EXPECT_NE(run.Pixel(226, 76), WHITE);              // not C# in octave 0
    EXPECT_NE(run.Pixel(137, 270), BOARD);             // no fret board
    EXPECT_EQ(run.Pixel(8, 252), BLACK);               // the Half-Steps box's title bar
}

TEST_F(PianoScalesMode, LeftHandedMirrorsTheScaleBoard) {
    // C pentatonic minor: of the open strings only G is in it.
    ASSERT_TRUE(run.Run(TO_SCALES + PickScale(5) + apptest::TAP_LEFT_HANDED + "frames 1\n"));
    EXPECT_EQ(run.Pixel(172, 51), BLACK);  // the G string's ring, now in the third column
    EXPECT_NE(run.Pixel(172, 55), BLACK);
    EXPECT_EQ(run.Pixel(183, 51), BLACK);  // the D string's cross, now in the fourth
    EXPECT_EQ(run.Pixel(187, 55), BLACK);
    EXPECT_EQ(run.Pixel(204, 116), YELLOW);  // C on the A string, now in the fifth column
    EXPECT_EQ(run.Pixel(159, 78), YELLOW);   // C on the B string, now in the second
    EXPECT_NE(run.Pixel(159, 116), YELLOW);  // D on the B string is not in the scale
}

TEST_F(PianoScalesMode, ATapShowsTheBigDotUntilTheStylusLiftsButNotOnThePianoView) {
    const std::string shot = apptest::TempPath("scale-tap.png");
    ASSERT_TRUE(run.Run(TO_SCALES + HoldOnC(shot)));
    auto at = [&](int x, int y) { return GameRun::ShotPixel(shot, x, y); };
    EXPECT_EQ(at(149, 116), YELLOW);
    EXPECT_EQ(at(165, 116), YELLOW);
    EXPECT_EQ(at(155, 108), YELLOW);  // above the name
    EXPECT_EQ(at(155, 104), BOARD);
    EXPECT_EQ(run.Pixel(149, 116), BOARD);  // gone once lifted

    GameRun more;
    const std::string moreShot = apptest::TempPath("scale-piano-tap.png");
    ASSERT_TRUE(more.Run(TO_SCALES + apptest::TAP_MORE + "frames 1\n" + HoldOnC(moreShot)));
    EXPECT_NE(GameRun::ShotPixel(moreShot, 165, 116), YELLOW);
    EXPECT_EQ(GameRun::ShotPixel(moreShot, 165, 116), more.Pixel(165, 116));
}

}  // namespace
