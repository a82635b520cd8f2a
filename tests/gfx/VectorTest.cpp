#include "gfx/Vector.h"

#include <gtest/gtest.h>

#include <array>

#include "gfx/Draw.h"

namespace gfx {
namespace {

constexpr std::uint16_t WHITE = 0xFFFF;
constexpr std::uint32_t BLACK = 0xFF000000;
constexpr std::uint32_t YELLOW = 0xFF00FFFF;

struct Vector : ::testing::Test {
    SurfacePtr s = createSurface(40, 30);
    void SetUp() override {
        clear(*s, WHITE);
        attachSurface(*s);
    }
    void TearDown() override { attachSurface(nullptr, 0, 0, 0); }
    std::uint16_t At(int x, int y) { return getPixel(*s, x, y); }
    bool Untouched(int x, int y) { return At(x, y) == WHITE; }
    int Red(int x, int y) { return At(x, y) >> 11; }
};

TEST_F(Vector, FilledEllipseIsSolidInsideSoftAtTheEdgeAndNothingOutside) {
    drawEllipse(20, 15, 8, 8, 0, 16, BLACK);
    EXPECT_EQ(At(20, 15), 0);
    EXPECT_EQ(At(19, 14), 0);
    int between = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            bool outside = x < 12 || x >= 28 || y < 7 || y >= 23;
            if (outside) {
                ASSERT_TRUE(Untouched(x, y)) << x << "," << y;
            }
            between += At(x, y) != 0 && At(x, y) != WHITE;
        }
    EXPECT_GT(between, 8);  // anti-aliased rim
}

TEST_F(Vector, HalfAlphaFillDarkensByHalf) {
    drawEllipse(20, 15, 10, 10, 0, 0, 0x80000000);
    std::uint16_t c = At(20, 15);
    EXPECT_NEAR(c >> 11, 16, 1);
    EXPECT_NEAR((c >> 5) & 63, 32, 1);
    EXPECT_NEAR(c & 31, 16, 1);
    drawEllipse(20, 15, 10, 10, 0, 0, 0x00000000);  // fully transparent: nothing
    EXPECT_EQ(At(20, 15), c);
}

TEST_F(Vector, StrokedEllipseLeavesTheInsideAlone) {
    drawEllipse(20.5, 15.5, 9, 9, 1.0, 16, BLACK);
    EXPECT_TRUE(Untouched(20, 15));
    EXPECT_LT(Red(11, 15), 31);  // on the ring, left
    EXPECT_LT(Red(29, 15), 31);  // and right
}

TEST_F(Vector, OversizedCornerRadiusMakesACapsule) {
    drawRoundedRect(4, 10, 36, 20, 50, 0, BLACK);
    for (int x = 6; x < 34; ++x)
        ASSERT_EQ(At(x, 15), 0) << x;  // the middle row is solid
    for (int x = 10; x < 30; ++x)
        ASSERT_EQ(At(x, 10), 0) << x;  // flat top, no hole or crossing
    EXPECT_TRUE(Untouched(4, 10));     // rounded ends
    EXPECT_TRUE(Untouched(35, 19));
    EXPECT_TRUE(Untouched(20, 9));
    EXPECT_TRUE(Untouched(20, 20));
}

TEST_F(Vector, RadiiApplyToTheCornersAtEachEdge) {
    drawRoundedRectRadii(4, 4, 36, 26, 0, 0, 8, 8, 0, BLACK);
    EXPECT_EQ(At(4, 4), 0);  // square corners at y1
    EXPECT_EQ(At(35, 4), 0);
    EXPECT_TRUE(Untouched(4, 25));  // round corners at y2
    EXPECT_TRUE(Untouched(35, 25));
}

TEST_F(Vector, DashedLineAlternatesDashesAndGaps) {
    drawLine(0, 5, 39, 5, 1.0, 4, BLACK);  // along pixel row 5, dashes 0.5-4.5, 8.5-12.5, ...
    for (int start = 0; start < 32; start += 8) {
        EXPECT_EQ(At(start + 2, 5), 0) << start;
        EXPECT_EQ(At(start + 3, 5), 0) << start;
        EXPECT_TRUE(Untouched(start + 6, 5)) << start;
    }
    drawLine(0, 15, 39, 15, 1.0, 0, BLACK);  // no dash: solid
    for (int x = 1; x < 39; ++x)
        ASSERT_EQ(At(x, 15), 0) << x;
}

TEST_F(Vector, FilledPolygonClosesItsOutline) {
    const std::array<PointD, 3> triangle{{{5, 5}, {35, 5}, {5, 25}}};
    fillPolygon(triangle, YELLOW);
    EXPECT_EQ(At(8, 8), 0xFFE0);
    EXPECT_TRUE(Untouched(30, 20));                    // beyond the closing edge
    fillPolygon(std::span(triangle).first(2), BLACK);  // two points enclose nothing
    EXPECT_EQ(At(8, 8), 0xFFE0);
}

TEST(VectorClipping, ShapesAreCutAtTheAttachedBuffersEdge) {
    // Attach the left 20 columns of a wider image: the rest must stay as it was.
    auto wide = createSurface(40, 20);
    clear(*wide, WHITE);
    Surface left(20, 20, wide->pitch, wide->pixels);
    attachSurface(left);
    drawEllipse(18, 10, 8, 8, 0, 0, BLACK);
    drawLine(-10, -10, 60, 60, 3, 0, BLACK);
    EXPECT_EQ(getPixel(*wide, 19, 10), 0);  // the last column is drawn
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x)
            ASSERT_EQ(getPixel(*wide, x, y), WHITE) << x << "," << y;
    attachSurface(nullptr, 0, 0, 0);
    clear(*wide, WHITE);
    drawEllipse(10, 10, 5, 5, 0, 0, BLACK);  // detached: nothing anywhere
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(getPixel(*wide, x, y), WHITE);
}

TEST(VectorClipping, NegativeStrideDrawsBottomUp) {
    auto s = createSurface(10, 10);
    clear(*s, WHITE);
    // y = 0 of the drawing is the surface's bottom row.
    attachSurface(s->pixels, 10, 10, -static_cast<int>(s->pitch));
    drawRoundedRect(0, 0, 10, 2, 0, 0, BLACK);
    attachSurface(nullptr, 0, 0, 0);
    EXPECT_EQ(getPixel(*s, 5, 9), 0);
    EXPECT_EQ(getPixel(*s, 5, 0), WHITE);
}

}  // namespace
}  // namespace gfx
