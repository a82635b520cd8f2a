#include "ui/UIKeypad.h"

#include "ui/TDesktop.h"

namespace ui {

char UIKeypad::KeyChar(int r, int c) const {
    std::size_t i = static_cast<std::size_t>(COLUMNS * r + c) + (alt ? 30 : 0);
    char ch = i < layout.size() ? layout[i] : ' ';
    if (ch == ' ') return 0;
    if (ch >= 'A' && ch <= 'Z' && !shift) ch = static_cast<char>(ch - 'A' + 'a');
    return ch;
}

UIButton& UIKeypad::AddKey(std::uint16_t keyId, std::string_view text, int kx, int ky, int kw,
                           std::uint32_t toggleBits) {
    UIButton& key = keys[static_cast<std::size_t>(keyCount++)];
    key.faceColour = faceColour;
    key.SetFlags(FLAG_VISIBLE | FLAG_CAPTION);
    key.SetCaption(keyId, text, CAPTION_INSIDE);
    key.SetButtonState(BUTTON_BEVEL | toggleBits);
    key.SetRect(kx, ky, kw, keyHeight);
    AddChild(&key);
    return key;
}

void UIKeypad::Build() {
    ClearChildren();
    keyCount = 0;
    const int unit = gap + keyWidth, row = gap + keyHeight;
    for (int r = 0; r < ROWS; ++r)
        for (int c = 0; c < COLUMNS; ++c) {
            char ch = KeyChar(r, c);
            AddKey(static_cast<unsigned char>(ch), ch ? std::string_view(&ch, 1) : "", unit * c,
                   row * r, keyWidth, 0);
        }
    const int y4 = row * 3;
    AddKey(KEYPAD_SHIFT, "Shift", 0, y4, 2 * unit - gap,
           BUTTON_TOGGLE | (shift ? BUTTON_CHECKED : 0));
    AddKey(KEYPAD_SPACE, "Space", 2 * unit, y4, 4 * unit - gap, 0);
    AddKey(KEYPAD_ALT, "Alt", 6 * unit, y4, 2 * unit - gap,
           BUTTON_TOGGLE | (alt ? BUTTON_CHECKED : 0));
    AddKey(KEYPAD_DEL, "Del", 8 * unit, y4, 2 * unit - gap, 0);
    width = COLUMNS * unit;
    height = 4 * row;
}

LResult UIKeypad::HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) {
    using namespace platform;
    if (msg == 7) return 1;  // the keypad never keeps the focus
    if (msg == MSG_COMMAND) {
        auto* key = reinterpret_cast<const UIButton*>(lParam);
        std::uint32_t keyId = CommandId(wParam);
        if (keyId == KEYPAD_SHIFT && key) {
            shift = key->Checked() ? 1 : 0;
            Build();
        } else if (keyId == KEYPAD_ALT && key) {
            alt = key->Checked() ? 1 : 0;
            Build();
            PostToWindow(MSG_KEYDOWN, KEYPAD_ALT, 0);
        } else if (keyId == KEYPAD_DEL || keyId == 9) {
            PostToWindow(MSG_KEYDOWN, keyId, 0);
        } else {
            PostToWindow(MSG_CHAR, keyId, 0);
        }
    }
    return DispatchToChildren(msg, wParam, lParam);
}

}  // namespace ui
