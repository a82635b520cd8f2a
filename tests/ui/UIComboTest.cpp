#include "ui/UICombo.h"

#include "UiFixture.h"
#include "ui/ImageStrip.h"
#include "ui/UIButton.h"

namespace ui {
namespace {

using namespace platform;
using testing::Inked;

// A Root-like combo box at (5, 20), 40 wide, 12 rows, with a button below it that its
// open list covers.
struct Combo : testing::UiFixture {
    UICombo combo;
    UIButton below;
    std::unique_ptr<ImageStrip> arrows;
    void SetUp() override {
        UiFixture::SetUp();
        arrows = ImageStrip::FromBitmap(103, 2, 2);
        ASSERT_TRUE(arrows);
        combo.Setup(5, 20, 60, 4, 16, &font, arrows.get());
        combo.SetCaption(100, "Root", CAPTION_ABOVE_LEFT);
        combo.SetFlags(FLAG_VISIBLE | FLAG_CAPTION | FLAG_NOTIFY);
        combo.SetColours(0x0000, 0xFFFF, 0x84FB, 0x84FB);
        for (const char* n : {"C", "C#", "D", "D#", "E", "F"})
            combo.list.AddItem(n);
        combo.list.Select(0);
        below.SetButtonState(BUTTON_BEVEL);
        below.faceColour = 0x07E0;
        below.SetRect(5, 45, 60, 40);
        below.SetFlags(FLAG_VISIBLE | FLAG_NOTIFY);
        below.id = 7;
        desktop.AddChild(&combo);
        desktop.AddChild(&below);
    }
    int FieldHeight() const { return font.height + 4; }
    int RowY(int row) const { return 20 + FieldHeight() + 1 + row * combo.list.rowHeight + 3; }
};

TEST_F(Combo, SetupSizesTheFieldAndTheHiddenList) {
    EXPECT_EQ(combo.height, FieldHeight());
    EXPECT_EQ(combo.list.rowHeight, font.height + 4);
    EXPECT_EQ(combo.list.flags, 0);
    EXPECT_EQ(combo.list.id, 1);
    EXPECT_EQ(combo.list.scroll.dragColour, 0x63B4);  // 16, 39, 27 to three quarters: 12, 29, 20
    combo.Setup(5, 20, 60, 4, 16, &font);             // again: still one child
    EXPECT_EQ(combo.firstChild, &combo.list);
    EXPECT_EQ(combo.lastChild, &combo.list);
}

TEST_F(Combo, ATapOnAnItemSelectsItAndClosesWithOneCommand) {
    Tap(20, 25);
    ASSERT_TRUE(combo.IsOpen());
    EXPECT_EQ(desktop.capture, &combo);
    EXPECT_EQ(desktop.topMost, &combo);
    EXPECT_EQ(desktop.focus, &combo.list);
    EXPECT_EQ(combo.list.rows, 4);
    EXPECT_TRUE(combo.list.scroll.Visible());  // 6 items in 4 rows
    EXPECT_TRUE(Commands().empty());
    Tap(20, RowY(2));
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(combo.list.Selection(), 2);
    auto sent = Commands();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].wParam, MakeCommand(100, LIST_SELECTED));
    EXPECT_EQ(desktop.capture, nullptr);
    EXPECT_EQ(desktop.topMost, nullptr);
    EXPECT_EQ(desktop.focus, nullptr);
    EXPECT_EQ(combo.height, FieldHeight());
}

TEST_F(Combo, ATapElsewhereGoesToTheComboAndClosesItQuietlyUnlessTheSelectionChanged) {
    Tap(20, 25);
    Tap(200, 300);  // nowhere near: the open combo box still gets it
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(below.state & BUTTON_HELD, 0u);

    Tap(20, 25);
    desktop.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0);  // the open list has the focus
    EXPECT_EQ(combo.list.Selection(), 1);
    Tap(30, 60);  // on the list's area, over `below`: the list takes it, the button never
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(Commands().size(), 1u);

    Tap(20, 25);
    desktop.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0);
    Tap(200, 300);
    auto sent = Commands();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].wParam, MakeCommand(100, LIST_SELECTED));
    EXPECT_EQ(combo.list.Selection(), 2);
}

TEST_F(Combo, EnterPicksTheHighlightedItemAndEscapePutsBackTheFirst) {
    Tap(20, 25);
    desktop.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0);
    desktop.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0);
    desktop.HandleEvent(MSG_KEYDOWN, KEY_RETURN, 0);
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(combo.list.Selection(), 2);
    auto sent = Commands();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].wParam, MakeCommand(100, LIST_SELECTED));
    EXPECT_EQ(desktop.capture, nullptr);

    Tap(20, 25);
    desktop.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0);
    EXPECT_EQ(combo.list.Selection(), 3);
    desktop.HandleEvent(MSG_KEYDOWN, KEY_ESCAPE, 0);
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(combo.list.Selection(), 2);  // as it was when it opened
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(desktop.capture, nullptr);
    EXPECT_EQ(desktop.focus, nullptr);
}

