#pragma once
// What the chord screens draw from: the lists' selections and the tuning, copied once per
// drawing, and the fonts they draw with.

#include <optional>

#include "gfx/Font.h"
#include "theory/CurrentTuning.h"
#include "theory/NoteList.h"
#include "theory/Spelling.h"
#include "theory/Voicing.h"

namespace screens {

struct Fonts {
    const gfx::Font* large = nullptr;   // SYSFONT 2
    const gfx::Font* medium = nullptr;  // SYSFONT 4, the widget font
    const gfx::Font* small = nullptr;   // SYSFONT 1
};

struct ChordView {
    theory::PitchClass root = 0;
    int chordType = 0;
    theory::TuningState tuning;
    std::optional<theory::Voicing> selected;  // the Inversion list's shape, if any
    int mode = 0;
    theory::Spelling spelling = theory::Spelling::Sharps;

    theory::ChordNotes Notes() const { return theory::GetChordNotes(root, chordType); }
    // Note names as the spelling writes them, in the chord's own key.
    const theory::NoteNameTable& Names() const {
        return theory::SpelledNames(spelling, theory::ChordKey(root, chordType));
    }
    // The string drawn in column c: mirrored for the left hand.
    int StringInColumn(int c) const { return tuning.leftHanded ? 5 - c : c; }
    int ColumnOfString(int s) const { return StringInColumn(s); }
};

// Colours of the chord screens (RGB565 and, for the dots, the vector format).
// Where a fret board's strings run, across x; the guitar and scale boards share it.
constexpr int BOARD_LEFT = 135;
constexpr int BOARD_RIGHT = 225;
constexpr int STRING_X0 = 142;
constexpr int STRING_GAP = 15;

constexpr std::uint16_t BOARD = 14726;
constexpr std::uint16_t BOARD_WINDOW = 12684;
constexpr std::uint16_t WIRE_DARK = 33808;
constexpr std::uint16_t WIRE_LIGHT = 50712;
constexpr std::uint16_t INLAY = 40147;
constexpr std::uint16_t WHITE = 65535;
constexpr std::uint16_t BLACK = 0;
constexpr std::uint32_t ROOT_DOT = 0xFF00FFFF;
constexpr std::uint32_t NOTE_DOT = 0xFFFFFFFF;
constexpr std::uint32_t OUTLINE = 0xFF000000;

// Text centred on a point.
void drawCentred(const gfx::Font& font, gfx::Surface& surface, int cx, int cy,
                 std::string_view text, std::uint16_t colour);
// A note dot: filled in its colour, outlined in black, its name from `names` on it in the
// small font.
void drawNoteDot(gfx::Surface& surface, const Fonts& fonts, double cx, double cy, double radius,
                 theory::PitchClass note, bool root, const theory::NoteNameTable& names,
                 bool named = true);

}  // namespace screens
