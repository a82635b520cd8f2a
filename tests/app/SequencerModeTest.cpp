// The Chord Sequencer mode driven as a user would: its panel's widgets at their places, and
// what Add, Delete, Length, a row, the check boxes and Play do.

#include <gtest/gtest.h>

#include "GameHarness.h"
#include "platform/Clock.h"
#include "platform/headless/Script.h"
#include "ui/ImageStrip.h"

namespace {

using apptest::GameRun;

const std::string TO_SEQUENCER =
    std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU + "tap 120 157\nframes 1\n";
// The panel lies at (0, 155); these are its widgets on the screen.
const std::string TAP_PLAY = "tap 210 185\n";
const std::string TAP_STOP = "tap 210 208\n";
const std::string TAP_ADD = "tap 210 231\n";
const std::string TAP_DELETE = "tap 210 254\n";
const std::string TAP_LENGTH = "tap 210 277\n";
const std::string TAP_TWELVE = "tap 12 162\n";
const std::string TAP_ALTERNATE = "tap 87 162\n";
const std::string TAP_SPLIT = "tap 12 142\n";
// Rows of the list are 18 pixels high below its frame at y 175.
std::string TapRow(int row) {
    return "tap 60 " + std::to_string(185 + 18 * row) + "\n";
}

struct SequencerMode : ::testing::Test {
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
    GameRun run;
    // One file per test: ctest runs tests side by side.
    std::string state = apptest::TempPath(
        std::string("sequencer-") +
        ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".json");

    // The state after `script`, run from the Chord Sequencer.
    std::string After(const std::string& script) {
        EXPECT_TRUE(run.Run(TO_SEQUENCER + script + "frames 1\nstate " + state + "\n"));
        return apptest::ReadState(state);
    }
    // Each pixel of a face cell's outer edge sits at (x, y) + its place in the cell, in the
    // last frame or in the screenshot `shot`.
    void ExpectFaceAt(const ui::ImageStrip& faces, int column, int row, int x, int y,
                      const std::string& shot = "") {
        const gfx::Surface& picture = *faces.Picture();
        int w = faces.CellWidth(), h = faces.CellHeight();
        for (int py = 0; py < h; ++py) {
            for (int px = 0; px < w; ++px) {
                if (px != 0 && px != w - 1 && py != 0 && py != h - 1) continue;
                std::uint16_t want = picture.Row(row * h + py)[column * w + px];
                if (want == gfx::COLOUR_KEY) continue;
                ASSERT_EQ(shot.empty() ? run.Pixel(x + px, y + py)
                                       : GameRun::ShotPixel(shot, x + px, y + py),
                          want)
                    << "face pixel " << px << "," << py << " expected at " << x + px << ","
                    << y + py;
            }
        }
    }
};

TEST_F(SequencerMode, ThePanelsWidgetsLieAtTheirPlaces) {
    ASSERT_TRUE(run.Run(TO_SEQUENCER + TAP_ADD + "frames 1\n"));
    EXPECT_TRUE(run.game.sequencerPanel.Visible());
    // The list's frame: x 5..180, y 175..285 (6 rows of 18 and the frame).
    for (int y : {175, 230, 285}) {
        EXPECT_EQ(run.Pixel(5, y), 0x0000) << y;
        EXPECT_EQ(run.Pixel(180, y), 0x0000) << y;
    }
    for (int x : {5, 100, 180}) {
        EXPECT_EQ(run.Pixel(x, 175), 0x0000) << x;
        EXPECT_EQ(run.Pixel(x, 285), 0x0000) << x;
    }
    EXPECT_EQ(run.Pixel(6, 200), 0xFFFF);    // inside, below the one row
    EXPECT_EQ(run.Pixel(179, 284), 0xFFFF);  // the inner corner
    EXPECT_EQ(run.Pixel(6, 176), 0x3358);    // the new row, selected
    EXPECT_EQ(run.Pixel(6, 193), 0x3358);
    EXPECT_EQ(run.Pixel(6, 194), 0xFFFF);

    auto faces50 = ui::ImageStrip::FramedFaces(106, 50, 20);
    auto checks = ui::ImageStrip::FromBitmap(104, 2, 2);
    ASSERT_TRUE(faces50 && checks);
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        ExpectFaceAt(*faces50, 0, ui::FACE_NORMAL, 185, 175 + 23 * k);
    }
    ExpectFaceAt(*checks, 1, ui::FACE_NORMAL, 5, 155);
    ExpectFaceAt(*checks, 1, ui::FACE_NORMAL, 80, 155);
}

