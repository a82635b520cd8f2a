#include "screens/PianoScreen.h"

#include "gfx/Blit.h"
#include "gfx/Vector.h"
#include "theory/TheoryTables.h"

namespace screens {

namespace {

// Key centres in an octave: 6.5 px a semitone on the small roll and 8 px on the large one,
// twice that from E to F and from B to C, where two white keys meet with no black key between.
constexpr std::array<double, 12> CHORD_OFFSETS{0,    6.5, 13,   19.5, 26,   39,
                                               45.5, 52,  58.5, 65,   71.5, 78};
constexpr std::array<double, 12> SCALE_OFFSETS{0, 8, 16, 24, 32, 48, 56, 64, 72, 80, 88, 96};

constexpr int ROLL_RIGHT = 210;
constexpr int ROLL_TOP = 10;

}  // namespace

PianoLayout ChordPianoLayout(int rollWidth) {
    return {CHORD_OFFSETS,    91, ROLL_TOP + 6.5, 198.0 - rollWidth, 222, 220.0 - rollWidth,
            245.0 - rollWidth};
}

PianoLayout ScalePianoLayout(int rollWidth) {
    return {SCALE_OFFSETS, 112, 63, 190.0 - rollWidth, 226, 212.0 - rollWidth, 237.0 - rollWidth};
}

void drawPianoMarkers(gfx::Surface& s, const Fonts& fonts, const PianoLayout& layout,
                      theory::PitchClass root, std::span<const int> notes,
                      const theory::NoteNameTable& names) {
    gfx::attachSurface(s);
    for (int p : notes) {
        const theory::PitchClass c = p % 12;
        const bool black = IsBlackKey(c);
        const double y = KeyCentreY(layout, p);
        const double x = black ? layout.blackMarkX : layout.whiteMarkX;
        drawNoteDot(s, fonts, x, y, 8, c, c == root, names, false);
        if (fonts.small)
            drawCentred(*fonts.small, s, static_cast<int>(x), static_cast<int>(y),
                        names[static_cast<std::size_t>(c)], BLACK);
        gfx::drawEllipse(black ? layout.blackDotX : layout.whiteDotX, y, 3, 3, 0.0, 16,
                         black ? NOTE_DOT : OUTLINE);
    }
}

void DrawPianoChords(gfx::Surface& s, const Fonts& fonts, const ChordView& view,
                     const gfx::Surface* roll) {
    const int width = roll ? roll->Width() : PIANO_ROLL_WIDTH;
    if (roll) gfx::copyRect(s, ROLL_RIGHT - width, ROLL_TOP, width, roll->Height(), *roll, 0, 0);
    if (view.chordType < 0 || view.chordType >= theory::CHORD_TYPE_COUNT) return;
    // Stacked without wrapping, so a ninth or a thirteenth climbs into the octaves below.
    const theory::ChordDef& chord = theory::ChordTypes[view.chordType];
    std::array<int, theory::MAX_CHORD_NOTES> notes{};
    notes[0] = view.root;
    for (int k = 0; k < chord.stepCount; ++k)
        notes[k + 1] = notes[k] + chord.steps[k];
    drawPianoMarkers(s, fonts, ChordPianoLayout(width), view.root,
                     std::span<const int>(notes.data(), chord.stepCount + 1), view.Names());
}

}  // namespace screens
