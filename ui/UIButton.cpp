#include "ui/UIButton.h"

#include "gfx/Draw.h"
#include "ui/ImageStrip.h"
#include "ui/Paint.h"
#include "ui/TDesktop.h"

namespace ui {

namespace {

constexpr std::uint16_t WHITE = 0xFFFF;
constexpr std::uint16_t LIGHT = 0xC618;
constexpr std::uint16_t GREY = 0x8410;
constexpr std::uint16_t MID = 0x630C;
constexpr std::uint16_t DARK = 0x4208;

}  // namespace

UIButton::~UIButton() {
    if (HasState(BUTTON_HELD | BUTTON_REPEAT)) StopTimer(REPEAT_TIMER);
}

int UIButton::FaceRow() const {
    if (Pressed() || Checked()) return FACE_PRESSED;
    if (flags & FLAG_DISABLED) return FACE_DISABLED;
    return FACE_NORMAL;
}

LResult UIButton::HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) {
    using namespace platform;
    switch (msg) {
        case MSG_PAINT:
            if (flags & FLAG_TOPMOST) return 0;
            if (wParam) Draw(*reinterpret_cast<gfx::Surface*>(wParam));
            break;
        case MSG_ACTIVATE:
            if (wParam == 0) Cancel();
            break;
        case MSG_MOUSEMOVE: {
            int px = PointX(lParam), py = PointY(lParam);
            bool inside = px >= 0 && px <= width && py >= 0 && py <= height;
            state = inside ? state | BUTTON_INSIDE : state & ~BUTTON_INSIDE;
            break;
        }
        case MSG_LBUTTONDOWN: {
            int px = PointX(lParam), py = PointY(lParam);
            if (px < 0 || px > width || py < 0 || py > height) break;
            if (state & BUTTON_REPEAT) StartTimer(REPEAT_TIMER, REPEAT_PERIOD_MS);
            // A second press while holding the capture must not save the button itself.
            TObject* before = ui::SetCapture(this);
            if (before != this) savedCapture = before;
            state |= BUTTON_INSIDE | BUTTON_HELD;
            return 1;
        }
        case MSG_LBUTTONUP:
            if (!(state & BUTTON_HELD)) {
                // The scroll bar that is paging keeps the capture until the stylus lifts,
                // wherever that happens.
                if (parent && parent->kind == KIND_SCROLLBAR)
                    parent->HandleEvent(msg, wParam, lParam);
                return 0;
            }
            Release(lParam);
            break;
        case MSG_TIMER:
            // Only the held button repeats: a stray timer reaching every child must not
            // make idle buttons fire.
            if (wParam == REPEAT_TIMER && HasState(BUTTON_HELD | BUTTON_REPEAT))
                Notify(MSG_COMMAND, MakeCommand(id), reinterpret_cast<LParam>(this));
            break;
        default:
            break;
    }
    return DispatchToChildren(msg, wParam, lParam);
}

void UIButton::Release(LParam lParam) {
    using namespace platform;
    int px = PointX(lParam), py = PointY(lParam);
    bool inside = (state & BUTTON_INSIDE) && px >= 0 && px <= width && py >= 0 && py <= height;
    if (inside) {
        if (state & BUTTON_RADIO) SelectInGroup(id);
        if (state & BUTTON_TOGGLE) state ^= BUTTON_CHECKED;
        Notify(MSG_COMMAND, MakeCommand(id), reinterpret_cast<LParam>(this));
    }
    if (state & BUTTON_REPEAT) StopTimer(REPEAT_TIMER);
    ui::SetCapture(savedCapture);
    savedCapture = nullptr;
    state &= ~(BUTTON_INSIDE | BUTTON_HELD);
}

void UIButton::Cancel() {
    if (!(state & BUTTON_HELD)) return;
    if (state & BUTTON_REPEAT) StopTimer(REPEAT_TIMER);
    TDesktop* desktop = currentDesktop();
    if (desktop && desktop->capture == this) ui::SetCapture(savedCapture);
    savedCapture = nullptr;
    state &= ~(BUTTON_INSIDE | BUTTON_HELD);
}

void UIButton::Draw(gfx::Surface& surface) {
    int left = x, top = y;
    LocalToScreen(left, top);
    int row = FaceRow();
    bool down = row == FACE_PRESSED;
    if (down)
        captionStyle |= CAPTION_PRESSED;
    else
        captionStyle &= ~CAPTION_PRESSED;
    if (!(state & BUTTON_BEVEL)) {
        if (faces) faces->Draw(surface, left, top, static_cast<int>(faceColumn), row);
        return;
    }
    DrawBevel(surface, left, top, down);
    if (faces) {
        int shift = down ? 2 : 0;
        faces->Draw(surface, left + ((width - faces->CellWidth()) >> 1) + shift, top + 2 + shift,
                    static_cast<int>(faceColumn), row);
    }
}

void UIButton::DrawBevel(gfx::Surface& s, int left, int top, bool down) const {
    int right = left + width, bottom = top + height;
    int w = width, h = height;
    if (!(state & BUTTON_FLAT)) {
        fillBox(s, left + 1, top + 1, right - 1, bottom - 1, faceColour);
        gfx::rectangle(s, left, top, right, bottom, borderColour);
        std::uint16_t lowOuter = down ? WHITE : DARK;
        std::uint16_t highOuter = down ? DARK : WHITE;
        gfx::hLine(s, left + 1, bottom - 1, w - 2, lowOuter);
        gfx::vLine(s, right - 1, top + 1, h - 2, lowOuter);
        gfx::hLine(s, left + 1, top + 1, w - 3, highOuter);
        gfx::vLine(s, left + 1, top + 1, h - 3, highOuter);
        if (down) {
            gfx::hLine(s, left + 2, top + 2, w - 5, GREY);
            gfx::vLine(s, left + 2, top + 2, h - 5, GREY);
        } else {
            gfx::hLine(s, left + 2, bottom - 2, w - 4, MID);
            gfx::vLine(s, right - 2, top + 2, h - 4, MID);
        }
        return;
    }
    if (!down) {
        if (state & BUTTON_FRAMELESS) return;
        gfx::hLine(s, left - 1, top - 1, w, borderColour);
        gfx::vLine(s, left - 1, top - 1, h, borderColour);
        gfx::hLine(s, left, top, w - 1, LIGHT);
        gfx::vLine(s, left, top, h - 1, LIGHT);
        gfx::hLine(s, left, bottom, w, GREY);
        gfx::vLine(s, right + 1, top - 1, h + 1, GREY);
        gfx::hLine(s, left + 1, bottom - 1, w - 2, borderColour);
        gfx::vLine(s, right, top, h, borderColour);
        return;
    }
    gfx::hLine(s, left - 1, top - 1, w, borderColour);
    gfx::vLine(s, left - 1, top - 1, h, borderColour);
    gfx::hLine(s, left, top, w - 1, borderColour);
    gfx::vLine(s, left, top, h - 1, borderColour);
    gfx::hLine(s, left, bottom, w, GREY);
    gfx::vLine(s, right + 1, top - 1, h + 1, GREY);
}

}  // namespace ui
