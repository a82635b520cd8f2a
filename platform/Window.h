#pragma once
// The program's one window: its message queue, procedure, timers, stylus capture and
// key state.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"

namespace platform {

class Window;
using WindowProc = std::function<LResult(Window&, std::uint32_t, WParam, LParam)>;

// Closes the window on a close request and comes forward on a raise request; every
// other message needs nothing.
LResult DefaultWindowProc(Window& window, std::uint32_t message, WParam wParam, LParam lParam);

class Window {
  public:
    Window(Backend& backend, std::string title, WindowProc proc);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Opens the native window and sends the create message; false when either fails
    // (a procedure answering -1 to the create message refuses creation).
    bool Create();
    // Sends the destroy message and closes the native window. Safe to call twice.
    void Destroy();
    bool Alive() const { return alive; }

    const std::string& Title() const { return title; }
    Backend& GetBackend() { return backend; }
    int Width() const { return backend.ScreenWidth(); }
    int Height() const { return backend.ScreenHeight(); }

    // Any thread. False when the queue is full.
    bool Post(std::uint32_t message, WParam wParam = 0, LParam lParam = 0);
    // Any thread: the next Get or Peek with nothing posted before it answers the quit message.
    void PostQuit(int exitCode);
    bool QuitPending() const { return quitPending; }
    // Calls the procedure at once (main thread).
    LResult Send(std::uint32_t message, WParam wParam = 0, LParam lParam = 0);

    // Takes the next message without blocking; false when there is none.
    bool Peek(Msg& msg);
    // Waits for the next message; false when it is the quit message.
    bool Get(Msg& msg);
    // Blocks until a message may be waiting (posted, native input, a due timer) or timeoutMs
    // passes; returns at once when one is already waiting.
    void Wait(std::uint32_t timeoutMs);
    // Typed characters arrive from the backends as their own messages (the keyboard's
    // text, a script's typing), so a key-down posts none: nothing is typed twice.
    void Translate(const Msg& msg);
    LResult Dispatch(const Msg& msg);

    // Timer messages (wParam = id) are made when nothing is posted, or only a stylus move,
    // and the period has passed; setting an existing id restarts it.
    void SetTimer(std::uint32_t id, std::uint32_t periodMs);
    void KillTimer(std::uint32_t id);
    bool HasTimer(std::uint32_t id) const;

    void SetCapture();
    void ReleaseCapture();
    bool HasCapture() const { return captured; }

    // Key state as of the last message taken from the queue.
    bool IsKeyDown(std::uint32_t virtualKey) const;

    void BringToForeground() { backend.Raise(); }

    // For backends: blocks until something is posted or timeoutMs passes.
    void WaitForPost(std::uint32_t timeoutMs) { queue.WaitForPost(timeoutMs); }
    bool QueueEmpty() const { return queue.Empty(); }

  private:
    struct Timer {
        std::uint32_t id;
        std::uint32_t period;
        std::uint32_t due;
    };

    bool TakeNext(Msg& msg);
    bool TakeDueTimer(Msg& msg);
    std::uint32_t MsUntilNextTimer() const;
    void TrackKeys(const Msg& msg);

    Backend& backend;
    std::string title;
    WindowProc proc;
    MessageQueue queue;
    std::vector<Timer> timers;
    std::array<bool, KEY_COUNT> keyDown{};
    std::atomic<bool> quitPending{false};
    bool alive = false;
    bool destroying = false;
    bool captured = false;
};

}  // namespace platform
