#pragma once
// A vertical or horizontal scroll bar with a draggable thumb, optional arrow buttons and
// optional tick marks. Every list box owns one; one stands alone as the trigger level.

#include <cstdint>
#include <string>

#include "gfx/Draw.h"
#include "ui/TObject.h"
#include "ui/UIButton.h"

namespace ui {

class ImageStrip;

// `barStyle` bits.
constexpr std::uint32_t BAR_HORIZONTAL = 1;
constexpr std::uint32_t BAR_GRIP = 2;
constexpr std::uint32_t BAR_VALUE_CAPTION = 4;
constexpr std::uint32_t BAR_TICKS_BEFORE = 8;  // left of a vertical bar, above a horizontal
constexpr std::uint32_t BAR_TICKS_AFTER = 16;
constexpr std::uint32_t BAR_DRAGGING = 64;  // transient

// Notification codes a scroll bar sends.
constexpr std::uint32_t SCROLL_LINE_BACK = 0;
constexpr std::uint32_t SCROLL_LINE_FORWARD = 1;
constexpr std::uint32_t SCROLL_PAGE_BACK = 2;
constexpr std::uint32_t SCROLL_PAGE_FORWARD = 3;
constexpr std::uint32_t SCROLL_RELEASED = 4;
constexpr std::uint32_t SCROLL_TRACKING = 5;
// What one notch of the mouse wheel moves: three arrow steps of a bar, three rows of a list.
constexpr int WHEEL_STEPS = 3;

constexpr std::uint32_t DEFAULT_ARROW_SIZE = 14;

class UIScrollBar : public TObject {
  public:
    UIScrollBar();

    LResult HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) override;

    // With max - min <= page there is nothing to scroll.
    void SetRange(int min, int max, int newPage);
    // Clamped to the range; a new position ends any drag offset.
    void SetPosition(int p);
    int Value() const { return position + dragOffset; }
    // Setting a thumb picture removes the arrow buttons.
    void SetThumbFaces(const ImageStrip* strip);
    // Arrow buttons at both ends (null: none); lays them out again.
    void SetArrowFaces(const ImageStrip* strip);
    void SetBarStyle(std::uint32_t bits) { barStyle = bits; }
    bool Horizontal() const { return (barStyle & BAR_HORIZONTAL) != 0; }
    bool Dragging() const { return (barStyle & BAR_DRAGGING) != 0; }
    // Recomputes `trackLength` and `thumbRect` (local) from the size, range and value.
    void LayOutThumb();

    std::uint32_t arrowSize = DEFAULT_ARROW_SIZE;
    std::uint32_t barStyle = 0;
    const ImageStrip* thumbFaces = nullptr;
    const ImageStrip* arrowFaces = nullptr;
    gfx::Rect thumbRect{0, 0, 0, 0};  // local; right and bottom exclusive
    std::int32_t ticks = 10;
    std::int32_t low = 0;
    std::int32_t high = 100;
    std::int32_t minThumb = 12;
    std::int32_t position = 0;
    float scale = 50.0f;
    std::int32_t page = 0;
    std::int32_t dragOffset = 0;  // change of position while the thumb is dragged
    std::uint16_t gripColour = 0x0000;
    std::uint16_t thumbColour = 0xBE7F;
    std::uint16_t shadeColour = 0x6218;
    std::uint16_t dragColour = 0x6418;
    std::uint16_t frameColour = 0x0000;  // outline of a bar without a thumb picture
    gfx::Point dragStart{0, 0};
    std::int32_t trackLength = 0;  // pixels the thumb can use
    UIButton back;                 // id 1
    UIButton forward;              // id 2

  private:
    void Draw(gfx::Surface& surface);
    void DrawThumb(gfx::Surface& s, const gfx::Rect& r) const;
    void DrawGroove(gfx::Surface& s, int left, int top) const;
    void StylusDown(int px, int py);
    void Drag(int px, int py);
    void Send(std::uint32_t code, int value);
    int Along(int px, int py) const { return Horizontal() ? px : py; }
    int Length() const { return Horizontal() ? width : height; }
};

}  // namespace ui
