#include <gtest/gtest.h>

#include <vector>

#include "platform/Clock.h"
#include "platform/Window.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/headless/Script.h"

namespace platform::headless {
namespace {

std::vector<ScriptCommand> Parse(const std::string& text) {
    std::string error;
    auto script = ParseScript(text, error);
    EXPECT_TRUE(script) << error;
    return script.value_or(std::vector<ScriptCommand>{});
}

TEST(Script, ParsesEveryCommandWithCommentsAndBlankLines) {
    auto s = Parse(
        "# a comment\ntap 10 20\n\ndown -5 7  # trailing\nmove 1 2\nup 3 4\nkey shift+ctrl+c\n"
        "key Enter\nwait 250\nframes 3\nshot a.png\nstate s.json\nquit\n");
    ASSERT_EQ(s.size(), 11u);
    EXPECT_EQ(s[0].kind, ScriptCommand::Kind::Tap);
    EXPECT_EQ(s[1].x, -5);
    EXPECT_EQ(s[1].line, 4);
    EXPECT_TRUE(s[4].shift && s[4].ctrl);
    EXPECT_EQ(s[4].key, static_cast<std::uint32_t>('C'));
    EXPECT_EQ(s[5].key, KEY_RETURN);
    EXPECT_EQ(s[6].count, 250u);
    EXPECT_EQ(s[9].path, "s.json");
}

TEST(Script, BadLinesNameTheirLineNumber) {
    struct Case {
        std::string text;
        const char* error;
    } cases[] = {
        {"tap 1 2\njump 3\n", "script line 2: unknown command 'jump'"},
        {"tap 1\n", "script line 1: tap needs X and Y"},
        {"\n\ntap 1 x\n", "script line 3: bad coordinates '1 x'"},
        {"wait -4\n", "script line 1: bad number '-4'"},
        {"frames 2x\n", "script line 1: bad number '2x'"},
        {"key shift+F13\n", "script line 1: unknown key 'shift+F13'"},
        {"type\n", "script line 1: type needs some text"},
        {"type caf\xc3\xa9\n", "script line 1: type takes printable ASCII characters only"},
        {"type " + std::string(101, 'x') + "\n",
         "script line 1: type takes at most 100 characters"},
        {"tap 1 99999\n", "script line 1: bad coordinates '1 99999'"},
        {"wheel 1 2\n", "script line 1: wheel needs X, Y and the notches"},
        {"wheel 1 2 101\n", "script line 1: bad notches '101' (from -100 to 100)"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseScript(c.text, error)) << c.text;
        EXPECT_EQ(error, c.error);
    }
}

struct Run : ::testing::Test {
    FakeClock clock{1000};
    ScopedClock useClock{clock};
    HeadlessBackend backend;
    Window window{backend, "T", DefaultWindowProc};
    void SetUp() override { ASSERT_TRUE(window.Create()); }
    std::vector<Msg> Drain() {
        std::vector<Msg> out;
        Msg m;
        while (window.Peek(m))
            out.push_back(m);
        return out;
    }
    void Present() {
        std::uint16_t pixel = 0x1234;
        backend.StoreFrame(&pixel, 1, 1, 2);
    }
};

TEST_F(Run, FeedsOneInputAtATimeAndClosesAtTheEnd) {
    backend.SetScript(Parse("tap 5 6\nkey shift+a\n"));
    auto first = Drain();
    ASSERT_GE(first.size(), 2u);
    EXPECT_EQ(first[0].message, MSG_LBUTTONDOWN);
    EXPECT_EQ(PointX(first[0].lParam), 5);
    EXPECT_EQ(first[1].message, MSG_LBUTTONUP);
    std::vector<std::uint32_t> keys;
    for (std::size_t i = 2; i < first.size(); ++i)
        keys.push_back(first[i].message);
    std::vector<std::uint32_t> expected = {MSG_KEYDOWN, MSG_KEYDOWN, MSG_CHAR,
                                           MSG_KEYUP,   MSG_KEYUP,   MSG_CLOSE};
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(first[4].wParam, static_cast<WParam>('A'));
    EXPECT_TRUE(backend.ScriptDone());
}

TEST_F(Run, TypeTypesEachCharacterAsTheKeyboardWould) {
    // Capitals with Shift, characters without a key of their own as characters alone,
    // the text as it stands after one space (inner and trailing spaces kept).
    backend.SetScript(Parse("type  aZ?1 \nkey ctrl+c\nkey :\n"));
    auto posted = Drain();
    std::vector<std::pair<std::uint32_t, WParam>> got;
    for (const Msg& m : posted)
        got.emplace_back(m.message, m.wParam);
    std::vector<std::pair<std::uint32_t, WParam>> expected = {{MSG_KEYDOWN, ' '},
                                                              {MSG_CHAR, ' '},
                                                              {MSG_KEYUP, ' '},
                                                              {MSG_KEYDOWN, 'A'},
                                                              {MSG_CHAR, 'a'},
                                                              {MSG_KEYUP, 'A'},
                                                              {MSG_KEYDOWN, KEY_SHIFT},
                                                              {MSG_KEYDOWN, 'Z'},
                                                              {MSG_CHAR, 'Z'},
                                                              {MSG_KEYUP, 'Z'},
                                                              {MSG_KEYUP, KEY_SHIFT},
                                                              {MSG_CHAR, '?'},
                                                              {MSG_KEYDOWN, '1'},
                                                              {MSG_CHAR, '1'},
                                                              {MSG_KEYUP, '1'},
                                                              {MSG_KEYDOWN, ' '},
                                                              {MSG_CHAR, ' '},
                                                              {MSG_KEYUP, ' '},
                                                              // Ctrl with a letter types nothing.
                                                              {MSG_KEYDOWN, KEY_CONTROL},
                                                              {MSG_KEYDOWN, 'C'},
                                                              {MSG_KEYUP, 'C'},
                                                              {MSG_KEYUP, KEY_CONTROL},
                                                              {MSG_CHAR, ':'},
                                                              {MSG_CLOSE, 0}};
    EXPECT_EQ(got, expected);
}

TEST_F(Run, AWheelTurnIsPostedAtItsPoint) {
    backend.SetScript(Parse("wheel 30 -4 -2\nwheel 0 319 100\n"));
    auto posted = Drain();
    ASSERT_GE(posted.size(), 2u);
    EXPECT_EQ(posted[0].message, MSG_MOUSEWHEEL);
    EXPECT_EQ(WheelDelta(posted[0].wParam), -240);
    EXPECT_EQ(PointX(posted[0].lParam), 30);
    EXPECT_EQ(PointY(posted[0].lParam), -4);
    EXPECT_EQ(WheelDelta(posted[1].wParam), 12000);
    EXPECT_EQ(PointY(posted[1].lParam), 319);
}

TEST_F(Run, WaitHoldsTheScriptOnTheClockAndFramesOnPresents) {
    backend.SetScript(Parse("wait 100\ntap 1 1\nframes 2\ntap 2 2\n"));
    EXPECT_TRUE(Drain().empty());
    clock.Advance(100);
    EXPECT_EQ(Drain().size(), 2u);  // the first tap
    Present();
    EXPECT_TRUE(Drain().empty());
    Present();
    auto rest = Drain();
    ASSERT_EQ(rest.size(), 3u);  // the second tap, then the close
    EXPECT_EQ(PointX(rest[0].lParam), 2);
    EXPECT_EQ(rest[2].message, MSG_CLOSE);
}

TEST_F(Run, AShotWaitsForTheFrameThatFollowsItsInputAndReportsFailures) {
    backend.SetScript(Parse("tap 1 1\nshot /nonexistent-folder/x.png\n"));
    Drain();
    EXPECT_EQ(backend.Failures(), 0);  // not yet: no frame since the tap
    Present();
    Drain();
    EXPECT_EQ(backend.Failures(), 1);
}

}  // namespace
}  // namespace platform::headless
