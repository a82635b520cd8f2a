#include "platform/sdl/SdlEvents.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace platform::sdl {
namespace {

SDL_Event Button(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event Motion(int x, int y, Uint32 state) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.state = state;
    return e;
}

SDL_Event Key(Uint32 type, SDL_Keycode sym) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = sym;
    return e;
}

TEST(SdlEvents, ViewportScalesByWholePixelsAndLetterboxes) {
    Viewport v = ComputeViewport(480, 640, 240, 320);
    EXPECT_EQ(v.scale, 2);
    EXPECT_EQ(v.offsetX, 0);
    v = ComputeViewport(1000, 700, 240, 320);  // limited by the height
    EXPECT_EQ(v.scale, 2);
    EXPECT_EQ(v.offsetX, 260);
    EXPECT_EQ(v.offsetY, 30);
    EXPECT_EQ(ComputeViewport(100, 100, 240, 320).scale, 1);
}

TEST(SdlEvents, TheWindowScaleFitsTheDesktop) {
    EXPECT_EQ(FitScale(3, 1366, 768 - 40, 240, 320), 2);  // 960 would not fit; 640 does
    EXPECT_EQ(FitScale(3, 1920, 1040, 240, 320), 3);      // exactly 960 fits
    EXPECT_EQ(FitScale(4, 1920, 1279, 240, 320), 3);      // one pixel short of 1280
    EXPECT_EQ(FitScale(4, 1920, 1280, 240, 320), 4);
    EXPECT_EQ(FitScale(4, 719, 2000, 240, 320), 2);  // the width can be what limits
    EXPECT_EQ(FitScale(2, 640, 480, 240, 320), 1);
    EXPECT_EQ(FitScale(2, 200, 200, 240, 320), 1);    // never below one
    EXPECT_EQ(FitScale(1, 4000, 4000, 240, 320), 1);  // never above what was asked
}

TEST(SdlEvents, StylusIsMappedToLogicalPixels) {
    Viewport v = ComputeViewport(1000, 700, 240, 320);
    auto down = TranslateSdlEvent(Button(SDL_MOUSEBUTTONDOWN, 260 + 21, 30 + 41), v, false);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->message, MSG_LBUTTONDOWN);
    EXPECT_EQ(PointX(down->lParam), 10);
    EXPECT_EQ(PointY(down->lParam), 20);
    // The letterbox is not the screen, and the right button is not the stylus.
    EXPECT_FALSE(TranslateSdlEvent(Button(SDL_MOUSEBUTTONDOWN, 100, 100), v, false));
    EXPECT_FALSE(
        TranslateSdlEvent(Button(SDL_MOUSEBUTTONDOWN, 300, 100, SDL_BUTTON_RIGHT), v, false));
}

TEST(SdlEvents, TheWheelTurnsInNotchesAtThePointer) {
    Viewport v = ComputeViewport(1000, 700, 240, 320);  // scale 2, screen from (260, 30)
    auto wheel = [](int x, int y, int turns, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = turns;
        e.wheel.mouseX = x;
        e.wheel.mouseY = y;
        e.wheel.direction = direction;
        return e;
    };
    auto up = TranslateSdlEvent(wheel(260 + 21, 30 + 41, 1), v, false);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->message, MSG_MOUSEWHEEL);
    EXPECT_EQ(WheelDelta(up->wParam), 120);
    EXPECT_EQ(PointX(up->lParam), 10);
    EXPECT_EQ(PointY(up->lParam), 20);
    auto down = TranslateSdlEvent(wheel(260 + 479, 30 + 639, -3), v, true);
    ASSERT_TRUE(down);
    EXPECT_EQ(WheelDelta(down->wParam), -360);
    EXPECT_EQ(PointX(down->lParam), 239);
    EXPECT_EQ(PointY(down->lParam), 319);
    auto flipped = TranslateSdlEvent(wheel(300, 100, 2, SDL_MOUSEWHEEL_FLIPPED), v, false);
    ASSERT_TRUE(flipped);
    EXPECT_EQ(WheelDelta(flipped->wParam), -240);
    // Beside the screen, or sideways only: nothing.
    EXPECT_FALSE(TranslateSdlEvent(wheel(259, 100, 1), v, false));
    EXPECT_FALSE(TranslateSdlEvent(wheel(260 + 480, 100, 1), v, true));
    EXPECT_FALSE(TranslateSdlEvent(wheel(300, 100, 0), v, false));
}

