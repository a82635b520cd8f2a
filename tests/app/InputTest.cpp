// Keys, held taps and list commands on the main screen, checked in the state dumps and
// on screen against values written out here.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "GameHarness.h"
#include "platform/Clock.h"
#include "screens/ChordView.h"

namespace {

using apptest::GameRun;
using apptest::ReadState;
using apptest::StateValue;
using apptest::TempPath;
using namespace screens;

const std::string START = std::string(apptest::DISMISS_TITLE) + "frames 2\n";
const std::string OPEN_TUNING = "tap 60 62\nframes 1\n";  // rows 19 apart from y 84
const std::string OPEN_CHORD = "tap 80 28\nframes 1\n";   // rows 19 apart from y 49
const std::string TO_DETECTION = std::string(apptest::TAP_MENU) + "tap 120 202\nframes 2\n";

struct Input : ::testing::Test {
    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
};

// Remembers every key, command and stylus press it handles, and whether it arrived while
// another message was still being handled.
class WatchedGame : public app::MyGame {
  public:
    struct Handled {
        std::uint32_t msg;
        platform::WParam wParam;
        bool nested;
    };
    platform::LResult HandleMessage(std::uint32_t msg, platform::WParam wParam,
                                    platform::LParam lParam) override {
        if (msg == platform::MSG_KEYDOWN || msg == platform::MSG_COMMAND ||
            msg == platform::MSG_LBUTTONDOWN)
            handled.push_back({msg, wParam, depth > 0});
        ++depth;
        platform::LResult result = MyGame::HandleMessage(msg, wParam, lParam);
        --depth;
        return result;
    }
    std::vector<Handled> handled;
    int depth = 0;
};

TEST_F(Input, KeysAndPressesDuringAHeldTapWaitForTheLiftOrAreDropped) {
    // A key and a Strum tap arrive while E on the D string is held down.
    apptest::BasicGameRun<WatchedGame> run;
    std::string state = TempPath("held-tap.json");
    ASSERT_TRUE(run.Run(START + "down 172 52\nkey shift+ctrl+f\n" + apptest::TAP_STRUM +
                        "up 172 52\nframes 2\nstate " + state + "\n"));
    bool keyRan = false;
    for (const auto& h : run.game.handled) {
        EXPECT_FALSE(h.nested) << "message " << h.msg << " ran inside another";
        EXPECT_FALSE(h.msg == platform::MSG_COMMAND &&
                     platform::CommandId(h.wParam) == app::ID_STRUM);
        keyRan |= h.msg == platform::MSG_KEYDOWN && h.wParam == 'F';
    }
    EXPECT_TRUE(keyRan);
    // The key ran after the lift, with the Shift and Ctrl held with it: F# minor.
    std::string json = ReadState(state);
    EXPECT_EQ(StateValue(json, "root"), 6);
    EXPECT_EQ(StateValue(json, "chordType"), 1);
    EXPECT_EQ(StateValue(json, "strumRequest"), 0);
}

TEST_F(Input, LetterShortCutsSetTheRootChordAndStyle) {
    // Root without and with Shift, written out from the keyboard's note names.
    struct Letter {
        char key;
        int root, shiftedRoot;
    } letters[] = {{'a', 9, 10}, {'b', 11, 11}, {'c', 0, 1}, {'d', 2, 3},
                   {'e', 4, 4},  {'f', 5, 6},   {'g', 7, 8}};
    const char* modifiers[] = {"", "shift+", "ctrl+", "shift+ctrl+"};
    struct Expect {
        std::string key;
        int root, chordType, style, inversion;
    };
    std::vector<Expect> steps;
    for (const Letter& l : letters)
        for (std::string mod : modifiers) {
            bool shift = mod.find("shift") != std::string::npos,
                 ctrl = mod.find("ctrl") != std::string::npos;
            steps.push_back({mod + l.key, shift ? l.shiftedRoot : l.root, ctrl ? 1 : 0, 1, 0});
        }
    // G# minor from here on, its third shape chosen before each key; P, Q and R choose the
    // picking style whatever is held.
    const std::pair<const char*, int> styles[] = {{"p", 0},       {"r", 2},
                                                  {"q", 1},       {"shift+p", 0},
                                                  {"ctrl+r", 2},  {"shift+ctrl+q", 1},
                                                  {"ctrl+p", 0},  {"shift+r", 2},
                                                  {"ctrl+q", 1},  {"shift+ctrl+p", 0},
                                                  {"shift+q", 1}, {"shift+ctrl+r", 2}};
    for (const auto& [key, style] : styles)
        steps.push_back({key, 8, 1, style, 2});
    // X searches again (back to the first shape) and changes nothing else; other letters
    // do nothing.
    for (const char* key : {"x", "shift+x", "ctrl+x", "shift+ctrl+x"})
        steps.push_back({key, 8, 1, 2, 0});
    for (const char* key : {"h", "shift+m", "ctrl+z"})
        steps.push_back({key, 8, 1, 2, 2});

    GameRun run;
    std::string script = START;
    for (std::size_t i = 0; i < steps.size(); ++i)
        script += "key 2\nkey " + steps[i].key + "\nstate " +
                  TempPath("keys-" + std::to_string(i) + ".json") + "\n";
    ASSERT_TRUE(run.Run(script));
    ASSERT_TRUE(run.backend.ScriptDone());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        std::string json = ReadState(TempPath("keys-" + std::to_string(i) + ".json"));
        const Expect& e = steps[i];
        EXPECT_EQ(StateValue(json, "root"), e.root) << e.key;
        EXPECT_EQ(StateValue(json, "chordType"), e.chordType) << e.key;
        EXPECT_EQ(StateValue(json, "style"), e.style) << e.key;
        EXPECT_EQ(StateValue(json, "inversion"), e.inversion) << e.key;
    }
}

