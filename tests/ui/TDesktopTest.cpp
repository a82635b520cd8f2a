#include "ui/TDesktop.h"

#include <memory>

#include "UiFixture.h"
#include "ui/UIButton.h"
#include "ui/UICombo.h"

namespace ui {
namespace {

using namespace platform;
using testing::Inked;
using testing::UiFixture;

// Records the input and commands that reach it, and draws its children.
struct Probe : TObject {
    std::vector<Msg> seen;
    LResult HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) override {
        if (msg == MSG_SIZE || msg == MSG_ACTIVATE || msg == MSG_PAINT)
            return DispatchToChildren(msg, wParam, lParam);
        seen.push_back(Msg{msg, wParam, lParam, 0});
        return 0;
    }
};

using Desktop = UiFixture;

TEST_F(Desktop, EdgeLinesOfARectangleAreOutsideItAndEarlierSiblingsWin) {
    UIButton button;
    button.SetRect(10, 10, 30, 20);
    Probe later;
    later.SetRect(10, 10, 60, 60);
    desktop.AddChild(&button);
    desktop.AddChild(&later);
    EXPECT_EQ(HitTest(&desktop, nullptr, 11, 15), &button);
    EXPECT_EQ(HitTest(&desktop, nullptr, 10, 15), nullptr);  // left edge of both
    EXPECT_EQ(HitTest(&desktop, nullptr, 15, 10), nullptr);  // top edge of both
    EXPECT_EQ(HitTest(&desktop, nullptr, 11, 11), &button);
    EXPECT_EQ(HitTest(&desktop, nullptr, 39, 29), &button);
    EXPECT_EQ(HitTest(&desktop, nullptr, 40, 15), &later);  // right edge
    button.SetFlags(0);
    EXPECT_EQ(HitTest(&desktop, nullptr, 11, 11), &later);  // hidden widgets are not hit
}

TEST_F(Desktop, StylusGoesToTheCaptureInItsCoordinatesAndNotToDisabledWidgets) {
    Probe panel, inner, other;
    panel.SetRect(20, 30, 100, 100);
    inner.SetRect(10, 10, 20, 20);
    other.SetRect(150, 150, 50, 50);
    desktop.AddChild(&panel);
    panel.AddChild(&inner);
    desktop.AddChild(&other);
    Down(35, 45);  // inside inner: the innermost widget is the target
    ASSERT_EQ(inner.seen.size(), 1u);
    EXPECT_EQ(PointX(inner.seen[0].lParam), 5);
    EXPECT_EQ(PointY(inner.seen[0].lParam), 5);
    EXPECT_EQ(reinterpret_cast<TDesktop*>(inner.seen[0].wParam), &desktop);

    SetCapture(&panel);
    Down(160, 160);  // on `other`, but the capture has it
    EXPECT_TRUE(other.seen.empty());
    ASSERT_EQ(panel.seen.size(), 1u);
    EXPECT_EQ(PointX(panel.seen[0].lParam), 140);
    EXPECT_EQ(PointY(panel.seen[0].lParam), 130);
    Move(35, 45);  // inside the capture: its child still gets it
    EXPECT_EQ(inner.seen.size(), 2u);

    SetCapture(nullptr);
    other.SetFlags(FLAG_VISIBLE | FLAG_DISABLED);
    Down(160, 160);
    EXPECT_TRUE(other.seen.empty());
    Up(5, 5);  // nothing under the stylus and no capture: dropped
    EXPECT_EQ(panel.seen.size(), 1u);
}

TEST_F(Desktop, KeysGoOnlyToAFocusThatMayTakeIt) {
    Probe a, b;
    desktop.AddChild(&a);
    desktop.AddChild(&b);
    EXPECT_EQ(desktop.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0), 0);
    EXPECT_TRUE(a.seen.empty());
    EXPECT_TRUE(b.seen.empty());

    a.SetFlags(FLAG_VISIBLE | FLAG_FOCUSABLE);
    EXPECT_EQ(SetFocus(&a), nullptr);
    EXPECT_TRUE(a.flags & FLAG_FOCUSED);
    EXPECT_EQ(SetFocus(&b), &a);  // b lacks FLAG_FOCUSABLE
    EXPECT_EQ(desktop.focus, &a);
    EXPECT_FALSE(b.flags & FLAG_FOCUSED);
    a.SetRect(0, 0, 50, 50);
    b.SetRect(60, 0, 50, 50);
    Down(70, 10);  // a tap on a widget that cannot take the focus leaves it where it is
    EXPECT_EQ(desktop.focus, &a);
    desktop.HandleEvent(MSG_KEYDOWN, KEY_DOWN, 0);
    ASSERT_EQ(a.seen.size(), 1u);
    EXPECT_EQ(a.seen[0].wParam, KEY_DOWN);
}

