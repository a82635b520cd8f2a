#include "ui/UIListBox.h"

#include <algorithm>
#include <cctype>

#include "gfx/Blit.h"
#include "platform/Clock.h"
#include "ui/ImageStrip.h"
#include "ui/Paint.h"
#include "ui/TDesktop.h"
#include "ui/WidgetText.h"

namespace ui {

namespace {

int CompareNoCase(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

UIListBox::UIListBox() {
    kind = KIND_LISTBOX;
    scroll.id = 1;
    scroll.SetCaption("");
    AddChild(&scroll);
}

UIListBox::~UIListBox() {
    if (pressPoint) StopTimer(LONG_PRESS_TIMER);
}

bool UIListBox::SetCapacity(int n) {
    items.clear();
    items.shrink_to_fit();
    capacity = count = top = 0;
    cursor = 0;
    noSelection = false;
    MarkDirty();
    if (n < 0) return false;
    items.reserve(static_cast<std::size_t>(n));
    capacity = n;
    return true;
}

bool UIListBox::AddItem(std::string_view text, std::uint32_t data, std::uint32_t itemFlags) {
    if (count >= capacity) return false;
    items.push_back(std::make_unique<ListItem>(ListItem{data, itemFlags, std::string(text)}));
    count = static_cast<std::int32_t>(items.size());
    MarkDirty();
    return true;
}

void UIListBox::RemoveAll() {
    items.clear();
    count = cursor = top = 0;
    noSelection = false;
    MarkDirty();
}

const ListItem* UIListBox::Item(int index) const {
    if (index < 0 || index >= count) return nullptr;
    return items[static_cast<std::size_t>(index)].get();
}

std::optional<std::string_view> UIListBox::Column(int index, int column) const {
    const ListItem* item = Item(index);
    if (!item) return std::nullopt;
    std::string_view rest = item->text;
    for (int c = 0; c < column; ++c) {
        std::size_t bar = rest.find('|');
        if (bar == std::string_view::npos) return std::string_view{};
        rest.remove_prefix(bar + 1);
    }
    rest = rest.substr(0, rest.find('|'));
    return rest.substr(0, COLUMN_LIMIT);
}

int UIListBox::Find(std::string_view text) const {
    for (int i = 0; i < count; ++i)
        if (Column(i, 0) == text) return i;
    return -1;
}

void UIListBox::Select(int index) {
    MarkDirty();
    if (index < 0) {
        cursor = -1;
        noSelection = true;
    } else if (count > 0) {
        index = std::min(index, count - 1);
        int visible = std::max(rows, 1);
        noSelection = false;
        if (index >= top + visible) {
            top = index - visible + 1;
            cursor = visible - 1;
        } else if (index < top) {
            top = index;
            cursor = 0;
        } else {
            cursor = index - top;
        }
    }
    SyncScroll();
}

int UIListBox::Selection() const {
    if (count == 0 || noSelection) return -1;
    return top + cursor;
}

std::uint32_t UIListBox::ItemData(int index) const {
    const ListItem* item = Item(index);
    return item ? item->data : ITEM_NONE;
}

std::uint32_t UIListBox::ItemFlags(int index) const {
    const ListItem* item = Item(index);
    return item ? item->itemFlags : ITEM_NONE;
}

bool UIListBox::SetItemFlags(int index, std::uint32_t itemFlags) {
    if (!Item(index)) return false;
    items[static_cast<std::size_t>(index)]->itemFlags = itemFlags;
    MarkDirty();
    return true;
}

void UIListBox::SetFont(const gfx::Font* newFont) {
    font = newFont;
    rowHeight = (style & LIST_ICONS) ? ICON_ROW_HEIGHT : FontHeight(font) + 4;
    MarkDirty();
}

void UIListBox::SetStyle(std::uint32_t bits) {
    style = bits | LIST_DIRTY;
    if (bits & LIST_ICONS) rowHeight = ICON_ROW_HEIGHT;
}

bool UIListBox::SetColumns(int n, std::span<const std::uint16_t> widths,
                           std::span<const std::uint16_t> aligns) {
    if (n < 1 || n > MAX_COLUMNS || widths.size() < static_cast<std::size_t>(n)) return false;
    columnCount = n;
    for (int i = 0; i < n; ++i) {
        columns[i].width = widths[static_cast<std::size_t>(i)];
        columns[i].align = static_cast<std::size_t>(i) < aligns.size()
                               ? aligns[static_cast<std::size_t>(i)]
                               : ALIGN_LEFT;
    }
    MarkDirty();
    return true;
}

void UIListBox::Layout() {
    rows = rowHeight > 0 ? std::max((height - 2) / rowHeight, 0) : 0;
    SyncScroll();
    int start = (style & LIST_ICONS) ? ICON_SIZE + 2 : 1;
    if ((style & LIST_CHECKS) && checkFaces) start += checkFaces->CellHeight();
    for (int i = 0; i < columnCount; ++i) {
        int w = columnCount == 1 ? width : columns[i].width;
        columns[i].rect = gfx::Rect{start, 1, start + w, height - 1};
        start += w;
    }
    scroll.frameColour = frameColour;
    MarkDirty();
}

void UIListBox::FitRows(int n) {
    scroll.SetFlags(count > n ? FLAG_VISIBLE : 0);
    SetRect(x, y, width, HeightFor(std::min(count, std::max(n, 0))));
    Layout();
    PlaceScrollBar();
}

void UIListBox::SetScrollFaces(const ImageStrip* strip) {
    scrollFaces = strip;
    scroll.SetArrowFaces(strip);
    PlaceScrollBar();
}

void UIListBox::SetCheckFaces(const ImageStrip* strip, std::uint32_t column) {
    checkFaces = strip;
    checkColumn = column;
    MarkDirty();
}

void UIListBox::SetIcons(const ImageStrip* icons, IconHook hook) {
    imageList = icons;
    iconHook = hook;
    MarkDirty();
}

void UIListBox::Sort(int column, int direction) {
    auto before = [&](int a, int b) {
        const ListItem& ia = *items[static_cast<std::size_t>(a)];
        const ListItem& ib = *items[static_cast<std::size_t>(b)];
        bool dotA = !ia.text.empty() && ia.text[0] == '.';
        bool dotB = !ib.text.empty() && ib.text[0] == '.';
        if (dotA != dotB) return dotA;
        bool folderA = ia.itemFlags == ITEM_FOLDER, folderB = ib.itemFlags == ITEM_FOLDER;
        if (folderA != folderB) return folderA;
        return CompareNoCase(*Column(a, column), *Column(b, column)) * direction < 0;
    };
    // A selection sort, so that equal items keep the order users have always seen.
    for (int i = 0; i + 1 < count; ++i) {
        int best = i;
        for (int j = i + 1; j < count; ++j)
            if (before(j, best)) best = j;
        if (best != i)
            std::swap(items[static_cast<std::size_t>(i)], items[static_cast<std::size_t>(best)]);
    }
    MarkDirty();
}

void UIListBox::SyncScroll() {
    scroll.SetRange(0, count, std::min(count, rows));
    scroll.SetPosition(top);
}

int UIListBox::ScrollWidth() const {
    return scrollFaces ? scrollFaces->CellWidth() : static_cast<int>(DEFAULT_ARROW_SIZE);
}

void UIListBox::PlaceScrollBar() {
    int w = ScrollWidth();
    scroll.SetRect(width - (w - 1), 0, w, height);
}

void UIListBox::Send(std::uint32_t code, LParam lParam) {
    Notify(platform::MSG_COMMAND, platform::MakeCommand(id, code), lParam);
}

LResult UIListBox::HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) {
    using namespace platform;
    auto self = reinterpret_cast<LParam>(this);
    switch (msg) {
        case MSG_SIZE:
            PlaceScrollBar();
            MarkDirty();
            return 0;
        case MSG_PAINT:
            if (flags & FLAG_TOPMOST) return 0;
            if (wParam) Draw(*reinterpret_cast<gfx::Surface*>(wParam));
            return DispatchToChildren(msg, wParam, lParam);
        case MSG_ACTIVATE:
            if (wParam == 0 && pressPoint) {
                StopTimer(LONG_PRESS_TIMER);
                pressPoint = 0;
            }
            break;
        case MSG_KEYDOWN:
            Key(static_cast<std::uint32_t>(wParam));
            return 1;
        case MSG_MOUSEWHEEL:
            Wheel(WheelDelta(wParam));
            return 1;
        case MSG_COMMAND:
            if (CommandId(wParam) == scroll.id) {
                int newTop = scroll.Value();
                if (!noSelection) cursor += top - newTop;
                top = newTop;
                MarkDirty();
            }
            return 0;
        case MSG_LBUTTONDOWN:
            StylusDown(PointX(lParam), PointY(lParam));
            return 1;
        case MSG_TIMER:
            if (wParam == LONG_PRESS_TIMER && pressPoint) LongPressTick();
            return 0;
        case MSG_LBUTTONUP:
            Send(LIST_RELEASED, self);
            StopTimer(LONG_PRESS_TIMER);
            pressPoint = 0;
            return 0;
        default:
            break;
    }
    return DispatchToChildren(msg, wParam, lParam);
}

void UIListBox::Key(std::uint32_t key) {
    using namespace platform;
    auto self = reinterpret_cast<LParam>(this);
    if (key == KEY_ESCAPE) {
        Send(LIST_CANCELLED, self);
        return;
    }
    if (count == 0) return;
    if (noSelection || cursor < 0 || cursor >= rows) {
        // Bring the selection into view first; with none, the first visible item.
        bool fresh = noSelection;
        Select(noSelection ? top : top + cursor);
        if (fresh) Send(LIST_SELECTED, self);
        DispatchToChildren(MSG_KEYDOWN, key, 0);
        return;
    }
    TDesktop* desktop = Desktop();
    std::uint32_t up = desktop ? desktop->keys[0] : KEY_UP;
    std::uint32_t down = desktop ? desktop->keys[1] : KEY_DOWN;
    int oldTop = top, oldCursor = cursor;
    if (key == down) {
        if (cursor < rows - 1 && cursor < count - top - 1)
            ++cursor;
        else if (top + cursor < count - 1)
            ++top;
    } else if (key == up) {
        if (cursor > 0)
            --cursor;
        else if (top > 0)
            --top;
    } else if (key == KEY_RETURN) {
        Send(LIST_ACTIVATED, self);
        return;
    }
    if (top == oldTop && cursor == oldCursor) return;
    MarkDirty();
    Send(LIST_SELECTED, self);
    SyncScroll();
}

// Scrolls the rows and leaves the selection on its item, even when it scrolls out of view.
void UIListBox::Wheel(int delta) {
    const int notches = delta / platform::WHEEL_DELTA;
    const int last = std::max(count - std::max(rows, 1), 0);
    const int newTop = std::clamp(top - notches * WHEEL_STEPS, 0, last);
    if (newTop == top) return;
    if (!noSelection) cursor += top - newTop;
    top = newTop;
    MarkDirty();
    SyncScroll();
}

void UIListBox::StylusDown(int px, int py) {
    auto self = reinterpret_cast<LParam>(this);
    if (count == 0 || rows <= 0 || rowHeight <= 0) return;
    if (px < 0 || py < 0 || px >= width || py >= height) return;
    std::uint32_t now = platform::TickMs();
    int tapped = py / rowHeight;
    int row = std::max(std::min({tapped, count - top - 1, rows - 1}), 0);
    int checkWidth = checkFaces ? checkFaces->CellWidth() : 0;
    if ((style & LIST_CHECKS) && px < checkWidth + 2) {
        ListItem& item = *items[static_cast<std::size_t>(top + row)];
        if (item.itemFlags != ITEM_FOLDER) item.itemFlags ^= ITEM_CHECKED;
        lastSelectTime = 0;
        MarkDirty();
    }
    if (noSelection || row != cursor) {
        cursor = row;
        noSelection = false;
        Send(LIST_SELECTED, self);
        MarkDirty();
        lastSelectTime = now;
    } else if (tapped == row) {
        if (lastSelectTime != 0 && now - lastSelectTime <= DOUBLE_TAP_MS) {
            Send(LIST_ACTIVATED, self);
            lastSelectTime = 0;
        } else {
            lastSelectTime = now;
        }
    }
    pressPoint = static_cast<std::uint32_t>(platform::MakePoint(px, py));
    pressTime = now;
    StartTimer(LONG_PRESS_TIMER, LONG_PRESS_POLL_MS);
}

void UIListBox::LongPressTick() {
    if (platform::TickMs() - pressTime < LONG_PRESS_MS) return;
    StopTimer(LONG_PRESS_TIMER);
    auto point = static_cast<LParam>(pressPoint);
    pressPoint = 0;  // once per press, whoever else runs the same timer
    int ax = platform::PointX(point) + x, ay = platform::PointY(point) + y;
    LocalToScreen(ax, ay);
    Send(LIST_LONG_PRESS, platform::MakePoint(ax, ay));
}

int UIListBox::TextRight() const {
    return scroll.Visible() ? width - ScrollWidth() : width - 1;
}

int UIListBox::TextRoom(int column) const {
    if (column < 0 || column >= columnCount) return 0;
    const gfx::Rect& r = columns[static_cast<std::size_t>(column)].rect;
    if (r.left >= TextRight()) return 0;
    return ColumnTextRoom(r.left, std::min(r.right, TextRight()));
}

void UIListBox::Draw(gfx::Surface& s) {
    int lx = x, ly = y;
    LocalToScreen(lx, ly);
    int textRight = TextRight();
    if ((style & LIST_SNAPSHOT) && !(style & LIST_DIRTY) && snapshot) {
        gfx::copyRect(s, lx, ly, snapshot->Width(), snapshot->Height(), *snapshot, 0, 0);
        return;
    }
    fillBox(s, lx + 1, ly + 1, lx + width - 1, ly + height - 1, backColour);
    gfx::rectangle(s, lx, ly, lx + width, ly + height, frameColour);
    if (Selection() >= 0 && cursor >= 0 && cursor < rows) {
        int barTop = ly + 1 + cursor * rowHeight;
        fillBox(s, lx + 1, barTop, lx + textRight, barTop + rowHeight - 1, selectColour);
    }
    DrawRows(s, lx, ly, textRight);
    if (style & LIST_SNAPSHOT) {
        style &= ~LIST_DIRTY;
        TakeSnapshot(s, lx, ly);
    }
}

void UIListBox::DrawRows(gfx::Surface& s, int lx, int ly, int textRight) {
    int shown = std::min(rows, count - top);
    int selected = Selection() >= 0 ? cursor : -1;
    for (int ci = 0; ci < columnCount; ++ci) {
        ListColumn c = columns[ci];
        if (c.rect.left >= textRight) continue;
        c.rect.right = std::min(c.rect.right, textRight);
        for (int r = 0; r < shown; ++r) {
            int index = top + r;
            const ListItem& item = *items[static_cast<std::size_t>(index)];
            int rowTop = 1 + r * rowHeight;
            if (ci == 0 && (style & LIST_ICONS) && imageList) {
                int icon = static_cast<int>(item.data);
                if (iconHook) icon = iconHook(item.text, item.itemFlags, icon);
                int perRow = std::max(imageList->Columns(), 1);
                imageList->Draw(s, lx + 1, ly + rowTop + ((rowHeight - ICON_SIZE) >> 1),
                                icon % perRow, icon / perRow);
            }
            if (ci == 0 && (style & LIST_CHECKS) && checkFaces && item.itemFlags != ITEM_FOLDER) {
                int checkX = lx + ((style & LIST_ICONS) ? ICON_SIZE + 1 : 0) + 2;
                int checkY = ly + rowTop + ((rowHeight - checkFaces->CellHeight()) >> 1);
                checkFaces->Draw(s, checkX, checkY, static_cast<int>(checkColumn),
                                 (item.itemFlags & ITEM_CHECKED) ? 0 : 1);
            }
            std::uint16_t ink = r == selected ? selectTextColour : textColour;
            DrawCell(s, c, lx, ly + rowTop, Column(index, ci).value_or(""), ink);
        }
    }
}

void UIListBox::DrawCell(gfx::Surface& s, const ListColumn& c, int lx, int rowTop,
                         std::string_view text, std::uint16_t colour) {
    if (!font || text.empty()) return;
    std::string_view shown =
        FitString(*font, text, ColumnTextRoom(c.rect.left, c.rect.right), scratch);
    int tx = c.align == ALIGN_RIGHT ? lx + c.rect.right - 3 - TextWidth(*font, shown)
                                    : lx + c.rect.left + 3;
    DrawString(*font, s, tx, rowTop + ((rowHeight - FontHeight(font)) >> 1), shown, colour);
}

void UIListBox::TakeSnapshot(const gfx::Surface& s, int lx, int ly) {
    int w = width + 1, h = height + 1;
    if (lx < 0 || ly < 0 || lx + w > s.Width() || ly + h > s.Height() || w <= 0 || h <= 0) {
        snapshot.reset();  // partly off the surface: draw in full every time
        return;
    }
    if (!snapshot || snapshot->Width() != w || snapshot->Height() != h)
        snapshot = gfx::createSurface(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h));
    if (snapshot) gfx::copyRect(*snapshot, 0, 0, w, h, s, lx, ly);
}

}  // namespace ui
