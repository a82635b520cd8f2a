#include "ui/UIListBox.h"

#include <string>

#include "UiFixture.h"
#include "ui/ImageStrip.h"

namespace ui {
namespace {

using namespace platform;
using testing::Inked;

// A list at (20, 40), 120 wide, with room for 8 rows.
struct List : testing::UiFixture {
    UIListBox list;
    std::vector<Msg> heard;  // what the list told its parent
    struct Parent : TObject {
        std::vector<Msg>* log = nullptr;
        LResult HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) override {
            if (msg != MSG_COMMAND) return DispatchToChildren(msg, wParam, lParam);
            log->push_back(Msg{msg, wParam, lParam, 0});
            return 0;
        }
    } parent;

    void SetUp() override {
        UiFixture::SetUp();
        parent.log = &heard;
        parent.SetRect(0, 0, 240, 320);
        desktop.AddChild(&parent);
        parent.AddChild(&list);
        list.id = 30;
        list.SetCapacity(50);
        list.SetFont(&font);
        list.SetRect(20, 40, 120, list.HeightFor(8));
        list.Layout();
    }
    void Fill(int n) {
        for (int i = 0; i < n; ++i)
            list.AddItem("Item " + std::to_string(i), i);
        list.SyncScroll();
    }
    // Absolute y in the middle of visible row r.
    int RowY(int r) const { return 40 + 1 + r * list.rowHeight + list.rowHeight / 2; }
    std::vector<std::uint32_t> Codes() {
        std::vector<std::uint32_t> codes;
        for (const Msg& m : heard)
            codes.push_back(CommandCode(m.wParam));
        heard.clear();
        return codes;
    }
    using Codes_t = std::vector<std::uint32_t>;
};

TEST_F(List, SelectClampsScrollsAndClears) {
    Fill(20);
    EXPECT_EQ(list.rows, 8);
    list.Select(99);
    EXPECT_EQ(list.Selection(), 19);
    EXPECT_EQ(list.top, 12);
    EXPECT_EQ(list.cursor, 7);
    EXPECT_EQ(list.scroll.Value(), 12);
    list.Select(3);
    EXPECT_EQ(list.top, 3);
    EXPECT_EQ(list.cursor, 0);
    list.Select(5);
    EXPECT_EQ(list.top, 3);
    EXPECT_EQ(list.cursor, 2);
    list.Select(-1);
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_EQ(list.cursor, -1);
    gfx::Surface& s = Screen();
    desktop.Draw(s);
    EXPECT_EQ(Inked(s, gfx::Rect{21, 41, 100, 40 + list.height - 1}, list.selectColour),
              (100 - 21) * (list.height - 2));  // no row highlighted

    // Scrolling away and back with no selection keeps none.
    list.scroll.SetPosition(6);
    list.HandleEvent(MSG_COMMAND, MakeCommand(1, SCROLL_RELEASED), 6);
    EXPECT_EQ(list.Selection(), -1);
    list.Select(9);
    list.scroll.SetPosition(9);
    list.HandleEvent(MSG_COMMAND, MakeCommand(1, SCROLL_RELEASED), 9);
    EXPECT_EQ(list.top, 9);
    EXPECT_EQ(list.Selection(), 9);  // the same item stays selected
}

TEST_F(List, ATapBelowTheLastOfThreeItemsSelectsItWithoutActivating) {
    Fill(3);
    Tap(50, RowY(6));
    EXPECT_EQ(list.Selection(), 2);
    Tap(50, RowY(6));
    Tap(50, RowY(7));
    EXPECT_EQ(Codes(), (Codes_t{LIST_SELECTED, LIST_RELEASED, LIST_RELEASED, LIST_RELEASED}));
}

TEST_F(List, TwoTapsWithin500msActivateAndAThird600msLaterDoesNot) {
    Fill(5);
    Tap(50, RowY(1));
    clock.Advance(300);
    Tap(50, RowY(1));
    clock.Advance(600);
    Tap(50, RowY(1));
    EXPECT_EQ(Codes(), (Codes_t{LIST_SELECTED, LIST_RELEASED, LIST_ACTIVATED, LIST_RELEASED,
                                LIST_RELEASED}));
}

TEST_F(List, HoldingStillFor500msSendsOneLongPressAtTheAbsolutePoint) {
    Fill(5);
    window.Post(MSG_LBUTTONDOWN, 0, MakePoint(50, RowY(2)));
    std::uint32_t start = clock.NowMs();
    PumpUntil(start + 1000);
    auto codes = Codes();
    ASSERT_EQ(codes.size(), 2u);
    EXPECT_EQ(codes[1], LIST_LONG_PRESS);
    EXPECT_FALSE(window.HasTimer(LONG_PRESS_TIMER));
    clock.Advance(1000);  // not a double tap
    window.Post(MSG_LBUTTONDOWN, 0, MakePoint(50, RowY(2)));
    PumpUntil(clock.NowMs() + 600);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(PointX(heard[0].lParam), 50);
    EXPECT_EQ(PointY(heard[0].lParam), RowY(2));
    heard.clear();
    window.Post(MSG_LBUTTONUP, 0, MakePoint(50, RowY(2)));
    PumpUntil(clock.NowMs());
    EXPECT_EQ(Codes(), Codes_t{LIST_RELEASED});
}

TEST_F(List, ArrowKeysMoveThenScrollAndEnterActivates) {
    Fill(10);
    list.SetFlags(FLAG_VISIBLE | FLAG_FOCUSABLE);
    SetFocus(&list);
    list.Select(0);
    for (int i = 0; i < 9; ++i)
        desktop.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0);
    EXPECT_EQ(list.Selection(), 9);
    EXPECT_EQ(list.top, 2);
    EXPECT_EQ(list.scroll.Value(), 2);
    desktop.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0);  // at the end: nothing
    EXPECT_EQ(Codes().size(), 9u);
    for (int i = 0; i < 8; ++i)
        desktop.HandleEvent(MSG_KEYDOWN, KEY_UP, 0);
    EXPECT_EQ(list.top, 1);
    EXPECT_EQ(list.cursor, 0);
    Codes();
    desktop.HandleEvent(MSG_KEYDOWN, KEY_RETURN, 0);
    EXPECT_EQ(Codes(), Codes_t{LIST_ACTIVATED});
    // With nothing selected, a key first selects the top visible item.
    list.Select(-1);
    desktop.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0);
    EXPECT_EQ(list.Selection(), list.top);
    EXPECT_EQ(Codes(), Codes_t{LIST_SELECTED});
}

