#include "ui/UIEdit.h"

#include <algorithm>

#include "gfx/Draw.h"
#include "gfx/Font.h"
#include "ui/Paint.h"
#include "ui/TDesktop.h"
#include "ui/WidgetText.h"

namespace ui {

namespace {

// The text sits this far inside the frame, across and down.
constexpr int TEXT_INSET = 2;

}  // namespace

UIEdit::UIEdit() {
    kind = KIND_EDIT;
    flags = FLAG_VISIBLE | FLAG_FOCUSABLE;
}

void UIEdit::SetText(std::string_view newText) {
    text.assign(newText.substr(0, static_cast<std::size_t>(std::max(maxLength, 0))));
    caret = Length();
    anchor = selEnd = 0;
}

void UIEdit::SetMaxLength(std::int32_t n) {
    maxLength = std::max(n, 0);
    if (Length() > maxLength) SetText(text);
}

void UIEdit::SelectAll(std::int32_t n) {
    anchor = 0;
    selEnd = n < 0 ? Length() : std::min(n, Length());
}

int UIEdit::PixelOf(std::int32_t index) const {
    if (!font) return 0;
    int px = 0;
    index = std::clamp(index, 0, Length());
    for (std::int32_t i = 0; i < index; ++i)
        px += font->advance[static_cast<unsigned char>(text[static_cast<std::size_t>(i)])];
    return px;
}

std::int32_t UIEdit::IndexAt(int px) const {
    if (!font) return 0;
    std::int32_t i = 0;
    for (int left = 0; i < Length(); ++i) {
        left += font->advance[static_cast<unsigned char>(text[static_cast<std::size_t>(i)])];
        if (px < left) break;
    }
    return i;
}

LResult UIEdit::HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) {
    using namespace platform;
    switch (msg) {
        case MSG_PAINT:
            if (wParam && font) Draw(*reinterpret_cast<gfx::Surface*>(wParam));
            break;
        case MSG_KEYDOWN:
            if (Editable()) KeyDown(static_cast<std::uint32_t>(wParam));
            break;
        case MSG_CHAR:
            if (Editable()) Type(static_cast<char>(wParam));
            break;
        case MSG_LBUTTONDOWN: {
            dragging = 1;
            TObject* before = ui::SetCapture(this);
            if (before != this) savedCapture = before;
            caret = anchor = selEnd = IndexAt(std::max(PointX(lParam) - TEXT_INSET, 0));
            return 1;
        }
        case MSG_MOUSEMOVE:
            if (dragging) caret = selEnd = IndexAt(std::max(PointX(lParam) - TEXT_INSET, 0));
            break;
        case MSG_LBUTTONUP:
            EndDrag();
            break;
        case MSG_ACTIVATE:
            // Hidden or deactivated mid-drag: the field lets go of the stylus.
            if (wParam == 0) EndDrag();
            break;
        default:
            break;
    }
    return DispatchToChildren(msg, wParam, lParam);
}

void UIEdit::EndDrag() {
    if (!dragging) return;
    dragging = 0;
    TDesktop* desktop = currentDesktop();
    if (desktop && desktop->capture == this) ui::SetCapture(savedCapture);
    savedCapture = nullptr;
}

void UIEdit::KeyDown(std::uint32_t key) {
    using namespace platform;
    switch (key) {
        case KEY_BACK:
            if (HasSelection())
                DeleteSelection();
            else if (caret > 0)
                EraseAt(--caret);
            break;
        case KEY_DELETE:
            if (HasSelection())
                DeleteSelection();
            else
                EraseAt(caret);
            break;
        case KEY_LEFT:
        case KEY_RIGHT:
            caret = std::clamp(caret + (key == KEY_LEFT ? -1 : 1), 0, Length());
            anchor = selEnd = caret;
            break;
        default:
            break;
    }
}

void UIEdit::Type(char c) {
    if (c == '\0' || allowed.find(c) == std::string_view::npos) return;
    if (HasSelection()) DeleteSelection();
    if (Length() >= maxLength) return;
    caret = std::clamp(caret, 0, Length());
    text.insert(static_cast<std::size_t>(caret), 1, c);
    ++caret;
}

void UIEdit::DeleteSelection() {
    std::int32_t from = std::clamp(std::min(anchor, selEnd), 0, Length());
    std::int32_t to = std::clamp(std::max(anchor, selEnd), 0, Length());
    text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    caret = from;
    anchor = selEnd = 0;
}

void UIEdit::EraseAt(std::int32_t index) {
    if (index >= 0 && index < Length()) text.erase(static_cast<std::size_t>(index), 1);
}

void UIEdit::Draw(gfx::Surface& s) {
    const int fh = FontHeight(font);
    height = fh + 4;
    int left = x, top = y;
    LocalToScreen(left, top);
    // The outline's right and bottom edges lie on x + width and y + height, as a button's.
    fillBox(s, left + 1, top + 1, left + width - 1, top + height - 1, backColour);
    gfx::rectangle(s, left, top, left + width, top + height, frameColour);
    const int tx = left + TEXT_INSET, ty = top + TEXT_INSET;
    // Only whole characters that fit inside the frame are drawn.
    std::int32_t shown = IndexAt(width - 2 * TEXT_INSET);
    while (shown > 0 && PixelOf(shown) > width - 2 * TEXT_INSET)
        --shown;
    const bool active = Editable() && (flags & FLAG_FOCUSED);
    const std::int32_t from = std::min(anchor, selEnd), to = std::max(anchor, selEnd);
    if (active && HasSelection()) {
        int sx0 = tx + PixelOf(std::min(from, shown)), sx1 = tx + PixelOf(std::min(to, shown));
        fillBox(s, sx0, ty, sx1 - 1, ty + fh - 1, selColour);
    }
    std::string_view all(text);
    DrawString(*font, s, tx, ty, all.substr(0, static_cast<std::size_t>(shown)), textColour);
    if (!active) return;
    if (HasSelection() && from < shown) {
        std::int32_t end = std::min(to, shown);
        DrawString(*font, s, tx + PixelOf(from), ty,
                   all.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(end - from)),
                   selTextColour);
    }
    if (CaretVisible()) gfx::vLine(s, tx + PixelOf(caret), ty, fh - 1, textColour);
}

}  // namespace ui
