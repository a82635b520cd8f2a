#pragma once
// Proportional bitmap fonts, the in-band text markup, and the built-in 8 x 16 font.
//
// Markup (mask fonts only): '#RRGGBB' sets the ink, "##" is a literal '#', '|RRGGBB' sets
// the painted background (`TextBackground`), '^' and three characters picks the ink
// (0x0010 when the next is 'o', else the caller's colour), carriage return ends a line,
// line feed is not drawn. A sequence cut short by the end of the text ends the text.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "gfx/Draw.h"
#include "gfx/Surface.h"

namespace gfx {

class Font {
  public:
    // A mask font's strip holds coverage (0..31 in the blue channel) drawn in the ink
    // colour; any other font's glyphs are drawn as they are, skipping the key colour.
    bool IsMask() const { return colourKey == 0; }
    bool Loaded() const { return image != nullptr; }

    std::uint8_t glyphCount = 0;
    std::uint8_t height = 0;                   // line height in pixels
    std::uint8_t sourceY = 0;                  // strip row where the glyphs start
    std::array<std::uint16_t, 256> xOffset{};  // glyph x in the strip, per character code
    std::array<std::uint16_t, 256> advance{};  // glyph width and advance; 0: not in the font
    mutable std::uint16_t lastColour = 0;      // the ink in effect when the last drawing ended
    std::uint16_t colourKey = 0;               // the strip's pixel (0, 0)
    SurfacePtr image;                          // the glyph strip
};

// Loads "SYSFONT" `id` from the program's resources. False (and the font left without an
// image) when it is missing, truncated or its strip does not decode.
bool loadFont(Font& font, std::uint32_t id);
// The same from the resource's bytes.
bool loadFont(Font& font, std::span<const std::uint8_t> data);

// Pixels up to the end or the first carriage return. `raw` counts '#' and '|' as glyphs.
int textWidth(const Font& font, std::string_view text, bool raw = false);

// x < 0 centres each line on the surface; y < 0 centres the first line vertically.
// alpha 0..31: a higher alpha lets more of the background through.
void drawText(const Font& font, Surface& surface, int x, int y, std::string_view text,
              std::uint16_t colour, int alpha = 0);

// How many characters (markup included) belong on a line of `maxWidth` pixels: up to the
// last space or backslash that fits, or where the text stops fitting when there is none;
// a carriage return ends the line and is counted.
int breakLine(const Font& font, std::string_view text, int maxWidth);

// Draws wrapped text from the rectangle's top left and returns the height of the lines
// drawn; stops before a line that would cross the bottom. A null surface only measures.
int drawTextInRect(const Font& font, Surface* surface, std::string_view text, const Rect& rect,
                   std::uint16_t colour, int alpha = 0);

// Where to cut `text` so that it fits `maxWidth`: its length when it fits, the index of a
// carriage return, or the index of the first character that no longer fits, in which case
// the three characters before it become "..." (when there are three). The caller ends the
// string at the returned index.
int fitText(const Font& font, std::string& text, int maxWidth);

// Draws code page 437 glyph `code` with its set bits in `colour`; false (and nothing
// drawn) unless the whole 8 x 16 cell lies on the surface.
bool drawChar8x16(Surface& surface, int x, int y, std::uint8_t code, std::uint16_t colour);
// x = -1 centres the string; stops at the first character that does not fit.
void drawString8x16(Surface& surface, int x, int y, std::string_view text, std::uint16_t colour);

}  // namespace gfx
