#pragma once
// The text operations widgets need from the fonts, with the guards widgets rely on: no
// font draws nothing, and a point left of or above the surface never turns into the
// font renderer's "centre it" request.

#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/Font.h"

namespace ui {

inline int FontHeight(const gfx::Font* font) {
    return font ? font->height : 0;
}

inline int TextWidth(const gfx::Font& font, std::string_view text) {
    return gfx::textWidth(font, text);
}

// Room for the text of a column running from `left` to `right`: a 3-pixel margin on either
// side keeps the text off the frame and the selection bar's edges.
inline int ColumnTextRoom(int left, int right) {
    return right - left - 6;
}

// Draws one line of marked-up text with its top-left corner at (x, y).
void DrawString(const gfx::Font& font, gfx::Surface& surface, int x, int y, std::string_view text,
                std::uint16_t colour);

// `text` shortened to fit `maxWidth` pixels, the last three characters kept turned into
// dots; built in `scratch`, which the result refers to.
std::string_view FitString(const gfx::Font& font, std::string_view text, int maxWidth,
                           std::string& scratch);

}  // namespace ui
