// Where things land on the screen, probed at their edges: a pixel just inside each edge
// and one just outside, so that a shape moved by a pixel or three is caught.

#include <gtest/gtest.h>

#include "GameHarness.h"
#include "gfx/Font.h"
#include "platform/Clock.h"
#include "screens/ChordView.h"
#include "ui/ImageStrip.h"

namespace {

using apptest::GameRun;
using namespace screens;

constexpr std::uint16_t YELLOW = 0xFFE0;
const std::string TO_DETECTION =
    std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU + "tap 120 202\nframes 2\n";
const std::string TO_SEQUENCER =
    std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU + "tap 120 158\nframes 2\n";

struct ScreenEdges : ::testing::Test {
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
    GameRun run;
};

bool Dark(std::uint16_t p) {
    return (p >> 11) < 8 && ((p >> 5) & 63) < 16 && (p & 31) < 8;
}

TEST_F(ScreenEdges, TheTriggerStartsAtLevel30WithItsThumbAt66) {
    ASSERT_TRUE(run.Run(TO_DETECTION + "state " + apptest::TempPath("trigger.json") + "\n"));
    std::string state = apptest::ReadState(apptest::TempPath("trigger.json"));
    EXPECT_EQ(apptest::StateValue(state, "triggerLevel"), 30);
    EXPECT_EQ(run.game.trigger.Value(), 66);

    // The thumb picture on a track of 103 - 2 pixels from y 54, at 66 of 0..96.
    auto thumb = ui::ImageStrip::FromBitmap(120, 1, 1);
    ASSERT_TRUE(thumb);
    const gfx::Surface& picture = *thumb->Picture();
    const int left = 200 + (20 - thumb->CellWidth()) / 2;
    const int top = 54 + 66 * (101 - thumb->CellHeight()) / 96;
    int compared = 0;
    for (int y = 0; y < thumb->CellHeight(); ++y) {
        for (int x = 0; x < thumb->CellWidth(); ++x) {
            std::uint16_t p = picture.Row(y)[x];
            if (p == gfx::COLOUR_KEY) continue;
            ASSERT_EQ(run.Pixel(left + x, top + y), p) << x << "," << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, thumb->CellWidth() * thumb->CellHeight() / 2);
    // Nothing of the thumb's top row one pixel higher, or of its bottom row one lower.
    int middle = thumb->CellWidth() / 2;
    EXPECT_NE(run.Pixel(left + middle, top - 1), picture.Row(0)[middle]);
    EXPECT_NE(run.Pixel(left + middle, top + thumb->CellHeight()),
              picture.Row(thumb->CellHeight() - 1)[middle]);
}

// The label "01" of a shape starting at fret 1, drawn with its top left at (x, y): each
// outermost fully inked pixel of the text is black on screen and its outward neighbour is
// not. Edges beyond `clipRight` are not checked.
void ExpectFretLabelAt(const GameRun& run, int x, int y, int clipRight = 239) {
    const gfx::Font& font = *run.game.Fonts().medium;
    auto probe = gfx::createSurface(40, 30);
    ASSERT_TRUE(probe);
    gfx::clear(*probe, WHITE);
    gfx::drawText(font, *probe, 0, 0, "01", BLACK);
    int top = 99, bottom = -1, leftmost = 99, rightmost = -1;
    for (int py = 0; py < 30; ++py)
        for (int px = 0; px < 40; ++px)
            if (probe->Row(py)[px] == BLACK) {
                top = std::min(top, py), bottom = std::max(bottom, py);
                leftmost = std::min(leftmost, px), rightmost = std::max(rightmost, px);
            }
    ASSERT_LE(top, bottom);
    for (int py = 0; py < 30; ++py)
        for (int px = 0; px < 40; ++px) {
            if (probe->Row(py)[px] != BLACK) continue;
            int sx = x + px, sy = y + py;
            if (py == top) {
                EXPECT_EQ(run.Pixel(sx, sy), BLACK) << "top " << sx << "," << sy;
                EXPECT_NE(run.Pixel(sx, sy - 1), BLACK) << "above " << sx << "," << sy - 1;
            }
            if (py == bottom) {
                EXPECT_EQ(run.Pixel(sx, sy), BLACK) << "bottom " << sx << "," << sy;
                EXPECT_NE(run.Pixel(sx, sy + 1), BLACK) << "below " << sx << "," << sy + 1;
            }
            if (px == leftmost) {
                EXPECT_EQ(run.Pixel(sx, sy), BLACK) << "left " << sx << "," << sy;
                EXPECT_NE(run.Pixel(sx - 1, sy), BLACK) << "left of " << sx - 1 << "," << sy;
            }
            if (px == rightmost && sx + 1 <= clipRight) {
                EXPECT_EQ(run.Pixel(sx, sy), BLACK) << "right " << sx << "," << sy;
                EXPECT_NE(run.Pixel(sx + 1, sy), BLACK) << "right of " << sx + 1 << "," << sy;
            }
        }
}

TEST_F(ScreenEdges, TheChordBoxFretLabelHasItsTopLeftAtTheBoxCorner) {
    // Box at (6, 165), strings 18 apart: the label at (6 + 108 + 10, 165 + 14).
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + "frames 2\n"));
    ExpectFretLabelAt(run, 124, 179);

