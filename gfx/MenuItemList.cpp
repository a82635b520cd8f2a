#include "gfx/MenuItemList.h"

#include "gfx/Blit.h"

namespace gfx {

namespace {

constexpr std::uint16_t WHITE = 0xFFFF;
constexpr std::uint16_t RED = 0xF800;
constexpr std::uint16_t DARK_GREY = 0x4208;
constexpr std::uint16_t MID_GREY = 0x630C;
constexpr std::uint16_t GREY = 0x8410;
constexpr int PRESSED_DARKEN = 28;  // fill alpha of the darkening over a pressed face

void Bevel(Surface& s, const Rect& r, bool pressed) {
    const int w = r.right - r.left - 2, h = r.bottom - r.top - 2;
    if (pressed) {
        hLine(s, r.left + 1, r.bottom - 1, w, WHITE);
        vLine(s, r.right - 1, r.top + 1, h, WHITE);
        hLine(s, r.left + 1, r.top + 1, w, DARK_GREY);
        vLine(s, r.left + 1, r.top + 1, h, DARK_GREY);
        hLine(s, r.left + 2, r.top + 2, w - 2, GREY);
        vLine(s, r.left + 2, r.top + 2, h - 2, GREY);
    } else {
        hLine(s, r.left + 1, r.bottom - 1, w, DARK_GREY);
        vLine(s, r.right - 1, r.top + 1, h, DARK_GREY);
        hLine(s, r.left + 2, r.bottom - 2, w - 2, MID_GREY);
        vLine(s, r.right - 2, r.top + 2, h - 2, MID_GREY);
        hLine(s, r.left + 1, r.top + 1, w, WHITE);
        vLine(s, r.left + 1, r.top + 1, h, WHITE);
    }
}

// Text centred in the box, in the item's font or the built-in one.
void CentredText(Surface& s, const Font* font, int left, int top, int right, int bottom,
                 std::string_view text, std::uint16_t colour) {
    if (text.empty()) return;
    if (font) {
        int x = left + (right - left - textWidth(*font, text)) / 2;
        drawText(*font, s, std::max(x, 0), top + (bottom - top - font->height) / 2, text, colour);
    } else {
        // One pixel right and down sits the fixed font better in a bevelled box.
        int x = left + (right - left - 8 * static_cast<int>(text.size())) / 2 + 1;
        drawString8x16(s, std::max(x, 0), top + (bottom - top - 16) / 2 + 1, text, colour);
    }
}

}  // namespace

void MenuItemList::Clear() {
    items.clear();
    pressed = 0;
}

bool MenuItemList::Add(int id, std::string_view text, int x, int y, int width, int height,
                       std::uint16_t itemFlags) {
    if (items.size() >= MAX_ITEMS) return false;
    items.push_back(MenuItem{Rect{x, y, x + width, y + height}, itemFlags, id, font, colours,
                             std::string(text)});
    return true;
}

int MenuItemList::HitTest(int x, int y) const {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].Contains(x, y)) return static_cast<int>(i + 1);
    return 0;
}

MenuItem* MenuItemList::FindById(int id) {
    for (MenuItem& item : items)
        if (item.id == id) return &item;
    return nullptr;
}

void MenuItemList::SetColour(int id, int slot, std::uint16_t value) {
    if (slot < 1 || slot > 7) return;
    if (id == 0) {
        colours[static_cast<std::size_t>(slot)] = value;
    } else if (MenuItem* item = FindById(id)) {
        item->colours[static_cast<std::size_t>(slot)] = value;
    }
}

int MenuItemList::SelectedIndex() const {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].Selected()) return static_cast<int>(i + 1);
    return 0;
}

void MenuItemList::Select(int index) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (static_cast<int>(i + 1) == index) {
            items[i].flags |= ITEM_SELECTED;
        } else {
            items[i].flags &= static_cast<std::uint16_t>(~ITEM_SELECTED);
        }
    }
}

void MenuItemList::MoveSelection(int step) {
    if ((flags & KEYS_DO_NOT_MOVE) || items.empty() || step == 0) return;
    const int n = Count();
    int i = SelectedIndex();
    if (i == 0) i = step > 0 ? 0 : n + 1;
    for (int tries = 0; tries < n; ++tries) {
        i += step > 0 ? 1 : -1;
        if (i < 1 || i > n) {
            if (flags & STOP_AT_ENDS) return;
            i = i < 1 ? n : 1;
        }
        const MenuItem& item = Item(i);
        if (!item.Hidden() && !item.Disabled() && !(item.flags & ITEM_NOT_BY_KEYS)) {
            Select(i);
            return;
        }
    }
}

void MenuItemList::DrawAll(Surface& surface) const {
    for (const MenuItem& item : items)
        Draw(surface, item);
}