TEST_F(Input, SStopsTheSequenceWhateverIsHeld) {
    for (const char* key : {"s", "shift+s", "ctrl+s", "shift+ctrl+s"}) {
        GameRun run;
        run.game.player.playing = 1;
        std::string before = TempPath("s-before.json"), after = TempPath("s-after.json");
        ASSERT_TRUE(
            run.Run(START + "state " + before + "\nkey " + key + "\nstate " + after + "\n"));
        EXPECT_EQ(StateValue(ReadState(before), "playing"), 1) << key;
        EXPECT_EQ(StateValue(ReadState(after), "playing"), 0) << key;
        EXPECT_EQ(StateValue(ReadState(after), "root"), 0) << key;
    }
}

// The face of string button k (30 x 20 at x 18 + 35k, y 272) inside its rounded frame,
// where the background does not show through.
std::vector<std::uint16_t> StringButton(const GameRun& run, int k) {
    std::vector<std::uint16_t> pixels;
    for (int y = 275; y < 289; ++y)
        for (int x = 21 + 35 * k; x < 45 + 35 * k; ++x)
            pixels.push_back(run.Pixel(x, y));
    return pixels;
}

TEST_F(Input, TuningAndLeftHandedRenameTheStringButtonsAndSearchAgain) {
    GameRun run;
    std::string standard = TempPath("d-standard.json"), dropped = TempPath("d-dropped.json"),
                third = TempPath("d-third.json"), left = TempPath("d-left.json");
    // D major in standard tuning, then "Dropped D", the fourth shape, and Left Handed.
    ASSERT_TRUE(run.Run(START + "key d\nstate " + standard + "\n" + OPEN_TUNING +
                        "tap 50 103\nframes 1\nstate " + dropped + "\nkey 3\nstate " + third +
                        "\n" + apptest::TAP_LEFT_HANDED + "frames 1\nstate " + left + "\n" +
                        TO_DETECTION));
    std::string s = ReadState(standard), d = ReadState(dropped), l = ReadState(left);
    auto shapes = [](const std::string& json) {
        return json.substr(json.find("\"voicings\""),
                           json.find("\"player\"") - json.find("\"voicings\""));
    };
    EXPECT_EQ(StateValue(d, "tuning"), 1);
    EXPECT_EQ(StateValue(d, "root"), 2);
    EXPECT_NE(shapes(s), shapes(d));  // the low D string gives other shapes
    EXPECT_NE(shapes(d).find("\"frets\": [0, "), std::string::npos);  // the open low D
    EXPECT_EQ(shapes(s).find("\"frets\": [0, "), std::string::npos);  // no open low E
    EXPECT_EQ(StateValue(ReadState(third), "inversion"), 3);
    EXPECT_EQ(StateValue(l, "leftHanded"), 1);
    EXPECT_EQ(StateValue(l, "tuning"), 1);
    EXPECT_EQ(StateValue(l, "inversion"), 0);  // searched again
    EXPECT_EQ(shapes(l), shapes(d));           // the hand only mirrors the drawing

    const char* names[] = {"D", "A", "D", "G", "B", "E"};
    ASSERT_EQ(run.game.mode, app::MODE_DETECTION);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(run.game.stringButtons[k].caption, names[k]) << k;
    // On screen: the two D strings' buttons alike, unlike the high E string's.
    EXPECT_EQ(StringButton(run, 0), StringButton(run, 2));
    EXPECT_NE(StringButton(run, 0), StringButton(run, 5));
}

