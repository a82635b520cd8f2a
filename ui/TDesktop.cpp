#include "ui/TDesktop.h"

#include <algorithm>
#include <vector>

#include "gfx/Surface.h"

namespace ui {

namespace {

TDesktop* current = nullptr;

// Every desktop alive, so that a widget going away can be forgotten by all of them, the
// current one or not.
std::vector<TDesktop*>& AllDesktops() {
    static std::vector<TDesktop*> all;
    return all;
}

bool Matches(const TObject* held, const TObject* widget, bool subtree) {
    return held && (held == widget || (subtree && widget->Contains(held)));
}

void ClearSavedCaptures(TObject* w, const TObject* gone, bool subtree) {
    if (Matches(w->savedCapture, gone, subtree)) w->savedCapture = nullptr;
    for (TObject* c = w->firstChild; c; c = c->next)
        ClearSavedCaptures(c, gone, subtree);
}

}  // namespace

TDesktop::TDesktop() {
    kind = KIND_DESKTOP;
    AllDesktops().push_back(this);
}

TDesktop::~TDesktop() {
    if (current == this) current = previous;
    auto& all = AllDesktops();
    std::erase(all, this);
    for (TDesktop* d : all) {
        if (d->previous == this) d->previous = previous;
    }
    if (capture && hWnd) hWnd->ReleaseCapture();
}

bool TDesktop::Attach(gfx::Display* newDisplay, platform::Window* window) {
    if (!newDisplay) return false;
    hWnd = window;
    display = newDisplay;
    if (current != this) previous = current;
    current = this;
    keys = gfx::keyMapFor(display->Params().orientation);
    SetRect(0, 0, static_cast<int>(display->Params().width),
            static_cast<int>(display->Params().height));
    return true;
}

void TDesktop::Detach() {
    if (current == this) current = previous;
}

gfx::Surface* TDesktop::BackBuffer() {
    if (!display || !display->Lock()) return nullptr;
    return display->BackBuffer();
}

void TDesktop::Draw(gfx::Surface& surface) {
    HandleEvent(platform::MSG_PAINT, reinterpret_cast<WParam>(&surface), 0);
}

bool TDesktop::Redraw(const gfx::Surface* background) {
    gfx::Surface* back = BackBuffer();
    if (!back) return false;
    if (background) gfx::copyInto(*back, *background);
    Draw(*back);
    display->UnlockAndPresent(0);
    return true;
}

LResult TDesktop::HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) {
    using namespace platform;
    switch (msg) {
        case MSG_PAINT:
            if (++frameCounter >= CARET_PERIOD) frameCounter = 0;
            DispatchToChildren(msg, wParam, lParam);
            if (TObject* top = topMost) {
                top->flags &= ~FLAG_TOPMOST;
                top->HandleEvent(msg, wParam, lParam);
                top->flags |= FLAG_TOPMOST;
            }
            return 0;
        case MSG_KEYDOWN:
        case MSG_KEYUP:
        case MSG_CHAR:
            return focus ? focus->HandleEvent(msg, wParam, lParam) : 0;
        case MSG_TIMER:
            if (capture) return capture->HandleEvent(msg, wParam, lParam);
            return DispatchToChildren(msg, wParam, lParam);
        case MSG_MOUSEMOVE:
        case MSG_LBUTTONDOWN:
        case MSG_LBUTTONUP:
            return RouteStylus(msg, lParam);
        case MSG_MOUSEWHEEL:
            return RouteWheel(wParam, lParam);
        default:
            return DispatchToChildren(msg, wParam, lParam);
    }
}

LResult TDesktop::RouteStylus(std::uint32_t msg, LParam lParam) {
    int px = platform::PointX(lParam);
    int py = platform::PointY(lParam);
    TObject* target = HitTest(this, capture, px - x, py - y);
    if (target && msg == platform::MSG_LBUTTONDOWN) ui::SetFocus(target);
    if (!target) target = capture;
    if (!target || (target->flags & FLAG_DISABLED)) return 0;
    target->ScreenToLocal(px, py);
    return target->HandleEvent(msg, reinterpret_cast<WParam>(this), platform::MakePoint(px, py));
}

