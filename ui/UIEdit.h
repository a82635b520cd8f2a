#pragma once
// A one-line text field with a caret and a selection made by dragging the stylus. Typing
// inserts only characters of `allowed`, and never past `maxLength`.

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/TObject.h"

namespace gfx {
class Font;
}

namespace ui {

// `editState` bits.
constexpr std::uint32_t EDIT_READONLY = 1;

constexpr std::int32_t EDIT_DEFAULT_MAX_LENGTH = 81;
inline constexpr std::string_view EDIT_ALLOWED =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890 ?,.:;";

class UIEdit : public TObject {
  public:
    UIEdit();

    LResult HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) override;

    // The caret goes to the end; text past `maxLength` characters is dropped.
    void SetText(std::string_view newText);
    // Also shortens the text already held; negative counts as 0.
    void SetMaxLength(std::int32_t n);
    // Selects from 0 to n characters, or the whole text when n is -1.
    void SelectAll(std::int32_t n);
    void SetFont(const gfx::Font* newFont) { font = newFont; }

    const std::string& Text() const { return text; }
    bool HasSelection() const { return anchor != selEnd; }
    // Pixels from the text origin to the left edge of character `index`.
    int PixelOf(std::int32_t index) const;
    // The character under `px` pixels from the text origin (the length past the end).
    std::int32_t IndexAt(int px) const;

    std::uint32_t editState = 0;
    std::int32_t maxLength = EDIT_DEFAULT_MAX_LENGTH;
    const gfx::Font* font = nullptr;
    std::uint16_t textColour = 0x0000;
    std::uint16_t frameColour = 0x0000;
    std::uint16_t selTextColour = 0xFFFF;
    std::uint16_t selColour = 0x3358;
    std::uint16_t backColour = 0xFFFF;
    std::string_view allowed = EDIT_ALLOWED;
    std::uint32_t dragging = 0;
    std::int32_t caret = 0;
    std::int32_t anchor = 0;
    std::int32_t selEnd = 0;

  private:
    bool Editable() const { return (editState & EDIT_READONLY) == 0; }
    std::int32_t Length() const { return static_cast<std::int32_t>(text.size()); }
    void EndDrag();
    void KeyDown(std::uint32_t key);
    void Type(char c);
    void DeleteSelection();
    void EraseAt(std::int32_t index);
    void Draw(gfx::Surface& surface);

    std::string text;
};

}  // namespace ui