    GameRun leftSplit;
    ASSERT_TRUE(leftSplit.Run(std::string(apptest::DISMISS_TITLE) + apptest::TAP_LEFT_HANDED +
                              "tap 12 142\nframes 2\n"));
    ASSERT_TRUE(leftSplit.game.leftHanded.Checked());
    ASSERT_EQ(leftSplit.game.splitChords, 1u);
    ExpectFretLabelAt(leftSplit, 124, 179);

    // The sequencer's box at (130, 20), strings 15 apart: the label at (230, 34), cut
    // by the screen's right edge.
    GameRun sequencer;
    ASSERT_TRUE(sequencer.Run(TO_SEQUENCER));
    ASSERT_EQ(sequencer.game.mode, app::MODE_SEQUENCER);
    ExpectFretLabelAt(sequencer, 230, 34);
}

TEST_F(ScreenEdges, FretBoardDotsCoverTheirRadiusAndNoMore) {
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + "frames 2\n"));
    // C major's first shape: the four-fret window from the nut down.
    struct Dot {
        int column, fret;
        std::uint16_t colour;
    } dots[] = {
        {4, 1, YELLOW},  // C on the B string, the root
        {2, 2, WHITE},   // E on the D string
    };
    for (const Dot& d : dots) {
        // Centre (142.5 + 15c, 16 + 18f), radius 4; probed one column right of the string.
        const int x = 143 + 15 * d.column, cy = 16 + 18 * d.fret;
        EXPECT_EQ(run.Pixel(x, cy - 3), d.colour) << d.column;
        EXPECT_EQ(run.Pixel(x, cy - 5), BOARD_WINDOW) << d.column;
        EXPECT_EQ(run.Pixel(x, cy + 2), d.colour) << d.column;
        EXPECT_EQ(run.Pixel(x, cy + 4), BOARD_WINDOW) << d.column;
        const int cx = 142 + 15 * d.column;
        EXPECT_EQ(run.Pixel(cx - 3, cy), d.colour) << d.column;
        EXPECT_EQ(run.Pixel(cx - 5, cy), BOARD_WINDOW) << d.column;
        EXPECT_EQ(run.Pixel(cx + 3, cy), d.colour) << d.column;
        EXPECT_EQ(run.Pixel(cx + 5, cy), BOARD_WINDOW) << d.column;
    }
}

TEST_F(ScreenEdges, TheTapDotIsOutlinedAtItsRadius) {
    // E on the D string at fret 2: centre (172.5, 52.5), radius 10, a black rim; no chord
    // note beside it on the neighbouring strings.
    std::string shot = apptest::TempPath("tap-dot.png");
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + "frames 2\ndown 172 52\nshot " +
                        shot + "\nup 172 52\nframes 1\n"));
    auto at = [&](int x, int y) { return GameRun::ShotPixel(shot, x, y); };
    // Top and bottom, one column right of the string line.
    EXPECT_EQ(at(173, 41), BOARD_WINDOW);
    EXPECT_TRUE(Dark(at(173, 42))) << at(173, 42);
    EXPECT_EQ(at(173, 44), WHITE);
    EXPECT_EQ(at(173, 60), WHITE);
    EXPECT_TRUE(Dark(at(173, 62))) << at(173, 62);
    EXPECT_EQ(at(173, 63), BOARD_WINDOW);
    // Left and right, on the centre row, where the rim's corners shade the next pixel out.
    EXPECT_EQ(at(160, 52), BOARD_WINDOW);
    EXPECT_FALSE(Dark(at(161, 52))) << at(161, 52);
    EXPECT_TRUE(Dark(at(162, 52))) << at(162, 52);
    EXPECT_EQ(at(164, 52), WHITE);
    EXPECT_EQ(at(180, 52), WHITE);
    EXPECT_TRUE(Dark(at(182, 52))) << at(182, 52);
    EXPECT_FALSE(Dark(at(183, 52))) << at(183, 52);
    EXPECT_EQ(at(184, 52), BOARD_WINDOW);
    // Once the stylus lifts the dot goes, leaving the board's own small one.
    EXPECT_EQ(run.Pixel(164, 52), BOARD_WINDOW);
}

}  // namespace