TEST_F(List, ArrowKeysStopAtTheLastItemOfAListShorterThanItsRows) {
    Fill(3);
    list.SetFlags(FLAG_VISIBLE | FLAG_FOCUSABLE);
    SetFocus(&list);
    list.Select(0);
    for (int i = 0; i < 5; ++i)
        desktop.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0);
    EXPECT_EQ(list.Selection(), 2);
    EXPECT_EQ(list.cursor, 2);
    EXPECT_EQ(list.top, 0);
    EXPECT_EQ(Codes().size(), 2u);
    for (int i = 0; i < 5; ++i)
        desktop.HandleEvent(MSG_KEYDOWN, KEY_UP, 0);
    EXPECT_EQ(list.Selection(), 0);
    EXPECT_EQ(list.top, 0);
    EXPECT_EQ(Codes().size(), 2u);
}

// A list long enough to scroll shows its own background in the scroll bar's track.
TEST_F(List, TheScrollTrackShowsTheListBackground) {
    Fill(20);
    list.FitRows(8);
    ASSERT_TRUE(list.scroll.Visible());
    gfx::Surface& s = Screen();
    desktop.Draw(s);
    const int barX = 20 + list.scroll.x;
    const int below = 40 + list.scroll.thumbRect.bottom + 2;
    ASSERT_LT(below, 40 + list.height - 2);
    EXPECT_EQ(gfx::getPixel(s, barX + 1, below), list.backColour);
    EXPECT_EQ(gfx::getPixel(s, barX + 6, 40 + list.height - 3), list.backColour);
}

