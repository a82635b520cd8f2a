#pragma once
// A headless window, display and attached desktop with the real resources and the widget
// font, on a fake clock; helpers feed stylus input and collect the commands posted.

#include <gtest/gtest.h>

#include <vector>

#include "gfx/Draw.h"
#include "gfx/Font.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/EmbeddedResources.h"
#include "ui/TDesktop.h"

namespace ui::testing {

struct UiFixture : ::testing::Test {
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
    platform::headless::HeadlessBackend backend;
    std::vector<platform::Msg> dispatched;  // what reached the window procedure
    platform::Window window{backend, "T",
                            [this](platform::Window& w, std::uint32_t m, WParam wp, LParam lp) {
                                dispatched.push_back(platform::Msg{m, wp, lp, 0});
                                return platform::DefaultWindowProc(w, m, wp, lp);
                            }};
    gfx::DisplayPtr display;
    gfx::Font font;
    TDesktop desktop;

    void SetUp() override {
        platform::SetResourceTable(res::EmbeddedResources());
        ASSERT_TRUE(window.Create());
        gfx::DisplayParams params{0, 0, 0, 2};
        display = gfx::createDisplay(gfx::headless::displayFactory(), window, params);
        ASSERT_TRUE(display);
        ASSERT_TRUE(gfx::loadFont(font, 4));
        ASSERT_TRUE(desktop.Attach(display.get(), &window));
        desktop.SetFont(&font);
    }
    void TearDown() override { desktop.Detach(); }

    LResult Stylus(std::uint32_t msg, int px, int py) {
        return desktop.HandleEvent(msg, 0, platform::MakePoint(px, py));
    }
    void Down(int px, int py) { Stylus(platform::MSG_LBUTTONDOWN, px, py); }
    void Move(int px, int py) { Stylus(platform::MSG_MOUSEMOVE, px, py); }
    void Up(int px, int py) { Stylus(platform::MSG_LBUTTONUP, px, py); }
    void Tap(int px, int py) {
        Down(px, py);
        Up(px, py);
    }

    // The commands posted to the window so far (other posted messages are dropped).
    std::vector<platform::Msg> Commands() {
        std::vector<platform::Msg> out;
        platform::Msg m;
        while (!window.QueueEmpty() && window.Peek(m))
            if (m.message == platform::MSG_COMMAND) out.push_back(m);
        return out;
    }

    // Runs the modal pump until the fake clock reaches `untilMs` or nothing is left to
    // wait for; a cap turns a pump that never settles into a failure, not a hang.
    std::vector<platform::Msg> PumpUntil(std::uint32_t untilMs) {
        std::vector<platform::Msg> commands;
        for (int step = 0; step < 1000; ++step) {
            bool timing = window.HasTimer(1000) || window.HasTimer(1001);
            bool pending = !window.QueueEmpty() || (timing && clock.NowMs() < untilMs);
            if (!pending) return commands;
            platform::Msg m;
            if (desktop.Pump(m) <= 0) break;
            if (m.message == platform::MSG_COMMAND) commands.push_back(m);
        }
        ADD_FAILURE() << "the pump did not settle";
        return commands;
    }

    gfx::Surface& Screen() {
        EXPECT_TRUE(display->Lock());
        return *display->BackBuffer();
    }
};

// Pixels of `s` inside `r` that differ from `background`.
inline int Inked(const gfx::Surface& s, const gfx::Rect& r, std::uint16_t background) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (gfx::getPixel(s, x, y) != background) ++n;
    return n;
}

}  // namespace ui::testing
