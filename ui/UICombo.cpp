#include "ui/UICombo.h"

#include <algorithm>

#include "gfx/Draw.h"
#include "ui/ImageStrip.h"
#include "ui/Paint.h"
#include "ui/TDesktop.h"
#include "ui/WidgetText.h"

namespace ui {

namespace {

constexpr std::uint16_t LIGHT = 0xC618;
constexpr std::uint16_t GREY = 0x8410;
constexpr std::uint16_t MID = 0x630C;
constexpr std::uint16_t DARK = 0x4208;

// Each of red, green and blue at three quarters.
std::uint16_t ThreeQuarters(std::uint16_t c) {
    int r = ((c >> 11) & 31) * 3 / 4, g = ((c >> 5) & 63) * 3 / 4, b = (c & 31) * 3 / 4;
    return static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
}

}  // namespace

UICombo::UICombo() {
    kind = KIND_COMBO;
    list.id = 1;
    list.SetFlags(0);
    AddChild(&list);
}

int UICombo::FontHeight() const {
    return ui::FontHeight(list.font);
}

int UICombo::ArrowBoxWidth() const {
    return list.scrollFaces ? list.scrollFaces->CellWidth() : static_cast<int>(DEFAULT_ARROW_SIZE);
}

void UICombo::Setup(int nx, int ny, int fieldWidth, int rows, int capacity, const gfx::Font* font,
                    const ImageStrip* scrollFaces, std::span<const std::uint16_t> columnWidths) {
    ClearChildren();
    visibleRows = static_cast<std::uint32_t>(std::max(rows, 1));
    int fh = ui::FontHeight(font);
    SetRect(nx, ny, fieldWidth, fh + 4);
    if (!columnWidths.empty()) {
        int n = static_cast<int>(std::min<std::size_t>(columnWidths.size(), MAX_COLUMNS));
        list.SetColumns(n, columnWidths);
    }
    list.id = 1;
    list.caption.clear();
    list.SetCapacity(capacity);
    list.SetStyle(LIST_SNAPSHOT);
    list.SetFont(font);
    list.SetFlags(0);
    list.SetRect(0, fh + 4, fieldWidth, list.HeightFor(static_cast<int>(visibleRows)));
    AddChild(&list);
    if (scrollFaces) list.SetScrollFaces(scrollFaces);
    list.Layout();
}

void UICombo::SetColours(std::uint16_t text, std::uint16_t background, std::uint16_t frame,
                         std::uint16_t thumb) {
    list.textColour = text;
    list.backColour = background;
    list.frameColour = frame;
    list.scroll.frameColour = frame;
    list.scroll.thumbColour = thumb;
    list.scroll.dragColour = ThreeQuarters(thumb);
    arrowColour = thumb;
    list.MarkDirty();
}

void UICombo::Open() {
    if (list.Count() == 0) return;
    list.FitRows(static_cast<int>(visibleRows));
    // The list opens on its selected item, wherever it was last scrolled to.
    selectionAtOpen = list.Selection();
    if (selectionAtOpen >= 0) list.Select(selectionAtOpen);
    height = FieldHeight() + list.height;
    list.SetFlags(FLAG_VISIBLE | FLAG_FOCUSABLE);
    open |= 1;
    TObject* before = ui::SetCapture(this);
    if (before != this) savedCapture = before;
    SetTopMost(this);
    SetFocus(&list);
}

void UICombo::Close() {
    // Closing twice (a tap outside closes on the way down and again on the way up) must
    // not hand back the capture or clear the focus a second time.
    if (!IsOpen()) return;
    height = FieldHeight();
    list.SetFlags(0);
    list.SetRect(0, FieldHeight(), width, list.HeightFor(static_cast<int>(visibleRows)));
    list.Layout();
    open &= ~1u;
    ui::SetCapture(savedCapture);
    savedCapture = nullptr;
    TDesktop* desktop = currentDesktop();
    if (desktop && Contains(desktop->focus)) SetFocus(nullptr);
    if (desktop && desktop->topMost == this) SetTopMost(nullptr);
    if (changed) {
        changed = 0;
        Notify(platform::MSG_COMMAND, platform::MakeCommand(id, LIST_SELECTED),
               reinterpret_cast<LParam>(this));
    }
}

LResult UICombo::HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) {
    using namespace platform;
    switch (msg) {
        case MSG_SIZE:
            return 0;
        case MSG_ACTIVATE:
            if (wParam == 0) Close();
            break;
        case MSG_PAINT:
            if (flags & FLAG_TOPMOST) return 0;
            if (wParam) Draw(*reinterpret_cast<gfx::Surface*>(wParam));
            return DispatchToChildren(msg, wParam, lParam);
        case MSG_COMMAND:
            if (CommandId(wParam) == list.id) {
                const std::uint32_t code = CommandCode(wParam);
                if (code == LIST_SELECTED) changed = 1;
                // Enter picks the highlighted item; Escape puts back the one it opened on.
                if (code == LIST_RELEASED || code == LIST_ACTIVATED) Close();
                if (code == LIST_CANCELLED && IsOpen()) {
                    list.Select(selectionAtOpen);
                    changed = 0;
                    Close();
                }
            }
            return 0;
        case MSG_MOUSEMOVE:
            return 0;
        case MSG_LBUTTONDOWN:
            if (IsOpen())
                Close();
            else
                Open();
            return 1;
        case MSG_LBUTTONUP: {
            int px = PointX(lParam), py = PointY(lParam);
            if (px < 0 || py < 0 || px >= width || py >= height) Close();
            return 0;
        }
        default:
            break;
    }
    return DispatchToChildren(msg, wParam, lParam);
}

