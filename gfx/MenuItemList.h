#pragma once
// The rectangular items of a pop-up menu: painting, hit-testing, and keys and stylus
// moving a selection among them.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/Draw.h"
#include "gfx/Font.h"
#include "platform/Messages.h"

namespace gfx {

// MenuItem::flags
constexpr std::uint16_t ITEM_HIDDEN = 1;
constexpr std::uint16_t ITEM_DISABLED = 2;
constexpr std::uint16_t ITEM_HIDDEN_TOO = 4;  // a second hidden bit, treated like the first
constexpr std::uint16_t ITEM_SHADOWED = 8;
constexpr std::uint16_t ITEM_NO_FACE = 16;
constexpr std::uint16_t ITEM_SELECTED = 32;
constexpr std::uint16_t ITEM_PRESSED = 64;
constexpr std::uint16_t ITEM_NOT_BY_KEYS = 128;
constexpr std::uint16_t ITEM_ICON = 0x100;
constexpr std::uint16_t ITEM_RED_FRAME = 0x200;

// Ids of the scroll arrows; rows count from 1.
constexpr int ITEM_UP_ARROW = -1;
constexpr int ITEM_DOWN_ARROW = -2;

// Colour slots 1..7 (index 0 is unused).
enum MenuColourSlot : int {
    MENU_TEXT = 1,
    MENU_FACE = 2,
    MENU_FRAME = 3,
    MENU_DISABLED_TEXT = 4,
    MENU_SELECTED_FRAME = 5,
    MENU_SELECTED_TEXT = 6,
    MENU_SELECTED_FACE = 7,
};
using MenuColours = std::array<std::uint16_t, 8>;
constexpr MenuColours DEFAULT_MENU_COLOURS = {0, 0, 0xC618, 0, 0xA514, 0xF800, 0x4000, 0xC618};

struct MenuItem {
    bool Hidden() const { return flags & (ITEM_HIDDEN | ITEM_HIDDEN_TOO); }
    bool Disabled() const { return flags & ITEM_DISABLED; }
    bool Selected() const { return flags & ITEM_SELECTED; }
    bool Pressed() const { return flags & ITEM_PRESSED; }
    bool Contains(int x, int y) const {
        return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
    }

    Rect rect{};  // right = left + width, bottom = top + height
    std::uint16_t flags = 0;
    int id = 0;
    const Font* font = nullptr;  // null: the built-in 8 x 16 font
    MenuColours colours = DEFAULT_MENU_COLOURS;
    std::string text;
};

class MenuItemList {
  public:
    static constexpr std::size_t MAX_ITEMS = 64;
    // flags
    static constexpr std::uint32_t STOP_AT_ENDS = 1;
    static constexpr std::uint32_t KEYS_DO_NOT_MOVE = 2;

    void Clear();
    // False when the list is full.
    bool Add(int id, std::string_view text, int x, int y, int width, int height,
             std::uint16_t flags);
    int Count() const { return static_cast<int>(items.size()); }
    // Items by 1-based index.
    MenuItem& Item(int index) { return items.at(static_cast<std::size_t>(index - 1)); }
    const MenuItem& Item(int index) const { return items.at(static_cast<std::size_t>(index - 1)); }
    // The 1-based index of the first item containing the point, else 0.
    int HitTest(int x, int y) const;
    MenuItem* FindById(int id);
    // id 0 sets the list's slot, which items added later copy.
    void SetColour(int id, int slot, std::uint16_t value);
    // The 1-based index of the first selected item, else 0.
    int SelectedIndex() const;
    void Select(int index);
    // Steps over hidden, disabled and key-less items; wraps unless STOP_AT_ENDS.
    void MoveSelection(int step);
    void DrawAll(Surface& surface) const;
    void Draw(Surface& surface, const MenuItem& item) const;

    // Keys and stylus events; answers the id of an item activated by them.
    std::optional<int> HandleInput(const platform::Msg& msg);

    std::uint32_t flags = 0;
    const Font* font = nullptr;      // for items added from now on
    const Surface* icons = nullptr;  // icon strip for ITEM_ICON items
    int iconWidth = 0;
    MenuColours colours = DEFAULT_MENU_COLOURS;
    std::function<void(int id, std::uint16_t flags)> onActivate;

  private:
    std::optional<int> Activate(int index);
    std::optional<int> HandleStylus(const platform::Msg& msg);

    std::vector<MenuItem> items;
    int pressed = 0;  // 1-based, 0: none
};

}  // namespace gfx
