#pragma once
// The one button class: push button, check box, radio member and auto-repeat button are
// the same widget with different state bits, drawn from an image strip or as a bevelled box.

#include <cstdint>

#include "ui/TObject.h"

namespace ui {

class ImageStrip;

// `state` bits of a button.
constexpr std::uint32_t BUTTON_CHECKED = 1;
constexpr std::uint32_t BUTTON_INSIDE = 2;  // the stylus is over the button (transient)
constexpr std::uint32_t BUTTON_HELD = 4;    // the stylus went down on it (transient)
constexpr std::uint32_t BUTTON_TOGGLE = 8;  // a completed tap flips BUTTON_CHECKED
constexpr std::uint32_t BUTTON_GROUP_FIRST = STATE_GROUP_FIRST;
constexpr std::uint32_t BUTTON_RADIO = STATE_GROUP_MEMBER;
constexpr std::uint32_t BUTTON_BEVEL = 64;
constexpr std::uint32_t BUTTON_REPEAT = 128;     // the command repeats while held
constexpr std::uint32_t BUTTON_FLAT = 256;       // with BUTTON_BEVEL: a flat frame
constexpr std::uint32_t BUTTON_FRAMELESS = 512;  // with BUTTON_FLAT: no frame until pressed

constexpr std::uint32_t REPEAT_TIMER = 1000;
constexpr std::uint32_t REPEAT_PERIOD_MS = 50;

// Face rows of a strip.
constexpr int FACE_PRESSED = 0;
constexpr int FACE_NORMAL = 1;
constexpr int FACE_DISABLED = 2;

class UIButton : public TObject {
  public:
    UIButton() { kind = KIND_BUTTON; }
    // A button destroyed while held stops its repeat timer.
    ~UIButton() override;

    LResult HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) override;

    void SetFaces(const ImageStrip* strip, std::uint32_t column) {
        faces = strip;
        faceColumn = column;
    }
    void SetButtonState(std::uint32_t bits) { state = bits; }
    bool Checked() const { return (state & BUTTON_CHECKED) != 0; }
    bool Pressed() const { return HasState(BUTTON_INSIDE | BUTTON_HELD); }
    // The strip row for the current state.
    int FaceRow() const;

    std::uint32_t faceColumn = 0;
    std::uint16_t faceColour = 0xC618;
    std::uint16_t borderColour = 0x0000;
    const ImageStrip* faces = nullptr;

  private:
    void Draw(gfx::Surface& surface);
    void DrawBevel(gfx::Surface& surface, int left, int top, bool pressed) const;
    void Release(LParam lParam);
    // Lets go of a press without sending anything.
    void Cancel();
};

}  // namespace ui
