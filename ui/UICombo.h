#pragma once
// A one-line field showing the selected item of its embedded list, which opens below it
// when tapped and is then drawn above every other widget.

#include <cstdint>
#include <span>

#include "ui/TObject.h"
#include "ui/UIListBox.h"

namespace gfx {
class Font;
}

namespace ui {

class ImageStrip;

class UICombo : public TObject {
  public:
    UICombo();

    LResult HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) override;

    // The closed field at (x, y), `fieldWidth` wide and a font height + 4 high; the list
    // holds up to `capacity` items and shows `rows` rows when open. Column widths, when
    // given, split the items into columns (at most MAX_COLUMNS).
    void Setup(int x, int y, int fieldWidth, int rows, int capacity, const gfx::Font* font,
               const ImageStrip* scrollFaces = nullptr,
               std::span<const std::uint16_t> columnWidths = {});
    // The list's text, background and frame colours; `thumb` colours the scroll thumb, its
    // drag colour (three quarters as bright) and the arrow box.
    void SetColours(std::uint16_t text, std::uint16_t background, std::uint16_t frame,
                    std::uint16_t thumb);
    // Opens the list below the field; an empty list does not open.
    void Open();
    // Closes the list; sends one command (code 1) when the selection changed while open.
    void Close();
    bool IsOpen() const { return (open & 1) != 0; }
    // Pixels a column of the selected item may take in the closed field, left of the arrow
    // box; 0 for a column that is not drawn there.
    int TextRoom(int column) const;

    UIListBox list;  // the only child, id 1
    std::uint32_t open = 0;
    std::uint32_t visibleRows = 0;
    std::uint32_t changed = 0;
    int selectionAtOpen = -1;
    std::uint16_t arrowColour = 0x84FB;

  private:
    int FieldHeight() const { return FontHeight() + 4; }
    int FontHeight() const;
    int ArrowBoxWidth() const;
    void Draw(gfx::Surface& surface);
    void DrawArrowBox(gfx::Surface& s, int left, int top, int right) const;
    int TextRight() const { return width - ArrowBoxWidth() - 1; }
    void DrawSelection(gfx::Surface& s, int left, int top);
};

}  // namespace ui
