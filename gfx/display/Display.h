#pragma once
// The display: one RGB565 back buffer of the screen's size, presented once per frame.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "gfx/Surface.h"
#include "platform/Window.h"

namespace gfx {

struct DisplayParams {
    std::uint32_t width = 0;  // 0 asks for the screen's own width
    std::uint32_t height = 0;
    std::uint32_t orientation = 0;  // 0 portrait; 1 and 3 sideways
    std::uint32_t swapEffect = 0;   // 0 is taken as 1 (discard)
};

// Present option: the first present after creation.
constexpr std::uint32_t PRESENT_FIRST = 2;
// Present option, set by the display itself after Invalidate: the screen has lost what was
// shown, so even an unchanged frame must be shown again.
constexpr std::uint32_t PRESENT_AGAIN = 0x100;

class Display {
  public:
    virtual ~Display() = default;
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    const DisplayParams& Params() const { return params; }
    // True when the back buffer may be drawn; true at once if already locked.
    bool Lock();
    // The back buffer while locked, else null.
    Surface* BackBuffer() { return locked ? backBuffer.get() : nullptr; }
    // Presents the back buffer and releases the lock; false without a lock.
    bool UnlockAndPresent(std::uint32_t flags);
    // False when the back buffer could not be made.
    bool Ready() const { return backBuffer != nullptr; }
    // Frames presented since creation.
    std::uint64_t Presents() const { return presents; }
    // The window was uncovered or resized: the next present shows the frame even when it
    // has not changed.
    void Invalidate() { invalidated = true; }

  protected:
    Display(platform::Window& window, const DisplayParams& params);
    // Shows `frame` on the screen; false when nothing could be shown.
    virtual bool Present(const Surface& frame, std::uint32_t flags) = 0;
    // False while the screen cannot be drawn (lock then fails and the frame is skipped).
    virtual bool Available() { return true; }

    platform::Window& window;

  private:
    DisplayParams params;
    SurfacePtr backBuffer;
    bool locked = false;
    bool invalidated = false;
    std::uint64_t presents = 0;
};

using DisplayPtr = std::unique_ptr<Display>;
// Makes the display for a window; each backend supplies one. Fills `params` on success.
using DisplayFactory = std::function<DisplayPtr(platform::Window&, DisplayParams&)>;

// Validates the requested size against the window's screen and applies the swap rule.
bool resolveDisplayParams(const platform::Window& window, DisplayParams& params);

DisplayPtr createDisplay(const DisplayFactory& factory, platform::Window& window,
                         DisplayParams& params);
void destroyDisplay(DisplayPtr& display);

// The program's key map: up, down, left, right, four action keys, seven further keys.
using KeyMap = std::array<std::uint16_t, 15>;
KeyMap keyMapFor(std::uint32_t orientation);

// A copy of what is on the screen (width = height = 0: exact; else scaled). Null on failure.
SurfacePtr captureScreen(Display& display, std::uint32_t width = 0, std::uint32_t height = 0);
// Fades from the current screen to `image` in 17 steps over `durationMs`, ending on the
// image exactly.
void crossFadeTo(Display& display, const Surface& image, std::uint32_t durationMs);

}  // namespace gfx
