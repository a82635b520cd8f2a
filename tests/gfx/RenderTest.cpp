// Renders for a person to look at, written into renders/ in the build folder: every
// font's character set, marked-up text and the "Select Mode" menu. Each also checks that
// something was drawn where it should be.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "gfx/Blit.h"
#include "gfx/Draw.h"
#include "gfx/Font.h"
#include "gfx/Pixel.h"
#include "platform/Image.h"
#include "platform/Resources.h"
#include "res/EmbeddedResources.h"

namespace gfx {
namespace {

constexpr int ZOOM = 3;

// Saves the surface at 1:1 and enlarged, so single pixels can be judged.
void Save(const Surface& s, const std::string& name) {
    std::filesystem::create_directories("renders");
    std::string error;
    ASSERT_TRUE(platform::SavePng("renders/" + name + ".png", s.pixels, s.Width(), s.Height(),
                                  static_cast<int>(s.pitch), error))
        << error;
    SurfacePtr big = clone(s, s.width * ZOOM, s.height * ZOOM);
    ASSERT_TRUE(platform::SavePng("renders/" + name + "-x3.png", big->pixels, big->Width(),
                                  big->Height(), static_cast<int>(big->pitch), error))
        << error;
}

bool AnyPixelNot(const Surface& s, std::uint16_t colour) {
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (getPixel(s, x, y) != colour) return true;
    return false;
}

struct Renders : ::testing::Test {
    void SetUp() override {
        platform::SetResourceTable(res::EmbeddedResources());
        for (int id = 1; id <= 4; ++id)
            ASSERT_TRUE(loadFont(fonts[id - 1], static_cast<std::uint32_t>(id)));
    }
    Font fonts[4];
};

TEST_F(Renders, EveryFontsCharacterSet) {
    auto sheet = createSurface(240, 320);
    clear(*sheet, 0xFFFF);
    int y = 2;
    const char* rows[] = {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz",
                          "0123456789 :.,%()-+##?<>/\\'![]"};
    const char* names[] = {"1 small", "2 large", "3", "4 medium"};
    for (int f = 0; f < 4; ++f) {
        drawText(fonts[f], *sheet, 2, y, std::string("#A00000SYSFONT ") + names[f], 0);
        y += fonts[f].height;
        for (const char* row : rows) {
            drawText(fonts[f], *sheet, 2, y, row, 0);
            y += fonts[f].height;
        }
        y += 2;
    }
    for (int code = 0; code < 256; ++code) {
        int cx = 2 + (code % 29) * 8, cy = y + (code / 29) * 16;
        if (cy + 16 <= 320) drawChar8x16(*sheet, cx, cy, static_cast<std::uint8_t>(code), 0x0010);
    }
    Save(*sheet, "fonts");
    EXPECT_TRUE(AnyPixelNot(*sheet, 0xFFFF));
}

TEST_F(Renders, MarkedUpText) {
    auto s = createSurface(240, 220);
    clear(*s, 0xE718);
    const Font& large = fonts[1];
    const Font& medium = fonts[3];
    const Font& small = fonts[0];
    drawText(large, *s, -1, 4, "#FF0000C##/A##m#000000 chord", 0);
    drawText(medium, *s, 4, 28, "#FF0000root#000000 note, |FFFFFF white gaps |E0E0C0 and back", 0);
    drawText(medium, *s, -1, 170, "Centred lines,\reach with\rits own width", 0x0010);
    drawTextInRect(small, s.get(),
                   "Tap a #0000FFnote#000000 on the fret board to hear it. Choose a root and a "
                   "chord type: the list shows every playable shape, easiest first. "
                   "Paths wrap at back\\slashes\\too.",
                   Rect{4, 48, 236, 140}, 0);
    drawString8x16(*s, -1, 146, "8x16: Fretlore 1.03", 0);
    Save(*s, "markup");
    EXPECT_TRUE(AnyPixelNot(*s, 0xE718));
}

}  // namespace
}  // namespace gfx
