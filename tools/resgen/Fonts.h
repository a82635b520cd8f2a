#pragma once
// The program's bitmap fonts: the "SYSFONT" strips rendered from a TrueType face, and the
// built-in 8 x 16 glyphs converted from the system's VGA console fonts.

#include <cstdint>
#include <string>
#include <vector>

namespace resgen {

enum class Face { Regular, Bold, Narrow, NarrowBold };

struct FontStyle {
    int height;       // line height in pixels
    float pixelSize;  // em size handed to FreeType
    Face face;
    std::string characters;  // in strip order
};

// The style of SYSFONT `id` (1..4); throws for another id.
FontStyle SysFontStyle(unsigned id);

// A whole SYSFONT resource: the 32-bit offset of the glyph table, an 8-bit grey-ramp BMP
// strip with white glyphs on black, then the glyph count, height and code/width pairs.
std::vector<std::uint8_t> MakeSysFont(const std::string& fontPath, const FontStyle& style);
bool SaveSysFont(const std::string& fontPath, const FontStyle& style, const std::string& path);

// 256 glyphs x 16 rows (most significant bit leftmost) in code page 437 order, taken from
// the VGA-style console fonts in `consoleFontDir`; throws when a code is not covered.
std::vector<std::uint8_t> Vga8x16Glyphs(const std::string& consoleFontDir);
// The glyphs as a C++ source file defining gfx::FONT_8X16.
bool SaveVga8x16Source(const std::string& consoleFontDir, const std::string& path);

}  // namespace resgen
