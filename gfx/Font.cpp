#include "gfx/Font.h"

#include <algorithm>

#include "gfx/Blit.h"
#include "gfx/Font8x16.h"
#include "gfx/Pixel.h"
#include "platform/Resources.h"

namespace gfx {

namespace {

constexpr std::size_t COLOUR_CODE = 7;  // '#' or '|' and six hexadecimal digits
constexpr std::size_t CARET_CODE = 4;   // '^' and three characters
constexpr std::uint16_t CARET_INK = 0x0010;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

// RRGGBB starting at `at`; the caller has checked that all six digits are there.
std::uint16_t ParseColour(std::string_view text, std::size_t at) {
    auto pair = [&](std::size_t k) {
        return HexDigit(text[at + k]) * 16 + HexDigit(text[at + k + 1]);
    };
    return RGB565(pair(0), pair(2), pair(4));
}

// The index after a markup sequence of `length` at `i`, never past the end.
std::size_t Skip(std::string_view text, std::size_t i, std::size_t length) {
    return std::min(text.size(), i + length);
}
bool Complete(std::string_view text, std::size_t i, std::size_t length) {
    return i + length <= text.size();
}

bool IsDoubleHash(std::string_view text, std::size_t i) {
    return text[i] == '#' && i + 1 < text.size() && text[i + 1] == '#';
}

unsigned char At(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

// The running state of one marked-up drawing.
struct Pen {
    const Font& font;
    Surface* surface;
    int alpha;
    std::uint16_t colour;  // the caller's ink
    std::uint16_t ink;
    BlitMode mode = BlitMode::TintMask;
    int x = 0;
    int y = 0;

    void Glyph(unsigned char c) {
        int advance = font.advance[c];
        if (surface && font.image && advance > 0) {
            if (!font.IsMask()) {
                BlitMode keyed = alpha ? BlitMode::ColourKeyBlend : BlitMode::ColourKey;
                if (c != ' ')
                    blit(*surface, x, y, advance, font.height, *font.image, font.xOffset[c],
                         font.sourceY, alpha, font.colourKey, keyed);
            } else if (c != ' ' || mode == BlitMode::TintMaskOnBackground) {
                blit(*surface, x, y, advance, font.height, *font.image, font.xOffset[c],
                     font.sourceY, alpha, ink, mode);
            }
        }
        x += advance;
    }

    // Applies the '#' or '|' sequence at `i` (not "##") and returns the index after it.
    std::size_t ColourCode(std::string_view text, std::size_t i) {
        if (Complete(text, i, COLOUR_CODE)) {
            std::uint16_t value = ParseColour(text, i + 1);
            if (text[i] == '#') {
                ink = value;
                mode = BlitMode::TintMask;
            } else {
                TextBackground = value;
                mode = BlitMode::TintMaskOnBackground;
            }
        }
        return Skip(text, i, COLOUR_CODE);
    }
};

}  // namespace

bool loadFont(Font& font, std::span<const std::uint8_t> data) {
    font = Font{};
    if (data.size() < 4) return false;
    std::size_t tableAt =
        data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::size_t>(data[3]) << 24;
    if (tableAt < 4 || tableAt + 2 > data.size()) return false;
    std::size_t count = data[tableAt];
    if (tableAt + 2 + 2 * count > data.size()) return false;
    SurfacePtr strip = loadImageFromMemory(data.subspan(4, tableAt - 4));
    if (!strip) return false;
    font.colourKey = strip->Row(0)[0];
    font.image = std::move(strip);
    font.glyphCount = static_cast<std::uint8_t>(count);
    font.height = data[tableAt + 1];
    std::uint16_t x = 0;  // at most 255 glyphs of 255 pixels
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t code = data[tableAt + 2 + 2 * i];
        std::uint8_t width = data[tableAt + 3 + 2 * i];
        font.xOffset[code] = x;
        font.advance[code] = width;
        x = static_cast<std::uint16_t>(x + width);
    }
    return true;
}

bool loadFont(Font& font, std::uint32_t id) {
    auto bytes = platform::FindResource(platform::RESOURCE_FONT, id);
    if (!bytes) {
        font = Font{};
        return false;
    }
    return loadFont(font, *bytes);
}

int textWidth(const Font& font, std::string_view text, bool raw) {
    int width = 0;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = At(text, i);
        if (c == '\r') break;
        if (c == '^') {
            i = Skip(text, i, CARET_CODE);
        } else if (!raw && IsDoubleHash(text, i)) {
            width += font.advance['#'];
            i += 2;
        } else if (!raw && (c == '#' || c == '|')) {
            i = Skip(text, i, COLOUR_CODE);
        } else {
            width += font.advance[c];
            ++i;
        }
    }
    return width;
}

