// The capo: the keys that move it, the bar on the fret board, what the strings are called and
// what a tap plays behind it, and the state that reports it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameHarness.h"
#include "gfx/Draw.h"
#include "gfx/Font.h"
#include "platform/Clock.h"
#include "screens/ChordView.h"
#include "screens/GuitarScreen.h"

namespace {

using apptest::GameRun;
using namespace screens;

constexpr std::uint16_t YELLOW = 0xFFE0;
// Menu, then an item of "Select Mode".
constexpr const char* TO_PIANO = "tap 210 307\ntap 120 114\n";
constexpr const char* TO_SEQUENCER = "tap 210 307\ntap 120 158\n";
constexpr const char* TO_GROUPS = "tap 210 307\ntap 120 180\n";
constexpr const char* TO_DETECTION = "tap 210 307\ntap 120 202\n";

std::string Repeat(const std::string& line, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += line;
    return out;
}

struct Capo : ::testing::Test {
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};

    // The capo a run reports in its state after `script`.
    static int CapoAfter(const std::string& script) {
        static int runs = 0;
        std::string path = apptest::TempPath("capo-" + std::to_string(++runs) + ".json");
        GameRun run;
        EXPECT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + script + "state " + path + "\n"));
        return apptest::StateValue(apptest::ReadState(path), "capo").value_or(-1);
    }
};

TEST_F(Capo, BracketKeysMoveItFromZeroToElevenInTheModesThatUseShapes) {
    EXPECT_EQ(CapoAfter(""), 0);
    EXPECT_EQ(CapoAfter("key [\n"), 0);
    EXPECT_EQ(CapoAfter("key ]\nkey ]\nkey [\n"), 1);
    EXPECT_EQ(CapoAfter(Repeat("key ]\n", 13)), 11);
    EXPECT_EQ(CapoAfter(Repeat("key ]\n", 13) + "key [\n"), 10);
    EXPECT_EQ(CapoAfter(std::string(TO_SEQUENCER) + "key ]\n"), 1);
    EXPECT_EQ(CapoAfter(std::string(TO_GROUPS) + "key ]\n"), 1);
    EXPECT_EQ(CapoAfter(std::string(TO_PIANO) + "key ]\n"), 0);
    EXPECT_EQ(CapoAfter(std::string(TO_DETECTION) + "key ]\n"), 0);
}

TEST_F(Capo, BehindCapoTwoDMajorIsPlayedWithTheCShapesAndTheStringsSoundAWholeToneUp) {
    GameRun run;
    ASSERT_TRUE(run.Run(std::string(apptest::DISMISS_TITLE) + "key ]\nkey ]\nkey d\nframes 1\n"));
    ASSERT_EQ(run.game.rootList.list.Selection(), 2);
    ASSERT_GE(run.game.voicings.count, 2);
    EXPECT_EQ(run.game.voicings.items[0].frets, (theory::Frets{-1, 3, 2, 0, 1, 0}));
    EXPECT_EQ(run.game.voicings.items[1].frets, (theory::Frets{-1, 3, 2, 0, 1, 3}));
    EXPECT_EQ(run.game.inversionList.list.Item(0)->text, "01 D (fret 1)");
    const char* sounding[] = {"F##", "B", "E", "A", "C##", "F##"};
    for (int s = 0; s < 6; ++s)
        EXPECT_EQ(run.game.stringButtons[s].caption, sounding[s]) << s;
    // The strum is told the capo along with the shape.
    app::StrumShape shape = run.game.player.Shape();
    EXPECT_EQ(shape.capo, 2);
    EXPECT_EQ(shape.tuning, (theory::StringTuning{4, 9, 2, 7, 11, 4}));
}

// The bar's rows at capo k: a light edge, the black pad, a dark edge.
struct BarRows {
    int light, firstPad, lastPad, dark;
};
BarRows RowsAt(int capo) {
    return {18 * capo + 11, 18 * capo + 12, 18 * capo + 20, 18 * capo + 21};
}

