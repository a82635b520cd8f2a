#include "platform/sdl/SdlEvents.h"

#include <algorithm>

namespace platform::sdl {

namespace {

int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Window pixel -> logical pixel; false when outside the logical screen.
bool ToLogical(const Viewport& v, int wx, int wy, int& x, int& y) {
    x = FloorDiv(wx - v.offsetX, v.scale);
    y = FloorDiv(wy - v.offsetY, v.scale);
    return x >= 0 && y >= 0 && x < v.logicalWidth && y < v.logicalHeight;
}

std::optional<Msg> Stylus(std::uint32_t message, WParam buttons, const Viewport& v, int wx, int wy,
                          bool captured) {
    int x = 0;
    int y = 0;
    bool inside = ToLogical(v, wx, wy, x, y);
    if (!inside && (message == MSG_LBUTTONDOWN || !captured)) return std::nullopt;
    x = std::clamp(x, -32768, 32767);
    y = std::clamp(y, -32768, 32767);
    return Msg{message, buttons, MakePoint(x, y), 0};
}

}  // namespace

Viewport ComputeViewport(int windowWidth, int windowHeight, int logicalWidth, int logicalHeight) {
    Viewport v;
    v.logicalWidth = logicalWidth;
    v.logicalHeight = logicalHeight;
    v.scale = std::max(1, std::min(windowWidth / logicalWidth, windowHeight / logicalHeight));
    v.offsetX = (windowWidth - logicalWidth * v.scale) / 2;
    v.offsetY = (windowHeight - logicalHeight * v.scale) / 2;
    return v;
}

int FitScale(int asked, int areaWidth, int areaHeight, int logicalWidth, int logicalHeight) {
    int fits = std::min(areaWidth / logicalWidth, areaHeight / logicalHeight);
    return std::max(1, std::min(asked, fits));
}

std::uint32_t VirtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<std::uint32_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<std::uint32_t>('0' + (key - SDLK_0));
    switch (key) {
        case SDLK_LEFT:
            return KEY_LEFT;
        case SDLK_UP:
            return KEY_UP;
        case SDLK_RIGHT:
            return KEY_RIGHT;
        case SDLK_DOWN:
            return KEY_DOWN;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return KEY_RETURN;
        case SDLK_BACKSPACE:
            return KEY_BACK;
        case SDLK_DELETE:
            return KEY_DELETE;
        case SDLK_ESCAPE:
            return KEY_ESCAPE;
        case SDLK_SPACE:
            return ' ';
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return KEY_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return KEY_CONTROL;
        default:
            return 0;
    }
}

bool ShowsOnADisplay(int x, int y, int w, int h, const std::vector<SDL_Rect>& displays) {
    for (const SDL_Rect& d : displays) {
        int overlapW = std::min(x + w, d.x + d.w) - std::max(x, d.x);
        int overlapH = std::min(y + h, d.y + d.h) - std::max(y, d.y);
        if (overlapW * 4 >= w && overlapH * 4 >= h && overlapW > 0 && overlapH > 0) return true;
    }
    return false;
}

std::optional<Msg> TranslateSdlEvent(const SDL_Event& e, const Viewport& v, bool captured) {
    switch (e.type) {
        case SDL_QUIT:
            return Msg{MSG_CLOSE, 0, 0, 0};
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    return Msg{MSG_CLOSE, 0, 0, 0};
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    return Msg{MSG_ACTIVATE, ACTIVATE_ACTIVE, 0, 0};
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    return Msg{MSG_ACTIVATE, ACTIVATE_INACTIVE, 0, 0};
                case SDL_WINDOWEVENT_EXPOSED:
                    return Msg{MSG_PAINT, 0, 0, 0};
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    return Msg{MSG_SIZE, 0, MakePoint(e.window.data1, e.window.data2), 0};
                default:
                    return std::nullopt;
            }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            std::uint32_t vk = VirtualKeyFromSdl(e.key.keysym.sym);
            if (vk == 0) return std::nullopt;
            return Msg{e.type == SDL_KEYDOWN ? MSG_KEYDOWN : MSG_KEYUP, vk, 0, 0};
        }
        case SDL_TEXTINPUT: {
            // A typed character: the text field takes printable ASCII only, one event per
            // key; composed or pasted text of several characters is not typing.
            const char* text = e.text.text;
            if (text[0] < 0x20 || text[0] > 0x7E || text[1] != '\0') return std::nullopt;
            return Msg{MSG_CHAR, static_cast<WParam>(static_cast<unsigned char>(text[0])), 0, 0};
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.button != SDL_BUTTON_LEFT) return std::nullopt;
            if (e.type == SDL_MOUSEBUTTONDOWN)
                return Stylus(MSG_LBUTTONDOWN, 1, v, e.button.x, e.button.y, captured);
            return Stylus(MSG_LBUTTONUP, 0, v, e.button.x, e.button.y, captured);
        case SDL_MOUSEMOTION:
            if (!(e.motion.state & SDL_BUTTON_LMASK)) return std::nullopt;
            return Stylus(MSG_MOUSEMOVE, 1, v, e.motion.x, e.motion.y, captured);
        case SDL_MOUSEWHEEL: {
            // Only turns over the screen count, wherever the stylus capture is.
            int x = 0, y = 0;
            if (e.wheel.y == 0 || !ToLogical(v, e.wheel.mouseX, e.wheel.mouseY, x, y))
                return std::nullopt;
            int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            notches = std::clamp(notches, -100, 100);
            return Msg{MSG_MOUSEWHEEL, MakeWheel(notches * WHEEL_DELTA), MakePoint(x, y), 0};
        }
        default:
            return std::nullopt;
    }
}

}  // namespace platform::sdl
