// The Chord Detection screen drawn into a surface and probed at its own coordinates: the
// meters segment by segment, the trigger mark, the tuning squares, the spectrum columns,
// the result box and the piano roll, at their centres and their edges.

#include <gtest/gtest.h>

#include <string>

#include "gfx/Font.h"
#include "platform/Resources.h"
#include "res/EmbeddedResources.h"
#include "screens/DetectionScreen.h"

namespace {

using screens::DetectionView;

constexpr std::uint16_t WHITE = 0xFFFF, BLACK = 0x0000, RED = 0xF800, GREEN = 0x07E0;
constexpr std::uint16_t LIT = 0x6304, UNLIT = 0xC614, TRIGGER = 0x840C, GREY = 0x8410;
constexpr std::uint16_t YELLOW = 0xFFE0;  // the root marker, 0xFF00FFFF in vector colour
constexpr std::uint16_t SENTINEL = 0x0821;

// A background no drawn colour can be mistaken for: its blue is 25 everywhere.
std::uint16_t Backdrop(int x, int y) {
    return gfx::RGB565(x % 200, y % 200, 200);
}

int MeterX(int p) {
    return 22 + 14 * p;
}

detect::DetectionResult Chord(int root, int type, std::array<int, 3> notes) {
    detect::DetectionResult r;
    r.detected = true;
    r.root = root;
    r.chordType = type;
    for (int i = 0; i < 3; ++i)
        r.highlight[i] = notes[i];
    return r;
}

struct DetectionScreen : ::testing::Test {
    void SetUp() override {
        platform::SetResourceTable(res::EmbeddedResources());
        ASSERT_TRUE(gfx::loadFont(large, 2));
        ASSERT_TRUE(gfx::loadFont(medium, 4));
        roll = gfx::loadImageResource(121, platform::RESOURCE_BITMAP);
        ASSERT_TRUE(roll);
        ASSERT_EQ(roll->Width(), 224);
        ASSERT_EQ(roll->Height(), 64);
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x)
                background.Row(y)[x] = Backdrop(x, y);
        gfx::clear(screen, SENTINEL);
        view.fonts = {&large, &medium, nullptr};
        view.background = &background;
        view.pianoRoll = roll.get();
    }

    void Draw(bool full = true) { screens::drawDetectionScreen(screen, view, memory, full); }
    std::uint16_t At(int x, int y) const { return screen.Row(y)[x]; }

    // The colour of segment s of meter p when all its 12 x 3 pixels agree, else SENTINEL.
    std::uint16_t Segment(int p, int s) const {
        const int x = MeterX(p), bottom = 155 - 4 * s;
        const std::uint16_t c = At(x, bottom);
        for (int y = bottom - 2; y <= bottom; ++y)
            for (int px = x - 5; px <= x + 6; ++px)
                if (At(px, y) != c) return SENTINEL;
        return c;
    }
    int LitSegments(int p) const {
        int n = 0;
        while (n < 24 && (Segment(p, n) == LIT || Segment(p, n) == RED))
            ++n;
        return n;
    }
    // How many pixels of the name under meter p, looked for near its middle, are inked in
    // `colour` (red or black), counting the anti-aliased edges.
    int NameInk(int p, std::uint16_t colour) const {
        int n = 0;
        for (int y = 158; y < 172; ++y) {
            for (int x = MeterX(p) - 4; x <= MeterX(p) + 4; ++x) {
                auto [r, g, b] = gfx::unpackRGB(At(x, y));
                bool red = r > 200 && g < r - 64 && b < r - 64;
                bool dark = r < 160 && std::abs(r - g) <= 16 && std::abs(r - b) <= 16;
                n += colour == RED ? red : dark;
            }
        }
        return n;
    }
    // Ink (neither white nor the backdrop) in a rectangle, inclusive.
    bool InkIn(int left, int top, int right, int bottom) const {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                if (At(x, y) != WHITE) return true;
        return false;
    }

