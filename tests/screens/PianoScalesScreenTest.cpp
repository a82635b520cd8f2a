// The Piano Chords and Scales screens drawn into a surface cleared to a sentinel and probed at
// their own coordinates, and the two piano-roll pictures checked key by key against the
// key positions written out here.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gfx/Draw.h"
#include "gfx/Font.h"
#include "platform/Resources.h"
#include "res/EmbeddedResources.h"
#include "screens/PianoScreen.h"
#include "screens/ScalesScreen.h"

namespace {

using namespace screens;

constexpr std::uint16_t SENTINEL = 0x0821;
constexpr std::uint16_t YELLOW = 0xFFE0;  // the root, 0xFF00FFFF in vector colour

// Key centres from the top of an octave, in pixels: the Piano Chords roll, then the Scales one.
constexpr double CHORD_KEYS[12] = {6.5, 13, 19.5, 26, 32.5, 45.5, 52, 58.5, 65, 71.5, 78, 84.5};
constexpr double SCALE_KEYS[12] = {8, 16, 24, 32, 40, 56, 64, 72, 80, 88, 96, 104};
constexpr bool BLACK_KEY[12] = {false, true,  false, true,  false, false,
                                true,  false, true,  false, true,  false};

int Red(std::uint16_t c) {
    return c >> 11;
}

struct Box {
    int left, top, right, bottom;
    bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

struct PianoScales : ::testing::Test {
    void SetUp() override {
        platform::SetResourceTable(res::EmbeddedResources());
        roll = gfx::loadImageResource(107, platform::RESOURCE_BITMAP);
        largeRoll = gfx::loadImageResource(121, platform::RESOURCE_BITMAP);
        ASSERT_TRUE(roll && largeRoll);
        ASSERT_EQ(roll->Width(), 45);
        ASSERT_EQ(roll->Height(), 273);
        ASSERT_EQ(largeRoll->Width(), 224);
        ASSERT_EQ(largeRoll->Height(), 64);
        gfx::clear(screen, SENTINEL);
        view.chord.mode = 2;
    }
    std::uint16_t At(double x, double y) const {
        return screen.Row(static_cast<int>(std::floor(y)))[static_cast<int>(std::floor(x))];
    }
    // A marker of radius 8: filled at its centre and inside, dark on its ring; nothing may
    // be drawn beyond its ring's box (ExpectUntouchedOutside).
    void ExpectMarker(double x, double y, std::uint16_t fill) {
        SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
        for (auto [dx, dy] :
             {std::pair{0.0, 0.0}, {-6.0, 0.0}, {5.5, 0.0}, {0.0, -6.0}, {0.0, 5.5}})
            EXPECT_EQ(At(x + dx, y + dy), fill) << dx << "," << dy;
        EXPECT_LT(Red(At(x - 8, y)), Red(fill));
        EXPECT_LT(Red(At(x, y + 8)), Red(fill));
        marked.push_back({int(std::floor(x - 9)), int(std::floor(y - 9)), int(x + 9), int(y + 9)});
    }
    std::uint16_t RollAt(int x, int y) const { return roll->Row(y - 10)[x - 165]; }
    // The large roll turned a quarter clockwise about (221, 55).
    std::uint16_t TurnedRollAt(int x, int y) const { return largeRoll->Row(221 - x)[y - 55]; }
    // A key dot of radius 3: its colour in the middle, and the pixels it changed on the roll
    // lying evenly about (x, y) both ways, so that half a pixel off shows.
    template <typename Roll>
    void ExpectKeyDot(double x, double y, std::uint16_t colour, Roll rollAt) {
        SCOPED_TRACE("dot " + std::to_string(x) + "," + std::to_string(y));
        EXPECT_EQ(At(x, y), colour);
        const int cx = static_cast<int>(x), cy = static_cast<int>(y);
        auto changed = [&](int px, int py) { return screen.Row(py)[px] != rollAt(px, py); };
        EXPECT_FALSE(changed(cx, cy - 5));
        for (int d = -4; d <= 0; ++d) {
            const int row = cy + d, column = cx + d;
            EXPECT_EQ(changed(cx, row), changed(cx, static_cast<int>(2 * y) - row - 1)) << row;
            EXPECT_EQ(changed(column, cy), changed(static_cast<int>(2 * x) - column - 1, cy))
                << column;
        }
    }
    // Nothing drawn outside the given boxes and the markers.
    void ExpectUntouchedOutside(std::vector<Box> boxes) {
        boxes.insert(boxes.end(), marked.begin(), marked.end());
        int changed = 0;
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x) {
                bool inside = false;
                for (const Box& b : boxes)
                    inside = inside || b.Contains(x, y);
                if (!inside && screen.Row(y)[x] != SENTINEL && changed++ < 5)
                    ADD_FAILURE() << "drawn at " << x << "," << y;
            }
        EXPECT_EQ(changed, 0);
    }

