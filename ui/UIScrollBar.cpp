#include "ui/UIScrollBar.h"

#include <algorithm>
#include <cmath>

#include "ui/ImageStrip.h"
#include "ui/Paint.h"
#include "ui/TDesktop.h"

namespace ui {

namespace {

constexpr std::uint16_t WHITE = 0xFFFF;
constexpr std::uint16_t GROOVE_LIGHT = 0xC618;
constexpr std::uint16_t GROOVE_DARK = 0x0000;
constexpr std::uint16_t GROOVE_SHADE = 0x8410;
constexpr int GRIP_MIN_LENGTH = 20;
constexpr int TICK_LENGTH = 4;

// A rectangle given along and across the bar, for either direction.
gfx::Rect Oriented(bool horizontal, int along0, int across0, int along1, int across1) {
    return horizontal ? gfx::Rect{along0, across0, along1, across1}
                      : gfx::Rect{across0, along0, across1, along1};
}

}  // namespace

UIScrollBar::UIScrollBar() {
    kind = KIND_SCROLLBAR;
    for (UIButton* b : {&back, &forward}) {
        b->SetButtonState(BUTTON_REPEAT);
        b->SetFlags(0);
        AddChild(b);
    }
    back.id = 1;
    forward.id = 2;
}

void UIScrollBar::SetRange(int min, int max, int newPage) {
    std::int64_t span = static_cast<std::int64_t>(max) - min;
    if (span <= newPage) {
        low = high = page = 0;
        scale = 1.0f;
    } else {
        low = min;
        high = static_cast<std::int32_t>(max - static_cast<std::int64_t>(newPage));
        page = newPage;
        scale = static_cast<float>(static_cast<double>(high - min) * newPage / span);
    }
    // The thumb must stay on the track when the range shrinks under it.
    position = std::clamp(position, low, high);
    dragOffset = std::clamp(dragOffset, low - position, high - position);
}

void UIScrollBar::SetPosition(int p) {
    p = std::clamp(p, low, high);
    if (p == position) return;
    dragOffset = 0;
    position = p;
}

void UIScrollBar::SetThumbFaces(const ImageStrip* strip) {
    SetArrowFaces(nullptr);
    thumbFaces = strip;
}

void UIScrollBar::SetArrowFaces(const ImageStrip* strip) {
    arrowFaces = strip;
    int size = strip ? strip->CellWidth() : static_cast<int>(DEFAULT_ARROW_SIZE);
    arrowSize = static_cast<std::uint32_t>(size);
    std::uint16_t shown = strip ? FLAG_VISIBLE : 0;
    back.SetFlags(shown);
    forward.SetFlags(shown);
    if (!strip) return;
    back.SetFaces(strip, 0);
    forward.SetFaces(strip, 1);
    back.SetRect(0, 0, size, size);
    if (Horizontal())
        forward.SetRect(width - size + 1, 0, size, size);
    else
        forward.SetRect(0, height - size + 1, size, size);
}

void UIScrollBar::LayOutThumb() {
    int size = static_cast<int>(arrowSize);
    int start = arrowFaces ? size + 2 : 1;
    trackLength = std::max(0, arrowFaces ? Length() - 2 * (size + 2) : Length() - 2);
    int thumb;
    if (thumbFaces) {
        thumb = Horizontal() ? thumbFaces->CellWidth() : thumbFaces->CellHeight();
    } else {
        std::int64_t span = static_cast<std::int64_t>(high) - low + page;
        // Nothing to scroll: the thumb fills the track.
        thumb = span > 0 ? static_cast<int>(std::int64_t{trackLength} * page / span) : trackLength;
        thumb = std::max(thumb, minThumb);
    }
    thumb = std::clamp(thumb, 0, trackLength);
    int value = std::clamp(Value(), low, high);
    int offset = high > low ? static_cast<int>(std::int64_t{value - low} * (trackLength - thumb) /
                                               (std::int64_t{high} - low))
                            : 0;
    int across = Horizontal() ? height : width;
    int across0 = 0, across1 = size;
    if (thumbFaces) {
        int cell = Horizontal() ? thumbFaces->CellHeight() : thumbFaces->CellWidth();
        across0 = (across - cell) >> 1;
        across1 = across0 + cell;
    }
    thumbRect = Oriented(Horizontal(), start + offset, across0, start + offset + thumb, across1);
}

LResult UIScrollBar::HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) {
    using namespace platform;
    switch (msg) {
        case MSG_SIZE:
            SetArrowFaces(arrowFaces);
            return 0;
        case MSG_PAINT:
            if (flags & FLAG_TOPMOST) return 0;
            if (wParam) Draw(*reinterpret_cast<gfx::Surface*>(wParam));
            return DispatchToChildren(msg, wParam, lParam);
        case MSG_ACTIVATE:
            // Going away mid-drag: the thumb falls back to where it was.
            if (wParam == 0 && Dragging()) {
                barStyle &= ~BAR_DRAGGING;
                dragOffset = 0;
            }
            break;
        case MSG_LBUTTONDOWN:
            StylusDown(PointX(lParam), PointY(lParam));
            return 1;
        case MSG_MOUSEMOVE:
            if (Dragging()) Drag(PointX(lParam), PointY(lParam));
            return 0;
        case MSG_LBUTTONUP: {
            // Only the press this bar took ends here; a stylus merely lifted over it
            // must not hand the capture back.
            TDesktop* desktop = currentDesktop();
            if (!desktop || desktop->capture != this) return 0;
            ui::SetCapture(savedCapture);
            savedCapture = nullptr;
            SetPosition(Value());
            barStyle &= ~BAR_DRAGGING;
            Send(SCROLL_RELEASED, position);
            return 0;
        }
        case MSG_MOUSEWHEEL: {
            // A notch moves as far as three presses of an arrow; away from the user is back.
            if (Dragging()) return 1;
            const int step = std::max(page / 10, 1);
            const int notches = WheelDelta(wParam) / WHEEL_DELTA;
            const int before = position;
            SetPosition(position - notches * WHEEL_STEPS * step);
            if (position != before)
                Send(notches > 0 ? SCROLL_LINE_BACK : SCROLL_LINE_FORWARD, position);
            return 1;
        }
        case MSG_COMMAND: {
            std::uint32_t from = CommandId(wParam);
            if (from != back.id && from != forward.id) return 0;
            int step = std::max(page / 10, 1);
            bool ahead = from == forward.id;
            SetPosition(position + (ahead ? step : -step));
            Send(ahead ? SCROLL_LINE_FORWARD : SCROLL_LINE_BACK, position);
            return 0;
        }
        default:
            break;
    }
    return DispatchToChildren(msg, wParam, lParam);
}

