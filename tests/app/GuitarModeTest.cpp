// The Guitar Chords mode driven like a user would: taps and keys through the headless
// backend, checked by pixel probes at the screen's own coordinates and by the state.

#include <gtest/gtest.h>

#include "GameHarness.h"
#include "gfx/Font.h"
#include "platform/Clock.h"
#include "screens/ChordView.h"
#include "screens/GuitarScreen.h"
#include "screens/HelpPages.h"
#include "theory/TheoryTables.h"

namespace {

using apptest::GameRun;
using namespace screens;

constexpr std::uint16_t YELLOW = 0xFFE0;

struct GuitarMode : ::testing::Test {
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
    GameRun run;
};

TEST_F(GuitarMode, StartsOnCMajorWithItsFirstShapeOnTheBoardAndInTheBoxAndIgnoresTheBoardsEdge) {
    // A tap on the last column's edge hits no string and draws nothing.
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) +
                        "frames 2\ndown 225 34\nframes 1\nup 225 34\nframes 1\n"));
    EXPECT_EQ(run.game.screenDirty, 0u);
    EXPECT_NE(run.Pixel(226, 16), WHITE);
    EXPECT_NE(run.Pixel(226, 16), YELLOW);
    EXPECT_EQ(run.game.mode, app::MODE_GUITAR);
    EXPECT_EQ(run.game.rootList.list.Selection(), 0);
    EXPECT_EQ(run.game.chordList.list.Selection(), 0);
    EXPECT_EQ(run.game.inversionList.list.Selection(), 0);
    // The board, the four-fret window of the first shape, the nut.
    EXPECT_EQ(run.Pixel(137, 265), BOARD);
    EXPECT_EQ(run.Pixel(137, 50), BOARD_WINDOW);
    EXPECT_EQ(run.Pixel(137, 120), BOARD);
    EXPECT_EQ(run.Pixel(150, 21), WHITE);
    EXPECT_EQ(run.Pixel(137, 25), WIRE_DARK);
    // C on the B string at fret 1 is the root; E on the D string at fret 2 is not.
    EXPECT_EQ(run.Pixel(202, 34), YELLOW);
    EXPECT_EQ(run.Pixel(172, 52), WHITE);
    // The chord box: C on the A string at fret 3, E on the D string at fret 2, the low E
    // string crossed out, the G string open.
    EXPECT_EQ(run.Pixel(33, 232), YELLOW);
    EXPECT_EQ(run.Pixel(53, 205), WHITE);
    EXPECT_EQ(run.Pixel(15, 157), BLACK);
    EXPECT_EQ(run.Pixel(69, 153), BLACK);
}

TEST_F(GuitarMode, LeftHandedMirrorsTheBoardAndTheBox) {
    ASSERT_TRUE(
        run.Run(std::string(apptest::DISMISS_TITLE) + apptest::TAP_LEFT_HANDED + "frames 2\n"));
    EXPECT_TRUE(run.game.leftHanded.Checked());
    EXPECT_EQ(run.Pixel(157, 34), YELLOW);  // the B string now in the second column
    EXPECT_NE(run.Pixel(202, 34), YELLOW);
    EXPECT_EQ(run.Pixel(87, 232), YELLOW);  // the A string now in the fifth column
    EXPECT_EQ(run.Pixel(105, 157), BLACK);  // the crossed-out low E string, now at the right
}

TEST_F(GuitarMode, MoreDescribesTheChordInThreeBoxes) {
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + apptest::TAP_MORE + "frames 2\n"));
    EXPECT_EQ(run.game.moreView, 1u);
    EXPECT_EQ(run.Pixel(8, 160), BLACK);    // the first title bar
    EXPECT_EQ(run.Pixel(8, 190), WHITE);    // the first box's body
    EXPECT_EQ(run.Pixel(8, 206), BLACK);    // the second title bar
    EXPECT_EQ(run.Pixel(8, 252), BLACK);    // the third
    EXPECT_NE(run.Pixel(33, 232), YELLOW);  // no chord box any more
}

