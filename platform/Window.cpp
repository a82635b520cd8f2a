#include "platform/Window.h"

#include <algorithm>

#include "platform/Clock.h"
#include "platform/Thread.h"

namespace platform {

LResult DefaultWindowProc(Window& window, std::uint32_t message, WParam, LParam) {
    switch (message) {
        case MSG_CLOSE:
            window.Destroy();
            return 0;
        case MSG_RAISE:
            window.GetBackend().Beep();
            window.BringToForeground();
            return 0;
        default:
            return 0;
    }
}

Window::Window(Backend& backend, std::string title, WindowProc proc)
    : backend(backend), title(std::move(title)), proc(std::move(proc)) {}

Window::~Window() {
    Destroy();
}

bool Window::Create() {
    if (alive) return true;
    if (!backend.OpenWindow(*this)) return false;
    alive = true;
    if (Send(MSG_CREATE) == -1) {
        alive = false;
        backend.CloseWindow();
        return false;
    }
    return true;
}

void Window::Destroy() {
    if (!alive || destroying) return;
    destroying = true;
    Send(MSG_DESTROY);
    timers.clear();
    ReleaseCapture();
    backend.CloseWindow();
    alive = false;
    destroying = false;
}

bool Window::Post(std::uint32_t message, WParam wParam, LParam lParam) {
    if (!queue.Post(Msg{message, wParam, lParam, TickMs()})) return false;
    backend.Wake(*this);
    return true;
}

void Window::PostQuit(int exitCode) {
    (void)exitCode;  // the program's exit code does not come from here
    quitPending = true;
    queue.Notify();
    backend.Wake(*this);
}

LResult Window::Send(std::uint32_t message, WParam wParam, LParam lParam) {
    return proc ? proc(*this, message, wParam, lParam) : 0;
}

bool Window::Peek(Msg& msg) {
    backend.PumpEvents(*this);
    return TakeNext(msg);
}

bool Window::Get(Msg& msg) {
    for (;;) {
        backend.PumpEvents(*this);
        if (TakeNext(msg)) return msg.message != MSG_QUIT;
        backend.WaitEvents(*this, MsUntilNextTimer());
    }
}

void Window::Wait(std::uint32_t timeoutMs) {
    if (!queue.Empty() || quitPending) return;
    backend.WaitEvents(*this, std::min(timeoutMs, MsUntilNextTimer()));
}

void Window::Translate(const Msg&) {}

LResult Window::Dispatch(const Msg& msg) {
    return Send(msg.message, msg.wParam, msg.lParam);
}

bool Window::TakeNext(Msg& msg) {
    // A drag posts moves as fast as the mouse reports them; a due timer goes before the next
    // one, so that auto-repeat keeps its pace while the stylus moves.
    if (queue.FrontIs(MSG_MOUSEMOVE) && TakeDueTimer(msg)) return true;
    if (queue.Take(msg)) {
        TrackKeys(msg);
        return true;
    }
    if (quitPending.exchange(false)) {
        msg = Msg{MSG_QUIT, 0, 0, TickMs()};
        return true;
    }
    return TakeDueTimer(msg);
}

bool Window::TakeDueTimer(Msg& msg) {
    if (timers.empty()) return false;
    std::uint32_t now = TickMs();
    // The most overdue timer goes first; a late timer fires once, not once per period.
    auto overdue = [now](const Timer& t) { return static_cast<std::int32_t>(now - t.due); };
    auto it = std::max_element(timers.begin(), timers.end(), [&](const Timer& a, const Timer& b) {
        return overdue(a) < overdue(b);
    });
    if (overdue(*it) < 0) return false;
    it->due = now + it->period;
    msg = Msg{MSG_TIMER, it->id, 0, now};
    return true;
}

std::uint32_t Window::MsUntilNextTimer() const {
    if (timers.empty()) return INFINITE_WAIT;
    std::uint32_t now = TickMs();
    std::int32_t soonest = INT32_MAX;
    for (const Timer& t : timers)
        soonest = std::min(soonest, static_cast<std::int32_t>(t.due - now));
    return soonest <= 0 ? 0 : static_cast<std::uint32_t>(soonest);
}

void Window::SetTimer(std::uint32_t id, std::uint32_t periodMs) {
    periodMs = std::max<std::uint32_t>(periodMs, 1);
    std::uint32_t due = TickMs() + periodMs;
    for (Timer& t : timers) {
        if (t.id == id) {
            t = Timer{id, periodMs, due};
            return;
        }
    }
    timers.push_back(Timer{id, periodMs, due});
}

void Window::KillTimer(std::uint32_t id) {
    std::erase_if(timers, [id](const Timer& t) { return t.id == id; });
}

bool Window::HasTimer(std::uint32_t id) const {
    return std::any_of(timers.begin(), timers.end(), [id](const Timer& t) { return t.id == id; });
}

void Window::SetCapture() {
    if (captured) return;
    captured = true;
    backend.SetCapture(true);
}

void Window::ReleaseCapture() {
    if (!captured) return;
    captured = false;
    backend.SetCapture(false);
}

bool Window::IsKeyDown(std::uint32_t virtualKey) const {
    return virtualKey < KEY_COUNT && keyDown[virtualKey];
}

void Window::TrackKeys(const Msg& msg) {
    if (msg.message != MSG_KEYDOWN && msg.message != MSG_KEYUP) return;
    if (msg.wParam < KEY_COUNT) keyDown[msg.wParam] = msg.message == MSG_KEYDOWN;
}

}  // namespace platform
