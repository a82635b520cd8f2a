// What desktop users reach for: Escape, Space or a tap on the title, Escape or a tap
// beside a pop-up menu as "no choice", and the mouse wheel over a list.

#include <gtest/gtest.h>

#include "GameHarness.h"
#include "gfx/Font.h"
#include "gfx/Surface.h"
#include "platform/Clock.h"
#include "theory/CurrentTuning.h"

namespace {

using apptest::GameRun;

struct DesktopInput : ::testing::Test {
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
};

// The root chosen by "key d" after `opening`: D (2) once the title has gone, C (0) while
// it still takes the keys.
int RootAfter(const std::string& opening) {
    GameRun run;
    EXPECT_TRUE(run.Run(opening + "key d\nframes 1\n"));
    return run.game.rootList.list.Selection();
}

TEST_F(DesktopInput, TheTitleGoesWithEnterEscapeSpaceOrATapOnThePicture) {
    platform::SetResourceTable(res::EmbeddedResources());
    auto picture = gfx::loadImageResource(1, platform::RESOURCE_GIF);
    ASSERT_TRUE(picture);
    const int left = (240 - picture->Width()) / 2, top = (320 - picture->Height()) / 2;
    const int right = left + picture->Width() - 1, bottom = top + picture->Height() - 1;
    ASSERT_GT(left, 0);
    ASSERT_GT(top, 0);
    for (const char* key : {"key Enter\n", "key Escape\n", "key space\n"})
        EXPECT_EQ(RootAfter(key), 2) << key;
    auto tap = [](int x, int y) {
        return "tap " + std::to_string(x) + " " + std::to_string(y) + "\n";
    };
    EXPECT_EQ(RootAfter(tap(left, top)), 2);
    EXPECT_EQ(RootAfter(tap(right, bottom)), 2);
    EXPECT_EQ(RootAfter(tap(left - 1, top)), 0);  // beside the picture: still up
    EXPECT_EQ(RootAfter(tap(right + 1, bottom)), 0);
    EXPECT_EQ(RootAfter(tap(left, bottom + 1)), 0);
    EXPECT_EQ(RootAfter("key x\n"), 0);  // other keys do not dismiss it
}

TEST_F(DesktopInput, EscapeOrATapBesideAMenuIsNoChoice) {
    const std::string menu = std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU;
    {
        GameRun run;  // "Select Mode": the mode stays
        ASSERT_TRUE(run.Run(menu + "key Escape\nkey d\nframes 1\n"));
        EXPECT_EQ(run.game.mode, app::MODE_GUITAR);
        EXPECT_EQ(run.game.rootList.list.Selection(), 2);
    }
    {
        GameRun run;  // a tap beside the menu, then the keys reach the screen again
        ASSERT_TRUE(run.Run(menu + "tap 5 5\nkey d\nframes 1\n"));
        EXPECT_EQ(run.game.mode, app::MODE_GUITAR);
        EXPECT_EQ(run.game.rootList.list.Selection(), 2);
    }
    {
        GameRun run;  // "Exit Program": Escape is No, and the program keeps running
        ASSERT_TRUE(run.Run(menu + "tap 120 246\nkey Escape\nkey d\nframes 1\n"));
        EXPECT_TRUE(run.backend.ScriptDone());
        EXPECT_EQ(run.game.rootList.list.Selection(), 2);
    }
}

TEST_F(DesktopInput, TheWheelScrollsAnOpenListUnderThePointer) {
    GameRun run;
    // The Tuning list opens below its field at (5, 55); one notch down shows rows 3 to 10,
    // and a tap on the first row shown takes "Open D".
    gfx::Font medium;
    ASSERT_TRUE(gfx::loadFont(medium, 4));
    const int firstRow = 55 + medium.height + 4 + 1 + 3;
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) +
                        "tap 60 62\nwheel 60 120 -1\ntap 60 " + std::to_string(firstRow) +
                        "\nframes 1\n"));
    EXPECT_EQ(run.game.tuningList.list.Selection(), 3);
    EXPECT_EQ(theory::CurrentTuning().index, 3);
}

}  // namespace
