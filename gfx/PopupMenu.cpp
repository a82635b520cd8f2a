#include "gfx/PopupMenu.h"

#include <algorithm>

#include "platform/Clock.h"

namespace gfx {

namespace {

constexpr int TITLE_SPACE = 18;   // extra height a title takes above the rows
constexpr int FRAME_DARKEN = 16;  // fill alpha of the shade over the menu's frame
// The menu is shown again at least this often, so that anyone counting frames sees it live.
constexpr std::uint32_t REFRESH_MS = 50;
// The loop's answer when the user turns the menu away: Escape, or a tap beside it.
constexpr int DISMISSED = -4;

bool IsInput(std::uint32_t message) {
    using namespace platform;
    switch (message) {
        case MSG_KEYDOWN:
        case MSG_KEYUP:
        case MSG_CHAR:
        case MSG_MOUSEMOVE:
        case MSG_LBUTTONDOWN:
        case MSG_LBUTTONUP:
        case MSG_LBUTTONDBLCLK:
        case MSG_RBUTTONDOWN:
        case MSG_RBUTTONUP:
        case MSG_MOUSEWHEEL:
            return true;
        default:
            return false;
    }
}

void SetHidden(MenuItem& item, bool hidden) {
    if (hidden) {
        item.flags |= ITEM_HIDDEN;
    } else {
        item.flags &= static_cast<std::uint16_t>(~ITEM_HIDDEN);
    }
}

// One run of the modal menu over a saved copy of the screen.
class ModalLoop {
  public:
    ModalLoop(PopupMenu& menu, Display& display, platform::Window& window, const Surface& saved)
        : menu(menu), display(display), window(window), saved(saved) {}

    // The id of the activated item, MENU_QUIT, or MENU_NOTHING when the pass limit ran out.
    int WaitForAnswer() {
        Show(true);
        std::uint32_t shownAt = platform::TickMs();
        for (;;) {
            if (menu.passLimit && ++passes > menu.passLimit) return MENU_NOTHING;
            bool changed = false;
            platform::Msg msg;
            while (window.Peek(msg)) {
                if (msg.message == platform::MSG_QUIT) return MENU_QUIT;
                if (IsInput(msg.message)) {
                    changed = true;
                    if (auto id = Input(msg)) return *id;
                } else {
                    window.Dispatch(msg);
                    if (!window.Alive()) return MENU_QUIT;
                }
            }
            std::uint32_t shownFor = platform::TickMs() - shownAt;
            if (changed || shownFor >= REFRESH_MS) {
                Show(true);
                shownAt = platform::TickMs();
                shownFor = 0;
            }
            window.Wait(REFRESH_MS - shownFor);
        }
    }

    // The saved screen, with the menu over it or without.
    void Show(bool withMenu) {
        if (!display.Lock()) return;
        if (Surface* back = display.BackBuffer()) {
            copyInto(*back, saved);
            if (withMenu) menu.Paint(*back);
        }
        display.UnlockAndPresent(0);
    }

  private:
    // The keys scroll too when they would step past the first or last row shown, so that
    // every entry can be reached without the stylus.
    std::optional<int> Input(const platform::Msg& msg) {
        using namespace platform;
        if (msg.message == MSG_KEYDOWN && msg.wParam == KEY_ESCAPE) return DISMISSED;
        if (msg.message == MSG_LBUTTONDOWN) {
            const Rect& f = menu.Frame();
            int px = PointX(msg.lParam), py = PointY(msg.lParam);
            if (px < f.left - 2 || px > f.right + 2 || py < f.top - 2 || py > f.bottom + 2)
                return DISMISSED;
        }
        if (msg.message == MSG_KEYUP) {
            const auto key = static_cast<std::uint32_t>(msg.wParam);
            const int row = menu.list.SelectedIndex() - 1;
            const int count = static_cast<int>(menu.Entries().size());
            if ((key == KEY_DOWN || key == KEY_RIGHT) && row == menu.Rows() &&
                menu.scrollOffset + menu.Rows() < count)
                return ITEM_DOWN_ARROW;
            if ((key == KEY_UP || key == KEY_LEFT) && row == 1 && menu.scrollOffset > 0)
                return ITEM_UP_ARROW;
        }
        return menu.list.HandleInput(msg);
    }

