#include "screens/ScalesScreen.h"

#include "gfx/Blit.h"
#include "gfx/Draw.h"
#include "gfx/Vector.h"
#include "screens/PianoScreen.h"
#include "theory/TheoryTables.h"

namespace screens {

namespace {

constexpr int FRET_GAP = 19;
constexpr int TAP_TOP = 49;  // the open strings' row starts above the nut
constexpr int LAST_FRET = 11;

double FretY(int fret) {
    return 59 + FRET_GAP * fret;
}

void DrawNutAndWires(gfx::Surface& s) {
    gfx::hLine(s, 136, 64, 88, WHITE);
    gfx::gradientRect(s, 136, 65, 89, 3, WIRE_DARK, WIRE_LIGHT, false);
    gfx::hLine(s, 136, 68, 88, WIRE_DARK);
    for (int k = 0; k <= 10; ++k)
        gfx::hLine(s, BOARD_LEFT, 87 + FRET_GAP * k, 90, WIRE_LIGHT);
}

// Each string with its name below and, above the nut, a ring when its open note is in the
// scale or a cross when it is not.
void DrawStrings(gfx::Surface& s, const Fonts& fonts, const ScaleView& view,
                 const theory::ScaleNotes& notes) {
    const gfx::Rect clip = gfx::fullRect(s);
    const theory::NoteNameTable names = view.Names();
    for (int c = 0; c < 6; ++c) {
        const int x = STRING_X0 + STRING_GAP * c;
        const theory::PitchClass open = view.chord.tuning.strings[view.chord.StringInColumn(c)];
        gfx::vLine(s, x, 62, 215, WHITE);
        if (fonts.medium) drawCentred(*fonts.medium, s, x, 287, names[open], BLACK);
        if (notes.Contains(open)) {
            gfx::circle(s, x, 55, 4, BLACK, false, clip);
        } else {
            gfx::line(s, x - 4, 51, x + 4, 59, BLACK);
            gfx::line(s, x + 4, 51, x - 4, 59, BLACK);
        }
    }
}

}  // namespace

void DrawScaleFretBoard(gfx::Surface& s, const Fonts& fonts, const ScaleView& view) {
    gfx::fillRect(s, BOARD_LEFT, 63, BOARD_RIGHT, 277, BOARD);
    DrawNutAndWires(s);
    if (fonts.medium) {
        for (int fret : {1, 3, 5, 7, 9})
            drawCentred(*fonts.medium, s, 233, FRET_GAP * fret + 58, std::to_string(fret), BLACK);
    }
    const theory::ScaleNotes notes = view.Notes();
    DrawStrings(s, fonts, view, notes);
    gfx::attachSurface(s);
    for (int c = 0; c < 6; ++c) {
        const int string = view.chord.StringInColumn(c);
        for (int fret = 1; fret <= LAST_FRET; ++fret) {
            const theory::PitchClass note = theory::NoteAt(view.chord.tuning.strings, string, fret);
            if (!notes.Contains(note)) continue;
            gfx::drawEllipse(142.5 + STRING_GAP * c, FretY(fret), 4, 4, 0.0, 16,
                             note == view.chord.root ? ROOT_DOT : NOTE_DOT);
        }
    }
}

void DrawScalePiano(gfx::Surface& s, const Fonts& fonts, const ScaleView& view,
                    const gfx::Surface* roll, const gfx::Surface* largeRoll) {
    const int rollWidth = roll ? roll->Width() : PIANO_ROLL_WIDTH;
    if (largeRoll)
        gfx::blitRotated(s, largeRoll->Height() + 202 - rollWidth, 55, *largeRoll, 0, 0, 90.0, 1.0,
                         gfx::COLOUR_KEY, 0);
    if (view.scaleType < 0 || view.scaleType >= theory::SCALE_TYPE_COUNT) return;
    const theory::ScaleDef& scale = theory::ScaleTypes[view.scaleType];
    // The root leads, then the whole scale from offset 0, the root again, up without wrapping.
    std::array<int, theory::MAX_SCALE_NOTES + 1> notes{};
    notes[0] = view.chord.root;
    for (int k = 0; k < scale.count; ++k)
        notes[k + 1] = view.chord.root + scale.offsets[k];
    drawPianoMarkers(s, fonts, ScalePianoLayout(rollWidth), view.chord.root,
                     std::span<const int>(notes.data(), scale.count + 1), view.Names());
}

ScaleInfo DescribeScale(const ScaleView& view) {
    ScaleInfo info;
    if (view.scaleType < 0 || view.scaleType >= theory::SCALE_TYPE_COUNT) return info;
    const theory::ScaleDef& scale = theory::ScaleTypes[view.scaleType];
    const theory::NoteNameTable names = view.Names();
    info.description =
        std::string(names[view.chord.root]) + " " + std::string(scale.name) + " Scale";
    const theory::ScaleNotes notes = view.Notes();
    for (int k = 0; k < notes.count; ++k) {
        if (k > 0) {
            info.notes += ", ";
            info.halfSteps +=
                std::to_string(theory::WrapPitch(notes.notes[k] - notes.notes[k - 1]));
            info.halfSteps += '-';
        }
        info.notes += names[notes.notes[k]];
    }
    // Closed by the step back up to the root, so that the steps add up to the octave.
    info.halfSteps += std::to_string(12 - scale.offsets[scale.count - 1]);
    return info;
}

void DrawScaleInfo(gfx::Surface& s, const Fonts& fonts, const ScaleView& view) {
    const ScaleInfo info = DescribeScale(view);
    DrawTitledBox(s, fonts, 5, 155, 120, "Description", info.description);
    DrawTitledBox(s, fonts, 5, 201, 120, "Scale Notes", info.notes);
    DrawTitledBox(s, fonts, 5, 247, 120, "Half-Steps", info.halfSteps);
}

std::optional<FretTap> ScaleFretTap(const ScaleView& view, int x, int y) {
    if (x < BOARD_LEFT || x > BOARD_RIGHT || y < TAP_TOP || y > 277) return std::nullopt;
    const int column = (x - BOARD_LEFT) / STRING_GAP;
    if (column > 5) return std::nullopt;
    return FretTap{view.chord.StringInColumn(column), (y - TAP_TOP) / FRET_GAP, column};
}

void DrawScaleTapDot(gfx::Surface& s, const Fonts& fonts, const ScaleView& view,
                     const FretTap& tap) {
    const theory::PitchClass note = theory::NoteAt(view.chord.tuning.strings, tap.string, tap.fret);
    gfx::attachSurface(s);
    drawNoteDot(s, fonts, 142.5 + STRING_GAP * tap.column, FRET_GAP * tap.fret + 59.5, 10, note,
                note == view.chord.root, view.Names());
}

}  // namespace screens