TEST_F(SequencerMode, AddWritesTheChordOnScreenAsARowOfFourColumns) {
    std::string json = After(TAP_ADD + "key ctrl+A\n" + TAP_SPLIT + "key 2\n" + TAP_ADD);
    EXPECT_NE(json.find("\"rows\": [\"C|Major|01|1 bar\", \"A|Minor|03|1 bar\"]"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"root\": 0, \"chordType\": 0, \"inversion\": 0, \"length\": 4, "
                        "\"split\": 0, \"frets\": [-1, 3, 2, 0, 1, 0]}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"root\": 9, \"chordType\": 1, \"inversion\": 2, \"length\": 4, "
                        "\"split\": 1, \"frets\""),
              std::string::npos)
        << json;
    EXPECT_EQ(apptest::StateValue(json, "count"), 2);
    EXPECT_EQ(apptest::StateValue(json, "selectedRow"), 1);
    // The columns: 25, 50, 30 and 50 pixels from the frame's inner edge.
    const auto& list = run.game.sequencerPanel.list;
    EXPECT_EQ(list.columns[1].rect.left, 26);
    EXPECT_EQ(list.columns[2].rect.left, 76);
    EXPECT_EQ(list.columns[3].rect.left, 106);
    EXPECT_EQ(list.columns[3].rect.right, 156);
}

TEST_F(SequencerMode, SharpsAreStoredMarkedUpAndAFullSequenceTakesNoMore) {
    std::string script = "key shift+F\n";
    for (int i = 0; i < 25; ++i)
        script += TAP_ADD;
    std::string json = After(script);
    EXPECT_EQ(apptest::StateValue(json, "count"), 24);
    EXPECT_EQ(run.game.sequencerPanel.list.Count(), 24);
    EXPECT_EQ(run.game.sequencerPanel.list.Item(23)->text, "F##|Major|01|1 bar");
    EXPECT_EQ(apptest::StateValue(json, "selectedRow"), 23);
}

TEST_F(SequencerMode, LengthCyclesFromOneBarThroughTwoAndFourBarsAndAHalf) {
    const char* texts[] = {"C|Major|01|2 bars", "C|Major|01|4 bars", "C|Major|01|1/2 bar",
                           "C|Major|01|1 bar"};
    const int lengths[] = {8, 16, 2, 4};
    std::string script = TAP_ADD;
    for (int k = 0; k < 4; ++k) {
        script += TAP_LENGTH + "state " + state + std::to_string(k) + "\n";
    }
    ASSERT_TRUE(run.Run(TO_SEQUENCER + script));
    for (int k = 0; k < 4; ++k) {
        std::string json = apptest::ReadState(state + std::to_string(k));
        EXPECT_NE(json.find(std::string("\"rows\": [\"") + texts[k] + "\"]"), std::string::npos)
            << k << json;
        EXPECT_EQ(apptest::StateValue(json, "length"), lengths[k]) << k;
    }
}

TEST_F(SequencerMode, DeletingTheLastRowSelectsTheNewLastRow) {
    std::string json = After(TAP_ADD + "key D\n" + TAP_ADD + "key E\n" + TAP_ADD + TapRow(2) +
                             TAP_DELETE + "state " + state + "a\n" + TapRow(0) + TAP_DELETE);
    std::string afterLast = apptest::ReadState(state + "a");
    EXPECT_EQ(apptest::StateValue(afterLast, "count"), 2);
    EXPECT_EQ(apptest::StateValue(afterLast, "selectedRow"), 1);
    EXPECT_NE(afterLast.find("\"rows\": [\"C|Major|01|1 bar\", \"D|Major|01|1 bar\"]"),
              std::string::npos);
    // Deleting the first moves the rest up and keeps the place.
    EXPECT_EQ(apptest::StateValue(json, "count"), 1);
    EXPECT_EQ(apptest::StateValue(json, "selectedRow"), 0);
    EXPECT_NE(json.find("\"rows\": [\"D|Major|01|1 bar\"]"), std::string::npos);
}

TEST_F(SequencerMode, ARowLoadsItsChordIntoTheListsAndSplitBox) {
    // Row 0: A minor, third shape, split; row 1 G major; then the lists move elsewhere.
    std::string json = After("key ctrl+A\n" + TAP_SPLIT + "key 2\n" + TAP_ADD + TAP_SPLIT +
                             "key G\n" + TAP_ADD + "key D\n" + TapRow(0));
    EXPECT_EQ(apptest::StateValue(json, "root"), 9);
    EXPECT_EQ(apptest::StateValue(json, "chordType"), 1);
    EXPECT_EQ(apptest::StateValue(json, "inversion"), 2);
    EXPECT_EQ(apptest::StateValue(json, "splitChords"), 1);
    EXPECT_TRUE(run.game.allowSplitChords.Checked());
}

