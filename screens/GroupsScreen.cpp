#include "screens/GroupsScreen.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>
#include <vector>

#include "gfx/Draw.h"
#include "gfx/Vector.h"
#include "screens/GuitarScreen.h"
#include "theory/ChordSearch.h"
#include "theory/KeyGroup.h"

namespace screens {

namespace {

constexpr double CX = 120, CY = 140, RADIUS = 75;
constexpr double MAJOR_RADIUS = 90, MINOR_RADIUS = 63, LABEL_CIRCLE = 9;
constexpr std::uint32_t WHITE_FILL = 0xFFFFFFFF;
constexpr std::uint32_t SPOKE = 0x80000000;
constexpr int ARC_STEPS = 16;

// Clockwise from the positive x axis, as the screen's y grows downward.
double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

// Position k spans 30 degrees centred on -90 + 30k: position 0 at the top.
double SectorStart(int k) {
    return -105.0 + 30.0 * k;
}

void FillSector(int k, std::uint32_t colour) {
    std::vector<gfx::PointD> points;
    points.push_back({CX + 0.5, CY + 0.5});
    for (int j = 0; j <= ARC_STEPS; ++j) {
        double a = Radians(SectorStart(k) + 30.0 * j / ARC_STEPS);
        points.push_back({CX + RADIUS * std::cos(a) + 0.5, CY + RADIUS * std::sin(a) + 0.5});
    }
    points.push_back({CX + 0.5, CY + 0.5});
    gfx::fillPolygon(points, colour);
}

// The names a key's own chords are written with.
const theory::NoteNameTable& KeySignatureNames(theory::PitchClass key, theory::Spelling spelling) {
    return theory::SpelledNames(spelling, {key, false});
}

void DrawLabels(gfx::Surface& s, const Fonts& fonts, int position, const CircleLabels& labels) {
    for (int k = 0; k < theory::CIRCLE_SIZE; ++k) {
        double a = Radians(-90.0 + 30.0 * k);
        double mx = CX + MAJOR_RADIUS * std::cos(a), my = CY + MAJOR_RADIUS * std::sin(a);
        bool key = k == position;
        if (key || k == theory::CircleStep(position, -1) || k == theory::CircleStep(position, 1)) {
            gfx::drawEllipse(mx, my, LABEL_CIRCLE, LABEL_CIRCLE, 0.0, 16,
                             key ? ROOT_DOT : NOTE_DOT);
            gfx::drawEllipse(mx, my, LABEL_CIRCLE, LABEL_CIRCLE, 1.0, 16, OUTLINE);
        }
        if (!fonts.medium) continue;
        drawCentred(*fonts.medium, s, static_cast<int>(std::lround(mx)),
                    static_cast<int>(std::lround(my)), labels.majors[k], BLACK);
        drawCentred(*fonts.medium, s,
                    static_cast<int>(std::lround(CX + MINOR_RADIUS * std::cos(a))),
                    static_cast<int>(std::lround(CY + MINOR_RADIUS * std::sin(a))),
                    labels.minors[k], BLACK);
    }
}

void DrawChordsBox(gfx::Surface& s, const Fonts& fonts, theory::PitchClass key,
                   theory::Spelling spelling) {
    DrawTitledBox(s, fonts, 10, 245, 220, KeyChordsTitle(key, spelling), "Standard\rOptional");
    if (!fonts.medium) return;
    const int h = fonts.medium->height;
    gfx::vLine(s, 70, 245, 3 * h, BLACK);
    // On the lines of "Standard" and "Optional".
    gfx::drawTextInRect(*fonts.medium, &s, KeyChordsText(key, spelling),
                        gfx::Rect{75, 245 + h + 1, 225, 245 + 3 * h + 1}, BLACK);
}

}  // namespace

theory::Sequence AuditionSequence(theory::PitchClass key) {
    theory::Sequence sequence;
    if (!theory::IsPitchClass(key)) return sequence;
    theory::KeyGroup group = theory::MakeKeyGroup(key);
    theory::VoicingList shapes;
    for (std::int32_t code : group) {
        theory::SequenceStep& step = sequence.steps[sequence.count++];
        step.root = static_cast<std::uint8_t>(code & (theory::MINOR_CODE - 1));
        step.chordType = (code & theory::MINOR_CODE) ? theory::CHORD_MINOR : theory::CHORD_MAJOR;
        step.length = 4;
        // The shape the step will play, so that a saved audition describes what it sounds.
        theory::FindVoicings(step.root, step.chordType, false, shapes);
        step.frets.fill(theory::NOT_PLAYED);
        if (shapes.count > 0)
            std::copy(shapes.items[0].frets.begin(), shapes.items[0].frets.end(),
                      step.frets.begin());
    }
    return sequence;
}

CircleLabels KeyCircleLabels(theory::Spelling spelling) {
    CircleLabels labels;
    for (int k = 0; k < theory::CIRCLE_SIZE; ++k) {
        theory::PitchClass major = theory::CircleMajorPitches[k];
        theory::PitchClass minor = theory::CircleMinorPitches[k];
        labels.majors[k] = theory::SpelledNames(spelling, {major, false})[major];
        labels.minors[k] = std::string(theory::SpelledNames(spelling, {minor, true})[minor]) + "m";
    }
    return labels;
}

std::string KeyChordsTitle(theory::PitchClass key, theory::Spelling spelling) {
    const theory::PitchClass major =
        theory::CircleMajorPitches[std::max(theory::CirclePosition(key), 0)];
    const theory::PitchClass minor = theory::WrapPitch(major + 9);
    return "Chords (key of " + std::string(KeySignatureNames(major, spelling)[major]) + " and " +
           std::string(theory::SpelledNames(spelling, {minor, true})[minor]) + "m)";
}

std::string KeyChordsText(theory::PitchClass key, theory::Spelling spelling) {
    if (!theory::IsPitchClass(key)) return {};
    auto names = theory::KeyGroupNames(key, spelling);
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty()) text += ", ";
        text += name;
    }
    // The leading note, a half step below the key, and V.
    return text + "\r" + std::string(KeySignatureNames(key, spelling)[theory::WrapPitch(key - 1)]) +
           "dim, " + names[4] + "7";
}

