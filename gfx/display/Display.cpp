#include "gfx/display/Display.h"

#include "gfx/Blit.h"
#include "platform/Clock.h"

namespace gfx {

Display::Display(platform::Window& window, const DisplayParams& params)
    : window(window), params(params), backBuffer(createSurface(params.width, params.height)) {}

bool Display::Lock() {
    if (locked) return true;
    if (!backBuffer || !Available()) return false;
    locked = true;
    return true;
}

bool Display::UnlockAndPresent(std::uint32_t flags) {
    if (!locked) return false;
    locked = false;
    if (invalidated) flags |= PRESENT_AGAIN;
    invalidated = false;
    bool shown = Present(*backBuffer, flags);
    if (shown) ++presents;
    return shown;
}

bool resolveDisplayParams(const platform::Window& window, DisplayParams& params) {
    int screenW = window.Width();
    int screenH = window.Height();
    if (screenW <= 0 || screenH <= 0) return false;
    if (params.width == 0) params.width = static_cast<std::uint32_t>(screenW);
    if (params.height == 0) params.height = static_cast<std::uint32_t>(screenH);
    if (params.orientation != 0 && params.orientation != 1 && params.orientation != 3) return false;
    if (params.width > 4096 || params.height > 4096) return false;
    if (params.swapEffect == 0) params.swapEffect = 1;
    return true;
}

DisplayPtr createDisplay(const DisplayFactory& factory, platform::Window& window,
                         DisplayParams& params) {
    if (!factory) return nullptr;
    DisplayParams wanted = params;
    if (!resolveDisplayParams(window, wanted)) return nullptr;
    DisplayPtr display = factory(window, wanted);
    if (!display || !display->Ready()) return nullptr;
    params = wanted;
    return display;
}

void destroyDisplay(DisplayPtr& display) {
    display.reset();
}

KeyMap keyMapFor(std::uint32_t orientation) {
    using namespace platform;
    // Sideways screens turn the arrows with them.
    std::array<std::uint16_t, 4> arrows = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT};
    if (orientation == 1) arrows = {KEY_RIGHT, KEY_LEFT, KEY_UP, KEY_DOWN};
    if (orientation == 3) arrows = {KEY_LEFT, KEY_RIGHT, KEY_DOWN, KEY_UP};
    return KeyMap{arrows[0], arrows[1],  arrows[2], arrows[3],  KEY_RETURN,
                  ' ',       KEY_ESCAPE, KEY_BACK,  KEY_DELETE, 'P',
                  'Q',       'R',        'S',       'X',        KEY_SHIFT};
}

SurfacePtr captureScreen(Display& display, std::uint32_t width, std::uint32_t height) {
    if (!display.Lock()) return nullptr;
    Surface* back = display.BackBuffer();
    SurfacePtr copy = back ? clone(*back, width, height) : nullptr;
    display.UnlockAndPresent(0);
    return copy;
}

void crossFadeTo(Display& display, const Surface& image, std::uint32_t durationMs) {
    const DisplayParams& p = display.Params();
    SurfacePtr scaled;
    const Surface* target = &image;
    if (image.width != p.width || image.height != p.height) {
        scaled = clone(image, p.width, p.height);
        if (!scaled) return;
        target = scaled.get();
    }
    SurfacePtr before = captureScreen(display);
    if (!before) return;
    std::uint32_t frameMs = durationMs >> 5;
    for (int alpha = 32; alpha >= 0; alpha -= 2) {
        std::uint32_t start = platform::TickMs();
        if (display.Lock()) {
            Surface& back = *display.BackBuffer();
            copyInto(back, *before);
            blit(back, 0, 0, back.Width(), back.Height(), *target, 0, 0, alpha, 0, BlitMode::Blend);
            display.UnlockAndPresent(0);
        }
        while (platform::TickMs() - start < frameMs)
            platform::SleepMs(1);
    }
}

}  // namespace gfx
