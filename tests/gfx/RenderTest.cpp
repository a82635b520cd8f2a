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
#include "gfx/PopupMenu.h"
#include "gfx/Vector.h"
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

TEST_F(Renders, SelectModeMenuOverTheScreen) {
    auto screen = createSurface(240, 320);
    SurfacePtr background = loadImageResource(105, platform::RESOURCE_GIF);
    ASSERT_TRUE(background);
    copyInto(*screen, *background);
    // Something of a screen behind the menu: a panel and a few note dots.
    attachSurface(*screen);
    drawRoundedRect(10.5, 180.5, 230.5, 265.5, 5, 0, 0xFFFFFFFF);
    drawRoundedRect(10.5, 180.5, 230.5, 265.5, 5, 1.0, 0xFF000000);
    for (int i = 0; i < 6; ++i) {
        drawEllipse(30.5 + 36 * i, 222.5, 8, 8, 0, 16, i % 3 ? 0xFFFFFFFF : 0xFF00FFFF);
        drawEllipse(30.5 + 36 * i, 222.5, 8, 8, 1.0, 16, 0xFF000000);
    }
    attachSurface(nullptr, 0, 0, 0);
    PopupMenu menu;
    setApplicationMenuStyle(menu, &fonts[3], &fonts[1]);
    menu.selectedIndex = 1;
    ASSERT_TRUE(menu.Build("Select Mode",
                           "01Guitar Chords,02Piano Chords,03Scales,04Chord Sequencer,05Chord "
                           "Groups,06Chord Detection,07Load / Save,10Exit Program",
                           240, 320));
    menu.list.Item(4).flags |= ITEM_PRESSED;  // "Scales" under the stylus
    menu.Paint(*screen);
    Save(*screen, "select-mode-menu");
    EXPECT_EQ(getPixel(*screen, 45 - 2, 150), 0);  // the outer frame
}

}  // namespace
}  // namespace gfx