void drawText(const Font& font, Surface& surface, int x, int y, std::string_view text,
              std::uint16_t colour, int alpha) {
    const bool mask = font.IsMask();
    auto lineStart = [&](std::size_t from) {
        return x < 0 ? (surface.Width() - textWidth(font, text.substr(from), !mask)) >> 1 : x;
    };
    Pen pen{font, &surface, alpha, colour, colour};
    pen.x = lineStart(0);
    pen.y = y < 0 ? (surface.Height() - font.height) / 2 : y;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = At(text, i);
        if (c == '\r') {
            pen.y += font.height;
            pen.x = lineStart(++i);
        } else if (c == '\n') {
            ++i;
        } else if (!mask) {
            pen.Glyph(c);
            ++i;
        } else if (IsDoubleHash(text, i)) {
            pen.Glyph('#');
            i += 2;
        } else if (c == '#' || c == '|') {
            i = pen.ColourCode(text, i);
        } else if (c == '^') {
            pen.ink = i + 1 < text.size() && text[i + 1] == 'o' ? CARET_INK : colour;
            pen.x += font.advance['^'];
            i = Skip(text, i, CARET_CODE);
        } else {
            pen.Glyph(c);
            ++i;
        }
    }
    font.lastColour = pen.ink;
}

int breakLine(const Font& font, std::string_view text, int maxWidth) {
    std::size_t i = 0, lastBreak = 0;
    int width = 0;
    while (i < text.size()) {
        unsigned char c = At(text, i);
        // The advance of a markup opener is tested too, as for any character.
        if (font.advance[c] + width >= maxWidth) break;
        if ((c == '#' && !IsDoubleHash(text, i)) || c == '|') {
            i = Skip(text, i, COLOUR_CODE);
            continue;
        }
        if (c == '^') {
            i = Skip(text, i, CARET_CODE);
            continue;
        }
        if (c == '#') ++i;  // "##" counts as its second '#'
        c = At(text, i);
        if (c == '\r') return static_cast<int>(i + 1);
        if (c == ' ' || c == '\\') lastBreak = i + 1;
        width += font.advance[c];
        ++i;
    }
    if (i >= text.size()) return static_cast<int>(text.size());
    return static_cast<int>(lastBreak ? lastBreak : i);
}

int drawTextInRect(const Font& font, Surface* surface, std::string_view text, const Rect& rect,
                   std::uint16_t colour, int alpha) {
    const int maxWidth = rect.right - rect.left;
    const bool mask = font.IsMask();
    Pen pen{font, surface, alpha, colour, colour};
    pen.x = rect.left;
    pen.y = rect.top;
    // A line always takes at least one character, so a glyph wider than the rectangle
    // cannot stall the walk.
    auto nextLimit = [&](std::size_t from) {
        return std::max<std::size_t>(
            1, static_cast<std::size_t>(breakLine(font, text.substr(from), maxWidth)));
    };
    std::size_t limit = nextLimit(0), count = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (count >= limit) {
            limit = nextLimit(i);
            count = 0;
            pen.y += font.height;
            pen.x = rect.left;
            if (pen.y + font.height > rect.bottom) {
                font.lastColour = pen.ink;
                return pen.y - rect.top;
            }
        }
        unsigned char c = At(text, i);
        std::size_t next = i + 1;
        if (c == '\r') {
            count = limit;  // the next character begins a new line
            i = next;
            continue;
        }
        if (mask && IsDoubleHash(text, i)) {
            pen.Glyph('#');
            next = i + 2;
        } else if (mask && (c == '#' || c == '|')) {
            next = pen.ColourCode(text, i);
        } else if (c != '\n') {
            pen.Glyph(c);
        }
        count += next - i;
        i = next;
    }
    font.lastColour = pen.ink;
    return pen.y + font.height - rect.top;
}

int fitText(const Font& font, std::string& text, int maxWidth) {
    std::size_t i = 0;
    int width = 0;
    while (i < text.size()) {
        unsigned char c = At(text, i);
        if (font.advance[c] + width >= maxWidth) {
            if (i >= 3) std::fill_n(text.begin() + static_cast<std::ptrdiff_t>(i - 3), 3, '.');
            return static_cast<int>(i);
        }
        if ((c == '#' && !IsDoubleHash(text, i)) || c == '|') {
            i = Skip(text, i, COLOUR_CODE);
            continue;
        }
        if (c == '^') {
            i = Skip(text, i, CARET_CODE);
            continue;
        }
        if (c == '#') ++i;
        c = At(text, i);
        if (c == '\r') return static_cast<int>(i);
        width += font.advance[c];
        ++i;
    }
    return static_cast<int>(text.size());
}

bool drawChar8x16(Surface& surface, int x, int y, std::uint8_t code, std::uint16_t colour) {
    if (x < 0 || y < 0 || x + 8 > surface.Width() || y + 16 > surface.Height()) return false;
    const std::uint8_t* rows = &FONT_8X16[static_cast<std::size_t>(code) * 16];
    for (int r = 0; r < 16; ++r) {
        std::uint16_t* out = surface.Row(y + r) + x;
        for (int b = 0; b < 8; ++b)
            if (rows[r] & (0x80 >> b)) out[b] = colour;
    }
    return true;
}

void drawString8x16(Surface& surface, int x, int y, std::string_view text, std::uint16_t colour) {
    if (x == -1) x = (surface.Width() - 8 * static_cast<int>(text.size())) / 2;
    for (char c : text) {
        if (!drawChar8x16(surface, x, y, static_cast<std::uint8_t>(c), colour)) return;
        x += 8;
    }
}

}  // namespace gfx
