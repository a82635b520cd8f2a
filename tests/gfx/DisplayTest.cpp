#include "gfx/display/Display.h"

#include <gtest/gtest.h>

#include "gfx/Blit.h"
#include "gfx/Draw.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "gfx/display/sdl/SdlDisplay.h"
#include "platform/Clock.h"
#include "platform/headless/HeadlessBackend.h"

namespace gfx {
namespace {

struct DisplayFixture : ::testing::Test {
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
    platform::headless::HeadlessBackend backend;
    platform::Window window{backend, "T", platform::DefaultWindowProc};
    DisplayPtr display;
    void SetUp() override {
        ASSERT_TRUE(window.Create());
        DisplayParams params{0, 0, 0, 2};
        display = createDisplay(headless::displayFactory(), window, params);
        ASSERT_TRUE(display);
        EXPECT_EQ(params.width, 240u);
        EXPECT_EQ(params.height, 320u);
    }
    std::uint16_t Shown(int x, int y) {
        int w = 0, h = 0;
        return backend.LastFrame(w, h)[static_cast<std::size_t>(y) * w + x];
    }
};

TEST_F(DisplayFixture, PresentsOnlyWhileLocked) {
    EXPECT_EQ(display->BackBuffer(), nullptr);
    EXPECT_FALSE(display->UnlockAndPresent(0));
    ASSERT_TRUE(display->Lock());
    EXPECT_TRUE(display->Lock());  // already locked: still fine
    clear(*display->BackBuffer(), 0x07E0);
    EXPECT_TRUE(display->UnlockAndPresent(0));
    EXPECT_EQ(backend.FramesPresented(), 1u);
    EXPECT_EQ(Shown(239, 319), 0x07E0);
}

TEST_F(DisplayFixture, CrossFadeEndsOnTheImageExactly) {
    ASSERT_TRUE(display->Lock());
    clear(*display->BackBuffer(), 0);
    display->UnlockAndPresent(0);
    auto image = createSurface(120, 160);  // half size: stretched to the screen
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 120; ++x)
            image->Row(y)[x] = static_cast<std::uint16_t>(x * 97 + y * 13);
    std::uint32_t start = clock.NowMs();
    crossFadeTo(*display, *image, 500);
    EXPECT_GE(clock.NowMs() - start, 17u * 15u);  // each of the 17 steps lasts duration / 32
    EXPECT_EQ(Shown(0, 0), getPixel(*image, 0, 0));
    EXPECT_EQ(Shown(239, 319), getPixel(*image, 119, 159));
    EXPECT_EQ(Shown(101, 57), getPixel(*image, 50, 28));
    auto copy = captureScreen(*display, 60, 80);
    ASSERT_TRUE(copy);
    EXPECT_EQ(getPixel(*copy, 59, 79), getPixel(*image, 118, 158));
}

TEST(DisplayParamsRule, SizeDefaultsToTheScreenAndSwapZeroMeansDiscard) {
    platform::headless::HeadlessBackend backend(240, 300);
    platform::Window window(backend, "T", platform::DefaultWindowProc);
    DisplayParams p{0, 0, 0, 0};
    ASSERT_TRUE(resolveDisplayParams(window, p));
    EXPECT_EQ(p.height, 300u);
    EXPECT_EQ(p.swapEffect, 1u);
    DisplayParams sideways{0, 0, 2, 0};
    EXPECT_FALSE(resolveDisplayParams(window, sideways));
}

TEST(SdlScaler, DoublesPixelsIntoTheWindowFormatInsideTheLetterbox) {
    auto frame = createSurface(2, 1);
    frame->Row(0)[0] = 0xF800;  // red
    frame->Row(0)[1] = 0x001F;  // blue
    std::uint32_t out[3 * 6] = {};
    sdl::scaleFrameTo32(*frame, out, 6 * 4, 6, 3, 2, 1, 1, 16, 8, 0);
    EXPECT_EQ(out[6 * 1 + 1], 0xFF0000u);
    EXPECT_EQ(out[6 * 2 + 2], 0xFF0000u);
    EXPECT_EQ(out[6 * 2 + 3], 0x0000FFu);
    EXPECT_EQ(out[6 * 1 + 4], 0x0000FFu);
    EXPECT_EQ(out[0], 0u);
    EXPECT_EQ(out[6 * 1 + 5], 0u);
}

}  // namespace
}  // namespace gfx