TEST(SdlEvents, CapturedDragsReachPastTheEdgesOthersDoNot) {
    Viewport v = ComputeViewport(480, 640, 240, 320);
    EXPECT_FALSE(TranslateSdlEvent(Motion(-10, 5, SDL_BUTTON_LMASK), v, false));
    auto captured = TranslateSdlEvent(Motion(-10, 5, SDL_BUTTON_LMASK), v, true);
    ASSERT_TRUE(captured);
    EXPECT_EQ(PointX(captured->lParam), -5);
    auto up = TranslateSdlEvent(Button(SDL_MOUSEBUTTONUP, 600, -3), v, true);
    ASSERT_TRUE(up);
    EXPECT_EQ(PointX(up->lParam), 300);
    EXPECT_EQ(PointY(up->lParam), -2);
    // A stylus does not hover.
    EXPECT_FALSE(TranslateSdlEvent(Motion(10, 10, 0), v, true));
}

TEST(SdlEvents, KeysBecomeTheVirtualKeyCodes) {
    Viewport v;
    struct {
        SDL_Keycode sym;
        std::uint32_t vk;
    } keys[] = {{SDLK_LEFT, 37},
                {SDLK_UP, 38},
                {SDLK_RIGHT, 39},
                {SDLK_DOWN, 40},
                {SDLK_RETURN, 13},
                {SDLK_BACKSPACE, 8},
                {SDLK_DELETE, 46},
                {SDLK_a, 'A'},
                {SDLK_z, 'Z'},
                {SDLK_0, '0'},
                {SDLK_9, '9'},
                {SDLK_LSHIFT, KEY_SHIFT},
                {SDLK_RCTRL, KEY_CONTROL}};
    for (auto k : keys) {
        auto msg = TranslateSdlEvent(Key(SDL_KEYDOWN, k.sym), v, false);
        ASSERT_TRUE(msg) << k.sym;
        EXPECT_EQ(msg->message, MSG_KEYDOWN);
        EXPECT_EQ(msg->wParam, k.vk);
    }
    EXPECT_EQ(TranslateSdlEvent(Key(SDL_KEYUP, SDLK_q), v, false)->message, MSG_KEYUP);
    EXPECT_FALSE(TranslateSdlEvent(Key(SDL_KEYDOWN, SDLK_F5), v, false));
}

TEST(SdlEvents, TypedPrintableCharactersBecomeCharacterMessages) {
    Viewport v;
    auto typed = [&](const char* text) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        std::snprintf(e.text.text, sizeof e.text.text, "%s", text);
        return TranslateSdlEvent(e, v, false);
    };
    for (const char* text : {" ", "a", "Z", "~"}) {
        auto msg = typed(text);
        ASSERT_TRUE(msg) << text;
        EXPECT_EQ(msg->message, MSG_CHAR);
        EXPECT_EQ(msg->wParam, static_cast<WParam>(text[0]));
    }
    EXPECT_FALSE(typed("\x7f"));
    EXPECT_FALSE(typed("\xc3\xa9"));  // é
    EXPECT_FALSE(typed("ab"));        // composed or pasted
}

TEST(SdlEvents, AWindowIsPlacedOnlyWhereItCanBeSeen) {
    const std::vector<SDL_Rect> displays = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    EXPECT_TRUE(ShowsOnADisplay(100, 100, 480, 640, displays));
    EXPECT_TRUE(ShowsOnADisplay(2000, 500, 480, 640, displays));  // the second display
    // A quarter of each side on a display is enough; less is not.
    EXPECT_TRUE(ShowsOnADisplay(-360, 0, 480, 640, displays));
    EXPECT_FALSE(ShowsOnADisplay(-361, 0, 480, 640, displays));
    EXPECT_TRUE(ShowsOnADisplay(0, 920, 480, 640, displays));
    EXPECT_FALSE(ShowsOnADisplay(0, 921, 480, 640, displays));
    EXPECT_FALSE(ShowsOnADisplay(3300, 0, 480, 640, displays));  // a display now gone
    EXPECT_FALSE(ShowsOnADisplay(0, 0, 480, 640, {}));
}

TEST(SdlEvents, WindowEventsBecomeActivationAndClose) {
    Viewport v;
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    EXPECT_EQ(TranslateSdlEvent(e, v, false)->wParam, ACTIVATE_INACTIVE);
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    EXPECT_EQ(TranslateSdlEvent(e, v, false)->message, MSG_ACTIVATE);
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    EXPECT_EQ(TranslateSdlEvent(e, v, false)->message, MSG_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(TranslateSdlEvent(quit, v, false)->message, MSG_CLOSE);
}

}  // namespace
}  // namespace platform::sdl
