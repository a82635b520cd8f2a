#pragma once
// An on-screen keyboard: three rows of ten character keys and a row of Shift, Space, Alt
// and Del. Keys post character and key messages to the window, so that they reach the
// focused field the way hardware keys do.

#include <array>
#include <cstdint>
#include <string_view>

#include "ui/TObject.h"
#include "ui/UIButton.h"

namespace ui {

// Ids of the keys that are not characters.
constexpr std::uint16_t KEYPAD_SHIFT = 1;
constexpr std::uint16_t KEYPAD_ALT = 2;
constexpr std::uint16_t KEYPAD_DEL = 8;
constexpr std::uint16_t KEYPAD_SPACE = 32;

// The normal page, then the Alt page; a blank is a key that sends nothing useful.
inline constexpr std::string_view KEYPAD_LAYOUT =
    "QWERTYUIOPASDFGHJKL:ZXCVBNM,.?1234567890                    ";

class UIKeypad : public TObject {
  public:
    static constexpr int ROWS = 3;
    static constexpr int COLUMNS = 10;
    static constexpr int KEY_COUNT = ROWS * COLUMNS + 4;  // of the 35 slots, one is spare

    UIKeypad() { Build(); }

    LResult HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) override;

    void SetKeySize(int newWidth, int newHeight) {
        keyWidth = newWidth;
        keyHeight = newHeight;
    }
    // Lays the keys out again for the current Shift and Alt and resizes the keypad.
    void Build();
    // The character key at row r, column c as the current page shows it (0 for a blank).
    char KeyChar(int r, int c) const;
    const UIButton& Key(int index) const { return keys[static_cast<std::size_t>(index)]; }

    std::uint32_t shift = 0;
    std::uint32_t alt = 0;
    std::uint16_t faceColour = 0xC61F;
    int keyHeight = 22;
    int keyWidth = 20;
    int gap = 2;
    int keyCount = 0;
    std::string_view layout = KEYPAD_LAYOUT;

  private:
    UIButton& AddKey(std::uint16_t keyId, std::string_view text, int kx, int ky, int kw,
                     std::uint32_t toggleBits);

    std::array<UIButton, 35> keys;
};

}  // namespace ui