    gfx::Font large, medium;
    gfx::SurfacePtr roll;
    gfx::Surface background{240, 320};
    gfx::Surface screen{240, 320};
    DetectionView view;
    screens::DetectionScreenMemory memory;
};

TEST_F(DetectionScreen, AChordMarksItsMetersAndNamesInRedAndLeavesTheOthersDark) {
    view.result = Chord(4, 1, {4, 7, 11});  // E minor
    view.result.text = "E Minor";
    view.result.pitchClassLevel = {20, 0, 3.9, 4, 60, 8.99, 9, 50, 96, 103.8, 1, 40};
    view.triggerLevel = 0;
    Draw();
    // Lit: ceil(trunc(level) / 4), all 24 at most.
    const int lit[12] = {5, 0, 1, 1, 15, 2, 3, 13, 24, 24, 1, 10};
    for (int p = 0; p < 12; ++p) {
        const bool marked = p == 4 || p == 7 || p == 11;
        EXPECT_EQ(LitSegments(p), lit[p]) << p;
        if (lit[p]) {
            EXPECT_EQ(Segment(p, lit[p] - 1), marked ? RED : LIT) << p;
        }
        if (lit[p] < 24) {
            EXPECT_EQ(Segment(p, lit[p]), UNLIT) << p;
        }
        EXPECT_EQ(Segment(p, 23), lit[p] == 24 ? LIT : UNLIT) << p;
        EXPECT_GT(NameInk(p, marked ? RED : BLACK), 3) << p;
        EXPECT_EQ(NameInk(p, marked ? BLACK : RED), 0) << p;
    }
    // Only the first three highlight entries count, and -1 or 255 mark nothing.
    view.result.highlight = {255, -1, 0, 1, 2, 3};
    Draw();
    EXPECT_EQ(Segment(0, 0), RED);
    for (int p : {1, 2, 3, 4, 11})
        EXPECT_EQ(NameInk(p, RED), 0) << p;
}

TEST_F(DetectionScreen, TheTriggerMarksSegmentCeilOfAQuarterMinusOneOfUnlitMeters) {
    view.result.pitchClassLevel[2] = 40;  // D: ten segments lit, the mark among them
    for (auto [trigger, mark] : {std::pair{30, 7}, {96, 23}, {1, 0}, {4, 0}, {5, 1}, {29, 7}}) {
        view.triggerLevel = trigger;
        Draw();
        for (int p : {0, 11}) {
            for (int s = 0; s < 24; ++s)
                ASSERT_EQ(Segment(p, s), s == mark ? TRIGGER : UNLIT) << trigger << " " << s;
        }
        EXPECT_EQ(Segment(2, mark), mark < 10 ? LIT : TRIGGER) << trigger;
    }
    view.triggerLevel = 0;
    Draw();
    for (int s = 0; s < 24; ++s)
        EXPECT_EQ(Segment(0, s), UNLIT) << s;
}

TEST_F(DetectionScreen, ASegmentFillsThreeRowsAndTwelveColumnsWithGapsBetween) {
    view.result.pitchClassLevel[3] = 8;  // two segments of D#, rows 153..155 and 149..151
    view.triggerLevel = 0;
    Draw();
    const int x = MeterX(3);
    for (int y : {149, 151, 153, 155}) {
        EXPECT_EQ(At(x - 5, y), LIT) << y;
        EXPECT_EQ(At(x + 6, y), LIT) << y;
        EXPECT_EQ(At(x - 6, y), WHITE) << y;
        EXPECT_EQ(At(x + 7, y), WHITE) << y;
    }
    EXPECT_EQ(At(x, 152), WHITE);  // the gap between segments 0 and 1
    EXPECT_EQ(At(x, 148), WHITE);
    EXPECT_EQ(At(x, 147), UNLIT);         // segment 2
    EXPECT_EQ(At(x, 156), WHITE);         // below the meter
    EXPECT_EQ(At(MeterX(0), 61), UNLIT);  // the top segment, 23: rows 61..63
    EXPECT_EQ(At(MeterX(0), 60), WHITE);
    EXPECT_EQ(At(MeterX(11) + 6, 101), UNLIT);  // the last meter ends at x 182
    EXPECT_EQ(At(MeterX(11) + 7, 101), WHITE);
}