TEST_F(Desktop, CaretBlinksWithAPeriodOf31Draws) {
    gfx::Surface& s = Screen();
    std::vector<bool> visible;
    for (int i = 0; i < 62; ++i) {
        desktop.Draw(s);
        visible.push_back(CaretVisible());
    }
    // The first draw moves the counter to 1; it wraps from 30 to 0.
    for (int i = 0; i < 62; ++i)
        EXPECT_EQ(visible[i], (i + 1) % 31 < 15) << i;
}

TEST_F(Desktop, CommandsGoToTheParentAndToTheWindowOnlyWithTheNotifyFlag) {
    Probe parent;
    UIButton quiet, loud;
    parent.SetRect(0, 0, 240, 320);
    desktop.AddChild(&parent);
    parent.AddChild(&quiet);
    parent.AddChild(&loud);
    quiet.SetRect(0, 0, 20, 20);
    quiet.id = 7;
    loud.SetRect(30, 0, 20, 20);
    loud.id = 8;
    loud.SetFlags(FLAG_VISIBLE | FLAG_NOTIFY);
    Tap(10, 10);
    Tap(40, 10);
    ASSERT_EQ(parent.seen.size(), 2u);
    EXPECT_EQ(CommandId(parent.seen[0].wParam), 7u);
    auto posted = Commands();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(CommandId(posted[0].wParam), 8u);
    EXPECT_EQ(reinterpret_cast<UIButton*>(posted[0].lParam), &loud);
}

TEST_F(Desktop, RadioGroupsEndAtTheNextFirstMember) {
    UIButton b[5];
    for (int i = 0; i < 5; ++i) {
        b[i].id = static_cast<std::uint16_t>(10 + i);
        b[i].SetButtonState(BUTTON_RADIO | ((i == 0 || i == 3) ? BUTTON_GROUP_FIRST : 0));
        b[i].SetRect(i * 20, 0, 15, 15);
        desktop.AddChild(&b[i]);
    }
    b[4].SetState(STATE_SELECTED);
    Tap(2 * 20 + 5, 5);
    EXPECT_TRUE(b[2].Checked());
    EXPECT_FALSE(b[0].Checked() || b[1].Checked());
    EXPECT_TRUE(b[4].Checked());  // another group
    b[1].SelectInGroup(10);
    EXPECT_TRUE(b[0].Checked());
    EXPECT_FALSE(b[2].Checked());
}

TEST_F(Desktop, PumpRoutesInputLeavesCommandsAndDispatchesTheRest) {
    Probe probe;
    probe.SetRect(0, 0, 100, 100);
    probe.SetFlags(FLAG_VISIBLE | FLAG_FOCUSABLE);
    desktop.AddChild(&probe);
    SetFocus(&probe);
    window.Post(MSG_LBUTTONDOWN, 0, MakePoint(10, 10));
    window.Post(MSG_KEYDOWN, 'A', 0);
    window.Post(MSG_CHAR, 'a', 0);  // what the key typed, from the backend
    window.Post(MSG_USER, 1, 2);
    window.Post(MSG_COMMAND, MakeCommand(55, 1), 0);
    Msg m;
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(desktop.Pump(m), 1);
    EXPECT_EQ(m.message, MSG_COMMAND);
    EXPECT_EQ(CommandId(m.wParam), 55u);
    ASSERT_EQ(probe.seen.size(), 3u);
    EXPECT_EQ(probe.seen[0].message, MSG_LBUTTONDOWN);
    EXPECT_EQ(probe.seen[1].message, MSG_KEYDOWN);
    EXPECT_EQ(probe.seen[2].message, MSG_CHAR);
    EXPECT_TRUE(window.QueueEmpty());  // the key itself typed nothing more
    ASSERT_FALSE(dispatched.empty());
    EXPECT_EQ(dispatched.back().message, MSG_USER);
    for (const Msg& d : dispatched)
        EXPECT_NE(d.message, MSG_COMMAND);
    window.PostQuit(0);
    EXPECT_EQ(desktop.Pump(m), 0);
    TDesktop unattached;
    EXPECT_EQ(unattached.Pump(m), -1);
}

TEST_F(Desktop, ModalDesktopsStackAndWithoutOneTheOperationsDoNothing) {
    {
        TDesktop modal;
        ASSERT_TRUE(modal.Attach(display.get(), &window));
        EXPECT_EQ(currentDesktop(), &modal);
        EXPECT_EQ(modal.width, 240);
        EXPECT_EQ(modal.height, 320);
        EXPECT_FALSE(modal.Attach(nullptr, &window));
    }  // destroyed while current: the one before takes over
    EXPECT_EQ(currentDesktop(), &desktop);
    desktop.Detach();
    Probe p;
    p.SetFlags(FLAG_VISIBLE | FLAG_FOCUSABLE);
    EXPECT_EQ(SetCapture(&p), nullptr);
    EXPECT_EQ(SetFocus(&p), nullptr);
    EXPECT_EQ(SetTopMost(&p), nullptr);
    EXPECT_FALSE(PostToWindow(MSG_COMMAND, 1, 0));
    EXPECT_FALSE(CaretVisible());
    EXPECT_EQ(p.flags, FLAG_VISIBLE | FLAG_FOCUSABLE);
    SetCurrentDesktop(&desktop);
}

