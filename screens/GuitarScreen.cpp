#include "screens/GuitarScreen.h"

#include <algorithm>
#include <string>

#include "gfx/Blit.h"
#include "gfx/Draw.h"
#include "gfx/Vector.h"
#include "theory/TheoryTables.h"

namespace screens {

namespace {

constexpr int FRET_GAP = 18;
constexpr int BOARD_BOTTOM = 277;

// A capo clamps all six strings just behind fret `capo`'s wire: a black pad between a light
// and a dark edge, across the whole board.
void DrawCapo(gfx::Surface& s, int capo) {
    int top = FRET_GAP * capo + CAPO_TOP, bottom = FRET_GAP * capo + CAPO_BOTTOM;
    gfx::fillRect(s, BOARD_LEFT, top, BOARD_RIGHT, bottom, BLACK);
    gfx::hLine(s, BOARD_LEFT, top, BOARD_RIGHT - BOARD_LEFT + 1, WIRE_LIGHT);
    gfx::hLine(s, BOARD_LEFT, bottom, BOARD_RIGHT - BOARD_LEFT + 1, WIRE_DARK);
}

// A fret wire: dark, light, dark.
void Wire(gfx::Surface& s, int x, int y, int length) {
    gfx::hLine(s, x, y, length, WIRE_DARK);
    gfx::hLine(s, x, y + 1, length, WIRE_LIGHT);
    gfx::hLine(s, x, y + 2, length, WIRE_DARK);
}

void Cross(gfx::Surface& s, int x, int top) {
    gfx::line(s, x - 4, top, x + 4, top + 8, BLACK);
    gfx::line(s, x + 4, top, x - 4, top + 8, BLACK);
}

std::string TwoDigits(int n) {
    std::string text = std::to_string(n);
    if (text.size() < 2) text.insert(text.begin(), '0');
    return text;
}

template <typename T>
std::string Join(const T& items, std::string_view separator) {
    std::string out;
    for (const auto& item : items) {
        if (!out.empty()) out += separator;
        out += item;
    }
    return out;
}

}  // namespace

void DrawFretBoard(gfx::Surface& s, const Fonts& fonts, const ChordView& view) {
    const int capo = view.tuning.capo;
    gfx::fillRect(s, BOARD_LEFT, 20, BOARD_RIGHT, 277, BOARD);
    if (view.selected) {
        // The shape's frets count from the capo; the board counts from the nut.
        int label = view.selected->labelFret + capo;
        int top = FRET_GAP * label + 25, bottom = std::min(FRET_GAP * label + 97, BOARD_BOTTOM);
        if (top <= bottom) gfx::fillRect(s, BOARD_LEFT, top, BOARD_RIGHT, bottom, BOARD_WINDOW);
    }
    // The nut.
    gfx::hLine(s, 136, 21, 88, WHITE);
    gfx::gradientRect(s, 136, 22, 89, 3, WIRE_DARK, WIRE_LIGHT, false);
    gfx::hLine(s, 136, 25, 88, WIRE_DARK);
    for (int n = 0; n <= 13; ++n) {
        int y = 44 + FRET_GAP * n;
        gfx::hLine(s, BOARD_LEFT, y - 2, 90, WIRE_DARK);
        gfx::hLine(s, BOARD_LEFT, y - 1, 90, WIRE_LIGHT);
        gfx::hLine(s, BOARD_LEFT, y, 90, WIRE_DARK);
    }
    gfx::Rect clip = gfx::fullRect(s);
    for (int fret : {1, 3, 5, 7, 9, 12}) {
        int y = FRET_GAP * fret + 16;
        if (fonts.medium) drawCentred(*fonts.medium, s, 233, y, std::to_string(fret), BLACK);
        if (fret == 12) {
            gfx::circle(s, 165, y, 4, INLAY, true, clip);
            gfx::circle(s, 195, y, 4, INLAY, true, clip);
        } else if (fret != 1 && fret != 9) {
            gfx::circle(s, 180, y, 4, INLAY, true, clip);
        }
    }
    theory::ChordNotes notes = view.Notes();
    // Names and open-string marks tell what a string sounds open: behind the capo, if any.
    const theory::StringTuning open = view.tuning.Capoed();
    const theory::NoteNameTable& names = view.Names();
    for (int c = 0; c < 6; ++c) {
        int x = STRING_X0 + STRING_GAP * c;
        int string = view.StringInColumn(c);
        gfx::vLine(s, x, 19, 258, WHITE);
        if (fonts.medium) drawCentred(*fonts.medium, s, x, 287, names[open[string]], BLACK);
        if (notes.Contains(open[string])) {
            gfx::circle(s, x, 12, 4, BLACK, false, clip);
        } else {
            Cross(s, x, 8);
        }
    }
    if (capo > 0) DrawCapo(s, capo);
    gfx::attachSurface(s);
    // Frets up to the capo cannot sound.
    for (theory::PitchClass note : notes.View()) {
        for (int c = 0; c < 6; ++c) {
            int string = view.StringInColumn(c);
            for (int fret = capo + 1; fret <= 14; ++fret) {
                if (theory::NoteAt(view.tuning.strings, string, fret) != note) continue;
                gfx::drawEllipse(142.5 + STRING_GAP * c, 16 + FRET_GAP * fret, 4, 4, 0.0, 16,
                                 note == view.root ? ROOT_DOT : NOTE_DOT);
            }
        }
    }
}

void DrawChordDiagram(gfx::Surface& s, const Fonts& fonts, const ChordView& view) {
    bool sequencer = view.mode == 3;
    const int x0 = sequencer ? 130 : 6, y0 = sequencer ? 20 : 165, d = sequencer ? 15 : 18;
    gfx::fillRect(s, x0, y0, x0 + 6 * d, y0 + 112, BOARD);
    for (int k = 0; k <= 4; ++k)
        Wire(s, x0, y0 - 1 + 28 * k, 6 * d);
    auto columnX = [&](int c) { return x0 + d / 2 + c * d; };
    // The box shows the shape as found: its frets and open strings count from the capo.
    const theory::StringTuning open = view.tuning.Capoed();
    const theory::NoteNameTable& names = view.Names();
    for (int c = 0; c < 6; ++c) {
        gfx::vLine(s, columnX(c), y0, 112, WHITE);
        int string = view.StringInColumn(c);
        if (fonts.medium)
            drawCentred(*fonts.medium, s, columnX(c), y0 + 122, names[open[string]], BLACK);
    }
    if (!view.selected) {
        // An empty box alone would look like a drawing that failed.
        gfx::fillRect(s, x0, y0 + 38, x0 + 6 * d, y0 + 74, BOARD);
        if (fonts.medium) {
            drawCentred(*fonts.medium, s, x0 + 3 * d, y0 + 48, "no playable", WHITE);
            drawCentred(*fonts.medium, s, x0 + 3 * d, y0 + 64, "shape", WHITE);
        }
        return;
    }
    const theory::Voicing& v = *view.selected;
    if (fonts.medium)
        gfx::drawText(*fonts.medium, s, x0 + 6 * d + 10, y0 + 14, TwoDigits(v.labelFret + 1),
                      BLACK);
    const theory::Barres barres = theory::FindBarres(v);
    for (const theory::Barre& barre : barres.View()) {
        int x1 = columnX(view.ColumnOfString(barre.from)),
            x2 = columnX(view.ColumnOfString(barre.to));
        int y = y0 + 28 * barre.row - 14;
        gfx::fillRect(s, std::min(x1, x2), y - 8, std::max(x1, x2), y + 7, WIRE_DARK);
    }
    gfx::attachSurface(s);
    gfx::Rect clip = gfx::fullRect(s);
    for (int string = 0; string < 6; ++string) {
        int fret = v.frets[string], x = columnX(view.ColumnOfString(string));
        if (fret > 0) {
            theory::PitchClass note = theory::NoteAt(open, string, fret);
            drawNoteDot(s, fonts, x, y0 + 28 * (fret - v.labelFret) - 14, 9, note,
                        note == view.root, names);
        } else if (fret == 0) {
            gfx::circle(s, x, y0 - 8, 4, BLACK, false, clip);
        } else {
            Cross(s, x, y0 - 12);
        }
    }
}

void DrawTitledBox(gfx::Surface& s, const Fonts& fonts, int x, int y, int width,
                   std::string_view title, std::string_view text, int rows) {
    if (!fonts.medium) return;
    const int bar = fonts.medium->height, height = bar + rows * fonts.medium->height;
    gfx::attachSurface(s);
    double left = x + 0.5, top = y + 0.5, right = x + width + 0.5, bottom = y + height + 0.5;
    gfx::drawRoundedRect(left, top, right, bottom, 5, 0.0, 0xFFFFFFFF);
    gfx::drawRoundedRectRadii(left, top, right, top + bar, 5, 5, 0, 0, 0.0, 0xFF000000);
    gfx::drawRoundedRect(left, top, right, bottom, 5, 1.0, 0xFF000000);
    gfx::drawText(*fonts.medium, s, x + (width - gfx::textWidth(*fonts.medium, title)) / 2, y + 1,
                  title, WHITE);
    gfx::Rect body{x + 4, y + bar + 1, x + width - 3, y + height + 1};
    gfx::drawTextInRect(*fonts.medium, &s, text, body, BLACK);
}

ChordInfo DescribeChord(const ChordView& view) {
    const theory::ChordDef& chord = theory::ChordTypes[view.chordType];
    const theory::NoteNameTable& names = view.Names();
    ChordInfo info;
    info.description = std::string(names[view.root]) + " " + std::string(chord.longName);
    theory::ChordNotes notes = view.Notes();
    std::vector<std::string> noteNames, steps;
    for (theory::PitchClass n : notes.View())
        noteNames.emplace_back(names[n]);
    for (int i = 1; i < notes.count; ++i)
        steps.push_back(std::to_string(theory::WrapPitch(notes.notes[i] - notes.notes[i - 1])));
    info.notes = Join(noteNames, ", ");
    info.halfSteps = Join(steps, "-");
    return info;
}

void DrawChordInfo(gfx::Surface& s, const Fonts& fonts, const ChordView& view) {
    bool sequencer = view.mode == 3;
    const int x = sequencer ? 125 : 5, y = sequencer ? 10 : 155, width = sequencer ? 105 : 120;
    const ChordInfo info = DescribeChord(view);
    DrawTitledBox(s, fonts, x, y, width, "Description", info.description);
    DrawTitledBox(s, fonts, x, y + 46, width, "Chord Notes", info.notes);
    DrawTitledBox(s, fonts, x, y + 92, width, "Half-Steps", info.halfSteps);
}

std::optional<FretTap> GuitarFretTap(const ChordView& view, int x, int y) {
    if (x < BOARD_LEFT || x > BOARD_RIGHT || y < 7 || y > 277) return std::nullopt;
    int column = (x - BOARD_LEFT) / STRING_GAP;
    if (column > 5) return std::nullopt;
    // Behind the capo a string still sounds at the capo, however it is pressed.
    int fret = std::max((y - 7) / FRET_GAP, view.tuning.capo);
    return FretTap{view.StringInColumn(column), fret, column};
}

void DrawGuitarTapDot(gfx::Surface& s, const Fonts& fonts, const ChordView& view,
                      const FretTap& tap) {
    theory::PitchClass note = theory::NoteAt(view.tuning.strings, tap.string, tap.fret);
    gfx::attachSurface(s);
    drawNoteDot(s, fonts, 142.5 + STRING_GAP * tap.column, FRET_GAP * tap.fret + 16.5, 10, note,
                note == view.root, view.Names());
}

}  // namespace screens
