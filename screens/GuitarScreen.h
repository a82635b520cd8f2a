#pragma once
// The Guitar Chords screen: the fret board with every chord note, the selected shape as a
// chord box, or the chord described in words.

#include <optional>

#include "screens/ChordView.h"

namespace screens {

// Pixel rows of the capo bar relative to 18 x its fret: it fills the fret's space just
// behind the wire, clear of the wires on both sides.
constexpr int CAPO_TOP = 11;
constexpr int CAPO_BOTTOM = 21;

// Right side, strings running down; mode 0 only. Frets count from the nut; with a capo the
// shape's window moves up to it and the bar is drawn across the strings.
void DrawFretBoard(gfx::Surface& surface, const Fonts& fonts, const ChordView& view);
// The selected shape as a chord box: lower left in modes 0 to 2, upper right in mode 3.
void DrawChordDiagram(gfx::Surface& surface, const Fonts& fonts, const ChordView& view);
// The texts of the three boxes after More, in marked-up form: "C Major Chord", "C, E, G"
// and the steps between the notes, "4-3".
struct ChordInfo {
    std::string description, notes, halfSteps;
};
ChordInfo DescribeChord(const ChordView& view);
// "Description", "Chord Notes" and "Half-Steps" in three titled boxes.
void DrawChordInfo(gfx::Surface& surface, const Fonts& fonts, const ChordView& view);
// A white rounded box with its title in white on a black bar and `rows` rows of text.
void DrawTitledBox(gfx::Surface& surface, const Fonts& fonts, int x, int y, int width,
                   std::string_view title, std::string_view text, int rows = 2);

struct FretTap {
    int string;  // 0..5
    int fret;    // 0 is the open string above the nut
    int column;  // where it is drawn
};
// The string and fret under a tap on the Guitar Chords fret board, if any. Taps follow the
// drawing: with the left hand the columns are mirrored, so a tap plays the string it hits.
// A tap on or behind the capo (the open row included) is the capo's fret.
std::optional<FretTap> GuitarFretTap(const ChordView& view, int x, int y);
// The dot drawn at once under a tap on a chord note (the caller presents it).
void DrawGuitarTapDot(gfx::Surface& surface, const Fonts& fonts, const ChordView& view,
                      const FretTap& tap);

}  // namespace screens
