#include "ui/UIFileList.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/Files.h"
#include "ui/ImageStrip.h"
#include "ui/TDesktop.h"
#include "ui/WidgetText.h"

namespace ui {

namespace {

constexpr std::uint16_t UP_FACE = 0xBE9E;
constexpr std::uint16_t PATH_THUMB = 0x8D7B;
constexpr std::uint32_t FILE_ICONS_BITMAP = 108;
constexpr int PATH_BAR_ROWS = 6;
constexpr int PATH_BAR_CAPACITY = 24;
constexpr int UP_BUTTON_WIDTH = 20;
constexpr int PATH_BAR_GAP = 25;  // the up button and the space before it
constexpr std::string_view FOLDER_COLUMN = "[dir]";
constexpr std::string_view SEQUENCE_EXTENSION = ".seq";

// Loaded on first use and kept: every file list shares the one strip.
const ImageStrip* FileIcons() {
    static std::unique_ptr<ImageStrip> strip;
    if (!strip) strip = ImageStrip::FromBitmap(FILE_ICONS_BITMAP, 3, 1);
    return strip.get();
}

// Names are drawn as marked-up text: a '#' is written twice to be shown once.
std::string ShownName(std::string_view name) {
    std::string shown;
    for (char c : name) {
        shown += c;
        if (c == '#') shown += '#';
    }
    return shown;
}

std::string PlainName(std::string_view shown) {
    std::string name;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        name += shown[i];
        if (shown[i] == '#' && i + 1 < shown.size() && shown[i + 1] == '#') ++i;
    }
    return name;
}

// A name the list could not give back whole (it would be split into columns, cut, or
// broken over lines) is better left out than picked wrongly.
bool Listable(std::string_view shown) {
    if (shown.size() > COLUMN_LIMIT) return false;
    return std::none_of(shown.begin(), shown.end(),
                        [](char c) { return c == '|' || static_cast<unsigned char>(c) < 0x20; });
}

bool EndsWithNoCase(std::string_view text, std::string_view end) {
    if (text.size() < end.size()) return false;
    return std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

std::string FileSizeText(std::uint64_t bytes) {
    std::uint64_t k = bytes / 1024;
    if (k == 0) return std::to_string(bytes);
    if (k > 1000000) return std::to_string(k / 1000000) + "Gb";
    if (k > 1000) return std::to_string(k / 1000) + "Mb";
    return std::to_string(k) + "K";
}

std::string FileDateText(const platform::CalendarDate& date, int order) {
    auto two = [](int n) {
        n = ((n % 100) + 100) % 100;
        return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
    };
    std::string day = two(date.day), month = two(date.month), year = two(date.year);
    if (order == platform::DATE_DAY_MONTH_YEAR) return day + "/" + month + "/" + year;
    return month + "/" + day + "/" + year;
}

int IconFor(std::string_view name, bool folder) {
    if (folder) return ICON_FOLDER;
    return EndsWithNoCase(name, SEQUENCE_EXTENSION) ? ICON_SEQUENCE : ICON_FILE;
}

UIFileList::UIFileList() {
    kind = KIND_FILELIST;
    files.id = FILES_LIST_ID;
    files.SetFlags(FLAG_VISIBLE | FLAG_FOCUSABLE);
    files.SetCapacity(FILES_DEFAULT_CAPACITY);
    pathBar.id = PATH_BAR_ID;
    pathBar.SetColours(0x0000, 0xFFFF, 0x0000, PATH_THUMB);
    upButton.SetCaption(UP_BUTTON_ID, "<<", CAPTION_INSIDE);
    upButton.SetButtonState(BUTTON_BEVEL);
    upButton.faceColour = UP_FACE;
    upButton.SetFlags(FLAG_VISIBLE | FLAG_CAPTION);
    AddChild(&files);
    AddChild(&pathBar);
    AddChild(&upButton);
}

void UIFileList::SetMode(std::uint32_t bits) {
    listMode = bits;
    std::uint32_t style = LIST_SNAPSHOT;
    if (bits & FILES_ICONS) style |= LIST_ICONS;
    if (bits & FILES_CHECKS) style |= LIST_CHECKS;
    files.SetStyle(style);
    files.SetFont(font);
    files.SetIcons((bits & FILES_ICONS) ? FileIcons() : nullptr);
    files.SetFlags(FLAG_VISIBLE | FLAG_FOCUSABLE);
    pathBar.SetFlags((bits & FILES_PATH_BAR) ? FLAG_VISIBLE : 0);
    upButton.SetFlags((bits & FILES_PATH_BAR) ? (FLAG_VISIBLE | FLAG_CAPTION) : FLAG_CAPTION);
}

void UIFileList::SetPath(std::string_view newPath) {
    path = newPath;
    if (!path.empty() && path.back() == '/') path.pop_back();
}

bool UIFileList::SetColumns(int n, std::span<const std::uint16_t> widths,
                            std::span<const std::uint16_t> aligns) {
    if (n < 1 || n > FILES_MAX_COLUMNS || widths.size() < static_cast<std::size_t>(n)) return false;
    columnCount = n;
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
        columnWidths[i] = widths[i];
        columnAligns[i] = i < aligns.size() ? aligns[i] : ALIGN_LEFT;
    }
    return true;
}

void UIFileList::Setup() {
    files.SetFont(font);
    files.SetScrollFaces(scrollFaces);
    files.SetColumns(columnCount, columnWidths, columnAligns);
    pathBar.Setup(0, 0, width - PATH_BAR_GAP, PATH_BAR_ROWS, PATH_BAR_CAPACITY, font, scrollFaces);
    pathBar.SetFlags((listMode & FILES_PATH_BAR) ? FLAG_VISIBLE : 0);
    Place();
    Refresh();
}

void UIFileList::Place() {
    if (listMode & FILES_PATH_BAR) {
        pathBar.x = 0;
        pathBar.y = 0;
        pathBar.width = width - PATH_BAR_GAP;
        upButton.SetRect(width - UP_BUTTON_WIDTH, 0, UP_BUTTON_WIDTH, FontHeight(font) + 4);
        files.SetRect(0, PATH_BAR_ROW, width, height - PATH_BAR_ROW);
    } else {
        files.SetRect(0, 0, width, height);
    }
    files.Layout();
}

void UIFileList::Refresh() {
    files.RemoveAll();
    const int order = platform::LocaleDateOrder();
    if (listMode & FILES_FOLDERS) ListEntries(true, order);
    if (listMode & FILES_MATCHING) ListEntries(false, order);
    files.Sort(0, 1);
    files.Layout();
    files.Select(-1);
    if (listMode & FILES_PATH_BAR) FillPathBar();
}

// One pass over the folder, for its folders or for its matching files. A folder that
// cannot be read lists nothing; a full list ends the pass.
void UIFileList::ListEntries(bool folders, int dateOrder) {
    using Kind = platform::FolderEntry::Kind;
    platform::ListFolder(path, folders ? "*" : pattern, [&](const platform::FolderEntry& e) {
        if (e.kind != (folders ? Kind::Folder : Kind::File)) return true;
        std::string shown = ShownName(e.name);
        if (!Listable(shown)) return true;
        int icon = plainIcons ? (folders ? ICON_FOLDER : ICON_FILE) : IconFor(e.name, folders);
        if (folders) {
            shown += "|";
            shown += FOLDER_COLUMN;
        } else {
            shown += "|" + FileSizeText(e.size) + "|" +
                     FileDateText(platform::LocalDate(e.modified), dateOrder);
        }
        return files.AddItem(shown, static_cast<std::uint32_t>(icon), folders ? ITEM_FOLDER : 0);
    });
}

void UIFileList::FillPathBar() {
    UIListBox& items = pathBar.list;
    items.RemoveAll();
    items.AddItem("/", 0);
    std::uint32_t position = 1;
    for (std::size_t start = 1; start <= path.size(); ++position) {
        std::size_t end = std::min(path.find('/', start), path.size());
        items.AddItem("/" + ShownName(path.substr(start, end - start)), position);
        start = end + 1;
    }
    items.Select(items.Count() - 1);
}

std::optional<std::string> UIFileList::Selected(int mode) const {
    int index = files.Selection();
    std::optional<std::string_view> shown = files.Column(index, 0);
    if (!shown) return std::nullopt;
    std::string name = PlainName(*shown);
    if (mode == FILE_NAME) return name;
    return path + "/" + name;
}

bool UIFileList::SelectedIsFolder() const {
    return files.ItemFlags(files.Selection()) == ITEM_FOLDER;
}

void UIFileList::SelectName(std::string_view name) {
    files.Select(name.empty() ? -1 : files.Find(ShownName(name)));
}

void UIFileList::Post(std::uint32_t code, LParam lParam) {
    PostToWindow(platform::MSG_COMMAND, platform::MakeCommand(id, code), lParam);
}

void UIFileList::Activated() {
    if (!SelectedIsFolder()) {
        if (files.Selection() >= 0) Post(LIST_ACTIVATED, reinterpret_cast<LParam>(this));
        return;
    }
    std::optional<std::string> name = Selected(FILE_NAME);
    if (!name) return;
    path += "/" + *name;
    Refresh();
}

void UIFileList::PathChosen(int item) {
    if (item < 0) return;
    std::size_t end = 0;
    for (int part = 0; part < item && end != std::string::npos; ++part)
        end = path.find('/', end + 1);
    if (end != std::string::npos) path.resize(end);
    Refresh();
}

void UIFileList::Up() {
    auto slash = path.rfind('/');
    if (path.empty() || slash == std::string::npos) return;
    path.resize(slash);
    Refresh();
}

LResult UIFileList::HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) {
    using namespace platform;
    if (msg == MSG_SIZE) {
        Place();
        return 0;
    }
    if (msg != MSG_COMMAND) return DispatchToChildren(msg, wParam, lParam);
    const std::uint32_t code = CommandCode(wParam);
    switch (CommandId(wParam)) {
        case FILES_LIST_ID:
            if (code == LIST_SELECTED) Post(LIST_SELECTED, reinterpret_cast<LParam>(this));
            if (code == LIST_LONG_PRESS) Post(LIST_LONG_PRESS, lParam);
            if (code == LIST_ACTIVATED) Activated();
            break;
        case PATH_BAR_ID:
            if (code == LIST_SELECTED) PathChosen(pathBar.list.Selection());
            break;
        case UP_BUTTON_ID:
            Up();
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace ui
