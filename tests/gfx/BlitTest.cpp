#include "gfx/Blit.h"

#include <gtest/gtest.h>

#include "gfx/Draw.h"
#include "gfx/Pixel.h"

namespace gfx {
namespace {

constexpr std::uint16_t SENTINEL = 0x1111;

// A source whose pixel value tells where it came from: (y << 8) | x, never the key.
SurfacePtr Numbered(int w, int h) {
    SurfacePtr s = createSurface(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s->Row(y)[x] = static_cast<std::uint16_t>((y << 8) | x);
    return s;
}

SurfacePtr Filled(int w, int h, std::uint16_t c) {
    SurfacePtr s = createSurface(w, h);
    clear(*s, c);
    return s;
}

TEST(Blit, ClipsANegativeDestinationByMovingTheSource) {
    auto dst = Filled(20, 10, SENTINEL);
    auto src = Numbered(10, 10);
    blit(*dst, -5, 0, 10, 1, *src, 0, 0, 0, 0, BlitMode::Copy);
    EXPECT_EQ(getPixel(*dst, 0, 0), 5);  // source column 5 at destination column 0
    EXPECT_EQ(getPixel(*dst, 4, 0), 9);
    EXPECT_EQ(getPixel(*dst, 5, 0), SENTINEL);  // five columns narrower
}

TEST(Blit, KeepsItsWidthExactlyToTheRightEdgeAndCutsBeyondIt) {
    auto dst = Filled(20, 4, SENTINEL);
    auto src = Numbered(10, 4);
    blit(*dst, 10, 0, 10, 1, *src, 0, 0, 0, 0, BlitMode::Copy);
    EXPECT_EQ(getPixel(*dst, 19, 0), 9);
    blit(*dst, 15, 1, 10, 1, *src, 0, 0, 0, 0, BlitMode::Copy);
    EXPECT_EQ(getPixel(*dst, 19, 1), 4);
    // A source rectangle reaching past the source is cut, never read out of bounds.
    blit(*dst, 0, 2, 10, 5, *src, 8, 2, 0, 0, BlitMode::Copy);
    EXPECT_EQ(getPixel(*dst, 1, 2), (2 << 8) | 9);
    EXPECT_EQ(getPixel(*dst, 2, 2), SENTINEL);
}

TEST(Blit, BlendModesFollowTheirArithmetic) {
    const std::uint16_t s = RGB565(248, 128, 0), d = RGB565(0, 64, 248);
    auto src = Filled(1, 1, s);
    auto out = [&](BlitMode mode, int alpha, std::uint16_t key = 0) {
        auto dst = Filled(1, 1, d);
        blit(*dst, 0, 0, 1, 1, *src, 0, 0, alpha, key, mode);
        return getPixel(*dst, 0, 0);
    };
    EXPECT_EQ(out(BlitMode::Blend, 32), d);
    EXPECT_EQ(out(BlitMode::Blend, 0), s);
    EXPECT_EQ(out(BlitMode::Blend, 16), Mix(s, d, 16));
    EXPECT_EQ(out(BlitMode::ColourKey, 0, s), d);  // the source is the key
    EXPECT_EQ(out(BlitMode::ColourKey, 0, 0xF81F), s);
    EXPECT_EQ(out(BlitMode::ColourKeyBlend, 8, 0xF81F), Mix(s, d, 8));
    EXPECT_EQ(out(BlitMode::Screen, 0), d);  // no weight: nothing changes
    std::uint16_t screened = out(BlitMode::Screen, 255);
    EXPECT_EQ(screened >> 11, 31);  // red 31 screened over 0 is 31
    EXPECT_EQ((screened >> 6) & 31, 31 - BlendTable[31 - 16][31 - 8]);
    EXPECT_EQ((screened >> 5) & 1, 0);               // green's lowest bit is dropped
    EXPECT_EQ(out(static_cast<BlitMode>(5), 0), d);  // unknown modes write nothing
}

TEST(Blit, MaskModesInkCoverageAndPaintTheTextBackground) {
    auto mask = createSurface(3, 1);
    mask->Row(0)[0] = 31;
    mask->Row(0)[1] = 0;
    mask->Row(0)[2] = 16;
    const std::uint16_t ink = RGB565(200, 40, 90), paper = RGB565(16, 200, 16);
    auto dst = Filled(3, 1, paper);
    blit(*dst, 0, 0, 3, 1, *mask, 0, 0, 0, ink, BlitMode::TintMask);
    EXPECT_EQ(getPixel(*dst, 0, 0), ink);    // full coverage writes the ink exactly
    EXPECT_EQ(getPixel(*dst, 1, 0), paper);  // no coverage leaves the pixel alone
    EXPECT_EQ(getPixel(*dst, 2, 0), MoveToward(paper, ink, BlendTable[31][16]));

    TextBackground = RGB565(255, 255, 0);
    auto text = Filled(3, 1, paper);
    blit(*text, 0, 0, 3, 1, *mask, 0, 0, 0, ink, BlitMode::TintMaskOnBackground);
    EXPECT_EQ(getPixel(*text, 1, 0), TextBackground);  // gaps are painted
    EXPECT_EQ(getPixel(*text, 0, 0), ink);
    EXPECT_EQ(getPixel(*text, 2, 0), Mix(TextBackground, ink, BlendTable[16][31]));
    TextBackground = 0;
}

TEST(Blit, ScaledCopiesPickTheNearestSourcePixel) {
    auto src = Numbered(2, 2);
    auto dst = Filled(6, 6, SENTINEL);
    blitScaled(*dst, *src, 1, 1, 4, 4, 0, 0, BlitMode::Copy);
    EXPECT_EQ(getPixel(*dst, 1, 1), 0);
    EXPECT_EQ(getPixel(*dst, 2, 2), 0);
    EXPECT_EQ(getPixel(*dst, 3, 1), 1);
    EXPECT_EQ(getPixel(*dst, 4, 4), (1 << 8) | 1);
    EXPECT_EQ(getPixel(*dst, 5, 5), SENTINEL);
    EXPECT_EQ(getPixel(*dst, 0, 0), SENTINEL);
}

TEST(Blit, RotatingAQuarterTurnClockwise) {
    auto src = Numbered(4, 2);  // 4 wide, 2 high
    src->Row(1)[3] = COLOUR_KEY;
    auto dst = Filled(10, 10, SENTINEL);
    blitRotated(*dst, 5, 2, *src, 0, 0, 90.0, 1.0, COLOUR_KEY, 0);
    // The source's top row runs down the screen; its left column runs leftward.
    EXPECT_EQ(getPixel(*dst, 5, 2), 0);
    EXPECT_EQ(getPixel(*dst, 5, 5), 3);
    EXPECT_EQ(getPixel(*dst, 4, 2), (1 << 8) | 0);
    EXPECT_EQ(getPixel(*dst, 4, 5), SENTINEL);  // the keyed pixel
    EXPECT_EQ(getPixel(*dst, 6, 2), SENTINEL);
}

TEST(Blit, FramedImagesKeepCornersStretchEdgesAndFillTheMiddle) {
    // Three 6 x 6 cells of 2 x 2 pieces; each piece a distinct value per state.
    auto frame = createSurface(6, 18);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 6; ++x)
            frame->Row(y)[x] =
                static_cast<std::uint16_t>(((y / 6) << 8) | (((y % 6) / 2) * 3 + x / 2));
    frame->Row(0)[0] = COLOUR_KEY;  // a rounded corner
    auto faces = makeFramedImage(*frame, 10, 8, 3);
    ASSERT_TRUE(faces);
    EXPECT_EQ(faces->height, 24u);
    for (int state = 0; state < 3; ++state) {
        int top = state * 8, tag = state << 8;
        EXPECT_EQ(getPixel(*faces, 9, top + 7), tag | 8) << state;  // bottom-right corner
        EXPECT_EQ(getPixel(*faces, 5, top), tag | 1);               // top edge stretched
        EXPECT_EQ(getPixel(*faces, 0, top + 4), tag | 3);           // left edge stretched
        EXPECT_EQ(getPixel(*faces, 5, top + 4), tag | 4);           // the middle colour
    }
    EXPECT_EQ(getPixel(*faces, 0, 0), COLOUR_KEY);
    EXPECT_EQ(makeFramedImage(*frame, 10, 8, 4), nullptr);  // more states than cells
}

}  // namespace
}  // namespace gfx