// The wheel goes to the widget under the pointer and, when that one does not scroll, to
// its parents in turn. While a widget holds the capture (an open combo list) only its own
// subtree hears the wheel.
LResult TDesktop::RouteWheel(WParam wParam, LParam lParam) {
    const int px = platform::PointX(lParam), py = platform::PointY(lParam);
    for (TObject* w = HitTest(this, capture, px - x, py - y); w && w != this; w = w->parent) {
        if (w->flags & FLAG_DISABLED) continue;
        int lx = px, ly = py;
        w->ScreenToLocal(lx, ly);
        if (LResult r =
                w->HandleEvent(platform::MSG_MOUSEWHEEL, wParam, platform::MakePoint(lx, ly)))
            return r;
    }
    return 0;
}

int TDesktop::Pump(platform::Msg& msg) {
    using namespace platform;
    if (!hWnd) return -1;
    if (!hWnd->Get(msg)) return 0;
    hWnd->Translate(msg);
    std::uint32_t m = msg.message;
    if (m == MSG_COMMAND) return 1;
    bool routed = (m >= MSG_KEYDOWN && m <= MSG_CHAR) || m == MSG_TIMER ||
                  (m >= MSG_MOUSEMOVE && m <= MSG_LBUTTONUP) || m == MSG_MOUSEWHEEL;
    if (routed)
        HandleEvent(m, msg.wParam, msg.lParam);
    else
        hWnd->Dispatch(msg);
    return 1;
}

void TDesktop::Forget(const TObject* widget, bool subtree) {
    if (Matches(capture, widget, subtree)) {
        capture = nullptr;
        if (hWnd) hWnd->ReleaseCapture();
    }
    if (Matches(focus, widget, subtree)) {
        focus->flags &= ~FLAG_FOCUSED;
        focus = nullptr;
    }
    if (Matches(topMost, widget, subtree)) {
        topMost->flags &= ~FLAG_TOPMOST;
        topMost = nullptr;
    }
}

void TDesktop::ForgetEverywhere(const TObject* widget, bool subtree) {
    for (TDesktop* d : AllDesktops()) {
        d->Forget(widget, subtree);
        // A widget that is going away must not come back as somebody's saved capture.
        if (!subtree) ClearSavedCaptures(d, widget, false);
    }
}

TDesktop* currentDesktop() {
    return current;
}

void SetCurrentDesktop(TDesktop* desktop) {
    current = desktop;
}

bool PostToWindow(std::uint32_t msg, WParam wParam, LParam lParam) {
    if (!current || !current->hWnd) return false;
    return current->hWnd->Post(msg, wParam, lParam);
}

TObject* SetCapture(TObject* widget) {
    if (!current) return nullptr;
    TObject* old = current->capture;
    current->capture = widget;
    if (current->hWnd) {
        if (widget)
            current->hWnd->SetCapture();
        else
            current->hWnd->ReleaseCapture();
    }
    return old;
}

TObject* SetTopMost(TObject* widget) {
    if (!current) return nullptr;
    TObject* old = current->topMost;
    if (old) old->flags &= ~FLAG_TOPMOST;
    current->topMost = widget;
    if (widget) widget->flags |= FLAG_TOPMOST;
    return old;
}

TObject* SetFocus(TObject* widget) {
    if (!current) return nullptr;
    TObject* old = current->focus;
    if (widget == old || (widget && !(widget->flags & FLAG_FOCUSABLE))) return old;
    if (old) old->flags &= ~FLAG_FOCUSED;
    current->focus = widget;
    if (widget) widget->flags |= FLAG_FOCUSED;
    return old;
}

bool CaretVisible() {
    return current && current->frameCounter < CARET_PERIOD / 2;
}

void StartTimer(std::uint32_t timerId, std::uint32_t periodMs) {
    if (current && current->hWnd) current->hWnd->SetTimer(timerId, periodMs);
}

void StopTimer(std::uint32_t timerId) {
    if (current && current->hWnd) current->hWnd->KillTimer(timerId);
}

}  // namespace ui
