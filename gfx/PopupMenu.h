#pragma once
// The modal pop-up menu: a titled column of rows over a frozen copy of the screen. The
// items come as one string of two-digit result codes each followed by its text, such as
// "01Yes,02No"; the menu answers the chosen code.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/Font.h"
#include "gfx/MenuItemList.h"
#include "gfx/display/Display.h"
#include "platform/Window.h"

namespace gfx {

// Colour slots of PopupMenu::SetColour beyond the list's 1..7.
constexpr int MENU_OUTER_FRAME = 10;
constexpr int MENU_INNER_FRAME = 11;
constexpr int MENU_TITLE = 12;

// showMenu options
constexpr std::uint32_t MENU_MODAL = 4;

// showMenu answers besides the chosen code.
constexpr int MENU_NOTHING = 0;
constexpr int MENU_QUIT = -3;

class PopupMenu {
  public:
    struct Entry {
        std::uint8_t code;
        std::string text;
    };
    static constexpr std::size_t MAX_TITLE = 83;  // longer titles are cut

    void SetFonts(const Font* items, const Font* title);
    void SetGeometry(int width, int height, int pitch);
    void SetColour(int slot, std::uint16_t value);

    // Lays the menu out for a display of the given size: parses the items, fits the rows,
    // places them and the arrows. False when there is nothing to show or no room.
    bool Build(std::string_view title, std::string_view items, int displayWidth, int displayHeight);
    int Rows() const { return rows; }
    int RowX() const { return rowX; }
    int FirstRowY() const { return firstRowY; }
    const Rect& Frame() const { return frame; }  // right and bottom inclusive
    const std::vector<Entry>& Entries() const { return entries; }
    const std::string& Title() const { return title; }

    // Puts the shown entries' texts in the rows and the arrows' visibility in step with
    // scrollOffset, then draws the frame, the items and the title.
    void Paint(Surface& surface);

    std::uint16_t outerFrameColour = 31;
    std::uint16_t innerFrameColour = 2047;
    std::uint16_t titleColour = 0xFFFF;
    const Font* itemFont = nullptr;  // null: the built-in 8 x 16 font
    const Font* titleFont = nullptr;
    int itemHeight = 21;
    int itemWidth = 140;
    int rowPitch = 25;
    // The row to highlight on opening, 1 for the first (the up arrow is row 0); after a
    // choice, the chosen row, so the same menu reopens on it.
    int selectedIndex = 1;
    int scrollOffset = 0;  // the first entry shown
    std::function<void()> resultCallback;
    // Passes of the modal loop after which it gives up and answers MENU_NOTHING; 0 never.
    // Tests set it so that a menu nobody answers fails instead of hanging.
    std::uint32_t passLimit = 0;
    MenuItemList list;

  private:
    std::vector<Entry> entries;
    std::string title;
    int rows = 0;
    int rowX = 0;
    int firstRowY = 0;
    Rect frame{};
};

// Shows the menu and, with MENU_MODAL, runs it until a row is chosen: answers its code,
// MENU_QUIT when the program is quitting (the quit is posted again for the caller's loop),
// or MENU_NOTHING when it cannot be shown or the user turns it away (Escape, or a tap
// outside its frame). Keys and stylus events go to the menu; other
// messages are dispatched to the window as usual.
int showMenu(PopupMenu& menu, Display& display, platform::Window& window, std::string_view title,
             std::string_view items, std::uint32_t options = MENU_MODAL);

// The look the application gives its menus: medium rows, a large title, light grey faces.
void setApplicationMenuStyle(PopupMenu& menu, const Font* medium, const Font* large);

}  // namespace gfx