TEST_F(DetectionScreen, TheTuningSquareLitIsTheNotesFiveCentStep) {
    view.detectChords = false;
    view.result.detected = true;
    view.result.text = "A4 440.0Hz";
    auto square = [&](int k) { return At(20 + 6 * (k + 8) + 2, 43); };
    // For each offset, the square lit (99: none).
    for (auto [cents, lit] : {std::pair{0, 0},
                              {4, 0},
                              {-4, 0},
                              {12, 2},
                              {-12, -2},
                              {5, 1},
                              {44, 8},
                              {-44, -8},
                              {45, 99},
                              {-50, 99},
                              {255, 99}}) {
        view.result.cents = cents;
        Draw();
        for (int k = -8; k <= 8; ++k)
            ASSERT_EQ(square(k), k != lit ? GREY : k == 0 ? RED : GREEN) << cents << " " << k;
    }
    // Square k = 2 fills x 80..84, rows 41..45, with white around it.
    view.result.cents = 12;
    Draw();
    for (auto [x, y] : {std::pair{80, 41}, {84, 41}, {80, 45}, {84, 45}})
        EXPECT_EQ(At(x, y), GREEN) << x << "," << y;
    EXPECT_EQ(At(79, 43), WHITE);
    EXPECT_EQ(At(85, 43), WHITE);
    EXPECT_EQ(At(82, 40), WHITE);
    EXPECT_EQ(At(82, 46), WHITE);
    EXPECT_EQ(At(20, 43), GREY);  // the outermost squares, k = -8 and 8
    EXPECT_EQ(At(120, 43), GREY);
    EXPECT_EQ(At(121, 43), WHITE);
    // Nothing detected: no square lit; chord mode: no indicator at all.
    view.result.detected = false;
    view.result.cents = 0;
    Draw(false);
    EXPECT_EQ(square(0), GREY);
    view.detectChords = true;
    Draw(false);
    EXPECT_FALSE(InkIn(15, 40, 125, 46));
}

TEST_F(DetectionScreen, SpectrumColumnsStandThreeQuartersOfTheirBinsLevel) {
    // Column c shows bin trunc(5.12 c) at x = c + 20, from y 250 - h to 250.
    auto top = [&](int x) {
        int y = 250;
        while (y > 170 && At(x, y - 1) == BLACK)
            --y;
        return y;
    };
    view.spectrum[35] = -20;   // c 7: level 76, h 57
    view.spectrum[307] = -31;  // c 60: level 65, h 48 (48.75 cut)
    view.spectrum[308] = 0;    // shown by no column
    view.spectrum[993] = 0;    // c 194, the last: h 72
    for (int bin = 994; bin < screens::SPECTRUM_BINS; ++bin)
        view.spectrum[bin] = 0;
    Draw();
    EXPECT_EQ(top(27), 250 - 57);
    EXPECT_EQ(top(80), 250 - 48);
    EXPECT_EQ(top(214), 250 - 72);
    for (int x = 25; x <= 214; ++x) {
        if (x == 27 || x == 80 || x == 214) continue;
        ASSERT_EQ(top(x), 250) << x;  // one black pixel on the base line
        ASSERT_EQ(At(x, 250), BLACK) << x;
    }
    EXPECT_NE(At(24, 249), BLACK);
    EXPECT_NE(At(215, 200), BLACK);  // nothing right of the last column
    EXPECT_NE(At(215, 240), BLACK);
    // A partial drawing shows the new levels, and nothing of the old tall columns.
    view.spectrum[35] = view.spectrum[993] = -96;
    Draw(false);
    EXPECT_EQ(top(27), 250);
    EXPECT_EQ(top(214), 250);
    for (int y = 176; y < 195; ++y) {
        if (y == 180) continue;  // the panel's edge
        ASSERT_NE(At(214, y), BLACK) << y;
    }
    EXPECT_EQ(At(214, 178), Backdrop(214, 178));
}

