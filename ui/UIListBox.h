#pragma once
// A scrolling list of text items in one or more columns, with optional 16x16 icons and
// check marks. Reports selection, activation, long presses and release to its parent.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/Draw.h"
#include "ui/TObject.h"
#include "ui/UIScrollBar.h"

namespace gfx {
class Font;
}

namespace ui {

class ImageStrip;

// `style` bits.
constexpr std::uint32_t LIST_ICONS = 1;
constexpr std::uint32_t LIST_SNAPSHOT = 2;  // redraw from a copy while nothing changed
constexpr std::uint32_t LIST_DIRTY = 4;
constexpr std::uint32_t LIST_CHECKS = 8;

// `itemFlags` values.
constexpr std::uint32_t ITEM_FOLDER = 0x10;
constexpr std::uint32_t ITEM_CHECKED = 0x10000;
constexpr std::uint32_t ITEM_NONE = 0xFFFFFFFF;  // what an index out of range reads

// Notification codes a list box sends.
constexpr std::uint32_t LIST_SELECTED = 1;
constexpr std::uint32_t LIST_ACTIVATED = 2;
constexpr std::uint32_t LIST_LONG_PRESS = 10;
constexpr std::uint32_t LIST_RELEASED = 11;
constexpr std::uint32_t LIST_CANCELLED = 12;  // Escape: whoever opened the list closes it

constexpr std::uint32_t LONG_PRESS_TIMER = 1001;
constexpr std::uint32_t LONG_PRESS_POLL_MS = 50;
constexpr std::uint32_t LONG_PRESS_MS = 500;
constexpr std::uint32_t DOUBLE_TAP_MS = 500;

constexpr int MAX_COLUMNS = 5;
// Longest column text shown; longer ones are cut.
constexpr std::size_t COLUMN_LIMIT = 128;
constexpr int ICON_SIZE = 16;
constexpr int ICON_ROW_HEIGHT = 17;

// Column alignments.
constexpr std::uint16_t ALIGN_LEFT = 0;
constexpr std::uint16_t ALIGN_RIGHT = 1;

struct ListColumn {
    std::uint16_t width = 0;
    std::uint16_t align = ALIGN_LEFT;
    gfx::Rect rect{0, 0, 0, 0};  // local, set by Layout
};

struct ListItem {
    std::uint32_t data = 0;  // the icon index of a file
    std::uint32_t itemFlags = 0;
    std::string text;  // columns separated by '|'
};

// Given an item's text and flags, may replace its icon index.
using IconHook = int (*)(std::string_view text, std::uint32_t itemFlags, int icon);

class UIListBox : public TObject {
  public:
    UIListBox();
    // Stops the long-press timer it may have left running.
    ~UIListBox() override;

    LResult HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) override;

    // Frees every item; room for n items from now on. False for a negative n.
    bool SetCapacity(int n);
    // False when the list is full.
    bool AddItem(std::string_view text, std::uint32_t data = 0, std::uint32_t itemFlags = 0);
    void RemoveAll();
    // One '|'-separated column of an item, cut to COLUMN_LIMIT characters: empty when the
    // item has fewer columns, nothing for an index past the end.
    std::optional<std::string_view> Column(int index, int column) const;
    // Index of the first item whose first column is exactly `text`, or -1.
    int Find(std::string_view text) const;
    // -1 clears the selection; past the end selects the last item; scrolls to show it.
    void Select(int index);
    // The selected index, or -1 (empty list or nothing selected).
    int Selection() const;
    int Count() const { return count; }
    std::uint32_t ItemData(int index) const;   // ITEM_NONE out of range
    std::uint32_t ItemFlags(int index) const;  // ITEM_NONE out of range
    bool SetItemFlags(int index, std::uint32_t itemFlags);
    void SetFont(const gfx::Font* newFont);
    void SetStyle(std::uint32_t bits);
    int HeightFor(int rowCount) const { return rowHeight * rowCount + 2; }
    // At most MAX_COLUMNS; false otherwise.
    bool SetColumns(int n, std::span<const std::uint16_t> widths,
                    std::span<const std::uint16_t> aligns = {});
    void Layout();
    // Shows up to n rows; the scroll bar only when there are more items.
    void FitRows(int n);
    void SetScrollFaces(const ImageStrip* strip);
    void SetCheckFaces(const ImageStrip* strip, std::uint32_t column);
    void SetIcons(const ImageStrip* icons, IconHook hook = nullptr);
    // Folders first, then case-insensitive order of `column`; direction 1 or -1.
    void Sort(int column, int direction);
    void SyncScroll();
    void MarkDirty() { style |= LIST_DIRTY; }
    const ListItem* Item(int index) const;
    // Pixels a column's text may take as the list is now laid out (the scroll bar, when
    // shown, narrows the last columns); 0 for a column that is not drawn.
    int TextRoom(int column) const;
    // Right end of the text area: the scroll bar's left edge, or the inner frame.
    int TextRight() const;

    std::uint32_t style = 0;
    std::int32_t cursor = 0;  // selected row counted from `top`; -1: none
    std::int32_t top = 0;     // first visible item
    std::int32_t capacity = 0;
    std::int32_t rows = 0;  // rows that fit, set by Layout
    std::int32_t columnCount = 1;
    std::array<ListColumn, MAX_COLUMNS> columns{};
    std::int32_t count = 0;
    std::int32_t rowHeight = 16;
    std::uint32_t lastSelectTime = 0;  // ms; 0: no tap to pair with
    std::uint32_t pressTime = 0;       // ms
    std::uint32_t pressPoint = 0;      // x low, y high; 0 while no stylus is held
    std::uint16_t selectColour = 0x3358;
    std::uint16_t selectTextColour = 0xFFFF;
    std::uint16_t backColour = 0xFFFF;
    std::uint16_t textColour = 0x0000;
    std::uint16_t frameColour = 0x0000;
    gfx::SurfacePtr snapshot;
    const ImageStrip* scrollFaces = nullptr;
    const ImageStrip* checkFaces = nullptr;
    std::uint32_t checkColumn = 0;
    const ImageStrip* imageList = nullptr;  // 16x16 icons, indexed left to right
    UIScrollBar scroll;                     // the only child, id 1
    const gfx::Font* font = nullptr;
    std::vector<std::unique_ptr<ListItem>> items;
    IconHook iconHook = nullptr;

  private:
    int ScrollWidth() const;
    void PlaceScrollBar();
    void Key(std::uint32_t key);
    void Wheel(int delta);
    void StylusDown(int px, int py);
    void LongPressTick();
    void Send(std::uint32_t code, LParam lParam);
    void Draw(gfx::Surface& surface);
    void DrawRows(gfx::Surface& s, int left, int top, int textRight);
    void DrawCell(gfx::Surface& s, const ListColumn& c, int left, int rowTop, std::string_view text,
                  std::uint16_t colour);
    void TakeSnapshot(const gfx::Surface& s, int left, int top);

    bool noSelection = false;  // cursor -1 stays "none" however far the list scrolls
    std::string scratch;       // a fitted column, reused between draws
};

}  // namespace ui