TEST_F(GuitarMode, HelpShowsThePageOfTheModeAndDoneClosesIt) {
    EXPECT_NE(HelpFor(0).text.find(
                  "inversions which can be selected from the #FF0000Inversion#000000 list. "),
              std::string_view::npos);
    // Run once to load the fonts and learn where the box and its button are.
    GameRun probe;
    ASSERT_TRUE(probe.Run(apptest::DISMISS_TITLE));
    const Fonts fonts = probe.game.Fonts();
    int text = gfx::drawTextInRect(*fonts.medium, nullptr, HelpFor(0).text,
                                   gfx::Rect{15, 15, 220, 310}, 0);
    int height = fonts.large->height + text + 35, top = (320 - height) / 2, bottom = top + height;
    std::string open = std::string(apptest::DISMISS_TITLE) + apptest::TAP_HELP + "frames 3\n";
    std::string shot = ::testing::TempDir() + "help-open.png";
    ASSERT_TRUE(run.Run(open + "tap 20 " + std::to_string(bottom - 10) + "\nframes 2\nshot " +
                        shot + "\n"));
    // A tap beside "Done" leaves the box open: the dark blue title bar is still shown.
    EXPECT_EQ(GameRun::ShotPixel(shot, 22, top + 4), 0x000A);

    GameRun closing;
    std::string closed = ::testing::TempDir() + "help-closed.png";
    std::string before = apptest::TempPath("help-before.json"),
                after = apptest::TempPath("help-after.json");
    ASSERT_TRUE(closing.Run("state " + before + "\n" + open + "tap 120 " +
                            std::to_string(bottom - 15) + "\nframes 2\nshot " + closed +
                            "\nstate " + after + "\n"));
    EXPECT_EQ(GameRun::ShotPixel(closed, 137, 265), BOARD);
    EXPECT_NE(GameRun::ShotPixel(closed, 22, top + 4), 0x000A);
    // The state dump names the last box shown, its line breaks escaped.
    EXPECT_NE(apptest::ReadState(before).find("\"message\": null,\n  \"dialog\": null,"),
              std::string::npos);
    std::string state = apptest::ReadState(after);
    EXPECT_NE(state.find("\"message\": {\"title\": \"" + std::string(HelpFor(0).title) +
                         "\", \"text\": \"This screen "),
              std::string::npos)
        << state;
    EXPECT_NE(state.find("\\u000d"), std::string::npos);
}

TEST_F(GuitarMode, TheMenuExitsOnYesAndStaysOnNo) {
    const std::string toExit =
        std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU + "tap 120 246\n";
    ASSERT_TRUE(run.Run(toExit + "tap 120 180\nframes 2\nkey D\nframes 1\n"));
    EXPECT_TRUE(run.backend.ScriptDone());
    EXPECT_EQ(run.game.rootList.list.Selection(), 2);  // still running after "No"

    GameRun quitting;
    ASSERT_TRUE(quitting.Run(toExit + "tap 120 158\nframes 2\nkey D\nframes 1\n"));
    EXPECT_FALSE(quitting.backend.ScriptDone());
    EXPECT_EQ(quitting.game.rootList.list.Selection(), 0);
}

// Digit keys pick a shape; one past the list's end picks its last.
TEST_F(GuitarMode, ADigitPastTheLastShapeSelectsTheLast) {
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + "key shift+e\nkey 9\nframes 1\n"));
    EXPECT_EQ(run.game.inversionList.list.Selection(), run.game.voicings.count - 1);
}

TEST_F(GuitarMode, ModesShowTheirWidgetsAndMoreTogglesTheStringButtons) {
    std::string toDetection =
        std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU + "tap 120 202\nframes 2\n";
    ASSERT_TRUE(run.Run(toDetection));
    EXPECT_EQ(run.game.mode, app::MODE_DETECTION);
    EXPECT_TRUE(run.game.stringButtons[0].Visible());
    EXPECT_TRUE(run.game.trigger.Visible());
    EXPECT_FALSE(run.game.rootList.Visible());
    EXPECT_NE(run.Pixel(137, 200), BOARD);  // no fret board left behind

    GameRun more;
    ASSERT_TRUE(more.Run(toDetection + apptest::TAP_MORE + "frames 1\n"));
    EXPECT_FALSE(more.game.stringButtons[0].Visible());
    GameRun back;
    ASSERT_TRUE(back.Run(toDetection + apptest::TAP_MORE + apptest::TAP_MORE + "frames 1\n"));
    EXPECT_TRUE(back.game.stringButtons[0].Visible());
}

TEST_F(GuitarMode, LoadSaveKeepsTheModeAndLeftHandedTapsPlayTheStringTheyHit) {
    // Disk Mode, then a tap outside its menu: nothing chosen, nothing changed.
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU +
                        "tap 120 224\ntap 5 5\nframes 1\n"));
    EXPECT_EQ(run.game.mode, app::MODE_GUITAR);
    ChordView view;
    view.tuning.leftHanded = true;
    auto tap = GuitarFretTap(view, 150, 40);  // the second column from the left
    ASSERT_TRUE(tap);
    EXPECT_EQ(tap->column, 1);
    EXPECT_EQ(tap->string, 4);  // drawn there: the B string
    EXPECT_EQ(tap->fret, 1);
}

}  // namespace