// Six items in four rows: the wheel moves three rows a notch, stops at the ends, keeps
// the selection on its item, and reaches only the open list while it holds the capture.
TEST_F(Combo, TheWheelScrollsTheOpenListAndItReopensOnItsSelection) {
    auto wheel = [&](int x, int y, int notches) {
        desktop.HandleEvent(MSG_MOUSEWHEEL, MakeWheel(notches * WHEEL_DELTA), MakePoint(x, y));
    };
    combo.list.Select(1);
    Tap(20, 25);
    ASSERT_TRUE(combo.IsOpen());
    wheel(20, RowY(1), -1);
    EXPECT_EQ(combo.list.top, 2);  // only two more rows to show
    EXPECT_EQ(combo.list.Selection(), 1);
    EXPECT_EQ(combo.list.cursor, -1);
    EXPECT_EQ(combo.list.scroll.Value(), 2);
    wheel(20, RowY(1), 1);
    EXPECT_EQ(combo.list.top, 0);
    wheel(58, RowY(3), -1);  // over the list's scroll bar: the same three rows
    EXPECT_EQ(combo.list.top, 2);
    wheel(200, 300, 1);  // beside the open list: nothing moves
    EXPECT_EQ(combo.list.top, 2);
    EXPECT_TRUE(Commands().empty());  // scrolling is not choosing
    Tap(200, 300);
    ASSERT_FALSE(combo.IsOpen());
    Tap(20, 25);  // reopened: item 1 is shown again, and selected
    EXPECT_EQ(combo.list.Selection(), 1);
    EXPECT_GE(combo.list.cursor, 0);
    EXPECT_LT(combo.list.cursor, combo.list.rows);
    // The scroll bar draws where the list now is.
    EXPECT_EQ(combo.list.scroll.Value(), combo.list.top);
}

TEST_F(Combo, AnEmptyComboDoesNotOpenAndShowsAnEmptyField) {
    combo.list.RemoveAll();
    Tap(20, 25);
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(desktop.capture, nullptr);
    gfx::Surface& s = Screen();
    gfx::clear(s, 0x1234);
    desktop.Draw(s);
    int fieldRight = 5 + 60 - arrows->CellWidth() - 1;
    EXPECT_EQ(Inked(s, gfx::Rect{6, 21, fieldRight, 20 + FieldHeight()}, 0xFFFF), 0);
}

TEST_F(Combo, TheOpenListIsDrawnAboveLaterSiblings) {
    gfx::Surface& s = Screen();
    desktop.Draw(s);
    EXPECT_EQ(gfx::getPixel(s, 40, 60), 0x07E0);  // closed: the button shows
    Tap(20, 25);
    desktop.Draw(s);
    EXPECT_EQ(gfx::getPixel(s, 40, RowY(3) + 8), 0xFFFF);  // the list's background
    // The selection bar, right of the row's text ("C") so that no glyph covers the probe.
    EXPECT_EQ(gfx::getPixel(s, 40, RowY(0)), combo.list.selectColour);
}

TEST_F(Combo, ALongSelectionIsCutAtTheArrowBox) {
    combo.list.RemoveAll();
    combo.list.AddItem("Wwwwwwwwwwwwwwwwwwwwwww");
    combo.list.Select(0);
    gfx::Surface& s = Screen();
    gfx::clear(s, 0x1234);
    desktop.Draw(s);
    int boxLeft = 5 + 60 - arrows->CellWidth() + 2;
    int cut = 5 + 60 - arrows->CellWidth() - 1;
    EXPECT_GT(Inked(s, gfx::Rect{6, 22, cut, 22 + font.height}, 0xFFFF), 20);
    // Between the cut and the arrow box only the field's own pixels remain.
    for (int y = 22; y < 20 + FieldHeight(); ++y)
        for (int x = cut - 2; x < boxLeft; ++x) {
            std::uint16_t p = gfx::getPixel(s, x, y);
            EXPECT_TRUE(p == 0xFFFF || p == 0x1234) << x << "," << y;
        }
}

TEST_F(Combo, HidingOrDestroyingAnOpenComboGivesBackTheCaptureAndTheTop) {
    Tap(20, 25);
    combo.SetFlags(0);
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(desktop.capture, nullptr);
    EXPECT_EQ(desktop.topMost, nullptr);
    combo.SetFlags(FLAG_VISIBLE | FLAG_NOTIFY);
    {
        UICombo temporary;
        temporary.Setup(100, 100, 60, 4, 4, &font);
        temporary.list.AddItem("x");
        desktop.AddChild(&temporary);
        Tap(110, 105);
        ASSERT_TRUE(temporary.IsOpen());
    }
    EXPECT_EQ(desktop.capture, nullptr);
    EXPECT_EQ(desktop.topMost, nullptr);
    EXPECT_EQ(desktop.focus, nullptr);
    desktop.Draw(Screen());
    Tap(110, 105);
}

}  // namespace
}  // namespace ui
