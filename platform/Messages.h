#pragma once
// The window-message language the toolkit speaks: numbers, packed words and key codes.

#include <cstdint>

namespace platform {

// Message words are pointer-sized: a draw message carries a surface pointer and a
// command carries its sender's pointer.
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

struct Msg {
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    std::uint32_t time = 0;  // millisecond clock when the message was posted
};

constexpr std::uint32_t MSG_NULL = 0;
constexpr std::uint32_t MSG_CREATE = 1;
constexpr std::uint32_t MSG_DESTROY = 2;
constexpr std::uint32_t MSG_SIZE = 5;
constexpr std::uint32_t MSG_ACTIVATE = 6;
constexpr std::uint32_t MSG_PAINT = 15;
constexpr std::uint32_t MSG_CLOSE = 16;
constexpr std::uint32_t MSG_QUIT = 18;
constexpr std::uint32_t MSG_ERASEBKGND = 20;
constexpr std::uint32_t MSG_KEYDOWN = 256;
constexpr std::uint32_t MSG_KEYUP = 257;
constexpr std::uint32_t MSG_CHAR = 258;
constexpr std::uint32_t MSG_COMMAND = 273;
constexpr std::uint32_t MSG_TIMER = 275;
constexpr std::uint32_t MSG_MOUSEMOVE = 512;
constexpr std::uint32_t MSG_LBUTTONDOWN = 513;
constexpr std::uint32_t MSG_LBUTTONUP = 514;
constexpr std::uint32_t MSG_LBUTTONDBLCLK = 515;
constexpr std::uint32_t MSG_RBUTTONDOWN = 516;
constexpr std::uint32_t MSG_RBUTTONUP = 517;
// The mouse wheel: turns in the high word of wParam (WHEEL_DELTA a notch, positive away
// from the user), the pointer in lParam like a stylus point.
constexpr std::uint32_t MSG_MOUSEWHEEL = 522;
constexpr int WHEEL_DELTA = 120;
constexpr std::uint32_t MSG_USER = 1024;
constexpr std::uint32_t MSG_USER_LAST = 1224;
// Sent to the window when a second copy of the program asks this one to come forward.
constexpr std::uint32_t MSG_RAISE = MSG_USER_LAST + 1;

// Activation states carried in the low word of MSG_ACTIVATE's wParam.
constexpr WParam ACTIVATE_INACTIVE = 0;
constexpr WParam ACTIVATE_ACTIVE = 1;

// Virtual-key codes of the hardware keys.
constexpr std::uint32_t KEY_BACK = 8;
constexpr std::uint32_t KEY_RETURN = 13;
constexpr std::uint32_t KEY_SHIFT = 16;
constexpr std::uint32_t KEY_CONTROL = 17;
constexpr std::uint32_t KEY_ESCAPE = 27;
constexpr std::uint32_t KEY_LEFT = 37;
constexpr std::uint32_t KEY_UP = 38;
constexpr std::uint32_t KEY_RIGHT = 39;
constexpr std::uint32_t KEY_DOWN = 40;
constexpr std::uint32_t KEY_DELETE = 46;
constexpr std::uint32_t KEY_COUNT = 256;

constexpr std::uint16_t LowWord(std::uintptr_t v) {
    return static_cast<std::uint16_t>(v & 0xFFFF);
}
constexpr std::uint16_t HighWord(std::uintptr_t v) {
    return static_cast<std::uint16_t>((v >> 16) & 0xFFFF);
}

// Stylus points pack x in the low and y in the high 16 bits; both unpack signed so
// that a captured drag past the top or left edge reads as negative.
constexpr LParam MakePoint(int x, int y) {
    return static_cast<LParam>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(x))) |
                               (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16));
}
constexpr int PointX(LParam lParam) {
    return static_cast<std::int16_t>(static_cast<std::uintptr_t>(lParam) & 0xFFFF);
}
constexpr int PointY(LParam lParam) {
    return static_cast<std::int16_t>((static_cast<std::uintptr_t>(lParam) >> 16) & 0xFFFF);
}

constexpr WParam MakeWheel(int delta) {
    return static_cast<WParam>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(delta)) << 16);
}
constexpr int WheelDelta(WParam wParam) {
    return static_cast<std::int16_t>(HighWord(wParam));
}

// A command's wParam: the sender's id in the low word, a notification code in the high.
constexpr WParam MakeCommand(std::uint32_t id, std::uint32_t code = 0) {
    return static_cast<WParam>((id & 0xFFFF) | ((code & 0xFFFF) << 16));
}
constexpr std::uint32_t CommandId(WParam wParam) {
    return LowWord(wParam);
}
constexpr std::uint32_t CommandCode(WParam wParam) {
    return HighWord(wParam);
}

}  // namespace platform