TEST_F(DetectionScreen, TheTitleAndResultAreCentredInTheBox) {
    view.result = Chord(4, 1, {4, 7, 11});
    view.result.text = "E Minor";
    Draw();
    // The same text drawn on its own where the box centres it: (120 - width) / 2 + 10.
    gfx::Surface expected(240, 320);
    gfx::clear(expected, WHITE);
    int w = gfx::textWidth(large, "E Minor");
    gfx::drawText(large, expected, (120 - w) / 2 + 10, 20, "E Minor", BLACK);
    int titleWidth = gfx::textWidth(medium, "Detected Chord");
    gfx::drawText(medium, expected, (120 - titleWidth) / 2 + 10, 6, "Detected Chord", BLACK);
    int left = 240, right = -1;
    for (int y = 6; y < 38; ++y) {
        for (int x = 17; x <= 123; ++x) {
            ASSERT_EQ(At(x, y), expected.Row(y)[x]) << x << "," << y;
            if (y >= 20 && At(x, y) != WHITE) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    // Its ink sits about the box's middle, x 70.
    EXPECT_LE(std::abs((left + right) - 140), 3) << left << ".." << right;
    // Note mode titles the box "Detected Note".
    view.detectChords = false;
    Draw(false);
    gfx::fillRect(expected, 15, 6, 125, 19, WHITE);
    titleWidth = gfx::textWidth(medium, "Detected Note");
    gfx::drawText(medium, expected, (120 - titleWidth) / 2 + 10, 6, "Detected Note", BLACK);
    for (int y = 6; y < 20; ++y)
        for (int x = 17; x <= 123; ++x)
            ASSERT_EQ(At(x, y), expected.Row(y)[x]) << x << "," << y;
}

TEST_F(DetectionScreen, APartialDrawingTouchesOnlyItsPanelsAndMoreMakesItFull) {
    Draw();
    EXPECT_EQ(At(5, 100), Backdrop(5, 100));  // left of the meter panel
    EXPECT_EQ(At(235, 3), Backdrop(235, 3));
    EXPECT_EQ(At(15, 60), WHITE);   // inside the meter panel
    EXPECT_EQ(At(120, 55), BLACK);  // its outline
    EXPECT_EQ(At(120, 175), BLACK);
    EXPECT_EQ(At(10, 120), BLACK);
    EXPECT_EQ(At(230, 120), BLACK);
    EXPECT_EQ(At(120, 54), Backdrop(120, 54));
    EXPECT_EQ(At(231, 120), Backdrop(231, 120));
    EXPECT_EQ(At(70, 5), BLACK);  // the result box's outline, top and bottom
    EXPECT_EQ(At(70, 50), BLACK);
    EXPECT_EQ(At(130, 30), BLACK);
    EXPECT_EQ(At(131, 30), Backdrop(131, 30));

    for (auto [x, y] : {std::pair{5, 100}, {235, 3}, {195, 100}, {12, 30}})
        screen.Row(y)[x] = SENTINEL;
    Draw(false);  // only what changes: the sentinels outside it stay
    EXPECT_EQ(At(5, 100), SENTINEL);
    EXPECT_EQ(At(235, 3), SENTINEL);
    EXPECT_EQ(At(195, 100), SENTINEL);  // inside the meter panel, beside the meters
    EXPECT_EQ(At(12, 30), SENTINEL);    // inside the result box, beside its filled part

    view.moreView = true;  // More: the background and all three panels again
    Draw(false);
    EXPECT_EQ(At(5, 100), Backdrop(5, 100));
    EXPECT_EQ(At(235, 3), Backdrop(235, 3));
    EXPECT_EQ(At(195, 100), WHITE);
    EXPECT_EQ(At(12, 30), WHITE);
    EXPECT_TRUE(memory.moreView);
    screen.Row(100)[5] = SENTINEL;
    Draw(false);  // remembered: no second full drawing
    EXPECT_EQ(At(5, 100), SENTINEL);
    view.moreView = false;
    Draw(false);
    EXPECT_EQ(At(5, 100), Backdrop(5, 100));
}

TEST_F(DetectionScreen, ANameThatTurnsBlackKeepsNoRedAndRedrawingDoesNotThickenIt) {
    view.result = Chord(4, 1, {4, 7, 11});
    Draw();
    std::vector<std::uint16_t> once(screen.pixels, screen.pixels + 240 * 320);
    for (int i = 0; i < 5; ++i)
        Draw(false);
    for (int y = 158; y < 172; ++y)
        for (int x = 12; x <= 190; ++x)
            ASSERT_EQ(At(x, y), once[y * 240 + x]) << x << "," << y;
    view.result.highlight = {0, 3, 7, -1, -1, -1};  // C minor
    Draw(false);
    for (int y = 158; y < 172; ++y) {
        for (int x = MeterX(4) - 6; x <= MeterX(4) + 6; ++x) {
            auto [r, g, b] = gfx::unpackRGB(At(x, y));  // grey, from white to black
            ASSERT_TRUE(std::abs(r - g) <= 8 && std::abs(r - b) <= 8) << x << "," << y;
        }
    }
    EXPECT_EQ(NameInk(4, RED), 0);
    EXPECT_GT(NameInk(0, RED), 3);
}

// The large piano roll at (8, 205), 224 x 64; markers of radius 8 centred on
// x = 16 + offset + 112 per octave, at y 193 above a black key or 281 below a white one.
struct PianoRoll : DetectionScreen {
    void SetUp() override {
        DetectionScreen::SetUp();
        view.moreView = true;
    }
    std::uint16_t RollPixel(int x, int y) const { return roll->Row(y - 205)[x - 8]; }
    // A marker: its fill inside, dark on its edge, the band's background just beyond.
    void ExpectMarker(int x, int y, std::uint16_t fill) const {
        SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
        // Below the name drawn on it, whose capitals stand from y - 6 to y + 2.
        for (auto [px, py] : {std::pair{x, y + 4}, {x - 3, y + 5}, {x + 3, y + 5}})
            EXPECT_EQ(At(px, py), fill) << px << "," << py;
        for (auto [px, py] : {std::pair{x - 9, y}, {x + 8, y}, {x, y - 9}, {x, y + 8}}) {
            EXPECT_NE(At(px, py), fill) << px << "," << py;
            EXPECT_NE(At(px, py), Backdrop(px, py)) << px << "," << py;
        }
        for (auto [px, py] : {std::pair{x - 10, y}, {x + 10, y}, {x, y - 10}, {x, y + 10}})
            EXPECT_EQ(At(px, py), Backdrop(px, py)) << px << "," << py;
    }
    void ExpectNoMarker(int x, int y) const {
        EXPECT_EQ(At(x - 5, y), Backdrop(x - 5, y)) << x;
        EXPECT_EQ(At(x, y - 6), Backdrop(x, y - 6)) << x;
    }
    // A key dot of radius 3: its colour at the centre, the key beside it.
    void ExpectDot(int x, int y, std::uint16_t colour) const {
        EXPECT_EQ(At(x - 1, y - 1), colour) << x;
        EXPECT_EQ(At(x, y), colour) << x;
        EXPECT_EQ(At(x + 4, y), RollPixel(x + 4, y)) << x;
        EXPECT_EQ(At(x, y - 5), RollPixel(x, y - 5)) << x;
    }
};

TEST_F(PianoRoll, EMinorIsMarkedBelowItsWhiteKeysWithTheRootInYellow) {
    view.result = Chord(4, 1, {4, 7, 11});
    Draw();
    ExpectMarker(48, 281, YELLOW);  // E
    ExpectMarker(80, 281, WHITE);   // G
    ExpectMarker(112, 281, WHITE);  // B
    ExpectNoMarker(64, 281);        // F
    for (int x : {48, 80, 112})
        ExpectDot(x, 260, BLACK);
    // The roll itself, unrotated, and nothing of it one pixel beyond.
    for (auto [x, y] : {std::pair{8, 205}, {231, 205}, {8, 268}, {231, 268}, {100, 230}})
        EXPECT_EQ(At(x, y), RollPixel(x, y)) << x << "," << y;
    EXPECT_EQ(At(7, 230), Backdrop(7, 230));
    EXPECT_EQ(At(232, 230), Backdrop(232, 230));
    // No spectrum panel in its place.
    EXPECT_EQ(At(120, 180), Backdrop(120, 180));
}

TEST_F(PianoRoll, BlackKeysAreMarkedAboveAndTheChordClimbsIntoTheNextOctave) {
    view.result = Chord(11, 0, {11, 3, 6});  // B major: B, then D# and F# an octave up
    Draw();
    ExpectMarker(112, 281, YELLOW);
    ExpectMarker(152, 193, WHITE);
    ExpectMarker(184, 193, WHITE);
    ExpectNoMarker(40, 193);  // not wrapped back into the first octave
    ExpectNoMarker(72, 193);
    ExpectDot(152, 225, WHITE);
    ExpectDot(184, 225, WHITE);
    ExpectDot(112, 260, BLACK);
}

TEST_F(PianoRoll, NoteModeShowsTheRootAloneAndNothingDetectedShowsNoMarker) {
    view.result = Chord(4, 1, {4, 7, 11});
    view.detectChords = false;
    Draw();
    ExpectMarker(48, 281, YELLOW);
    ExpectNoMarker(80, 281);
    ExpectNoMarker(112, 281);
    view.result.detected = false;
    Draw();
    ExpectNoMarker(48, 281);
    EXPECT_EQ(At(48, 260), RollPixel(48, 260));
}

TEST_F(PianoRoll, TheRollIsDrawnAgainOnlyWhenTheChordChanges) {
    view.result = Chord(4, 1, {4, 7, 11});
    Draw();
    gfx::clear(screen, SENTINEL);
    Draw(false);  // the same chord: the roll and its bands are left alone
    EXPECT_EQ(At(48, 275), SENTINEL);
    EXPECT_EQ(At(100, 230), SENTINEL);
    view.result.detected = false;  // quiet: the last chord stays in view
    Draw(false);
    EXPECT_EQ(At(48, 275), SENTINEL);
    view.result = Chord(7, 0, {7, 11, 2});  // G major
    Draw(false);
    ExpectMarker(80, 281, YELLOW);
    ExpectNoMarker(48, 281);
    // The two bands, rows 180..204 and 269..293, and the roll between; nothing else.
    for (int y = 180; y <= 204; ++y)
        ASSERT_EQ(At(2, y), Backdrop(2, y)) << y;
    for (int y = 269; y <= 293; ++y)
        ASSERT_EQ(At(2, y), Backdrop(2, y)) << y;
    EXPECT_EQ(At(2, 179), SENTINEL);
    EXPECT_EQ(At(2, 294), SENTINEL);
    EXPECT_EQ(At(2, 230), SENTINEL);
    EXPECT_EQ(At(100, 230), RollPixel(100, 230));
    // Switching between chords and notes draws it again too.
    gfx::clear(screen, SENTINEL);
    view.detectChords = false;
    Draw(false);
    ExpectMarker(80, 281, YELLOW);
    ExpectNoMarker(112, 281);
}

}  // namespace
