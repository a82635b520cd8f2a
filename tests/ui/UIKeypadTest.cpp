#include "ui/UIKeypad.h"

#include <array>
#include <string>

#include "UiFixture.h"
#include "ui/UIEdit.h"

namespace ui {
namespace {

using namespace platform;

// What each page sends, row by row; '\0' stands for a blank key.
constexpr std::array<const char*, 3> LOWER = {"qwertyuiop", "asdfghjkl:", "zxcvbnm,.?"};
constexpr std::array<const char*, 3> UPPER = {"QWERTYUIOP", "ASDFGHJKL:", "ZXCVBNM,.?"};

struct Keypad : testing::UiFixture {
    static constexpr int X = 10, Y = 150;
    UIKeypad pad;
    void SetUp() override {
        UiFixture::SetUp();
        pad.x = X;
        pad.y = Y;
        desktop.AddChild(&pad);
    }
    // Messages posted to the window, in order.
    std::vector<Msg> Posted() {
        std::vector<Msg> out;
        Msg m;
        while (!window.QueueEmpty() && window.Peek(m))
            out.push_back(m);
        return out;
    }
    // The middle of a character key: 20 x 22 keys with a gap of 2.
    void TapKey(int r, int c) { Tap(X + 22 * c + 10, Y + 24 * r + 11); }
    // The fourth row: Shift, Space, Alt, Del.
    void TapShift() { Tap(X + 20, Y + 72 + 11); }
    void TapSpace() { Tap(X + 44 + 40, Y + 72 + 11); }
    void TapAlt() { Tap(X + 132 + 20, Y + 72 + 11); }
    void TapDel() { Tap(X + 176 + 20, Y + 72 + 11); }

    std::string PageSent() {
        std::string sent;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 10; ++c) {
                TapKey(r, c);
                auto m = Posted();
                EXPECT_EQ(m.size(), 1u) << r << "," << c;
                if (m.size() != 1) continue;
                EXPECT_EQ(m[0].message, MSG_CHAR);
                sent += static_cast<char>(m[0].wParam);
            }
        return sent;
    }
};

TEST_F(Keypad, KeysSitOnTheGridAndTheKeypadSpansTenUnitsByFourRows) {
    EXPECT_EQ(pad.width, 220);
    EXPECT_EQ(pad.height, 96);
    EXPECT_EQ(pad.keyCount, 34);
    const UIButton& last = pad.Key(29);  // row 2, column 9
    EXPECT_EQ(last.x, 198);
    EXPECT_EQ(last.y, 48);
    EXPECT_EQ(last.width, 20);
    EXPECT_EQ(last.height, 22);
    struct Wide {
        int index, x, width, id;
        const char* caption;
    };
    for (Wide w : {Wide{30, 0, 42, 1, "Shift"}, Wide{31, 44, 86, 32, "Space"},
                   Wide{32, 132, 42, 2, "Alt"}, Wide{33, 176, 42, 8, "Del"}}) {
        const UIButton& k = pad.Key(w.index);
        EXPECT_EQ(k.x, w.x) << w.caption;
        EXPECT_EQ(k.y, 72) << w.caption;
        EXPECT_EQ(k.width, w.width) << w.caption;
        EXPECT_EQ(k.id, w.id) << w.caption;
        EXPECT_EQ(k.caption, w.caption);
        EXPECT_EQ(k.flags, FLAG_VISIBLE | FLAG_CAPTION);
        EXPECT_EQ(k.faceColour, 0xC61F);
    }
    pad.SetKeySize(30, 28);
    pad.Build();
    EXPECT_EQ(pad.width, 320);
    EXPECT_EQ(pad.height, 120);
    EXPECT_EQ(pad.Key(33).x, 256);
}

TEST_F(Keypad, EachPageSendsItsCharactersWithShiftAndAlt) {
    std::string lower, upper;
    for (int r = 0; r < 3; ++r) {
        lower += LOWER[static_cast<std::size_t>(r)];
        upper += UPPER[static_cast<std::size_t>(r)];
    }
    EXPECT_EQ(PageSent(), lower);
    TapShift();
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(pad.shift, 1u);
    EXPECT_EQ(PageSent(), upper);

    TapAlt();
    auto altMsgs = Posted();
    ASSERT_EQ(altMsgs.size(), 1u);
    EXPECT_EQ(altMsgs[0].message, MSG_KEYDOWN);
    EXPECT_EQ(altMsgs[0].wParam, 2u);
    EXPECT_EQ(pad.alt, 1u);
    const std::string digits = "1234567890" + std::string(20, '\0');
    EXPECT_EQ(PageSent(), digits);  // Shift makes no difference on the Alt page
    TapShift();
    EXPECT_EQ(pad.shift, 0u);
    EXPECT_EQ(PageSent(), digits);
    TapAlt();
    Posted();
    EXPECT_EQ(pad.alt, 0u);
    EXPECT_EQ(PageSent(), lower);
    EXPECT_EQ(pad.Key(0).caption, "q");
    EXPECT_EQ(pad.Key(19).caption, ":");
}

TEST_F(Keypad, SpaceSendsACharacterAndDelAKey) {
    TapSpace();
    TapDel();
    auto m = Posted();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].message, MSG_CHAR);
    EXPECT_EQ(m[0].wParam, 32u);
    EXPECT_EQ(m[1].message, MSG_KEYDOWN);
    EXPECT_EQ(m[1].wParam, 8u);
}