void DrawKeyCircle(gfx::Surface& s, const Fonts& fonts, theory::PitchClass key,
                   theory::Spelling spelling) {
    const int position = std::max(theory::CirclePosition(key), 0);
    gfx::attachSurface(s);
    gfx::drawEllipse(CX, CY, RADIUS, RADIUS, 0.0, 36, WHITE_FILL);
    FillSector(position, KEY_SECTOR);
    FillSector(theory::CircleStep(position, -1), NEIGHBOUR_SECTOR);
    FillSector(theory::CircleStep(position, 1), NEIGHBOUR_SECTOR);
    gfx::drawEllipse(CX + 0.5, CY, RADIUS, RADIUS, 1.0, 36, OUTLINE);
    for (int k = 0; k < theory::CIRCLE_SIZE; ++k) {
        double a = Radians(SectorStart(k));
        gfx::drawLine(CX + 0.5, CY + 0.5, CX + RADIUS * std::cos(a), CY + RADIUS * std::sin(a), 0.5,
                      0.0, SPOKE);
    }
    DrawLabels(s, fonts, position, KeyCircleLabels(spelling));
    DrawChordsBox(s, fonts, key, spelling);
}

void DrawKeyTable(gfx::Surface& s, const Fonts& fonts, theory::PitchClass key,
                  theory::Spelling spelling) {
    if (!fonts.medium) return;
    const gfx::Font& font = *fonts.medium;
    const int h = font.height, top = 50;
    constexpr int COLUMN_X[] = {70, 100, 130, 160, 190, 220};  // I to VI
    DrawTitledBox(s, fonts, 5, top, 230, "", "", 12);
    // The selected row, then a line under every row, inside the box's outline.
    if (theory::IsPitchClass(key)) {
        // The last row keeps the box's rounded corners; its outline is drawn again below.
        int rowTop = top + h * (key + 1);
        bool last = key == theory::PITCH_CLASS_COUNT - 1;
        double corner = last ? 5 : 0, bottom = last ? top + 13 * h + 0.5 : rowTop + h;
        gfx::attachSurface(s);
        gfx::drawRoundedRectRadii(5.5, rowTop + 1, 235.5, bottom, 0, 0, corner, corner, 0.0,
                                  SELECTED_ROW_FILL);
    }
    for (int r = 0; r < 11; ++r)
        gfx::hLine(s, 6, top + h * (r + 2), 228, BLACK);
    drawCentred(font, s, 30, top + h / 2, "Key", WHITE);
    for (int c = 0; c < theory::KEY_GROUP_SIZE; ++c) {
        drawCentred(font, s, COLUMN_X[c], top + h / 2, theory::RomanNumerals[c], WHITE);
        gfx::vLine(s, COLUMN_X[c] - 15, top, 13 * h, BLACK);
    }
    std::string keys;
    for (theory::PitchClass r = 0; r < theory::PITCH_CLASS_COUNT; ++r)
        keys += (keys.empty() ? "" : "\r") + theory::KeyListName(r, spelling);
    gfx::drawTextInRect(font, &s, keys, gfx::Rect{9, top + h, 54, top + 13 * h + 1}, BLACK);
    for (theory::PitchClass r = 0; r < theory::PITCH_CLASS_COUNT; ++r) {
        auto names = theory::KeyGroupNames(r, spelling);
        for (int c = 0; c < theory::KEY_GROUP_SIZE; ++c)
            drawCentred(font, s, COLUMN_X[c], top + h / 2 + h * (r + 1), names[c], BLACK);
    }
    // The box's bottom edge is the last row's line.
    gfx::attachSurface(s);
    gfx::drawRoundedRect(5.5, top + 0.5, 235.5, top + 13 * h + 0.5, 5, 1.0, OUTLINE);
    DrawTitledBox(s, fonts, 5, 13 * h + 60, 230, "Notes",
                  "Group V are often played as 7th chords.\rSometimes II is played as a major.");
}

void DrawNowPlaying(gfx::Surface& s, const Fonts& fonts, theory::PitchClass root, int chordType,
                    const theory::NoteNameTable& names) {
    gfx::attachSurface(s);
    gfx::drawRoundedRect(180.5, 5.5, 230.5, 35.5, 5, 0.0, WHITE_FILL);
    gfx::drawRoundedRect(180.5, 5.5, 230.5, 35.5, 5, 1.0, OUTLINE);
    if (!fonts.large || !fonts.medium) return;
    if (theory::IsPitchClass(root))
        drawCentred(*fonts.large, s, 205, fonts.large->height / 2 + 5, names[root], BLACK);
    if (chordType >= 0 && chordType < theory::CHORD_TYPE_COUNT)
        drawCentred(*fonts.medium, s, 205, fonts.large->height + 10,
                    theory::ChordTypes[chordType].shortName, BLACK);
}

void DrawChordGroups(gfx::Surface& s, const Fonts& fonts, const GroupsView& view) {
    if (view.table) {
        DrawKeyTable(s, fonts, view.key, view.spelling);
    } else {
        DrawKeyCircle(s, fonts, view.key, view.spelling);
    }
    if (view.playing)
        DrawNowPlaying(s, fonts, view.root, view.chordType,
                       KeySignatureNames(view.key, view.spelling));
}

}  // namespace screens