void UICombo::Draw(gfx::Surface& s) {
    int left = x, top = y;
    LocalToScreen(left, top);
    int fh = FontHeight(), bw = ArrowBoxWidth();
    int right = left + width, bottom = top + fh + 4;
    fillBox(s, left + 1, top + 1, right - bw - 1, bottom - 1, list.backColour);
    gfx::rectangle(s, left, top, right, bottom, list.frameColour);
    fillBox(s, right - bw + 2, top + 2, right - 2, top + fh + 2, arrowColour);
    DrawArrowBox(s, right - bw + 2, top + 2, right - 2);
    DrawSelection(s, left, top);
    int cx = right - (bw >> 1), cy = top + ((fh + 4) >> 1) - 1;
    if (IsOpen()) {
        ++cx;
        ++cy;
    }
    for (int i = 0; i <= 3; ++i)
        gfx::hLine(s, cx - 3 + i, cy + i, 6 - 2 * i, list.textColour);
}

void UICombo::DrawArrowBox(gfx::Surface& s, int x0, int y0, int x1) const {
    int y1 = y0 + FontHeight();
    int w = x1 - x0, h = y1 - y0;
    if (!IsOpen()) {
        gfx::hLine(s, x0, y1, w, DARK);
        gfx::vLine(s, x1, y0, h, DARK);
        gfx::hLine(s, x0 + 1, y1 - 1, w - 2, MID);
        gfx::vLine(s, x1 - 1, y0 + 1, h - 2, MID);
        gfx::hLine(s, x0, y0, w - 1, LIGHT);
        gfx::vLine(s, x0, y0, h - 1, LIGHT);
        return;
    }
    gfx::hLine(s, x0, y1, w, LIGHT);
    gfx::vLine(s, x1, y0, h, LIGHT);
    gfx::hLine(s, x0, y0, w - 1, DARK);
    gfx::vLine(s, x0, y0, h - 1, DARK);
    gfx::hLine(s, x0 + 1, y0 + 1, w - 2, GREY);
    gfx::vLine(s, x0 + 1, y0 + 1, h - 2, GREY);
}

int UICombo::TextRoom(int column) const {
    if (column < 0 || column >= list.columnCount) return 0;
    const gfx::Rect& r = list.columns[static_cast<std::size_t>(column)].rect;
    if (r.left >= TextRight()) return 0;
    return ColumnTextRoom(r.left, std::min(r.right, TextRight()));
}

void UICombo::DrawSelection(gfx::Surface& s, int left, int top) {
    int selected = list.Selection();
    if (selected < 0 || !list.font) return;
    const gfx::Font& font = *list.font;
    const int textRight = TextRight();
    std::string scratch;
    for (int ci = 0; ci < list.columnCount; ++ci) {
        ListColumn c = list.columns[ci];
        if (c.rect.left >= textRight) continue;
        c.rect.right = std::min(c.rect.right, textRight);
        if (ci == 0 && (list.style & LIST_ICONS) && list.imageList) {
            const ListItem* item = list.Item(selected);
            int icon = static_cast<int>(item->data);
            if (list.iconHook) icon = list.iconHook(item->text, item->itemFlags, icon);
            int perRow = std::max(list.imageList->Columns(), 1);
            list.imageList->Draw(s, left + 1, top + 2, icon % perRow, icon / perRow);
        }
        std::string_view text = list.Column(selected, ci).value_or("");
        std::string_view shown = FitString(font, text, TextRoom(ci), scratch);
        int tx = c.align == ALIGN_RIGHT ? left + c.rect.right - 3 - TextWidth(font, shown)
                                        : left + c.rect.left + 3;
        DrawString(font, s, tx, top + 2, shown, list.textColour);
    }
}

}  // namespace ui