TEST_F(List, ItemsColumnsFindAndSort) {
    list.SetColumns(2, std::array<std::uint16_t, 2>{60, 40});
    EXPECT_FALSE(list.SetColumns(6, std::array<std::uint16_t, 6>{}));
    list.AddItem("beta|2");
    list.AddItem("..", 0, ITEM_FOLDER);
    list.AddItem("Alpha|1");
    list.AddItem("zeta", 0, ITEM_FOLDER);
    list.AddItem("gamma");
    EXPECT_EQ(list.Column(0, 1), "2");
    EXPECT_EQ(list.Column(4, 1), "");  // fewer columns
    EXPECT_FALSE(list.Column(5, 0).has_value());
    EXPECT_EQ(list.Find("Alpha"), 2);
    EXPECT_EQ(list.Find("alpha"), -1);
    EXPECT_EQ(list.Find("Alpha|1"), -1);
    list.Sort(0, 1);
    std::vector<std::string> order;
    for (int i = 0; i < list.Count(); ++i)
        order.push_back(std::string(*list.Column(i, 0)));
    EXPECT_EQ(order, (std::vector<std::string>{"..", "zeta", "Alpha", "beta", "gamma"}));
    list.Sort(0, -1);
    EXPECT_EQ(list.Column(2, 0), "gamma");
    EXPECT_EQ(list.ItemFlags(1), ITEM_FOLDER);
    EXPECT_EQ(list.ItemData(7), ITEM_NONE);
    EXPECT_FALSE(list.SetItemFlags(-1, 0));
}

TEST_F(List, LongColumnsAreCutAndDrawnInsideTheirColumn) {
    std::string longText(300, 'W');
    list.AddItem(longText + "|" + longText);
    list.FitRows(8);  // one item: no scroll bar
    EXPECT_EQ(list.Column(0, 0)->size(), COLUMN_LIMIT);
    EXPECT_EQ(list.Column(0, 1)->size(), COLUMN_LIMIT);
    list.Select(-1);
    gfx::Surface& s = Screen();
    gfx::clear(s, 0x1234);
    desktop.Draw(s);
    int textRight = 20 + 120 - 1;
    EXPECT_GT(Inked(s, gfx::Rect{24, 42, textRight - 3, 40 + list.rowHeight}, 0xFFFF), 50);
    EXPECT_EQ(Inked(s, gfx::Rect{textRight - 2, 41, textRight, 40 + list.rowHeight}, 0xFFFF), 0);
}

TEST_F(List, EmptyListsAndListsWithoutATableAreSafe) {
    UIListBox bare;
    EXPECT_FALSE(bare.AddItem("x"));
    EXPECT_EQ(bare.Selection(), -1);
    bare.Layout();  // zero height: no rows
    EXPECT_EQ(bare.rows, 0);
    bare.Select(3);
    bare.FitRows(5);
    EXPECT_EQ(bare.height, 2);
    parent.AddChild(&bare);
    desktop.Draw(Screen());
    Tap(50, RowY(0));  // on the empty `list`
    EXPECT_EQ(list.Selection(), -1);
    bare.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0);
    EXPECT_FALSE(list.SetCapacity(-1));
    EXPECT_EQ(list.capacity, 0);
}

TEST_F(List, CheckMarksFlipOnTheLeftExceptForFolders) {
    auto checks = ImageStrip::FromBitmap(104, 2, 2);
    list.SetStyle(LIST_CHECKS);
    list.SetCheckFaces(checks.get(), 1);
    list.Layout();
    list.AddItem("file");
    list.AddItem("folder", 0, ITEM_FOLDER);
    Tap(23, RowY(0));
    Tap(23, RowY(1));
    EXPECT_EQ(list.ItemFlags(0), ITEM_CHECKED);
    EXPECT_EQ(list.ItemFlags(1), ITEM_FOLDER);
    EXPECT_EQ(list.columns[0].rect.left, 1 + checks->CellHeight());
}

TEST_F(List, TheSnapshotStandsInUntilSomethingChanges) {
    Fill(3);
    list.SetStyle(LIST_SNAPSHOT);
    gfx::Surface& s = Screen();
    desktop.Draw(s);
    ASSERT_TRUE(list.snapshot);
    EXPECT_FALSE(list.style & LIST_DIRTY);
    std::uint16_t selected = gfx::getPixel(s, 100, RowY(0));
    EXPECT_EQ(selected, list.selectColour);
    gfx::clear(s, 0);
    desktop.Draw(s);
    EXPECT_EQ(gfx::getPixel(s, 100, RowY(0)), selected);
    Tap(100, RowY(1));
    desktop.Draw(s);
    EXPECT_EQ(gfx::getPixel(s, 100, RowY(0)), list.backColour);
    EXPECT_EQ(gfx::getPixel(s, 100, RowY(1)), list.selectColour);
}

}  // namespace
}  // namespace ui