TEST_F(Keypad, TypesIntoTheFocusedFieldWhichKeepsTheFocus) {
    UIEdit edit;
    edit.SetRect(10, 10, 150, 20);
    edit.SetFont(&font);
    desktop.AddChild(&edit);
    Tap(20, 15);
    ASSERT_EQ(desktop.focus, &edit);
    TapShift();
    TapKey(0, 5);  // Y
    TapShift();
    TapKey(0, 2);  // e
    TapKey(0, 4);  // t
    TapSpace();
    TapKey(2, 9);  // ?
    TapDel();
    TapKey(1, 9);  // :
    PumpUntil(clock.NowMs());
    EXPECT_EQ(edit.Text(), "Yet :");
    EXPECT_EQ(desktop.focus, &edit);
    TapAlt();
    TapKey(0, 9);  // 0
    TapKey(1, 0);  // blank: nothing goes in
    PumpUntil(clock.NowMs());
    EXPECT_EQ(edit.Text(), "Yet :0");
}

TEST_F(Keypad, FacesAreBevelledAndTheCheckedToggleDrawsSunk) {
    TapShift();
    gfx::Surface& s = Screen();
    gfx::clear(s, 0x1234);
    desktop.Draw(s);
    // The first key: its face, its frame and the gap beside it.
    EXPECT_EQ(gfx::getPixel(s, X + 3, Y + 3), 0xC61F);
    EXPECT_EQ(gfx::getPixel(s, X + 17, Y + 19), 0xC61F);
    EXPECT_EQ(gfx::getPixel(s, X + 18, Y + 19), 0x630C);  // the inner shadow
    EXPECT_EQ(gfx::getPixel(s, X, Y), 0x0000);
    EXPECT_EQ(gfx::getPixel(s, X + 20, Y + 22), 0x0000);
    EXPECT_EQ(gfx::getPixel(s, X + 1, Y + 1), 0xFFFF);
    EXPECT_EQ(gfx::getPixel(s, X + 21, Y + 5), 0x1234);
    EXPECT_EQ(gfx::getPixel(s, X + 5, Y + 23), 0x1234);
    // The last key of the third row and its caption inside it.
    EXPECT_EQ(gfx::getPixel(s, X + 198, Y + 48), 0x0000);
    EXPECT_EQ(gfx::getPixel(s, X + 218, Y + 70), 0x0000);
    EXPECT_GT(testing::Inked(s, gfx::Rect{X + 202, Y + 52, X + 216, Y + 68}, 0xC61F), 0);
    // Shift is checked: its outer highlight is dark, Alt's is white.
    EXPECT_EQ(gfx::getPixel(s, X + 1, Y + 73), 0x4208);
    EXPECT_EQ(gfx::getPixel(s, X + 133, Y + 73), 0xFFFF);
    EXPECT_EQ(gfx::getPixel(s, X + 3 + 132, Y + 75), 0xC61F);
}

}  // namespace
}  // namespace ui