void MenuItemList::Draw(Surface& s, const MenuItem& item) const {
    if (item.Hidden()) return;
    const Rect& r = item.rect;
    const auto& c = item.colours;
    const bool selected = item.Selected(), down = item.Pressed();
    if (!(item.flags & ITEM_NO_FACE)) {
        fillRect(s, r.left, r.top, r.right, r.bottom, c[selected ? MENU_SELECTED_FACE : MENU_FACE]);
        if (down) fillRect(s, r.left, r.top, r.right, r.bottom, 0, PRESSED_DARKEN);
    }
    std::uint16_t frame = c[selected ? MENU_SELECTED_FRAME : MENU_FRAME];
    if (item.flags & ITEM_SHADOWED) {
        rectangle(s, r.left + 1, r.top + 1, r.right + 1, r.bottom + 1, WHITE);
        rectangle(s, r.left, r.top, r.right, r.bottom, frame);
    } else {
        if (item.flags & ITEM_RED_FRAME) {
            rectangle(s, r.left - 1, r.top - 1, r.right + 1, r.bottom + 1, RED);
            frame = RED;
        }
        rectangle(s, r.left, r.top, r.right, r.bottom, frame);
        Bevel(s, r, down);
    }
    const std::uint16_t ink = c[item.Disabled() ? MENU_DISABLED_TEXT
                                : selected      ? MENU_SELECTED_TEXT
                                                : MENU_TEXT];
    const int shift = down ? 1 : 0;
    const int left = r.left + shift, top = r.top + shift, right = r.right + shift,
              bottom = r.bottom + shift;
    if (item.id == ITEM_UP_ARROW || item.id == ITEM_DOWN_ARROW) {
        // The arrow is 4 pixels tall with its apex (up) or base (down) at the top.
        arrow(s, (left + right) / 2, (top + bottom) / 2 - 2, right - left, ink,
              item.id == ITEM_UP_ARROW ? 0 : 1);
        return;
    }
    if ((item.flags & ITEM_ICON) && icons && iconWidth > 0 && !item.text.empty()) {
        int icon = item.text[0] - '0';
        if (icon >= 0 && (icon + 1) * iconWidth <= icons->Width()) {
            blit(s, left + 2, top + (bottom - top - icons->Height()) / 2, iconWidth,
                 icons->Height(), *icons, icon * iconWidth, 0, 0, COLOUR_KEY, BlitMode::ColourKey);
        }
        CentredText(s, item.font, left + 2 + iconWidth, top, right, bottom,
                    std::string_view(item.text).substr(1), ink);
        return;
    }
    CentredText(s, item.font, left, top, right, bottom, item.text, ink);
}

std::optional<int> MenuItemList::Activate(int index) {
    MenuItem& item = Item(index);
    if (onActivate) onActivate(item.id, item.flags);
    return item.id;
}

std::optional<int> MenuItemList::HandleInput(const platform::Msg& msg) {
    using namespace platform;
    const auto key = static_cast<std::uint32_t>(msg.wParam);
    if (msg.message == MSG_KEYUP && (key == KEY_LEFT || key == KEY_UP)) {
        MoveSelection(-1);
    } else if (msg.message == MSG_KEYUP && (key == KEY_RIGHT || key == KEY_DOWN)) {
        MoveSelection(+1);
    } else if (msg.message == MSG_KEYDOWN && key == KEY_RETURN) {
        int selected = SelectedIndex();
        if (selected && !Item(selected).Hidden() && !Item(selected).Disabled()) {
            pressed = selected;
            Item(selected).flags |= ITEM_PRESSED;
        }
    } else if (msg.message == MSG_KEYUP && key == KEY_RETURN) {
        int selected = SelectedIndex();
        if (pressed && pressed == selected) {
            Item(pressed).flags &= static_cast<std::uint16_t>(~ITEM_PRESSED);
            pressed = 0;
            return Activate(selected);
        }
    } else {
        return HandleStylus(msg);
    }
    return std::nullopt;
}

std::optional<int> MenuItemList::HandleStylus(const platform::Msg& msg) {
    using namespace platform;
    const int hit = HitTest(PointX(msg.lParam), PointY(msg.lParam));
    if (msg.message == MSG_LBUTTONDOWN) {
        if (pressed) Item(pressed).flags &= static_cast<std::uint16_t>(~ITEM_PRESSED);
        pressed = 0;
        if (hit && !Item(hit).Hidden() && !Item(hit).Disabled()) {
            if (!(Item(hit).flags & ITEM_NOT_BY_KEYS)) Select(hit);
            pressed = hit;
            Item(hit).flags |= ITEM_PRESSED;
        }
    } else if (msg.message == MSG_MOUSEMOVE && pressed) {
        if (hit == pressed) {
            Item(pressed).flags |= ITEM_PRESSED;
        } else {
            Item(pressed).flags &= static_cast<std::uint16_t>(~ITEM_PRESSED);
        }
    } else if (msg.message == MSG_LBUTTONUP && pressed) {
        int was = pressed;
        Item(was).flags &= static_cast<std::uint16_t>(~ITEM_PRESSED);
        pressed = 0;
        if (hit == was) return Activate(was);
    }
    return std::nullopt;
}

}  // namespace gfx
