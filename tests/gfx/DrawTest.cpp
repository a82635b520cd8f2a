#include "gfx/Draw.h"

#include <gtest/gtest.h>

#include "gfx/Pixel.h"

namespace gfx {
namespace {

constexpr std::uint16_t SENTINEL = 0x1111;
constexpr std::uint16_t INK = 0xFFFF;

int CountInk(const Surface& s, std::uint16_t colour = INK) {
    int n = 0;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            n += getPixel(s, x, y) == colour;
    return n;
}

SurfacePtr Canvas(int w = 40, int h = 30) {
    SurfacePtr s = createSurface(w, h);
    clear(*s, SENTINEL);
    return s;
}

TEST(Surface, RowsArePaddedToWholeWords) {
    EXPECT_EQ(createSurface(3, 2)->pitch, 8u);
    EXPECT_EQ(createSurface(240, 320)->pitch, 480u);
    EXPECT_EQ(createSurface(1, 1)->pitch, 4u);
    EXPECT_EQ(createSurface(0, 5), nullptr);
    EXPECT_EQ(createSurface(100000, 100000), nullptr);
}

TEST(Draw, HorizontalAndVerticalLinesIncludeTheirEndAndClipToTheSurface) {
    auto s = Canvas(240, 10);
    hLine(*s, 0, 0, 9, INK);
    EXPECT_EQ(CountInk(*s), 10);
    hLine(*s, 235, 1, 20, INK);  // runs off the right: 5 pixels
    EXPECT_EQ(CountInk(*s), 15);
    hLine(*s, -50, 2, 10, INK);  // wholly off the surface: nothing, not a dot at the edge
    hLine(*s, 3, -1, 10, INK);
    vLine(*s, 500, 0, 3, INK);
    EXPECT_EQ(CountInk(*s), 15);
    vLine(*s, 7, 5, 100, INK);  // rows 5..9
    EXPECT_EQ(CountInk(*s), 20);
}

TEST(Draw, LinesCountTheirStepsAndASinglePointDrawsNothing) {
    auto s = Canvas();
    line(*s, 5, 5, 5, 5, INK);
    EXPECT_EQ(CountInk(*s), 0);
    line(*s, 0, 0, 3, 0, INK);
    EXPECT_EQ(CountInk(*s), 4);
    line(*s, 10, 20, 13, 10, INK);  // drawn from the upper end: 11 pixels
    EXPECT_EQ(CountInk(*s), 15);
    EXPECT_EQ(getPixel(*s, 13, 10), INK);
    EXPECT_EQ(getPixel(*s, 10, 20), INK);
    line(*s, -10, -10, 100, 100, INK);  // off-surface parts are skipped, not written
}

TEST(Draw, RectangleOutlineLiesOnItsRightAndBottom) {
    auto s = Canvas();
    rectangle(*s, 2, 3, 6, 8, INK);
    EXPECT_EQ(getPixel(*s, 6, 8), INK);
    EXPECT_EQ(getPixel(*s, 2, 3), INK);
    EXPECT_EQ(getPixel(*s, 4, 5), SENTINEL);
    EXPECT_EQ(CountInk(*s), 2 * 5 + 2 * 4);
}

TEST(Draw, CirclesOfRadiusZeroAndClippedOutlines) {
    auto s = Canvas();
    circle(*s, 10, 10, 0, INK, false, fullRect(*s));
    EXPECT_EQ(CountInk(*s), 1);
    EXPECT_EQ(getPixel(*s, 10, 10), INK);
    auto t = Canvas();
    circle(*t, 10, 10, 4, INK, false, Rect{0, 0, 10, 40});  // left half only
    for (int y = 0; y < 30; ++y)
        for (int x = 10; x < 40; ++x)
            EXPECT_EQ(getPixel(*t, x, y), SENTINEL);
    EXPECT_EQ(getPixel(*t, 6, 10), INK);
    auto f = Canvas();
    circle(*f, 20, 15, 5, INK, true, fullRect(*f));
    for (int d = -5; d <= 5; ++d) {
        EXPECT_EQ(getPixel(*f, 20 + d, 15), INK);
        EXPECT_EQ(getPixel(*f, 20, 15 + d), INK);
    }
    EXPECT_EQ(getPixel(*f, 26, 15), SENTINEL);
    EXPECT_EQ(getPixel(*f, 17, 12), INK);
    EXPECT_EQ(getPixel(*f, 16, 11), SENTINEL);
}

TEST(Draw, FillRectBlendsTowardItsColourByThirtyFirstMinusAlpha) {
    auto s = Canvas();
    fillRect(*s, 1, 1, 3, 2, INK);
    EXPECT_EQ(CountInk(*s), 6);
    auto d = Canvas();
    clear(*d, RGB565(248, 0, 0));  // red 31
    fillRect(*d, 0, 0, 0, 0, 0, 28);
    EXPECT_EQ(getPixel(*d, 0, 0) >> 11, 31 - (31 * 3) / 32);  // 31 + (0 - 31) * 3 / 32
    fillRect(*d, -10, -10, -5, -5, INK);                      // wholly outside: nothing
    EXPECT_EQ(CountInk(*d), 0);
}

TEST(Draw, GradientRunsFromTheFirstColourToTheSecond) {
    auto s = Canvas(32, 4);
    gradientRect(*s, 0, 0, 32, 4, 0x0000, 0xFFFF, false);
    EXPECT_EQ(getPixel(*s, 31, 3), 0xFFFF);
    EXPECT_EQ(getPixel(*s, 0, 0), Mix(0xFFFF, 0x0000, 31));
    EXPECT_LT(getPixel(*s, 10, 0) >> 11, getPixel(*s, 20, 0) >> 11);
}

TEST(Draw, ArrowsPointTheWayAsked) {
    auto s = Canvas();
    arrow(*s, 20, 10, 16, INK, 0);
    EXPECT_EQ(getPixel(*s, 20, 10), INK);
    EXPECT_EQ(getPixel(*s, 16, 14), INK);
    auto d = Canvas();
    arrow(*d, 20, 10, 16, INK, 1);
    EXPECT_EQ(getPixel(*d, 20, 14), INK);
    EXPECT_EQ(getPixel(*d, 16, 10), INK);
}

}  // namespace
}  // namespace gfx
