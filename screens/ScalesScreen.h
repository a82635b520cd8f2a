#pragma once
// The Scales screen: the notes of a scale on a fret board of eleven frets or, after More, on
// a piano roll turned on its side, and the scale described in words.

#include <optional>
#include <string>

#include "screens/ChordView.h"
#include "screens/GuitarScreen.h"

namespace screens {

struct ScaleView {
    ChordView chord;  // the root, tuning and hand, and the shape the chord box shows
    int scaleType = 0;

    theory::ScaleNotes Notes() const { return theory::GetScaleNotes(chord.root, scaleType); }
    // Note names as the spelling writes them, in the scale's own key.
    theory::NoteNameTable Names() const {
        return theory::ScaleNoteNames(chord.root, scaleType, chord.spelling);
    }
};

// Right side, strings running down; mirrored for the left hand.
void DrawScaleFretBoard(gfx::Surface& surface, const Fonts& fonts, const ScaleView& view);
// The large piano roll (bitmap 121) turned a quarter clockwise, placed after the width of the
// Piano Chords roll (bitmap 107), with the scale's notes marked beside it. A missing picture
// is not drawn; the markers keep their places.
void DrawScalePiano(gfx::Surface& surface, const Fonts& fonts, const ScaleView& view,
                    const gfx::Surface* roll, const gfx::Surface* largeRoll);
// The texts of the three boxes after More, in marked-up form: "B Major Scale",
// "B, C##, D##, ..." and the steps between the notes and back up to the root,
// "2-2-1-2-2-2-1". All empty for a scale type outside the table.
struct ScaleInfo {
    std::string description, notes, halfSteps;
};
ScaleInfo DescribeScale(const ScaleView& view);
// "Description", "Scale Notes" and "Half-Steps" in the boxes of the chord screens.
void DrawScaleInfo(gfx::Surface& surface, const Fonts& fonts, const ScaleView& view);

// The string and fret under a tap on the scale fret board, if any; mirrored like the drawing.
std::optional<FretTap> ScaleFretTap(const ScaleView& view, int x, int y);
// The dot drawn at once under a tap on a scale note (the caller presents it).
void DrawScaleTapDot(gfx::Surface& surface, const Fonts& fonts, const ScaleView& view,
                     const FretTap& tap);

}  // namespace screens