// The board's two edges and its two outer strings (a string's line is under the pad too).
constexpr int BAR_XS[] = {135, 142, 217, 225};

void ExpectBar(const GameRun& run, int capo) {
    BarRows rows = RowsAt(capo);
    for (int x : BAR_XS) {
        SCOPED_TRACE("x " + std::to_string(x) + ", capo " + std::to_string(capo));
        EXPECT_EQ(run.Pixel(x, rows.light), WIRE_LIGHT);
        for (int y = rows.firstPad; y <= rows.lastPad; ++y)
            EXPECT_EQ(run.Pixel(x, y), BLACK) << y;
        EXPECT_EQ(run.Pixel(x, rows.dark), WIRE_DARK);
        EXPECT_NE(run.Pixel(x, rows.light - 1), BLACK);
        EXPECT_NE(run.Pixel(x, rows.light - 1), WIRE_LIGHT);
        EXPECT_NE(run.Pixel(x, rows.dark + 1), BLACK);
        EXPECT_NE(run.Pixel(x, rows.dark + 1), WIRE_DARK);
    }
}

// Nothing black runs down the board's edges but a bar.
std::vector<int> BlackRowsOnTheEdges(const GameRun& run) {
    std::vector<int> rows;
    for (int y = 20; y <= 277; ++y)
        if (run.Pixel(135, y) == BLACK && run.Pixel(225, y) == BLACK) rows.push_back(y);
    return rows;
}

TEST_F(Capo, TheBarCrossesTheBoardAtItsFretAndTheBoardCountsFromTheNut) {
    GameRun none;
    ASSERT_TRUE(none.Run(std::string(apptest::DISMISS_TITLE) + "frames 1\n"));
    EXPECT_TRUE(BlackRowsOnTheEdges(none).empty());

    for (int capo : {1, 3, 11}) {
        GameRun run;
        ASSERT_TRUE(
            run.Run(std::string(apptest::DISMISS_TITLE) + Repeat("key ]\n", capo) + "frames 1\n"));
        ExpectBar(run, capo);
        std::vector<int> pad;
        for (int y = RowsAt(capo).firstPad; y <= RowsAt(capo).lastPad; ++y)
            pad.push_back(y);
        EXPECT_EQ(BlackRowsOnTheEdges(run), pad) << capo;
        // Just off the board the picture behind it is untouched.
        EXPECT_EQ(run.Pixel(134, RowsAt(capo).firstPad), none.Pixel(134, RowsAt(capo).firstPad));
        EXPECT_EQ(run.Pixel(226, RowsAt(capo).firstPad), none.Pixel(226, RowsAt(capo).firstPad));
        if (capo != 3) continue;
        // The board counts from the nut. C Major behind capo 3 starts with the A Major shape
        // x02220: its window, frets 1 to 4 counted from the capo, is frets 4 to 7 of the board.
        ASSERT_EQ(run.game.voicings.items[0].frets, (theory::Frets{-1, 0, 2, 2, 2, 0}));
        EXPECT_EQ(none.Pixel(137, 88), BOARD_WINDOW);
        EXPECT_EQ(run.Pixel(137, 88), BOARD_WINDOW);   // fret 4
        EXPECT_EQ(run.Pixel(137, 142), BOARD_WINDOW);  // fret 7
        EXPECT_EQ(run.Pixel(137, 160), BOARD);         // fret 8
        EXPECT_EQ(run.Pixel(137, 52), BOARD);          // fret 2, below the capo
        // C on the B string at fret 1 lies behind the capo: no dot.
        EXPECT_EQ(none.Pixel(200, 34), YELLOW);
        EXPECT_EQ(run.Pixel(200, 34), BOARD);
        // C on the B string at fret 13 is still marked.
        EXPECT_EQ(run.Pixel(200, 250), YELLOW);
        // Above the nut: the A string sounds C behind the capo, a chord note: a ring.
        EXPECT_EQ(none.Pixel(157, 12), BLACK);
        EXPECT_NE(run.Pixel(157, 12), BLACK);
        EXPECT_EQ(run.Pixel(157, 8), BLACK);
    }
    GameRun left;
    ASSERT_TRUE(left.Run(std::string(apptest::DISMISS_TITLE) + apptest::TAP_LEFT_HANDED +
                         "key ]\nkey ]\nkey ]\nframes 1\n"));
    ASSERT_TRUE(left.game.leftHanded.Checked());
    ExpectBar(left, 3);
}

class CapoDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetResourceTable(res::EmbeddedResources());
        ASSERT_TRUE(gfx::loadFont(medium, 4));
        ASSERT_TRUE(gfx::loadFont(small, 1));
    }
    // The board and box of `view` in a surface cleared to a sentinel.
    gfx::SurfacePtr Draw(const ChordView& view) {
        auto s = gfx::createSurface(240, 320);
        gfx::clear(*s, 0x0821);
        DrawFretBoard(*s, fonts, view);
        DrawChordDiagram(*s, fonts, view);
        return s;
    }
    static bool SameIn(const gfx::Surface& a, const gfx::Surface& b, int left, int top, int right,
                       int bottom) {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                if (a.Row(y)[x] != b.Row(y)[x]) return false;
        return true;
    }
    gfx::Font medium, small;
    Fonts fonts{nullptr, &medium, &small};
};

// Standard tuning behind capo 2 and an instrument tuned a whole tone up show one chord box
// and one row of string names: the box is the shape as found, named as it sounds.
TEST_F(CapoDrawing, TheBoxAndTheStringNamesAreThoseOfTheRaisedTuning) {
    ChordView capoed, raised;
    capoed.root = raised.root = 2;
    capoed.tuning.capo = 2;
    raised.tuning.strings = {6, 11, 4, 9, 1, 6};
    theory::Voicing c;
    c.bass = 2;
    c.frets = {-1, 3, 2, 0, 1, 0};
    capoed.selected = raised.selected = c;
    auto a = Draw(capoed), b = Draw(raised);
    EXPECT_TRUE(SameIn(*a, *b, 0, 140, 134, 295));    // the chord box with its names
    EXPECT_TRUE(SameIn(*a, *b, 135, 280, 225, 295));  // the names under the board
    EXPECT_TRUE(SameIn(*a, *b, 135, 0, 225, 19));     // the rings and crosses above the nut
    EXPECT_FALSE(SameIn(*a, *b, 135, 20, 225, 277));  // the board itself differs: the bar
    // Without the capo, the names are the nut's again.
    capoed.tuning.capo = 0;
    auto plain = Draw(capoed);
    EXPECT_FALSE(SameIn(*plain, *b, 135, 280, 225, 295));
}

TEST(CapoTaps, ATapOnOrBehindTheCapoPlaysTheStringAtTheCapo) {
    ChordView view;
    view.tuning.capo = 3;
    struct {
        int y, fret;
    } taps[] = {{10, 3}, {7 + 18 * 2, 3}, {7 + 18 * 3 + 17, 3}, {7 + 18 * 4, 4}, {277, 15}};
    for (auto t : taps) {
        auto tap = GuitarFretTap(view, 150, t.y);
        ASSERT_TRUE(tap) << t.y;
        EXPECT_EQ(tap->fret, t.fret) << t.y;
        EXPECT_EQ(tap->string, 1);
    }
    view.tuning.leftHanded = true;
    auto left = GuitarFretTap(view, 150, 10);
    ASSERT_TRUE(left);
    EXPECT_EQ(left->string, 4);
    EXPECT_EQ(left->fret, 3);
    view.tuning.capo = 0;
    EXPECT_EQ(GuitarFretTap(view, 150, 10)->fret, 0);
}

}  // namespace