TEST_F(SequencerMode, CheckBoxesSetTwelveStringAndThePickingPattern) {
    std::string json = After(TAP_TWELVE + TAP_ALTERNATE + "state " + state + "a\n" + TAP_ALTERNATE +
                             "state " + state + "b\nkey R\n" + TAP_ALTERNATE);
    std::string first = apptest::ReadState(state + "a"), second = apptest::ReadState(state + "b");
    EXPECT_EQ(apptest::StateValue(first, "doubleOctave"), 1);
    EXPECT_EQ(apptest::StateValue(first, "style"), 0);   // checked: pattern 0
    EXPECT_EQ(apptest::StateValue(second, "style"), 1);  // cleared: pattern 1
    // After a key chose pattern 2, checking the box again gives 0.
    EXPECT_EQ(apptest::StateValue(json, "style"), 0);
    EXPECT_TRUE(run.game.sequencerPanel.alternatePicking.Checked());
}

TEST_F(SequencerMode, PlayShowsPressedWhilePlayingAndStopOrTheKeyEndPlayback) {
    auto faces50 = ui::ImageStrip::FramedFaces(106, 50, 20);
    ASSERT_TRUE(faces50);
    const std::string playing = apptest::TempPath("sequencer-playing.png");
    std::string json = After(TAP_ADD + TAP_PLAY + "frames 1\nstate " + state + "a\nshot " +
                             playing + "\n" + TAP_STOP);
    EXPECT_EQ(apptest::StateValue(apptest::ReadState(state + "a"), "playing"), 1);
    ExpectFaceAt(*faces50, 0, ui::FACE_PRESSED, 185, 175, playing);
    ExpectFaceAt(*faces50, 0, ui::FACE_NORMAL, 185, 198, playing);
    EXPECT_EQ(apptest::StateValue(json, "playing"), 0);
    ExpectFaceAt(*faces50, 0, ui::FACE_NORMAL, 185, 175);

    GameRun other;
    ASSERT_TRUE(other.Run(TO_SEQUENCER + TAP_PLAY + "key S\nframes 1\nstate " + state + "\n" +
                          apptest::TAP_MENU + "tap 120 90\nframes 1\n"));
    EXPECT_EQ(apptest::StateValue(apptest::ReadState(state), "playing"), 0);
    EXPECT_FALSE(other.game.sequencerPanel.Visible());
    EXPECT_EQ(other.game.mode, app::MODE_GUITAR);
}

// The player's steps taken one at a time on key Z, in the interface thread: no player thread
// runs, so what reaches the screen, and when, is fixed.
struct SteppedGame : app::MyGame {
    platform::LResult HandleMessage(std::uint32_t msg, platform::WParam wParam,
                                    platform::LParam lParam) override {
        if (msg == platform::MSG_KEYDOWN && wParam == 'Z') {
            player.PlaySequenceStep();
            return 0;
        }
        return MyGame::HandleMessage(msg, wParam, lParam);
    }
};

TEST_F(SequencerMode, TheListsFollowTheStepThatPlaysButNotPastAStop) {
    apptest::BasicGameRun<SteppedGame> stepped;
    auto play = [&](const std::string& script) {
        std::string error;
        auto commands = platform::headless::ParseScript(TO_SEQUENCER + script, error);
        ASSERT_TRUE(commands) << error;
        stepped.backend.SetScript(std::move(*commands));
        stepped.backend.SetStateWriter([&](const std::string& path, std::string& why) {
            why = stepped.game.WriteState(path);
            return why.empty();
        });
        app::ProgramMain(stepped.game, stepped.host, [&] { stepped.game.ShowTitleScreen(); });
    };
    // D and E major; the lists show G when Play starts.
    play("key D\n" + TAP_ADD + "key E\n" + TAP_ADD + "key G\n" + TAP_PLAY +
         "key Z\nframes 1\nstate " + state + "a\nkey Z\nframes 1\nstate " + state + "b\n" +
         "key S\nkey C\nkey Z\nframes 2\nstate " + state + "\n");
    std::string first = apptest::ReadState(state + "a"), second = apptest::ReadState(state + "b");
    EXPECT_EQ(apptest::StateValue(first, "root"), 2);
    EXPECT_EQ(apptest::StateValue(first, "selectedRow"), 0);
    EXPECT_EQ(apptest::StateValue(second, "root"), 4);
    EXPECT_EQ(apptest::StateValue(second, "selectedRow"), 1);
    // A step that began as S came (the player had looked at `playing` just before), told
    // after C was chosen: C stays.
    std::string last = apptest::ReadState(state);
    EXPECT_EQ(apptest::StateValue(last, "root"), 0);
    EXPECT_EQ(apptest::StateValue(last, "playing"), 0);
}

}  // namespace
