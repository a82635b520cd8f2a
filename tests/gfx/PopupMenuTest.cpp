#include "gfx/PopupMenu.h"

#include <gtest/gtest.h>

#include "gfx/Draw.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/EmbeddedResources.h"

namespace gfx {
namespace {

using namespace platform;

constexpr std::string_view MODES =
    "01Guitar Chords,02Piano Chords,03Scales,04Chord Sequencer,05Chord Groups,06Chord Detection,"
    "07Load / Save,10Exit Program";

std::string Numbered(int count) {
    std::string items;
    for (int i = 1; i <= count; ++i) {
        if (i > 1) items += ',';
        if (i < 10) items += '0';
        items += std::to_string(i);
        items += "Item ";
        items += std::to_string(i);
    }
    return items;
}

struct Menus : ::testing::Test {
    FakeClock clock{1000};
    ScopedClock useClock{clock};
    platform::headless::HeadlessBackend backend;
    Window window{backend, "T", DefaultWindowProc};
    DisplayPtr display;
    Font medium, large;
    PopupMenu menu;

    void SetUp() override {
        SetResourceTable(res::EmbeddedResources());
        ASSERT_TRUE(loadFont(medium, 4));
        ASSERT_TRUE(loadFont(large, 2));
        ASSERT_TRUE(window.Create());
        DisplayParams params{0, 0, 0, 2};
        display = createDisplay(gfx::headless::displayFactory(), window, params);
        ASSERT_TRUE(display);
        ASSERT_TRUE(display->Lock());
        clear(*display->BackBuffer(), 0x1234);
        display->UnlockAndPresent(0);
        setApplicationMenuStyle(menu, &medium, &large);
        menu.passLimit = 2000;  // an unanswered menu fails instead of hanging
    }
    void Key(std::uint32_t key) {
        window.Post(MSG_KEYDOWN, key);
        window.Post(MSG_KEYUP, key);
    }
    void Tap(const MenuItem& item) {
        LParam at = MakePoint((item.rect.left + item.rect.right) / 2,
                              (item.rect.top + item.rect.bottom) / 2);
        window.Post(MSG_LBUTTONDOWN, 1, at);
        window.Post(MSG_LBUTTONUP, 0, at);
    }
    // Lays the menu out as showMenu will, so that taps can be aimed before it runs.
    const MenuItem& Row(std::string_view title, std::string_view items, int row) {
        EXPECT_TRUE(menu.Build(title, items, 240, 320));
        return menu.list.Item(row + 1);
    }
    int Show(std::string_view title, std::string_view items) {
        return showMenu(menu, *display, window, title, items);
    }
    std::uint16_t Shown(int x, int y) {
        int w = 0, h = 0;
        return backend.LastFrame(w, h)[static_cast<std::size_t>(y) * w + x];
    }
};

TEST_F(Menus, SelectModeLayoutOnTheApplicationsStyle) {
    ASSERT_TRUE(menu.Build("Select Mode", MODES, 240, 320));
    EXPECT_EQ(menu.Rows(), 8);
    EXPECT_EQ(menu.RowX(), 50);
    EXPECT_EQ(menu.FirstRowY(), 82);
    const Rect& f = menu.Frame();
    EXPECT_EQ(f.left, 45);
    EXPECT_EQ(f.top, 49);
    EXPECT_EQ(f.right, 195);
    EXPECT_EQ(f.bottom, 272);
    ASSERT_EQ(menu.list.Count(), 10);  // the arrows around eight rows
    EXPECT_EQ(menu.list.Item(1).id, ITEM_UP_ARROW);
    EXPECT_EQ(menu.list.Item(1).rect.left, 100);
    EXPECT_EQ(menu.list.Item(1).rect.top, 69);
    EXPECT_EQ(menu.list.Item(10).id, ITEM_DOWN_ARROW);
    EXPECT_EQ(menu.list.Item(10).rect.top, 258);
    EXPECT_EQ(menu.list.Item(9).rect.top, 82 + 7 * 22);
    EXPECT_EQ(menu.list.Item(9).text, "Exit Program");
    EXPECT_EQ(menu.Entries()[7].code, 10);
    // Room for eleven rows: no scrolling, both arrows hidden once painted.
    auto s = createSurface(240, 320);
    menu.Paint(*s);
    EXPECT_TRUE(menu.list.Item(1).Hidden());
    EXPECT_TRUE(menu.list.Item(10).Hidden());
}

TEST_F(Menus, PaintsRowsFrameAndShadeInTheStyleColours) {
    ASSERT_TRUE(menu.Build("Select Mode", MODES, 240, 320));
    menu.list.Select(3);  // the second row
    auto s = createSurface(240, 320);
    clear(*s, 0xFFFF);
    menu.Paint(*s);
    const Rect& f = menu.Frame();
    EXPECT_EQ(getPixel(*s, f.left - 1, 150), 0xE718);  // inner frame
    EXPECT_EQ(getPixel(*s, f.left - 2, 150), 0x0000);  // outer frame
    EXPECT_EQ(getPixel(*s, f.left - 3, 150), 0xFFFF);
    std::uint16_t shade = getPixel(*s, f.left + 1, 150);
    EXPECT_LT(shade >> 11, 31);  // darkened, not replaced
    EXPECT_GT(shade >> 11, 10);
    const Rect& first = menu.list.Item(2).rect;
    const Rect& second = menu.list.Item(3).rect;
    EXPECT_EQ(getPixel(*s, first.left + 4, first.top + 4), 0xE718);    // face
    EXPECT_EQ(getPixel(*s, second.left + 4, second.top + 4), 0xC610);  // selected face
    EXPECT_EQ(getPixel(*s, second.left, second.top), 0x0008);          // selected frame
    EXPECT_EQ(getPixel(*s, first.left + 1, first.top + 1), 0xFFFF);    // raised bevel
    int selectedInk = 0;
    for (int y = second.top; y < second.bottom; ++y)
        for (int x = second.left; x < second.right; ++x)
            selectedInk += getPixel(*s, x, y) == 0x8000;
    EXPECT_GT(selectedInk, 10);  // its text in the selected text colour
}

TEST_F(Menus, AnswersTheCodeOfTheChosenItem) {
    Key(KEY_DOWN);
    Key(KEY_RETURN);
    EXPECT_EQ(Show("", "01Yes,02No"), 2);
    Tap(Row("", "01Yes,02No", 1));
    EXPECT_EQ(Show("", "01Yes,02No"), 1);
    menu.selectedIndex = 1;
    Key(KEY_RETURN);
    EXPECT_EQ(Show("Exit", "10Exit Program"), 10);
    Tap(Row("", "07Load / Save,01Other", 1));
    EXPECT_EQ(Show("", "07Load / Save,01Other"), 7);  // the code, not the position
}

TEST_F(Menus, KeysStopAtTheEndsAndNeverLandOnTheArrows) {
    menu.selectedIndex = 1;
    for (int i = 0; i < 3; ++i)
        Key(KEY_UP);
    Key(KEY_RETURN);
    EXPECT_EQ(Show("Pick", "11a,12b,13c"), 11);
    for (int i = 0; i < 6; ++i)
        Key(KEY_RIGHT);
    Key(KEY_RETURN);
    EXPECT_EQ(Show("Pick", "11a,12b,13c"), 13);
    Key(KEY_LEFT);
    Key(KEY_RETURN);
    EXPECT_EQ(Show("Pick", "11a,12b,13c"), 12);
}

TEST_F(Menus, ReopensOnTheLastChoiceAndRestoresTheScreen) {
    Key(KEY_DOWN);
    Key(KEY_DOWN);
    Key(KEY_RETURN);
    EXPECT_EQ(Show("Select Mode", MODES), 3);
    EXPECT_EQ(menu.selectedIndex, 3);
    EXPECT_EQ(Shown(120, 150), 0x1234);  // the menu is gone
    EXPECT_EQ(Shown(45, 49), 0x1234);
    Key(KEY_RETURN);
    EXPECT_EQ(Show("Select Mode", MODES), 3);
}

TEST_F(Menus, StylusActivatesOnlyWhenReleasedOverThePressedItem) {
    const MenuItem& yes = Row("", "01Yes,02No", 1);
    LParam on = MakePoint(yes.rect.left + 5, yes.rect.top + 5);
    window.Post(MSG_LBUTTONDOWN, 1, on);
    window.Post(MSG_MOUSEMOVE, 1, MakePoint(5, 5));
    window.Post(MSG_LBUTTONUP, 0, MakePoint(5, 5));  // dragged off: forgotten
    Tap(Row("", "01Yes,02No", 2));
    EXPECT_EQ(Show("", "01Yes,02No"), 2);
    // A hidden arrow takes no taps: the tap on it is ignored and the next one counts.
    Tap(Row("", "01Yes,02No", 0));
    Tap(Row("", "01Yes,02No", 1));
    EXPECT_EQ(Show("", "01Yes,02No"), 1);
}

TEST_F(Menus, MoreItemsThanRowsScrollAndEveryOneIsReachable) {
    const std::string items = Numbered(30);
    ASSERT_TRUE(menu.Build("Long", items, 240, 320));
    ASSERT_EQ(menu.Rows(), 11);
    ASSERT_EQ(menu.Entries().size(), 30u);
    const MenuItem down = menu.list.Item(13);
    ASSERT_EQ(down.id, ITEM_DOWN_ARROW);
    Tap(down);
    Tap(down);
    Tap(Row("Long", items, 1));  // aimed before scrolling; rows keep their places
    EXPECT_EQ(Show("Long", items), 3);
    EXPECT_EQ(menu.scrollOffset, 2);

    menu.scrollOffset = 0;
    menu.selectedIndex = 1;
    for (int i = 0; i < 40; ++i)
        Key(KEY_DOWN);  // past the last row the keys scroll
    Key(KEY_RETURN);
    EXPECT_EQ(Show("Long", items), 30);
    EXPECT_EQ(menu.scrollOffset, 19);
    for (int i = 0; i < 40; ++i)
        Key(KEY_UP);
    Key(KEY_RETURN);
    EXPECT_EQ(Show("Long", items), 1);
}

TEST_F(Menus, EscapeOrATapBesideTheMenuChoosesNothing) {
    window.Post(MSG_KEYDOWN, KEY_DOWN);
    window.Post(MSG_KEYUP, KEY_DOWN);
    Key(KEY_ESCAPE);
    EXPECT_EQ(Show("Select Mode", MODES), MENU_NOTHING);
    EXPECT_EQ(menu.selectedIndex, 1);    // not taken as a choice
    EXPECT_EQ(Shown(120, 150), 0x1234);  // and the screen is back
    // The frame (45, 49)-(195, 272) and its two outlines still belong to the menu.
    for (auto [x, y] :
         {std::pair{43, 150}, std::pair{197, 150}, std::pair{120, 47}, std::pair{120, 274}}) {
        window.Post(MSG_LBUTTONDOWN, 1, MakePoint(x, y));
        window.Post(MSG_LBUTTONUP, 0, MakePoint(x, y));
    }
    Key(KEY_RETURN);
    EXPECT_EQ(Show("Select Mode", MODES), 1);
    for (auto [x, y] :
         {std::pair{42, 150}, std::pair{198, 150}, std::pair{120, 46}, std::pair{120, 275}}) {
        window.Post(MSG_LBUTTONDOWN, 1, MakePoint(x, y));
        window.Post(MSG_LBUTTONUP, 0, MakePoint(x, y));
        EXPECT_EQ(Show("Select Mode", MODES), MENU_NOTHING) << x << "," << y;
        Msg rest;
        while (window.Peek(rest)) {
        }
    }
}

TEST_F(Menus, QuittingAnswersMinusThreeAndPassesTheQuitOn) {
    window.PostQuit(0);
    EXPECT_EQ(Show("Select Mode", MODES), MENU_QUIT);
    Msg msg;
    ASSERT_TRUE(window.Peek(msg));
    EXPECT_EQ(msg.message, MSG_QUIT);
    // A close request dispatched to the window ends the menu the same way.
    window.Post(MSG_CLOSE);
    EXPECT_EQ(Show("Select Mode", MODES), MENU_QUIT);
}

TEST_F(Menus, NothingToShowOrNoAnswer) {
    EXPECT_EQ(Show("Empty", ""), MENU_NOTHING);
    EXPECT_EQ(Show("Short", "1,,"), MENU_NOTHING);  // no piece holds a code
    ASSERT_TRUE(menu.Build("Stray commas", "01Yes,,02No,", 240, 320));
    EXPECT_EQ(menu.Entries().size(), 2u);
    EXPECT_EQ(menu.Entries()[1].text, "No");
    ASSERT_TRUE(menu.Build(std::string(300, 'T'), "01a", 240, 320));
    EXPECT_EQ(menu.Title().size(), PopupMenu::MAX_TITLE);
    menu.SetGeometry(140, 20, 400);  // not one row fits
    EXPECT_FALSE(menu.Build("", "01a", 240, 320));
    setApplicationMenuStyle(menu, &medium, &large);
    // Nobody answers: the pass limit gives up and the screen is restored.
    menu.passLimit = 30;
    EXPECT_EQ(Show("Select Mode", MODES), MENU_NOTHING);
    EXPECT_EQ(Shown(120, 150), 0x1234);
    EXPECT_GT(backend.FramesPresented(), 3u);  // it kept presenting while open
}

TEST(MenuItemList, SelectionWrapsUnlessStoppedAndSkipsUnselectableItems) {
    MenuItemList list;
    list.Add(1, "a", 0, 0, 10, 10, 0);
    list.Add(2, "b", 0, 10, 10, 10, ITEM_DISABLED);
    list.Add(3, "c", 0, 20, 10, 10, ITEM_NOT_BY_KEYS);
    list.Add(4, "d", 0, 30, 10, 10, 0);
    list.Select(1);
    list.MoveSelection(+1);
    EXPECT_EQ(list.SelectedIndex(), 4);
    list.MoveSelection(+1);  // wraps
    EXPECT_EQ(list.SelectedIndex(), 1);
    list.flags = MenuItemList::STOP_AT_ENDS;
    list.MoveSelection(-1);
    EXPECT_EQ(list.SelectedIndex(), 1);
    list.flags = MenuItemList::KEYS_DO_NOT_MOVE;
    list.MoveSelection(+1);
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_EQ(list.HitTest(5, 25), 3);
    EXPECT_EQ(list.HitTest(10, 5), 0);  // right edge is outside
    for (int i = 5; i <= 64; ++i)
        ASSERT_TRUE(list.Add(i, "", 0, 0, 1, 1, 0));
    EXPECT_FALSE(list.Add(65, "", 0, 0, 1, 1, 0));
    EXPECT_EQ(list.Count(), 64);
}

}  // namespace
}  // namespace gfx
