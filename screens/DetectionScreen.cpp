#include "screens/DetectionScreen.h"

#include <cmath>
#include <string_view>

#include "gfx/Blit.h"
#include "gfx/Draw.h"
#include "gfx/Font.h"
#include "gfx/Vector.h"
#include "theory/TheoryTables.h"

namespace screens {

namespace {

constexpr int SCREEN_WIDTH = 240;
constexpr std::uint16_t RED = 0xF800;
constexpr std::uint16_t METER_LIT = 0x6304;
constexpr std::uint16_t METER_DARK = 0xC614;
constexpr std::uint16_t TRIGGER_MARK = 0x840C;
constexpr std::uint16_t OFF_TUNE = 0x07E0;
constexpr std::uint16_t TUNE_SQUARE = 0x8410;
// Shown where the background picture is missing, as on the other screens.
constexpr std::uint16_t NO_BACKGROUND = 0xDEFB;

constexpr int METER_SEGMENTS = 24;
constexpr int METER_BOTTOM = 155;
constexpr int NAMES_Y = 165;
constexpr int SPECTRUM_BASE = 250;
constexpr int PIANO_TOP = 205;
constexpr int BAND = 25;  // rows of each marker band above and below the piano roll
constexpr int PIANO_OCTAVE = 112;
// Where each pitch class's key centre lies from the left of the roll's octave.
constexpr std::array<int, 12> PIANO_OFFSET{0, 8, 16, 24, 32, 48, 56, 64, 72, 80, 88, 96};

void Panel(double left, double top, double right, double bottom) {
    gfx::drawRoundedRect(left, top, right, bottom, 5, 0.0, 0xFFFFFFFF);
    gfx::drawRoundedRect(left, top, right, bottom, 5, 1.0, OUTLINE);
}

// A level as the whole number of dB it reads, 0 for anything not positive (NaN included).
int WholeLevel(double level) {
    if (!(level > 0)) return 0;
    return static_cast<int>(std::trunc(std::fmin(level, 1000.0)));
}

int CeilQuarter(int v) {
    return static_cast<int>(std::ceil(v / 4.0));
}

bool Marked(const detect::DetectionResult& r, int p) {
    return r.highlight[0] == p || r.highlight[1] == p || r.highlight[2] == p;
}

bool IsBlackKey(int pitchClass) {
    return pitchClass == 1 || pitchClass == 3 || pitchClass == 6 || pitchClass == 8 ||
           pitchClass == 10;
}

void Meter(gfx::Surface& s, int x, int level, int trigger, bool marked) {
    const int lit = CeilQuarter(level), mark = CeilQuarter(trigger) - 1;
    for (int seg = 0; seg < METER_SEGMENTS; ++seg) {
        std::uint16_t colour = seg < lit     ? (marked ? RED : METER_LIT)
                               : seg == mark ? TRIGGER_MARK
                                             : METER_DARK;
        gfx::fillRect(s, x - 5, METER_BOTTOM - 2 - 4 * seg, x + 6, METER_BOTTOM - 4 * seg, colour);
    }
}

void DrawMeters(gfx::Surface& s, const DetectionView& view) {
    const detect::DetectionResult& r = view.result;
    // The names are drawn again on every drawing: their anti-aliased edges would darken
    // with each pass and keep a red fringe when a name turns black, so they start from white.
    gfx::fillRect(s, 12, NAMES_Y - 7, 190, NAMES_Y + 7, WHITE);
    const theory::NoteNameTable& names = view.Names();
    for (int p = 0; p < 12; ++p) {
        const int x = 22 + 14 * p;
        const bool marked = Marked(r, p);
        Meter(s, x, WholeLevel(r.pitchClassLevel[p]), view.triggerLevel, marked);
        if (view.fonts.medium)
            drawCentred(*view.fonts.medium, s, x, NAMES_Y, names[p], marked ? RED : BLACK);
    }
}

void DrawCentredTitle(gfx::Surface& s, const gfx::Font& font, int y, std::string_view text,
                      std::uint16_t colour) {
    gfx::drawText(font, s, (SCREEN_WIDTH - gfx::textWidth(font, text)) / 2, y, text, colour);
}

void RestoreRows(gfx::Surface& s, const DetectionView& view, int top, int rows) {
    if (view.background) {
        gfx::copyRect(s, 0, top, view.background->Width(), rows, *view.background, 0, top);
    } else {
        gfx::fillRect(s, 0, top, s.Width() - 1, top + rows - 1, NO_BACKGROUND);
    }
}

// The whole panel every time: the tallest columns reach above the plot, over the title and
// the panel's edge, and would stay there if only the plot were cleared.
void DrawSpectrum(gfx::Surface& s, const DetectionView& view) {
    RestoreRows(s, view, 176, 266 - 176);
    Panel(10.5, 180.5, 230.5, 265.5);
    if (const gfx::Font* f = view.fonts.medium) {
        DrawCentredTitle(s, *f, 180, "Frequency Spectrum", BLACK);
        DrawCentredTitle(s, *f, SPECTRUM_BASE,
                         "0           1K           2K           3K           4K", RED);
    }
    // 190 columns over the first 97 % of the bins: the plot ends near 3880 Hz.
    const double step = SPECTRUM_BINS * 0.005;
    double position = 5 * step;
    for (int c = 5; c <= 194; ++c, position += step) {
        int bin = static_cast<int>(position);
        int h = WholeLevel(detect::BinLevel(view.spectrum[bin]) * 0.75);
        if (h > 72) h = 72;
        gfx::vLine(s, c + 20, SPECTRUM_BASE - h, h, BLACK);
    }
}

// Before anything is detected the record holds C Major only as its starting value.
bool ShowsChord(const detect::DetectionResult& r) {
    return r.detected && r.root >= 0 && r.root <= 11 && r.chordType >= 0 &&
           r.chordType < theory::CHORD_TYPE_COUNT;
}

void PianoMarker(gfx::Surface& s, const DetectionView& view, int left, int rollHeight, int p) {
    const int c = p % 12, o = p / 12;
    const int x = left + 8 + PIANO_OFFSET[c] + PIANO_OCTAVE * o;
    const bool black = IsBlackKey(c);
    const int y = black ? 193 : rollHeight + 217;
    const std::uint32_t fill = c == view.result.root ? ROOT_DOT : NOTE_DOT;
    gfx::drawEllipse(x, y, 8, 8, 0.0, 16, fill);
    gfx::drawEllipse(x, y, 8, 8, 1.0, 16, OUTLINE);
    if (view.fonts.medium) drawCentred(*view.fonts.medium, s, x, y, view.Names()[c], BLACK);
    gfx::drawEllipse(x, black ? 225 : 260, 3, 3, 0.0, 16, black ? NOTE_DOT : OUTLINE);
}

void DrawPianoRoll(gfx::Surface& s, const DetectionView& view, bool withChord) {
    const gfx::Surface* roll = view.pianoRoll;
    const int w = roll ? roll->Width() : 224, h = roll ? roll->Height() : 64;
    const int left = (SCREEN_WIDTH - w) / 2;
    RestoreRows(s, view, PIANO_TOP - BAND, BAND);
    RestoreRows(s, view, PIANO_TOP + h, BAND);
    if (roll) gfx::copyRect(s, left, PIANO_TOP, w, h, *roll, 0, 0);
    if (!withChord) return;
    const detect::DetectionResult& r = view.result;
    // Not wrapped, so the chord climbs the keyboard as it is voiced; notes alone show the root.
    const theory::ChordDef& chord = theory::ChordTypes[r.chordType];
    const int notes = view.detectChords ? chord.stepCount + 1 : 1;
    int p = r.root;
    for (int k = 0; k < notes; ++k) {
        if (k > 0) p += chord.steps[k - 1];
        PianoMarker(s, view, left, h, p);
    }
}

// The roll is drawn again only when the chord on it changes: a quiet moment keeps the last
// chord in view, and a full drawing shows what is detected now, if anything.
void UpdatePianoRoll(gfx::Surface& s, const DetectionView& view, DetectionScreenMemory& memory,
                     bool full) {
    const detect::DetectionResult& r = view.result;
    const bool shows = ShowsChord(r);
    const bool changed =
        shows && (r.root != memory.pianoRoot || r.chordType != memory.pianoChordType ||
                  view.detectChords != memory.pianoChords);
    if (!full && !changed) return;
    DrawPianoRoll(s, view, shows);
    memory.pianoRoot = shows ? r.root : -1;
    memory.pianoChordType = r.chordType;
    memory.pianoChords = view.detectChords;
}

void DrawResult(gfx::Surface& s, const DetectionView& view, bool full) {
    if (full) {
        Panel(10.5, 5.5, 130.5, 50.5);
    } else {
        gfx::fillRect(s, 15, 6, 125, 49, WHITE);
    }
    auto centred = [&](const gfx::Font* font, int y, std::string_view text) {
        if (font)
            gfx::drawText(*font, s, (120 - gfx::textWidth(*font, text)) / 2 + 10, y, text, BLACK);
    };
    centred(view.fonts.medium, 6, view.detectChords ? "Detected Chord" : "Detected Note");
    centred(view.fonts.large, 20, view.result.text);
}

// Seventeen squares of five cents each; the one the note falls in is lit.
void DrawTuning(gfx::Surface& s, const detect::DetectionResult& r) {
    const int cents = r.detected ? r.cents : 255;
    const int lit = cents / 5;
    for (int k = -8; k <= 8; ++k) {
        std::uint16_t colour = k != lit ? TUNE_SQUARE : k == 0 ? RED : OFF_TUNE;
        const int x = 20 + 6 * (k + 8);
        gfx::fillRect(s, x, 41, x + 4, 45, colour);
    }
}

}  // namespace

void drawDetectionScreen(gfx::Surface& s, const DetectionView& view, DetectionScreenMemory& memory,
                         bool full) {
    gfx::attachSurface(s);
    if (view.moreView != memory.moreView) {
        memory.moreView = view.moreView;
        full = true;
    }
    if (full) {
        if (view.background) {
            gfx::copyInto(s, *view.background);
        } else {
            gfx::clear(s, NO_BACKGROUND);
        }
        Panel(10.5, 55.5, 230.5, 175.5);
    }
    DrawMeters(s, view);
    if (!view.moreView) {
        DrawSpectrum(s, view);
    } else {
        UpdatePianoRoll(s, view, memory, full);
    }
    DrawResult(s, view, full);
    if (!view.detectChords) DrawTuning(s, view.result);
}

const theory::NoteNameTable& DetectionView::Names() const {
    if (detectChords && ShowsChord(result))
        return theory::SpelledNames(spelling, theory::ChordKey(result.root, result.chordType));
    return theory::LoneNoteNames(spelling);
}

}  // namespace screens
