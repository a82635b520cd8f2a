#include "ui/UIEdit.h"

#include <string>

#include "UiFixture.h"

namespace ui {
namespace {

using namespace platform;

struct Edit : testing::UiFixture {
    UIEdit edit;
    static constexpr int X = 20, Y = 30, W = 100;
    void SetUp() override {
        UiFixture::SetUp();
        edit.SetRect(X, Y, W, 20);
        edit.SetFont(&font);
        desktop.AddChild(&edit);
        SetFocus(&edit);
    }
    void Key(std::uint32_t key) { desktop.HandleEvent(MSG_KEYDOWN, key, 0); }
    void Char(char c) { desktop.HandleEvent(MSG_CHAR, static_cast<unsigned char>(c), 0); }
    void Type(std::string_view s) {
        for (char c : s)
            Char(c);
    }
    // Screen x of the left edge of character `n` of the field's text.
    int TextX(std::string_view text, std::size_t n) {
        return X + 2 + gfx::textWidth(font, text.substr(0, n));
    }
    // Screen x of the middle of character `n`.
    int Middle(std::string_view text, std::size_t n) {
        return (TextX(text, n) + TextX(text, n + 1)) / 2;
    }
};

TEST_F(Edit, StartsEmptyFocusableWithItsDefaults) {
    UIEdit fresh;
    EXPECT_EQ(fresh.kind, 7);
    EXPECT_EQ(fresh.flags, 33);
    EXPECT_EQ(fresh.font, nullptr);
    EXPECT_TRUE(fresh.Text().empty());
}

TEST_F(Edit, TypesAtTheCaretWhichArrowsMoveWithinTheText) {
    edit.SetText("ac");
    EXPECT_EQ(edit.caret, 2);
    Key(KEY_LEFT);
    Char('b');
    EXPECT_EQ(edit.Text(), "abc");
    EXPECT_EQ(edit.caret, 2);
    for (int i = 0; i < 5; ++i)
        Key(KEY_LEFT);
    EXPECT_EQ(edit.caret, 0);
    Char('Z');
    EXPECT_EQ(edit.Text(), "Zabc");
    for (int i = 0; i < 9; ++i)
        Key(KEY_RIGHT);
    EXPECT_EQ(edit.caret, 4);
    Char('.');
    EXPECT_EQ(edit.Text(), "Zabc.");
}

TEST_F(Edit, RefusesCharactersOutsideTheAllowedSet) {
    const std::string accepted = "azAZ09 ?,.:;mN5";
    Type(accepted);
    EXPECT_EQ(edit.Text(), accepted);
    Type("#|^!-_/\\@'\"<>()*+=\t\r\n");
    Char('\0');
    Char(static_cast<char>(0xE9));
    EXPECT_EQ(edit.Text(), accepted);
    // Every letter and digit of both cases goes in.
    edit.SetText("");
    const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    Type(letters);
    EXPECT_EQ(edit.Text(), letters);
}

TEST_F(Edit, HoldsMaxLengthWhenSetTypedAndReplacing) {
    Type(std::string(100, 'a'));
    EXPECT_EQ(edit.Text().size(), 81u);
    edit.SetMaxLength(5);
    EXPECT_EQ(edit.Text(), "aaaaa");
    edit.SetText("abcdefgh");
    EXPECT_EQ(edit.Text(), "abcde");
    EXPECT_EQ(edit.caret, 5);
    Type("xyz");
    EXPECT_EQ(edit.Text(), "abcde");
    // A full field still takes a character that replaces a selection.
    edit.SelectAll(2);
    Char('Q');
    EXPECT_EQ(edit.Text(), "Qcde");
    EXPECT_EQ(edit.caret, 1);
    Type("rst");
    EXPECT_EQ(edit.Text(), "Qrcde");
}

TEST_F(Edit, BackspaceAndDeleteDoNothingPastTheEnds) {
    edit.SetText("abc");
    Key(KEY_DELETE);  // caret at the end
    EXPECT_EQ(edit.Text(), "abc");
    Key(KEY_BACK);
    EXPECT_EQ(edit.Text(), "ab");
    EXPECT_EQ(edit.caret, 1 + 1);
    Key(KEY_LEFT);
    Key(KEY_LEFT);
    Key(KEY_BACK);  // caret at 0
    EXPECT_EQ(edit.Text(), "ab");
    EXPECT_EQ(edit.caret, 0);
    Key(KEY_DELETE);
    EXPECT_EQ(edit.Text(), "b");
    EXPECT_EQ(edit.caret, 0);
    Key(KEY_DELETE);
    Key(KEY_DELETE);
    EXPECT_EQ(edit.Text(), "");
}

TEST_F(Edit, DragSelectsEitherWayAndTypingOrDeletingReplacesTheSpan) {
    const std::string t = "abcdef";
    edit.SetText(t);
    Down(Middle(t, 1), Y + 5);
    EXPECT_EQ(desktop.capture, &edit);
    Move(Middle(t, 3), Y + 5);
    Up(Middle(t, 3), Y + 5);
    EXPECT_EQ(desktop.capture, nullptr);
    EXPECT_EQ(edit.anchor, 1);
    EXPECT_EQ(edit.selEnd, 3);
    EXPECT_EQ(edit.caret, 3);
    Char('X');
    EXPECT_EQ(edit.Text(), "aXdef");
    EXPECT_EQ(edit.caret, 2);
    EXPECT_FALSE(edit.HasSelection());

    const std::string u = edit.Text();
    Down(Middle(u, 4), Y + 5);
    Move(Middle(u, 1), Y + 5);
    Up(Middle(u, 1), Y + 5);
    EXPECT_EQ(edit.anchor, 4);
    EXPECT_EQ(edit.selEnd, 1);
    Key(KEY_DELETE);
    EXPECT_EQ(edit.Text(), "af");
    EXPECT_EQ(edit.caret, 1);

    // Dragged off the left edge the selection runs to the start; a press on the last
    // pixel of a character puts the caret before it, one past it after it.
    const std::string v = "abc";
    edit.SetText(v);
    Down(TextX(v, 2), Y + 5);
    Move(X - 30, Y + 5);
    Up(X - 30, Y + 5);
    EXPECT_EQ(edit.anchor, 2);
    EXPECT_EQ(edit.selEnd, 0);
    Tap(TextX(v, 2) - 1, Y + 5);
    EXPECT_EQ(edit.caret, 1);
    Tap(X + W - 3, Y + 5);
    EXPECT_EQ(edit.caret, 3);
    // The arrows clear a selection.
    edit.SelectAll(-1);
    EXPECT_EQ(edit.selEnd, 3);
    Key(KEY_LEFT);
    EXPECT_FALSE(edit.HasSelection());
}

TEST_F(Edit, HidingTheFieldMidDragLetsGoOfTheStylus) {
    const std::string t = "abcdef";
    edit.SetText(t);
    Down(Middle(t, 1), Y + 5);
    edit.SetFlags(0);
    EXPECT_EQ(edit.dragging, 0u);
    EXPECT_EQ(desktop.capture, nullptr);
    edit.SetFlags(FLAG_VISIBLE | FLAG_FOCUSABLE);
    Move(Middle(t, 4), Y + 5);
    EXPECT_EQ(edit.selEnd, 1);
}

TEST_F(Edit, ReadOnlyIgnoresKeysAndCharacters) {
    edit.SetText("abc");
    edit.editState = EDIT_READONLY;
    Char('d');
    Key(KEY_BACK);
    Key(KEY_LEFT);
    EXPECT_EQ(edit.Text(), "abc");
    EXPECT_EQ(edit.caret, 3);
}

struct EditDrawing : Edit {
    static constexpr std::uint16_t SCREEN = 0x1234;
    gfx::Surface& Draw(std::int32_t frame) {
        gfx::Surface& s = Screen();
        gfx::clear(s, SCREEN);
        desktop.frameCounter = frame;
        desktop.Draw(s);
        return s;
    }
    int Count(const gfx::Surface& s, int x, int y0, int y1, std::uint16_t colour) {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            n += gfx::getPixel(s, x, y) == colour;
        return n;
    }
};

TEST_F(EditDrawing, FrameFillAndHeightFollowTheFont) {
    gfx::Surface& s = Draw(0);
    const int h = font.height + 4;
    EXPECT_EQ(edit.height, h);
    EXPECT_EQ(gfx::getPixel(s, X, Y), 0x0000);
    EXPECT_EQ(gfx::getPixel(s, X + W, Y + h), 0x0000);
    EXPECT_EQ(gfx::getPixel(s, X + 1, Y + 1), 0xFFFF);
    EXPECT_EQ(gfx::getPixel(s, X + W - 1, Y + h - 1), 0xFFFF);
    EXPECT_EQ(gfx::getPixel(s, X - 1, Y), SCREEN);
    EXPECT_EQ(gfx::getPixel(s, X + W + 1, Y + h), SCREEN);
    EXPECT_EQ(gfx::getPixel(s, X, Y + h + 1), SCREEN);
}

TEST_F(EditDrawing, CaretIsAFontHighLineAtTheCaretWhileItBlinksOn) {
    const std::string t = "ab";
    edit.SetText(t);
    Key(KEY_LEFT);
    const int fh = font.height, cx = TextX(t, 1), top = Y + 2;
    gfx::Surface& s = Draw(0);
    EXPECT_EQ(Count(s, cx, top, top + fh - 1, 0x0000), fh);
    EXPECT_EQ(gfx::getPixel(s, cx, top - 1), 0xFFFF);
    EXPECT_EQ(gfx::getPixel(s, cx, top + fh), 0xFFFF);
    EXPECT_LT(Count(s, cx - 1, top, top + fh - 1, 0x0000), fh);
    EXPECT_LT(Count(s, cx + 1, top, top + fh - 1, 0x0000), fh);
    gfx::Surface& off = Draw(CARET_PERIOD / 2);
    EXPECT_LT(Count(off, cx, top, top + fh - 1, 0x0000), fh);
    SetFocus(nullptr);
    gfx::Surface& unfocused = Draw(0);
    EXPECT_LT(Count(unfocused, cx, top, top + fh - 1, 0x0000), fh);
}

TEST_F(EditDrawing, SelectionIsFilledFromEdgeToEdgeOnlyWhileFocused) {
    const std::string t = "abcd";
    edit.SetText(t);
    edit.anchor = 3;
    edit.selEnd = 1;
    const int fh = font.height, top = Y + 2, x0 = TextX(t, 1), x1 = TextX(t, 3);
    gfx::Surface& s = Draw(CARET_PERIOD / 2);
    EXPECT_GT(Count(s, x0, top, top + fh - 1, 0x3358), 0);
    EXPECT_GT(Count(s, x1 - 1, top, top + fh - 1, 0x3358), 0);
    EXPECT_EQ(Count(s, x0 - 1, top, top + fh - 1, 0x3358), 0);
    EXPECT_EQ(Count(s, x1, top, top + fh - 1, 0x3358), 0);
    EXPECT_EQ(Count(s, x0, top - 1, top - 1, 0x3358), 0);
    EXPECT_EQ(Count(s, x0, top + fh, top + fh, 0x3358), 0);
    // The selected characters are drawn again in white over the bar.
    int white = 0;
    for (int x = x0; x < x1; ++x)
        white += Count(s, x, top, top + fh - 1, 0xFFFF);
    EXPECT_GT(white, 0);
    SetFocus(nullptr);
    gfx::Surface& unfocused = Draw(0);
    EXPECT_EQ(Count(unfocused, x0, top, top + fh - 1, 0x3358), 0);
}

TEST_F(EditDrawing, TextLongerThanTheFieldStopsInsideTheFrame) {
    edit.SetText(std::string(60, 'W'));
    SetFocus(nullptr);
    gfx::Surface& s = Draw(0);
    const int h = font.height + 4;
    EXPECT_EQ(Count(s, X + W - 1, Y + 1, Y + h - 1, 0xFFFF), h - 1);
    EXPECT_EQ(Count(s, X + W + 1, Y, Y + h, SCREEN), h + 1);
    EXPECT_GT(testing::Inked(s, gfx::Rect{X + 2, Y + 2, X + W - 2, Y + h - 2}, 0xFFFF), 0);
}

}  // namespace
}  // namespace ui
