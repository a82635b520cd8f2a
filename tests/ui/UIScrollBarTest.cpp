#include "ui/UIScrollBar.h"

#include "UiFixture.h"
#include "ui/ImageStrip.h"

namespace ui {
namespace {

using namespace platform;
using testing::Inked;

// A vertical bar at (100, 50), 14 x 150, reporting to the window.
struct ScrollBar : testing::UiFixture {
    UIScrollBar bar;
    std::unique_ptr<ImageStrip> arrows;
    void SetUp() override {
        UiFixture::SetUp();
        arrows = ImageStrip::FromBitmap(103, 2, 2);
        ASSERT_TRUE(arrows);
        bar.id = 121;
        bar.SetFlags(FLAG_VISIBLE | FLAG_NOTIFY);
        bar.SetRect(100, 50, 14, 150);
        desktop.AddChild(&bar);
    }
    std::vector<std::pair<std::uint32_t, int>> Sent() {
        std::vector<std::pair<std::uint32_t, int>> out;
        for (const Msg& m : Commands())
            out.emplace_back(CommandCode(m.wParam), static_cast<int>(m.lParam));
        return out;
    }
    using Sent_t = std::vector<std::pair<std::uint32_t, int>>;
};

TEST_F(ScrollBar, NothingToScrollWhenThePageHoldsTheRange) {
    bar.SetPosition(50);
    bar.SetRange(0, 8, 8);
    EXPECT_EQ(bar.low, 0);
    EXPECT_EQ(bar.high, 0);
    EXPECT_EQ(bar.page, 0);
    EXPECT_EQ(bar.scale, 1.0f);
    EXPECT_EQ(bar.Value(), 0);
    gfx::Surface& s = Screen();
    desktop.Draw(s);
    EXPECT_EQ(bar.thumbRect.top, 1);
    EXPECT_EQ(bar.thumbRect.bottom, 1 + bar.trackLength);  // the thumb fills the track
    Tap(105, 100);
    Down(105, 100);
    Move(105, 160);
    Up(105, 160);
    EXPECT_EQ(bar.Value(), 0);
    for (auto [code, value] : Sent())
        EXPECT_EQ(value, 0) << code;
    // A bar too short for any track draws and takes input without dividing by zero.
    bar.SetRect(100, 50, 14, 1);
    bar.SetRange(0, 100, 10);
    desktop.Draw(s);
    EXPECT_EQ(bar.trackLength, 0);
    bar.SetThumbFaces(nullptr);
    Down(105, 50);
    Up(105, 50);
}

TEST_F(ScrollBar, RangeKeepsTheLastPageAndClampsThePosition) {
    bar.SetRange(0, 100, 20);
    EXPECT_EQ(bar.high, 80);
    EXPECT_FLOAT_EQ(bar.scale, 16.0f);
    bar.SetPosition(500);
    EXPECT_EQ(bar.Value(), 80);
    bar.SetPosition(-5);
    EXPECT_EQ(bar.Value(), 0);
    bar.SetRange(0, 100, 90);  // shrinking the range pulls the position in
    bar.SetPosition(10);
    bar.SetRange(0, 100, 95);
    EXPECT_EQ(bar.Value(), 5);
}

TEST_F(ScrollBar, ArrowsStepByATenthOfAPageAndRepeatWhileHeld) {
    bar.SetArrowFaces(arrows.get());
    EXPECT_EQ(bar.arrowSize, 14u);
    EXPECT_TRUE(bar.back.Visible());
    EXPECT_EQ(bar.forward.y, 150 - 14 + 1);
    bar.SetRange(0, 200, 40);
    Tap(105, 50 + 140);  // the forward arrow
    Tap(105, 50 + 140);
    Tap(105, 55);  // back
    EXPECT_EQ(Sent(),
              (Sent_t{{SCROLL_LINE_FORWARD, 4}, {SCROLL_LINE_FORWARD, 8}, {SCROLL_LINE_BACK, 4}}));
    bar.SetRange(0, 200, 5);  // a step is at least 1
    window.Post(MSG_LBUTTONDOWN, 0, MakePoint(105, 190));
    PumpUntil(clock.NowMs() + 100);
    window.Post(MSG_LBUTTONUP, 0, MakePoint(105, 190));
    PumpUntil(clock.NowMs());
    EXPECT_EQ(bar.Value(), 7);  // two repeats and the release
    EXPECT_EQ(desktop.capture, nullptr);
}

TEST_F(ScrollBar, PagingAndDraggingTheThumb) {
    bar.SetRange(0, 100, 20);
    bar.SetPosition(40);
    gfx::Surface& s = Screen();
    desktop.Draw(s);
    gfx::Rect t = bar.thumbRect;
    ASSERT_EQ(bar.trackLength, 148);
    EXPECT_EQ(t.bottom - t.top, 29);  // a fifth of the track
    EXPECT_EQ(t.top, 1 + 59);         // 40 of 80 of the 119 pixels left
    Tap(105, 50 + t.bottom + 5);
    Tap(105, 50 + t.top - 5);
    Tap(105, 52);
    EXPECT_EQ(Sent(), (Sent_t{{SCROLL_PAGE_FORWARD, 60},
                              {SCROLL_RELEASED, 60},
                              {SCROLL_PAGE_BACK, 40},
                              {SCROLL_RELEASED, 40},
                              {SCROLL_PAGE_BACK, 20},
                              {SCROLL_RELEASED, 20}}));
    desktop.Draw(s);
    t = bar.thumbRect;
    int grab = 50 + (t.top + t.bottom) / 2;
    Down(105, grab);
    EXPECT_TRUE(bar.Dragging());
    desktop.Draw(s);
    EXPECT_EQ(gfx::getPixel(s, 100 + 5, 50 + t.top + 3), bar.dragColour);
    Move(300, grab + bar.trackLength / 8);  // off the bar: still dragging
    EXPECT_EQ(bar.Value(), 30);
    Move(105, grab + 1000);
    EXPECT_EQ(bar.Value(), 80);
    Move(105, -50);  // above the screen counts as 0
    EXPECT_EQ(bar.Value(), 0);
    Up(105, -50);
    auto sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), (std::pair<std::uint32_t, int>{SCROLL_TRACKING, 30}));
    EXPECT_EQ(sent.back().first, SCROLL_RELEASED);
    EXPECT_EQ(bar.dragOffset, 0);
    EXPECT_FALSE(bar.Dragging());
}