void UIScrollBar::StylusDown(int px, int py) {
    LayOutThumb();
    TObject* before = ui::SetCapture(this);
    if (before != this) savedCapture = before;
    const gfx::Rect& t = thumbRect;
    if (px >= t.left && px < t.right && py >= t.top && py < t.bottom) {
        dragStart = gfx::Point{px, py};
        barStyle |= BAR_DRAGGING;
        return;
    }
    bool ahead = Along(px, py) >= Along(t.left, t.top);
    SetPosition(position + (ahead ? page : -page));
    Send(ahead ? SCROLL_PAGE_FORWARD : SCROLL_PAGE_BACK, position);
}

void UIScrollBar::Drag(int px, int py) {
    if (trackLength == 0) return;
    int distance = std::max(Along(px, py), 0) - Along(dragStart.x, dragStart.y);
    double moved = static_cast<double>(distance) * (static_cast<double>(high) - low) / trackLength;
    long offset = std::lround(moved);
    offset = std::clamp<long>(offset, static_cast<long>(low) - position,
                              static_cast<long>(high) - position);
    int before = Value();
    dragOffset = static_cast<std::int32_t>(offset);
    if (Value() != before) Send(SCROLL_TRACKING, Value());
}

void UIScrollBar::Send(std::uint32_t code, int value) {
    Notify(platform::MSG_COMMAND, platform::MakeCommand(id, code), static_cast<LParam>(value));
}

