// The Chord Groups mode driven like a user would: the Key list, More and Audition through
// the headless backend, checked by pixel probes at the screen's own coordinates, by text
// drawn again beside the frame, and by the sequence and state the program keeps.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "GameHarness.h"
#include "gfx/Draw.h"
#include "gfx/Font.h"
#include "platform/Clock.h"
#include "screens/ChordView.h"
#include "screens/GroupsScreen.h"
#include "theory/ChordSearch.h"
#include "theory/TheoryTables.h"

namespace {

using apptest::GameRun;
using namespace screens;

// The fills as RGB565, worked out by hand from the vector colours.
constexpr std::uint16_t KEY_FILL = 0xFFF0;        // 0xFF80FFFF
constexpr std::uint16_t NEIGHBOUR_FILL = 0xFFF8;  // 0xFFC0FFFF
constexpr std::uint16_t YELLOW = 0xFFE0;          // 0xFF00FFFF
constexpr std::uint16_t ROW_FILL = 0xFFF0;        // 65520
const theory::StringTuning STANDARD{4, 9, 2, 7, 11, 4};

const std::string TO_GROUPS =
    std::string(apptest::DISMISS_TITLE) + apptest::TAP_MENU + "tap 120 180\nframes 1\n";

// Opens the Key list and walks down from C to `key`.
std::string PickKey(int key) {
    std::string script = "tap 40 28\n";
    for (int k = 0; k < key; ++k)
        script += "key Down\n";
    return script + "key Enter\nframes 2\n";
}

int Green(std::uint16_t p) {
    return (p >> 5) & 63;
}

struct GroupsMode : ::testing::Test {
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
    GameRun run;

    // The pixel at `radius` from the circle's centre, `degrees` clockwise from the x axis.
    std::uint16_t AtAngle(double degrees, double radius) const {
        double a = degrees * std::numbers::pi / 180.0;
        return run.Pixel(static_cast<int>(std::floor(120.5 + radius * std::cos(a))),
                         static_cast<int>(std::floor(140.5 + radius * std::sin(a))));
    }

    // Around the key at `position`: two degrees either side of each sector edge near the rim
    // (about 2.4 pixels from it), and the middles of the sectors halfway out.
    void ExpectSectors(int position) const {
        const double start = -105.0 + 30.0 * position;  // the key spans start .. start + 30
        const std::pair<double, std::uint16_t> nearEdges[] = {
            {start - 32, WHITE},          {start - 28, NEIGHBOUR_FILL},
            {start - 2, NEIGHBOUR_FILL},  {start + 2, KEY_FILL},
            {start + 28, KEY_FILL},       {start + 32, NEIGHBOUR_FILL},
            {start + 58, NEIGHBOUR_FILL}, {start + 62, WHITE}};
        for (auto [degrees, colour] : nearEdges)
            EXPECT_EQ(AtAngle(degrees, 70), colour) << "key " << position << " at " << degrees;
        const std::pair<double, std::uint16_t> middles[] = {{start - 15, NEIGHBOUR_FILL},
                                                            {start + 15, KEY_FILL},
                                                            {start + 45, NEIGHBOUR_FILL},
                                                            {start + 195, WHITE}};
        for (auto [degrees, colour] : middles)
            EXPECT_EQ(AtAngle(degrees, 40), colour) << "key " << position << " at " << degrees;
    }

    // The frame holds `text` drawn in black as the screen draws it (by `draw` into a copy
    // cleared to `background`), everywhere inside `box`.
    template <typename Draw>
    void ExpectDrawn(const gfx::Rect& box, std::uint16_t background, Draw&& draw,
                     const std::string& what) const {
        gfx::SurfacePtr expected = gfx::createSurface(240, 320);
        ASSERT_TRUE(expected);
        gfx::clear(*expected, background);
        draw(*expected);
        int wrong = 0;
        for (int y = box.top; y <= box.bottom; ++y)
            for (int x = box.left; x <= box.right; ++x)
                if (run.Pixel(x, y) != gfx::getPixel(*expected, x, y)) ++wrong;
        EXPECT_EQ(wrong, 0) << what;
    }

