#pragma once
// Browses the folders of the file system and lists each file of one pattern with its size
// and date, under a path bar that climbs back up. Reports to the window: code 1 when an
// entry is selected, 2 when a file is activated (a double tap or Enter), 10 on a long press.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "ui/TObject.h"
#include "ui/UIButton.h"
#include "ui/UICombo.h"
#include "ui/UIListBox.h"

namespace gfx {
class Font;
}

namespace ui {

class ImageStrip;

// `listMode` bits.
constexpr std::uint32_t FILES_FOLDERS = 1;
constexpr std::uint32_t FILES_MATCHING = 2;  // the files that match `pattern`
constexpr std::uint32_t FILES_ICONS = 4;
constexpr std::uint32_t FILES_PATH_BAR = 8;
constexpr std::uint32_t FILES_CHECKS = 64;

// Ids of the members.
constexpr std::uint16_t FILES_LIST_ID = 1;
constexpr std::uint16_t PATH_BAR_ID = 10;
constexpr std::uint16_t UP_BUTTON_ID = 11;

constexpr int FILES_DEFAULT_CAPACITY = 256;
constexpr int FILES_MAX_COLUMNS = 3;
// The path bar's row; the list starts below it.
constexpr int PATH_BAR_ROW = 20;

// Cells of the file icon strip (bitmap 108).
constexpr int ICON_FOLDER = 0;
constexpr int ICON_FILE = 1;
constexpr int ICON_SEQUENCE = 2;

// A size as the list shows it: the bytes below 1K, then "K", above 1000K "Mb", above
// 1000000K "Gb", each rounded down.
std::string FileSizeText(std::uint64_t bytes);
// "dd/MM/yy" for day-month-year locales, else "MM/dd/yy".
std::string FileDateText(const platform::CalendarDate& date, int order);
// The icon of an entry by its kind: folders, sequences and other files.
int IconFor(std::string_view name, bool folder);

class UIFileList : public TObject {
  public:
    UIFileList();

    LResult HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) override;

    // Also sets the list's row height and style (icons, check marks) to match.
    void SetMode(std::uint32_t bits);
    // "" or "/" is the root; one trailing slash is dropped.
    void SetPath(std::string_view newPath);
    void SetFont(const gfx::Font* newFont) { font = newFont; }
    void SetScrollFaces(const ImageStrip* strip) { scrollFaces = strip; }
    void SetPattern(std::string_view newPattern) { pattern = newPattern; }
    // Name, size and date columns; false for more than FILES_MAX_COLUMNS.
    bool SetColumns(int n, std::span<const std::uint16_t> widths,
                    std::span<const std::uint16_t> aligns = {});
    // Empties the list and gives it room for n entries.
    void SetCapacity(int n) { files.SetCapacity(n); }
    int HeightFor(int rows) const { return PATH_BAR_ROW + files.rowHeight * rows + 2; }
    // Lays the members out with the font and faces given, and lists the folder.
    void Setup();
    // Lists `path` again: folders first, then the matching files, each by name.
    void Refresh();
    // The selected entry's full path (FILE_PATH) or name alone (FILE_NAME); nothing when
    // no entry is selected.
    std::optional<std::string> Selected(int mode) const;
    bool SelectedIsFolder() const;
    // Selects the entry of that name, or nothing when it is not listed.
    void SelectName(std::string_view name);

    static constexpr int FILE_PATH = 0;
    static constexpr int FILE_NAME = 1;

    std::uint32_t listMode = 0;
    std::string pattern = "*";
    std::string path;  // no trailing slash; "" is the root
    std::array<std::uint16_t, FILES_MAX_COLUMNS> columnWidths{100, 40, 100};
    std::array<std::uint16_t, FILES_MAX_COLUMNS> columnAligns{ALIGN_LEFT, ALIGN_LEFT, ALIGN_RIGHT};
    int columnCount = FILES_MAX_COLUMNS;
    // 0: icons by kind (folder, sequence, file); otherwise only folder and file.
    std::uint32_t plainIcons = 0;
    UIListBox files;
    UICombo pathBar;
    UIButton upButton;
    const gfx::Font* font = nullptr;
    const ImageStrip* scrollFaces = nullptr;

  private:
    void Place();
    void ListEntries(bool folders, int dateOrder);
    void FillPathBar();
    void Post(std::uint32_t code, LParam lParam);
    void Activated();
    void PathChosen(int item);
    void Up();
};

}  // namespace ui
