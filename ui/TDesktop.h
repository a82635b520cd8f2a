#pragma once
// The root of one widget tree: attached to the window and the display, it routes stylus,
// key and timer events, keeps the stylus capture, the keyboard focus and one widget drawn
// on top, and draws the tree once per frame.

#include <cstdint>

#include "gfx/display/Display.h"
#include "platform/Window.h"
#include "ui/TObject.h"

namespace gfx {
class Font;
}

namespace ui {

// Draws a full period of the caret every CARET_PERIOD draws, visible for the first half.
constexpr std::int32_t CARET_PERIOD = 31;

class TDesktop : public TObject {
  public:
    TDesktop();
    // Stops being current (the one before it takes over) and forgets its tree.
    ~TDesktop() override;

    LResult HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam) override;

    // False when `display` is null. Otherwise becomes the current desktop, remembering the
    // one before, and takes the display's size.
    bool Attach(gfx::Display* newDisplay, platform::Window* window);
    // The desktop that was current before Attach becomes current again.
    void Detach();
    void SetFont(const gfx::Font* newFont) { font = newFont; }

    // The display's back buffer while it can be drawn, else null.
    gfx::Surface* BackBuffer();
    // Draws the tree over the back buffer. The caller holds the back buffer.
    void Draw(gfx::Surface& surface);
    // Copies `background` (may be null) into the back buffer, draws the tree over it and
    // presents it; false when the back buffer was not available.
    bool Redraw(const gfx::Surface* background);

    // One step of a modal loop: waits for the next message and routes it. Stylus, key and
    // timer events go through the tree, a command is left in `msg` for the caller, every
    // other message goes to the window procedure. 0 on the quit message, -1 without a
    // window, else 1.
    int Pump(platform::Msg& msg);

    // Makes every desktop forget `widget` (or, with `subtree`, anything inside it) as its
    // capture, focus or top-most widget, and every widget forget it as a saved capture.
    static void ForgetEverywhere(const TObject* widget, bool subtree = false);

    // The capture takes the place of the base's `state`.
    TObject* capture = nullptr;
    TObject* focus = nullptr;
    TObject* topMost = nullptr;
    gfx::Display* display = nullptr;
    platform::Window* hWnd = nullptr;
    const gfx::Font* font = nullptr;  // all captions of this desktop
    std::int32_t frameCounter = 0;    // 0 .. CARET_PERIOD - 1
    TDesktop* previous = nullptr;     // current before Attach
    std::uint16_t captionColour = 0x0000;
    // The hardware keys for the display's orientation (up, down, left, right, ...).
    gfx::KeyMap keys = gfx::keyMapFor(0);

  private:
    LResult RouteStylus(std::uint32_t msg, LParam lParam);
    LResult RouteWheel(WParam wParam, LParam lParam);
    void Forget(const TObject* widget, bool subtree);
};

// The desktop that receives posted commands, owns the capture and draws captions.
TDesktop* currentDesktop();

// Process-wide operations on the current desktop; each does nothing and answers null or
// false when there is none.
void SetCurrentDesktop(TDesktop* desktop);
bool PostToWindow(std::uint32_t msg, WParam wParam, LParam lParam);
// Returns the previous capture. Null releases the window's stylus capture.
TObject* SetCapture(TObject* widget);
TObject* SetTopMost(TObject* widget);
// Only a widget with FLAG_FOCUSABLE (or null) takes the focus. Returns the previous focus.
TObject* SetFocus(TObject* widget);
bool CaretVisible();
// The current window's timers.
void StartTimer(std::uint32_t timerId, std::uint32_t periodMs);
void StopTimer(std::uint32_t timerId);

}  // namespace ui