TEST_F(Desktop, AWidgetHiddenOrDestroyedIsForgottenAndNeverReachedAgain) {
    auto held = std::make_unique<UIButton>();
    held->SetRect(10, 10, 50, 20);
    held->SetButtonState(BUTTON_REPEAT);
    held->SetFlags(FLAG_VISIBLE | FLAG_FOCUSABLE);
    desktop.AddChild(held.get());
    Down(20, 20);
    EXPECT_EQ(desktop.capture, held.get());
    EXPECT_EQ(desktop.focus, held.get());
    EXPECT_TRUE(window.HasTimer(REPEAT_TIMER));
    held->SetFlags(0);
    EXPECT_EQ(desktop.capture, nullptr);
    EXPECT_EQ(desktop.focus, nullptr);
    EXPECT_FALSE(window.HasTimer(REPEAT_TIMER));
    EXPECT_FALSE(held->Pressed());
    EXPECT_FALSE(window.HasCapture());

    held->SetFlags(FLAG_VISIBLE | FLAG_FOCUSABLE);
    Down(20, 20);
    SetTopMost(held.get());
    held.reset();  // destroyed while holding everything
    EXPECT_EQ(desktop.capture, nullptr);
    EXPECT_EQ(desktop.focus, nullptr);
    EXPECT_EQ(desktop.topMost, nullptr);
    EXPECT_EQ(desktop.firstChild, nullptr);
    EXPECT_FALSE(window.HasTimer(REPEAT_TIMER));
    Up(20, 20);
    desktop.HandleEvent(MSG_TIMER, REPEAT_TIMER, 0);
    desktop.Draw(Screen());
    EXPECT_TRUE(Commands().empty());
}

TEST_F(Desktop, ADesktopDestroyedBeforeItsWidgetsLeavesThemUnlinked) {
    UIButton survivor;
    {
        TDesktop modal;
        modal.Attach(display.get(), &window);
        modal.AddChild(&survivor);
    }
    EXPECT_EQ(survivor.parent, nullptr);
    EXPECT_EQ(currentDesktop(), &desktop);
    desktop.AddChild(&survivor);
    EXPECT_EQ(desktop.firstChild, &survivor);
}

TEST_F(Desktop, CaptionsSitWhereTheirStyleSays) {
    gfx::Surface& s = Screen();
    TObject w;  // draws nothing itself
    w.SetRect(100, 100, 40, 20);
    w.SetFlags(FLAG_VISIBLE | FLAG_CAPTION);
    desktop.AddChild(&w);
    int tw = gfx::textWidth(font, "Wg"), fh = font.height;
    struct Case {
        std::uint16_t style;
        gfx::Rect box;
    } cases[] = {
        {CAPTION_LEFT, {100 - tw - 5, 100 + (20 - fh) / 2, 95, 100 + (20 - fh) / 2 + fh}},
        {CAPTION_RIGHT, {145, 100 + (20 - fh) / 2, 145 + tw, 100 + (20 - fh) / 2 + fh}},
        {CAPTION_BELOW, {100 + (40 - tw) / 2, 122, 100 + (40 - tw) / 2 + tw, 122 + fh}},
        {CAPTION_ABOVE_LEFT, {100, 100 - fh - 2, 100 + tw, 98}},
        {CAPTION_INSIDE | CAPTION_PRESSED,
         {101 + (40 - tw) / 2, 101 + (20 - fh) / 2, 101 + (40 - tw) / 2 + tw,
          101 + (20 - fh) / 2 + fh}},
    };
    for (const Case& c : cases) {
        gfx::clear(s, 0x1234);
        w.SetCaption(1, "Wg", c.style);
        desktop.Draw(s);
        int inside = Inked(s, c.box, 0x1234);
        EXPECT_GT(inside, 10) << c.style;
        EXPECT_EQ(Inked(s, gfx::fullRect(s), 0x1234), inside) << c.style;
    }
}

TEST_F(Desktop, RedrawCopiesTheBackgroundDrawsAndPresents) {
    auto background = gfx::createSurface(240, 320);
    gfx::clear(*background, 0x07E0);
    UIButton b;
    b.SetButtonState(BUTTON_BEVEL);
    b.SetRect(10, 10, 30, 20);
    desktop.AddChild(&b);
    ASSERT_TRUE(desktop.Redraw(background.get()));
    int w = 0, h = 0;
    auto frame = backend.LastFrame(w, h);
    EXPECT_EQ(frame[5 * 240 + 5], 0x07E0);
    EXPECT_EQ(frame[20 * 240 + 20], b.faceColour);
}

}  // namespace
}  // namespace ui
