#pragma once
// The Piano Chords screen: the selected chord's notes marked on a piano roll whose keys run
// down the screen, and the markers the Scales screen puts beside its own keyboard.

#include <array>
#include <span>

#include "gfx/Surface.h"
#include "screens/ChordView.h"

namespace screens {

constexpr bool IsBlackKey(theory::PitchClass c) {
    return c == 1 || c == 3 || c == 6 || c == 8 || c == 10;
}

// A keyboard with its keys running down the screen, higher notes lower: where each pitch
// class's key centre lies below its octave's top (px), and where the marks go.
struct PianoLayout {
    std::array<double, 12> offset;
    double octave;                  // px per octave
    double firstY;                  // the centre of the lowest C
    double whiteMarkX, blackMarkX;  // the named marker beside the roll
    double whiteDotX, blackDotX;    // the small dot on the key itself
};

// The Piano Chords roll (bitmap 107) of width `rollWidth`, its right edge at x 210, top at y 10.
PianoLayout ChordPianoLayout(int rollWidth);
// The piano roll of the Scales screen (bitmap 121 turned a quarter), placed after the width
// of bitmap 107 as the Piano Chords roll is.
PianoLayout ScalePianoLayout(int rollWidth);

// The centre of the key of note `p` (octave p / 12 of the roll).
inline double KeyCentreY(const PianoLayout& layout, int p) {
    return layout.offset[p % 12] + layout.octave * (p / 12) + layout.firstY;
}

// For each note (not wrapped: octave 1 lies one octave further down): a marker of radius 8
// beside its key, the root's in its own colour, named; and a dot of radius 3 on the key.
void drawPianoMarkers(gfx::Surface& surface, const Fonts& fonts, const PianoLayout& layout,
                      theory::PitchClass root, std::span<const int> notes,
                      const theory::NoteNameTable& names = theory::NoteNames);

// Mode 1: the roll (nothing when it is missing: the markers keep their places) and the
// chord's notes, walked up from the root without wrapping.
void DrawPianoChords(gfx::Surface& surface, const Fonts& fonts, const ChordView& view,
                     const gfx::Surface* roll);

// Bitmap 107's width, for placing the marks when the picture is missing.
constexpr int PIANO_ROLL_WIDTH = 45;

}  // namespace screens