    PopupMenu& menu;
    Display& display;
    platform::Window& window;
    const Surface& saved;
    std::uint32_t passes = 0;
};

}  // namespace

void PopupMenu::SetFonts(const Font* items, const Font* titleText) {
    itemFont = items;
    titleFont = titleText;
}

void PopupMenu::SetGeometry(int width, int height, int pitch) {
    itemWidth = width;
    itemHeight = height;
    rowPitch = pitch;
}

void PopupMenu::SetColour(int slot, std::uint16_t value) {
    switch (slot) {
        case MENU_OUTER_FRAME:
            outerFrameColour = value;
            break;
        case MENU_INNER_FRAME:
            innerFrameColour = value;
            break;
        case MENU_TITLE:
            titleColour = value;
            break;
        default:
            list.SetColour(0, slot, value);
            break;
    }
}

bool PopupMenu::Build(std::string_view titleText, std::string_view items, int displayWidth,
                      int displayHeight) {
    title = std::string(titleText.substr(0, MAX_TITLE));
    entries.clear();
    // A piece too short to hold its two-digit code is no item (a stray or trailing comma).
    for (std::size_t start = 0; start <= items.size();) {
        std::size_t end = std::min(items.find(',', start), items.size());
        std::string_view piece = items.substr(start, end - start);
        if (piece.size() >= 2) {
            auto code = static_cast<std::uint8_t>((piece[0] - '0') * 10 + (piece[1] - '0'));
            entries.push_back(Entry{code, std::string(piece.substr(2))});
        }
        start = end + 1;
    }
    const int count = static_cast<int>(entries.size());
    const int titleSpace = title.empty() ? 0 : TITLE_SPACE;
    if (count == 0 || rowPitch <= 0) return false;
    rows = std::min(count, (displayHeight - titleSpace - 40) / rowPitch);
    if (rows <= 0) return false;
    rowX = (displayWidth - itemWidth) / 2;
    firstRowY = ((1 - rows) * rowPitch - itemHeight + displayHeight) / 2 + (title.empty() ? 0 : 9);
    frame = Rect{rowX - 5, firstRowY - titleSpace - 15, rowX + itemWidth + 5,
                 firstRowY + (rows - 1) * rowPitch + itemHeight + 16};
    scrollOffset = std::clamp(scrollOffset, 0, count - rows);

    list.Clear();
    list.flags = MenuItemList::STOP_AT_ENDS;
    list.font = itemFont;
    const int centre = (frame.left + frame.right) / 2;
    list.Add(ITEM_UP_ARROW, "", centre - 20, firstRowY - 13, 40, 11, ITEM_NOT_BY_KEYS);
    for (int k = 1; k <= rows; ++k)
        list.Add(k, entries[static_cast<std::size_t>(scrollOffset + k - 1)].text, rowX,
                 firstRowY + (k - 1) * rowPitch, itemWidth, itemHeight, k == 1 ? ITEM_SELECTED : 0);
    list.Add(ITEM_DOWN_ARROW, "", centre - 20, frame.bottom - 14, 40, 11, ITEM_NOT_BY_KEYS);
    list.Select((selectedIndex >= 1 && selectedIndex <= rows ? selectedIndex : 1) + 1);
    return true;
}

void PopupMenu::Paint(Surface& s) {
    const Rect& f = frame;
    rectangle(s, f.left - 1, f.top - 1, f.right + 1, f.bottom + 1, innerFrameColour);
    rectangle(s, f.left - 2, f.top - 2, f.right + 2, f.bottom + 2, outerFrameColour);
    fillRect(s, f.left, f.top, f.right, f.bottom, 0, FRAME_DARKEN);
    const int count = static_cast<int>(entries.size());
    for (int k = 1; k <= rows; ++k)
        list.Item(k + 1).text = entries[static_cast<std::size_t>(scrollOffset + k - 1)].text;
    SetHidden(list.Item(1), scrollOffset == 0);
    SetHidden(list.Item(rows + 2), scrollOffset + rows >= count);
    list.DrawAll(s);
    if (title.empty()) return;
    if (titleFont) {
        drawText(*titleFont, s, -1, f.top + 3, title, titleColour);
    } else {
        drawString8x16(s, -1, f.top + 3, title, titleColour);
    }
}

int showMenu(PopupMenu& menu, Display& display, platform::Window& window, std::string_view title,
             std::string_view items, std::uint32_t options) {
    const DisplayParams& params = display.Params();
    if (!menu.Build(title, items, static_cast<int>(params.width), static_cast<int>(params.height)))
        return MENU_NOTHING;
    if (!(options & MENU_MODAL)) return MENU_NOTHING;
    SurfacePtr saved = captureScreen(display);
    if (!saved) return MENU_NOTHING;
    ModalLoop loop(menu, display, window, *saved);
    const int count = static_cast<int>(menu.Entries().size());
    for (;;) {
        const int answer = loop.WaitForAnswer();
        if (answer == MENU_QUIT || answer == MENU_NOTHING || answer == DISMISSED) {
            loop.Show(false);
            if (answer == MENU_QUIT) window.PostQuit(0);  // the caller's loop must end too
            return answer == MENU_QUIT ? MENU_QUIT : MENU_NOTHING;
        }
        if (answer == ITEM_DOWN_ARROW) {
            if (menu.scrollOffset + menu.Rows() < count) ++menu.scrollOffset;
        } else if (answer == ITEM_UP_ARROW) {
            if (menu.scrollOffset > 0) --menu.scrollOffset;
        } else if (answer >= 1 && answer <= menu.Rows()) {
            menu.selectedIndex = menu.list.SelectedIndex() - 1;
            loop.Show(false);
            if (menu.resultCallback) menu.resultCallback();
            return menu.Entries()[static_cast<std::size_t>(menu.scrollOffset + answer - 1)].code;
        }
    }
}

void setApplicationMenuStyle(PopupMenu& menu, const Font* medium, const Font* large) {
    menu.SetFonts(medium, large);
    menu.SetGeometry(140, 20, 22);
    menu.SetColour(MENU_TITLE, 0xFFFF);
    menu.SetColour(MENU_OUTER_FRAME, 0);
    menu.SetColour(MENU_INNER_FRAME, 0xE718);
    menu.SetColour(MENU_TEXT, 0);
    menu.SetColour(MENU_FACE, 0xE718);
    menu.SetColour(MENU_SELECTED_FRAME, 0x0008);
    menu.SetColour(MENU_SELECTED_TEXT, 0x8000);
    menu.SetColour(MENU_SELECTED_FACE, 0xC610);
}

}  // namespace gfx