// On the real clock: the player thread must have time to take the strum request.
TEST(InputOnTheClock, AChordWithNoShapesDrawsAnEmptyBoxAndStrumsNothing) {
    // C aug has no playable shape in "D Modal".
    GameRun run;
    std::string empty = TempPath("aug-empty.json"), strummed = TempPath("aug-strummed.json");
    ASSERT_TRUE(run.Run(START + OPEN_TUNING + "tap 50 179\nframes 1\n" + OPEN_CHORD +
                        "tap 80 106\nframes 2\nstate " + empty + "\nkey 3\nkey ctrl+2\n" +
                        apptest::TAP_STRUM + "wait 400\nframes 2\nstate " + strummed + "\n"));
    ASSERT_TRUE(run.backend.ScriptDone());
    for (const std::string& path : {empty, strummed}) {
        std::string json = ReadState(path);
        EXPECT_EQ(StateValue(json, "tuning"), 5);
        EXPECT_EQ(StateValue(json, "chordType"), 3);
        EXPECT_EQ(StateValue(json, "inversion"), -1);
        EXPECT_NE(json.find("\"voicings\": []"), std::string::npos) << json;
        EXPECT_EQ(StateValue(json, "strumRequest"), 0);
    }
    EXPECT_EQ(run.game.voicings.count, 0);
    // The box says "no playable shape" on a band across its middle (y 203..239) and is
    // otherwise empty: no label beside it, no dot or barre in it; the board keeps the
    // chord's notes but no four-fret window.
    const std::uint16_t boxColours[] = {BOARD, WHITE, WIRE_DARK, WIRE_LIGHT};
    int lettering = 0;
    for (int y = 203; y <= 239; ++y) {
        EXPECT_EQ(run.Pixel(6, y), BOARD) << y;  // the band hides the strings
        EXPECT_EQ(run.Pixel(15, y), BOARD) << y;
        for (int x = 6; x <= 114; ++x)
            lettering += run.Pixel(x, y) == WHITE;
    }
    EXPECT_GT(lettering, 40);
    for (int y = 165; y <= 277; ++y) {
        if (y == 203) y = 240;
        for (int x = 6; x <= 114; ++x) {
            std::uint16_t p = run.Pixel(x, y);
            ASSERT_NE(std::find(std::begin(boxColours), std::end(boxColours), p),
                      std::end(boxColours))
                << x << "," << y << " " << p;
        }
        for (int x = 116; x <= 134 && y <= 200; ++x)
            ASSERT_NE(run.Pixel(x, y), BLACK) << x << "," << y;
    }
    EXPECT_EQ(run.Pixel(137, 50), BOARD);
    EXPECT_EQ(run.Pixel(137, 120), BOARD);
}

}  // namespace