    // A name centred on (cx, cy), compared over its table cell.
    void ExpectCell(std::string_view name, int cx, int cy, std::uint16_t background,
                    std::uint16_t colour = BLACK, int halfWidth = 14) const {
        const gfx::Font& font = *run.game.Fonts().medium;
        int h = font.height;
        ExpectDrawn(
            gfx::Rect{cx - halfWidth, cy - h / 2 + 1, cx + halfWidth, cy - h / 2 + h - 1},
            background, [&](gfx::Surface& s) { drawCentred(font, s, cx, cy, name, colour); },
            std::string(name));
    }
};

TEST(GroupsText, TheBoxNamesTheKeyItsChordsTheLeadingNoteAndTheDominantSeventh) {
    EXPECT_EQ(KeyChordsTitle(0), "Chords (key of C and Am)");
    EXPECT_EQ(KeyChordsText(0), "C, Dm, Em, F, G, Am\rBdim, G7");
    // A half step below F# is named F; V of F# is C#.
    EXPECT_EQ(KeyChordsTitle(6), "Chords (key of F## and D##m)");
    EXPECT_EQ(KeyChordsText(6), "F##, G##m, A##m, B, C##, D##m\rFdim, C##7");
    // Below C the leading note wraps round to B; F's V is C.
    EXPECT_EQ(KeyChordsText(5), "F, Gm, Am, A##, C, Dm\rEdim, C7");
    EXPECT_EQ(KeyChordsText(12), "");
}

TEST_F(GroupsMode, KeyCHighlightsTheTopSectorWithFAndGBesideItAndTwelveSpokes) {
    ASSERT_TRUE(run.Run(TO_GROUPS + "frames 1\n"));
    ASSERT_EQ(run.game.mode, app::MODE_GROUPS);
    EXPECT_TRUE(run.game.keyList.Visible());
    EXPECT_FALSE(run.game.rootList.Visible());
    EXPECT_EQ(run.game.strumButton.caption, "Audition");
    // The key's sector spans -105..-75 degrees, F's -135..-105, G's -75..-45.
    ExpectSectors(0);
    // Out to the rim: still filled at 72, the black outline at 75 (x 45 and 195 on the
    // centre line), the background beyond.
    EXPECT_EQ(AtAngle(-90, 72), KEY_FILL);
    EXPECT_LT(Green(run.Pixel(45, 140)), 8);
    EXPECT_LT(Green(run.Pixel(195, 140)), 8);
    EXPECT_EQ(run.Pixel(193, 140), WHITE);
    EXPECT_NE(run.Pixel(198, 140), WHITE);
    // The yellow key circle behind "C" at radius 90, white ones behind "F" and "G", none
    // behind "D"; each probed seven pixels either side of the label's centre.
    EXPECT_EQ(run.Pixel(113, 50), YELLOW);
    EXPECT_EQ(run.Pixel(126, 50), YELLOW);
    EXPECT_LT(Green(run.Pixel(111, 50)), 32);  // its outline, left and right
    EXPECT_LT(Green(run.Pixel(128, 50)), 32);
    EXPECT_LT(Green(run.Pixel(120, 40)), 48);  // and at the top, not below the bottom
    EXPECT_GT(Green(run.Pixel(120, 60)), 56);
    // "Am" at radius 63, on the key's fill.
    ExpectCell("Am", 120, 77, KEY_FILL, BLACK, 10);
    EXPECT_EQ(run.Pixel(68, 62), WHITE);   // F, at (75, 62)
    EXPECT_EQ(run.Pixel(171, 62), WHITE);  // G, at (165, 62)
    EXPECT_NE(run.Pixel(204, 95), WHITE);  // D, at (198, 95)
    // Each spoke runs from (121, 141) to its end on the rim plus half a pixel.
    for (int k = 0; k < 12; ++k) {
        double a = (-105.0 + 30.0 * k) * std::numbers::pi / 180.0;
        double ex = 120.5 + 75 * std::cos(a), ey = 140.5 + 75 * std::sin(a);
        // Every fill has full green: any touch of a spoke lowers it.
        for (double t : {0.3, 0.6, 0.95}) {
            int x = static_cast<int>(std::floor(121 + (ex - 121) * t));
            int y = static_cast<int>(std::floor(141 + (ey - 141) * t));
            EXPECT_LT(Green(run.Pixel(x, y)), 60) << "spoke " << k << " at " << x << "," << y;
            // Two pixels across the spoke, either way, it has not reached.
            double nx = -std::sin(a) * 2.2, ny = std::cos(a) * 2.2;
            double px = 121 + (ex - 121) * t, py = 141 + (ey - 141) * t;
            for (int side : {-1, 1}) {
                int qx = static_cast<int>(std::floor(px + side * nx));
                int qy = static_cast<int>(std::floor(py + side * ny));
                EXPECT_EQ(Green(run.Pixel(qx, qy)), 63)
                    << "beside spoke " << k << " at " << qx << "," << qy;
            }
        }
    }
}

TEST_F(GroupsMode, KeyFSharpHighlightsTheBottomWithBAndCSharpAndListsItsChords) {
    ASSERT_TRUE(run.Run(TO_GROUPS + PickKey(6)));
    EXPECT_EQ(run.game.keyList.list.Selection(), 6);
    EXPECT_EQ(run.game.rootList.list.Selection(), 6);  // the Root list follows the key
    // F# spans 75..105 degrees, B (position 5) 45..75, C# (position 7) 105..135.
    ExpectSectors(6);
    EXPECT_EQ(AtAngle(-90, 40), WHITE);      // C no longer
    EXPECT_EQ(run.Pixel(112, 230), YELLOW);  // the key circle behind "F##" at (120, 230)
    EXPECT_EQ(run.Pixel(127, 230), YELLOW);
    EXPECT_NE(run.Pixel(113, 50), YELLOW);
    // The chords as drawn, against the same text drawn again into a white box.
    const gfx::Font& font = *run.game.Fonts().medium;
    const int h = font.height;
    gfx::Rect right{75, 245 + h + 1, 225, 245 + 3 * h + 1};
    ExpectDrawn(
        gfx::Rect{75, 245 + h + 1, 224, 245 + 3 * h - 1}, WHITE,
        [&](gfx::Surface& s) {
            gfx::drawTextInRect(font, &s, "F##, G##m, A##m, B, C##, D##m\rFdim, C##7", right,
                                BLACK);
        },
        "chords of F#");
    EXPECT_EQ(run.Pixel(70, 245 + 2 * h), BLACK);  // the divider
    EXPECT_EQ(run.Pixel(70, 245 + 3 * h - 2), BLACK);
    EXPECT_EQ(run.Pixel(71, 245 + 2 * h), WHITE);
}

TEST_F(GroupsMode, TheTableHighlightsTheKeysRowAndReadsAsTheCircleDoes) {
    ASSERT_TRUE(run.Run(TO_GROUPS + PickKey(9) + apptest::TAP_MORE + "frames 1\n"));
    ASSERT_EQ(run.game.moreView, 1u);
    const int h = run.game.Fonts().medium->height, top = 50;
    // Row r fills y top + h(r+1) + 1 .. top + h(r+2) - 1 between black lines; A is row 9.
    const int rowTop = top + h * 10 + 1, rowBottom = top + h * 11 - 1;
    for (int x : {6, 56, 234}) {
        EXPECT_EQ(run.Pixel(x, rowTop), ROW_FILL) << x;
        EXPECT_EQ(run.Pixel(x, rowBottom), ROW_FILL) << x;
        EXPECT_EQ(run.Pixel(x, rowTop - 1), BLACK) << x;
        EXPECT_EQ(run.Pixel(x, rowBottom + 1), BLACK) << x;
        EXPECT_EQ(run.Pixel(x, rowBottom + 2), WHITE) << x;
        EXPECT_EQ(run.Pixel(x, rowTop - 2), WHITE) << x;
    }
    EXPECT_NE(run.Pixel(5, rowTop), ROW_FILL);  // the box's outline
    EXPECT_NE(run.Pixel(235, rowTop), ROW_FILL);
    // Column lines at 55, 85 ... 205 from the title bar to the bottom; the cells beside them
    // stay white.
    const int midRow = top + h * 3 + h / 2;  // D's row
    for (int x = 55; x <= 205; x += 30) {
        EXPECT_EQ(run.Pixel(x, midRow), BLACK) << x;
        EXPECT_EQ(run.Pixel(x, top + 13 * h - 1), BLACK) << x;
        EXPECT_EQ(run.Pixel(x + 1, top + h + 2), WHITE) << x;
        EXPECT_EQ(run.Pixel(x - 1, top + h * 2 + 2), WHITE) << x;
    }
    // Row A reads A, Bm, C#m, D, E, F#m from I to VI, on its highlight; row C on white.
    const char* a[] = {"A", "Bm", "C##m", "D", "E", "F##m"};
    const char* c[] = {"C", "Dm", "Em", "F", "G", "Am"};
    for (int k = 0; k < 6; ++k) {
        ExpectCell(a[k], 70 + 30 * k, top + h / 2 + h * 10, ROW_FILL);
        ExpectCell(c[k], 70 + 30 * k, top + h / 2 + h, WHITE);
    }
    // The captions, white on the black title bar.
    ExpectCell("I", 70, top + h / 2, BLACK, WHITE);
    ExpectCell("VI", 220, top + h / 2, BLACK, WHITE, 10);  // clear of the rounded corner
    // The Notes box under the table: its title bar.
    EXPECT_EQ(run.Pixel(20, 13 * h + 62), BLACK);

    // B's row, the last, keeps the box's rounded corners: no fill outside them.
    GameRun last;
    ASSERT_TRUE(last.Run(TO_GROUPS + PickKey(11) + apptest::TAP_MORE + "frames 1\n"));
    const int lastRow = top + 13 * h - 1;
    EXPECT_EQ(last.Pixel(15, lastRow), ROW_FILL);
    EXPECT_EQ(last.Pixel(225, lastRow), ROW_FILL);
    EXPECT_EQ(last.Pixel(15, lastRow + 1), BLACK);
    // Just outside the corners' arcs the background is untouched, as a little further out.
    EXPECT_EQ(last.Pixel(5, lastRow), last.Pixel(2, lastRow));
    EXPECT_EQ(last.Pixel(6, lastRow + 1), last.Pixel(2, lastRow + 1));
    EXPECT_EQ(last.Pixel(235, lastRow), last.Pixel(238, lastRow));
    // On the arc itself, black over the background: grey, not tinted by the yellow fill.
    for (int x : {6, 234}) {
        std::uint16_t arc = last.Pixel(x, lastRow);
        EXPECT_GE((arc & 31) + 4, arc >> 11) << x;
    }
}

TEST_F(GroupsMode, AuditionReplacesTheUsersSequenceAndStopEndsIt) {
    // A sequence the user built: ten steps of E minor.
    theory::Sequence users;
    users.count = 10;
    for (auto& step : users.steps)
        step = {4, 1, 2, 8, 1, {}, {0, 2, 2, 0, 0, 0}};
    run.game.sequence = users;
    std::string state = apptest::TempPath("groups-audition.json");
    ASSERT_TRUE(
        run.Run(TO_GROUPS + PickKey(6) + apptest::TAP_STRUM + "frames 2\nstate " + state + "\n"));
    const theory::Sequence& s = run.game.sequence;
    ASSERT_EQ(s.count, 6);
    const int roots[] = {6, 8, 10, 11, 1, 3};  // F# G#m A#m B C# D#m
    const int types[] = {0, 1, 1, 0, 0, 1};
    for (int k = 0; k < 6; ++k) {
        const theory::SequenceStep& step = s.steps[k];
        EXPECT_EQ(step.root, roots[k]) << k;
        EXPECT_EQ(step.chordType, types[k]) << k;
        EXPECT_EQ(step.inversion, 0) << k;
        EXPECT_EQ(step.length, 4) << k;
        EXPECT_EQ(step.split, 0) << k;
        theory::VoicingList shapes;
        theory::FindVoicings(roots[k], types[k], STANDARD, false, shapes);
        ASSERT_GT(shapes.count, 0);
        for (int string = 0; string < 6; ++string)
            EXPECT_EQ(step.frets[string], shapes.items[0].frets[string]) << k;
    }
    // Nothing of the user's steps is left behind the six.
    for (int k = 6; k < theory::MAX_SEQUENCE_STEPS; ++k)
        EXPECT_EQ(s.steps[k], theory::SequenceStep{}) << k;
    EXPECT_EQ(run.game.player.playing, 1u);
    // The player plays the six (it has moved on from step 0 by now).
    EXPECT_EQ(run.game.player.Steps(), s);
    EXPECT_EQ(run.game.strumButton.caption, "Stop");
    std::string json = apptest::ReadState(state);
    EXPECT_EQ(apptest::StateValue(json, "key"), 6);
    EXPECT_EQ(apptest::StateValue(json, "playing"), 1);
    // The now-playing box: white inside its black outline, from (180.5, 5.5) to (230.5, 35.5).
    EXPECT_EQ(run.Pixel(181, 20), WHITE);
    EXPECT_EQ(run.Pixel(229, 20), WHITE);
    // Beside the names, which follow the chord that plays.
    for (int x : {186, 224}) {
        EXPECT_EQ(run.Pixel(x, 6), WHITE) << x;
        EXPECT_EQ(run.Pixel(x, 34), WHITE) << x;
    }
    EXPECT_EQ(run.Pixel(180, 20), BLACK);
    EXPECT_EQ(run.Pixel(230, 20), BLACK);
    EXPECT_EQ(run.Pixel(205, 5), BLACK);
    EXPECT_EQ(run.Pixel(205, 35), BLACK);
    EXPECT_NE(run.Pixel(205, 37), WHITE);

    GameRun stopped;
    stopped.game.sequence = users;
    ASSERT_TRUE(stopped.Run(TO_GROUPS + PickKey(6) + apptest::TAP_STRUM + apptest::TAP_STRUM +
                            "frames 2\n"));
    EXPECT_EQ(stopped.game.player.playing, 0u);
    EXPECT_EQ(stopped.game.strumButton.caption, "Audition");
    EXPECT_EQ(stopped.game.sequence, s);  // Stop leaves the key's sequence in place
    EXPECT_NE(stopped.Pixel(182, 20), WHITE);

    // Key S stops the audition too, and the button and the box follow.
    GameRun keyS;
    ASSERT_TRUE(keyS.Run(TO_GROUPS + apptest::TAP_STRUM + "frames 1\nkey s\nframes 2\n"));
    EXPECT_EQ(keyS.game.player.playing, 0u);
    EXPECT_EQ(keyS.game.strumButton.caption, "Audition");
    EXPECT_NE(keyS.Pixel(182, 20), WHITE);
}

TEST_F(GroupsMode, TheNowPlayingBoxNamesTheRootAndChordTypeInBothViews) {
    ASSERT_TRUE(
        run.Run(TO_GROUPS + PickKey(2) + apptest::TAP_STRUM + apptest::TAP_MORE + "frames 2\n"));
    ASSERT_EQ(run.game.moreView, 1u);
    const Fonts fonts = run.game.Fonts();
    const int large = fonts.large->height;
    // The lists follow the step that plays, and the last frame drew them as they stand.
    int root = run.game.rootList.list.Selection(), type = run.game.chordList.list.Selection();
    const int keyOfD[] = {2, 4, 6, 7, 9, 11};
    EXPECT_NE(std::find(std::begin(keyOfD), std::end(keyOfD), root), std::end(keyOfD)) << root;
    std::string_view name = theory::NoteNames[root], typeName = theory::ChordTypes[type].shortName;
    ExpectDrawn(
        gfx::Rect{184, 7, 226, 33}, WHITE,
        [&](gfx::Surface& s) {
            drawCentred(*fonts.large, s, 205, large / 2 + 5, name, BLACK);
            drawCentred(*fonts.medium, s, 205, large + 10, typeName, BLACK);
        },
        "the playing chord");
}

TEST_F(GroupsMode, AKeyChangeWhilePlayingStopsAndPutsBackTheAuditionCaption) {
    std::string state = apptest::TempPath("groups-key-change.json");
    ASSERT_TRUE(run.Run(TO_GROUPS + apptest::TAP_STRUM + "frames 1\n" + PickKey(2) + "state " +
                        state + "\n"));
    EXPECT_EQ(run.game.player.playing, 0u);
    EXPECT_EQ(run.game.strumButton.caption, "Audition");
    EXPECT_EQ(run.game.rootList.list.Selection(), 2);
    std::string json = apptest::ReadState(state);
    EXPECT_EQ(apptest::StateValue(json, "key"), 2);
    EXPECT_EQ(apptest::StateValue(json, "root"), 2);
    // The voicing search ran for D: its first shape is the finder's first. The chord type is
    // that of the step playing when the key changed.
    theory::VoicingList shapes;
    theory::FindVoicings(2, run.game.chordList.list.Selection(), STANDARD, false, shapes);
    ASSERT_GT(run.game.voicings.count, 0);
    EXPECT_EQ(run.game.voicings.items[0], shapes.items[0]);
    EXPECT_NE(run.Pixel(182, 20), WHITE);  // no now-playing box
    // The circle followed.
    ExpectSectors(2);
}

}  // namespace
