#include "screens/ChordView.h"

#include "gfx/Vector.h"
#include "theory/TheoryTables.h"

namespace screens {

void drawCentred(const gfx::Font& font, gfx::Surface& surface, int cx, int cy,
                 std::string_view text, std::uint16_t colour) {
    gfx::drawText(font, surface, cx - gfx::textWidth(font, text) / 2, cy - font.height / 2, text,
                  colour);
}

void drawNoteDot(gfx::Surface& surface, const Fonts& fonts, double cx, double cy, double radius,
                 theory::PitchClass note, bool root, const theory::NoteNameTable& names,
                 bool named) {
    gfx::drawEllipse(cx, cy, radius, radius, 0.0, 16, root ? ROOT_DOT : NOTE_DOT);
    gfx::drawEllipse(cx, cy, radius, radius, 1.0, 16, OUTLINE);
    if (named && fonts.small)
        drawCentred(*fonts.small, surface, static_cast<int>(cx) - 1, static_cast<int>(cy) - 1,
                    names[static_cast<std::size_t>(note)], BLACK);
}

}  // namespace screens