void UIScrollBar::Draw(gfx::Surface& s) {
    if (barStyle & BAR_VALUE_CAPTION) caption = std::to_string(Value());
    LayOutThumb();
    int left = x, top = y;
    LocalToScreen(left, top);
    if (thumbFaces) {
        DrawGroove(s, left, top);
        thumbFaces->Draw(s, left + thumbRect.left, top + thumbRect.top, 0, 0);
        return;
    }
    int thick = static_cast<int>(arrowSize) - 1;
    gfx::Rect bar = Oriented(Horizontal(), 0, 0, Length(), thick);
    gfx::rectangle(s, left + bar.left, top + bar.top, left + bar.right, top + bar.bottom,
                   frameColour);
    if (trackLength > 0) {
        gfx::Rect r = thumbRect;
        DrawThumb(s, gfx::Rect{left + r.left, top + r.top, left + r.right, top + r.bottom});
    }
}

void UIScrollBar::DrawThumb(gfx::Surface& s, const gfx::Rect& r) const {
    int right = r.right - 1, bottom = r.bottom - 1;  // inclusive
    if (right - r.left < 2 || bottom - r.top < 2) return;
    bool dragging = Dragging();
    fillBox(s, r.left + 1, r.top + 1, right - 1, bottom - 1, dragging ? dragColour : thumbColour);
    gfx::rectangle(s, r.left, r.top, right, bottom, gripColour);
    std::uint16_t light = dragging ? shadeColour : WHITE;
    std::uint16_t dark = dragging ? WHITE : shadeColour;
    gfx::hLine(s, r.left + 1, r.top + 1, right - r.left - 2, light);
    gfx::vLine(s, r.left + 1, r.top + 1, bottom - r.top - 2, light);
    gfx::hLine(s, r.left + 1, bottom - 1, right - r.left - 2, dark);
    gfx::vLine(s, right - 1, r.top + 1, bottom - r.top - 2, dark);
    int length = Horizontal() ? r.right - r.left : r.bottom - r.top;
    if (!(barStyle & BAR_GRIP) || length <= GRIP_MIN_LENGTH) return;
    for (int k = -1; k <= 1; ++k) {
        if (Horizontal()) {
            int gx = ((r.left + right) >> 1) + 3 * k - 1;
            gfx::vLine(s, gx, r.top + 3, bottom - r.top - 6, WHITE);
            gfx::vLine(s, gx + 1, r.top + 3, bottom - r.top - 6, gripColour);
        } else {
            int gy = ((r.top + bottom) >> 1) + 3 * k - 1;
            gfx::hLine(s, r.left + 3, gy, right - r.left - 6, WHITE);
            gfx::hLine(s, r.left + 3, gy + 1, right - r.left - 6, gripColour);
        }
    }
}

void UIScrollBar::DrawGroove(gfx::Surface& s, int left, int top) const {
    bool h = Horizontal();
    int thumb = h ? thumbRect.right - thumbRect.left : thumbRect.bottom - thumbRect.top;
    int start = (arrowFaces ? static_cast<int>(arrowSize) + 2 : 1) + thumb / 2;
    int travel = std::max(trackLength - thumb, 0);
    int across = h ? height : width;
    int middle = across >> 1;
    const std::uint16_t lines[3] = {GROOVE_LIGHT, GROOVE_DARK, GROOVE_SHADE};
    for (int k = 0; k < 3; ++k) {
        if (h)
            gfx::hLine(s, left + start, top + middle - 1 + k, travel, lines[k]);
        else
            gfx::vLine(s, left + middle - 1 + k, top + start, travel, lines[k]);
    }
    if (!(barStyle & (BAR_TICKS_BEFORE | BAR_TICKS_AFTER)) || ticks < 1) return;
    for (int i = 0; i < ticks; ++i) {
        int at = start + (ticks > 1 ? travel * i / (ticks - 1) : travel / 2);
        for (int side : {-1, 1}) {
            if (!(barStyle & (side < 0 ? BAR_TICKS_BEFORE : BAR_TICKS_AFTER))) continue;
            int from = side < 0 ? middle - 4 - TICK_LENGTH : middle + 4;
            if (h)
                gfx::vLine(s, left + at, top + from, TICK_LENGTH, GROOVE_DARK);
            else
                gfx::hLine(s, left + from, top + at, TICK_LENGTH, GROOVE_DARK);
        }
    }
}

}  // namespace ui