    gfx::SurfacePtr roll, largeRoll;
    gfx::Surface screen{240, 320};
    ScaleView view;
    std::vector<Box> marked;
};

// Probes a piano-roll picture along its keys: `across(pos, black)` is the lightness (red,
// 0..31) at `pos` along the keyboard, on the line where a black or a white key's dot goes.
template <typename Across>
void ExpectKeysFollow(const double (&keys)[12], int octave, int octaves, int length,
                      Across across) {
    for (int o = 0; o < octaves; ++o) {
        for (int c = 0; c < 12; ++c) {
            const double centre = keys[c] + octave * o;
            const int at = static_cast<int>(centre);
            SCOPED_TRACE(std::to_string(o) + ":" + std::to_string(c));
            if (BLACK_KEY[c]) {
                // The black key lies evenly about its centre, with white beyond it.
                for (int p = at - 4; p <= at + 3; ++p)
                    EXPECT_LT(across(p, true), 12) << p;
                EXPECT_GT(across(at - 7, true), 24);
                EXPECT_GT(across(at + 6, true), 24);
                continue;
            }
            EXPECT_GT(across(at, false), 24);
            // The line to the next white key lies halfway to it: two pixels, darker than
            // those beside them.
            int next = c + 1;
            while (next < 12 && BLACK_KEY[next])
                ++next;
            const int edge =
                static_cast<int>((centre + keys[next % 12] + octave * (o + next / 12)) / 2);
            if (edge >= length) continue;
            EXPECT_LT(across(edge - 1, false), across(edge - 2, false)) << edge;
            EXPECT_LT(across(edge, false), across(edge + 1, false)) << edge;
        }
    }
}

TEST_F(PianoScales, TheRollsKeysFollowTheirOffsetTables) {
    // Bitmap 107: keys run down, 91 px an octave; dots at x 10 (white) and 35 (black).
    ExpectKeysFollow(CHORD_KEYS, 91, 3, roll->Height(),
                     [&](int y, bool black) { return Red(roll->Row(y)[black ? 35 : 10]); });
    // Bitmap 121: keys run rightward, 112 px an octave; dots on rows 54 and 29.
    ExpectKeysFollow(SCALE_KEYS, 112, 2, largeRoll->Width(),
                     [&](int x, bool black) { return Red(largeRoll->Row(black ? 29 : 54)[x]); });
}

TEST_F(PianoScales, AThirteenthFromAClimbsTwoOctavesDownTheRoll) {
    view.chord.root = 9;
    view.chord.chordType = 26;  // "13": A C# E G B F#, the F# two octaves up
    ASSERT_EQ(theory::ChordTypes[26].shortName, "13");
    DrawPianoChords(screen, {}, view.chord, roll.get());
    // The roll: right edge at 210, top at 10.
    EXPECT_EQ(screen.Row(10)[165], roll->Row(0)[0]);
    EXPECT_EQ(screen.Row(282)[209], roll->Row(272)[44]);
    EXPECT_EQ(screen.Row(120)[187], roll->Row(110)[22]);
    ExpectMarker(153, 81.5, YELLOW);  // A, beside its white key
    ExpectMarker(222, 114, WHITE);    // C# an octave up, beside its black key
    ExpectMarker(153, 133.5, WHITE);
    ExpectMarker(153, 159.5, WHITE);
    ExpectMarker(153, 185.5, WHITE);
    ExpectMarker(222, 244, WHITE);  // F#: 182 px below where the root's octave has it (62)
    // Dots on the keys: black on white keys, white on black ones.
    auto rollAt = [this](int x, int y) { return RollAt(x, y); };
    for (double y : {81.5, 133.5, 159.5, 185.5})
        ExpectKeyDot(175, y, BLACK, rollAt);
    for (double y : {114.0, 244.0})
        ExpectKeyDot(200, y, WHITE, rollAt);
    ExpectUntouchedOutside({{165, 10, 209, 282}});
}

TEST_F(PianoScales, EveryRootIsMarkedOnItsKeyOfTheChordRoll) {
    for (int root = 0; root < 12; ++root) {
        SCOPED_TRACE(root);
        gfx::clear(screen, SENTINEL);
        view.chord.root = root;
        DrawPianoChords(screen, {}, view.chord, roll.get());
        const double y = 10 + CHORD_KEYS[root];
        ExpectMarker(BLACK_KEY[root] ? 222 : 153, y, YELLOW);
        ExpectKeyDot(BLACK_KEY[root] ? 200 : 175, y, BLACK_KEY[root] ? WHITE : BLACK,
                     [this](int x, int y) { return RollAt(x, y); });
    }
}

TEST_F(PianoScales, ChromaticMarksEveryKeyOfTheTurnedRoll) {
    view.scaleType = 16;
    DrawScalePiano(screen, {}, view, roll.get(), largeRoll.get());
    for (int c = 0; c < 12; ++c) {
        SCOPED_TRACE(c);
        const double y = 55 + SCALE_KEYS[c];
        EXPECT_EQ(At(BLACK_KEY[c] ? 226 : 145, y), c == 0 ? YELLOW : WHITE);
        ExpectKeyDot(BLACK_KEY[c] ? 192 : 167, y, BLACK_KEY[c] ? WHITE : BLACK,
                     [this](int x, int y) { return TurnedRollAt(x, y); });
    }
}

TEST_F(PianoScales, TheScaleBoardHasElevenFretsAndMarksEveryScaleNote) {
    DrawScaleFretBoard(screen, {}, view);  // C major, standard tuning
    EXPECT_EQ(At(135, 63), BOARD);
    EXPECT_EQ(At(225, 270), BOARD);
    EXPECT_EQ(At(136, 64), WHITE);  // the nut
    EXPECT_EQ(At(224, 64), WHITE);
    EXPECT_EQ(At(225, 64), BOARD);
    EXPECT_EQ(At(224, 66), WIRE_LIGHT);
    EXPECT_EQ(At(137, 68), WIRE_DARK);
    for (int y : {87, 258, 277}) {  // the first, tenth and last wires
        EXPECT_EQ(At(135, y), WIRE_LIGHT) << y;
        EXPECT_EQ(At(225, y), WIRE_LIGHT) << y;
        EXPECT_EQ(At(137, y - 1), BOARD) << y;
        EXPECT_EQ(At(137, y + 1), y == 277 ? SENTINEL : BOARD) << y;
    }
    for (int c = 0; c < 6; ++c) {
        const int x = 142 + 15 * c;
        EXPECT_EQ(At(x, 62), WHITE) << c;  // the string, from y 62 to 277
        EXPECT_EQ(At(x, 277), WHITE) << c;
        EXPECT_EQ(At(x + 1, 70), BOARD) << c;
        // Every open string is in C major: a ring above the nut, empty in the middle.
        for (auto [dx, dy] : {std::pair{0, -4}, {0, 4}, {-4, 0}, {4, 0}})
            EXPECT_EQ(At(x + dx, 55 + dy), BLACK) << c;
        EXPECT_EQ(At(x, 55), SENTINEL) << c;
    }
    EXPECT_EQ(At(144, 78), WHITE);  // F on the low E string, fret 1
    EXPECT_EQ(At(147, 78), BOARD);
    EXPECT_EQ(At(159, 116), YELLOW);  // C on the A string, fret 3
    EXPECT_EQ(At(159, 78), BOARD);    // A# is not in the scale
    ExpectUntouchedOutside({{135, 51, 225, 277}});
}

TEST_F(PianoScales, ChromaticFillsElevenFretsAndNoMore) {
    view.scaleType = 16;
    DrawScaleFretBoard(screen, {}, view);
    for (int c = 0; c < 6; ++c)
        for (int fret = 1; fret <= 11; ++fret)
            EXPECT_NE(At(144 + 15 * c, 59 + 19 * fret), BOARD) << c << "," << fret;
    EXPECT_EQ(At(144, 287), SENTINEL);  // no twelfth fret
    EXPECT_EQ(DescribeScale(view).halfSteps, "1-1-1-1-1-1-1-1-1-1-1-1");
}

TEST_F(PianoScales, MajorFromBOnTheTurnedRoll) {
    view.chord.root = 11;
    DrawScalePiano(screen, {}, view, roll.get(), largeRoll.get());
    // Turned a quarter clockwise about (221, 55): the picture's top row runs down the screen.
    EXPECT_EQ(At(221, 55), largeRoll->Row(0)[0]);
    EXPECT_EQ(At(158, 55), largeRoll->Row(63)[0]);
    EXPECT_EQ(At(221, 278), largeRoll->Row(0)[223]);
    EXPECT_EQ(At(190, 100), largeRoll->Row(31)[45]);
    ExpectMarker(145, 159, YELLOW);             // B in octave 0
    for (double y : {183, 199, 231, 247, 263})  // C#, D#, F#, G#, A# an octave further down
        ExpectMarker(226, y, WHITE);
    ExpectMarker(145, 207, WHITE);  // E
    auto turnedAt = [this](int x, int y) { return TurnedRollAt(x, y); };
    ExpectKeyDot(167, 159, BLACK, turnedAt);
    ExpectKeyDot(192, 183, WHITE, turnedAt);
    ExpectUntouchedOutside({{158, 55, 221, 278}});
    const ScaleInfo info = DescribeScale(view);
    EXPECT_EQ(info.description, "B Major Scale");
    EXPECT_EQ(info.notes, "B, C##, D##, E, F##, G##, A##");
    EXPECT_EQ(info.halfSteps, "2-2-1-2-2-2-1");
    EXPECT_EQ(DescribeScale(ScaleView{{}, 0}).halfSteps, info.halfSteps);  // as from C
}

TEST_F(PianoScales, TheBoxesAfterMoreAreTheChordScreensBoxesWithTheScalesTexts) {
    gfx::Font medium;
    ASSERT_TRUE(gfx::loadFont(medium, 4));
    const Fonts fonts{nullptr, &medium, nullptr};
    view.chord.root = 9;
    view.scaleType = 5;
    DrawScaleInfo(screen, fonts, view);
    gfx::Surface expected(240, 320);
    gfx::clear(expected, SENTINEL);
    DrawTitledBox(expected, fonts, 5, 155, 120, "Description", "A Pentatonic Minor Scale");
    DrawTitledBox(expected, fonts, 5, 201, 120, "Scale Notes", "A, C, D, E, G");
    DrawTitledBox(expected, fonts, 5, 247, 120, "Half-Steps", "3-2-2-3-2");
    int differ = 0;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            differ += screen.Row(y)[x] != expected.Row(y)[x];
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(DescribeScale(ScaleView{{}, 28}).halfSteps, "");
}

TEST_F(PianoScales, TapsFindStringAndFretAndIgnoreTheRightEdge) {
    EXPECT_FALSE(ScaleFretTap(view, 225, 100));  // column 6
    EXPECT_FALSE(ScaleFretTap(view, 134, 100));
    EXPECT_FALSE(ScaleFretTap(view, 150, 48));
    EXPECT_FALSE(ScaleFretTap(view, 150, 278));
    auto tap = ScaleFretTap(view, 224, 49);
    ASSERT_TRUE(tap);
    EXPECT_EQ(tap->string, 5);
    EXPECT_EQ(tap->fret, 0);
    EXPECT_EQ(ScaleFretTap(view, 149, 67)->fret, 0);
    EXPECT_EQ(ScaleFretTap(view, 149, 68)->fret, 1);
    EXPECT_EQ(ScaleFretTap(view, 149, 68)->string, 0);
    EXPECT_EQ(ScaleFretTap(view, 150, 277)->fret, 12);
    EXPECT_EQ(ScaleFretTap(view, 150, 277)->string, 1);
    view.chord.tuning.leftHanded = true;
    tap = ScaleFretTap(view, 150, 100);
    EXPECT_EQ(tap->string, 4);  // drawn in the second column from the left: the B string
    EXPECT_EQ(tap->column, 1);
}

}  // namespace
