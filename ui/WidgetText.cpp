#include "ui/WidgetText.h"

namespace ui {

void DrawString(const gfx::Font& font, gfx::Surface& surface, int x, int y, std::string_view text,
                std::uint16_t colour) {
    if (!font.Loaded() || y < 0) return;
    // Characters wholly left of the surface are dropped; the renderer would otherwise
    // centre the line.
    while (x < 0 && !text.empty()) {
        x += font.advance[static_cast<unsigned char>(text.front())];
        text.remove_prefix(1);
    }
    if (x < 0 || text.empty()) return;
    gfx::drawText(font, surface, x, y, text, colour);
}

std::string_view FitString(const gfx::Font& font, std::string_view text, int maxWidth,
                           std::string& scratch) {
    if (maxWidth <= 0) return {};
    scratch.assign(text);
    int end = gfx::fitText(font, scratch, maxWidth);
    scratch.resize(static_cast<std::size_t>(end));
    return scratch;
}

}  // namespace ui