TEST_F(ScrollBar, AWheelNotchIsThreeArrowSteps) {
    bar.SetRange(0, 100, 20);  // an arrow step of 2
    bar.SetPosition(40);
    auto wheel = [&](int notches) {
        desktop.HandleEvent(MSG_MOUSEWHEEL, MakeWheel(notches * WHEEL_DELTA), MakePoint(105, 120));
    };
    wheel(-1);
    EXPECT_EQ(bar.Value(), 46);
    wheel(2);
    EXPECT_EQ(bar.Value(), 34);
    wheel(-100);
    EXPECT_EQ(bar.Value(), 80);
    wheel(-1);  // at the end: nothing more to say
    EXPECT_EQ(
        Sent(),
        (Sent_t{{SCROLL_LINE_FORWARD, 46}, {SCROLL_LINE_BACK, 34}, {SCROLL_LINE_FORWARD, 80}}));
    desktop.HandleEvent(MSG_MOUSEWHEEL, MakeWheel(-WHEEL_DELTA), MakePoint(99, 120));
    EXPECT_EQ(bar.Value(), 80);  // beside the bar: not for it
}

// Only the outline and the thumb are drawn: whatever lies under the bar shows through
// the rest of its track.
TEST_F(ScrollBar, TheTrackIsNotFilled) {
    constexpr std::uint16_t UNDER = 0x1234;
    bar.SetRange(0, 100, 20);
    bar.SetPosition(0);
    gfx::Surface& s = Screen();
    gfx::fillRect(s, 0, 0, 240, 320, UNDER);
    desktop.Draw(s);
    const gfx::Rect t = bar.thumbRect;
    // Column 100 and 113 are the outline; the track between them below the thumb is bare.
    EXPECT_EQ(gfx::getPixel(s, 100, 120), bar.frameColour);
    EXPECT_EQ(gfx::getPixel(s, 113, 120), bar.frameColour);
    EXPECT_EQ(Inked(s, gfx::Rect{101, 50 + t.bottom + 1, 113, 50 + 149}, UNDER), 0);
    EXPECT_EQ(gfx::getPixel(s, 101, 50 + t.bottom + 1), UNDER);
    EXPECT_EQ(gfx::getPixel(s, 112, 50 + 148), UNDER);
    EXPECT_EQ(gfx::getPixel(s, 106, 50 + t.top + 5), bar.thumbColour);
}

TEST_F(ScrollBar, AThumbPictureWithGrooveTicksAndValueCaption) {
    auto thumb = ImageStrip::FromBitmap(120, 1, 1);
    ASSERT_TRUE(thumb);
    bar.SetRect(200, 53, 20, 103);
    bar.SetThumbFaces(thumb.get());
    bar.SetBarStyle(BAR_GRIP | BAR_TICKS_BEFORE | BAR_TICKS_AFTER | BAR_VALUE_CAPTION);
    bar.SetRange(0, 96, 0);
    bar.SetPosition(96);
    gfx::Surface& s = Screen();
    gfx::clear(s, 0x1234);
    desktop.Draw(s);
    EXPECT_EQ(bar.caption, "96");
    EXPECT_EQ(bar.thumbRect.bottom - bar.thumbRect.top, thumb->CellHeight());
    EXPECT_EQ(bar.thumbRect.bottom, 1 + bar.trackLength);  // at the far end
    EXPECT_EQ(gfx::getPixel(s, 210, 53 + 40), 0x0000);     // the groove's dark middle
    EXPECT_EQ(Inked(s, gfx::Rect{200, 53, 221, 157}, 0x1234) > 0, true);
    EXPECT_EQ(Inked(s, gfx::Rect{0, 0, 199, 320}, 0x1234), 0);  // nothing spills left
}

TEST_F(ScrollBar, AStylusLiftedOverAnIdleBarTakesNothing) {
    Up(105, 100);
    EXPECT_TRUE(Sent().empty());
}

}  // namespace
}  // namespace ui
