#include "platform/headless/HeadlessBackend.h"

#include <cstdio>
#include <cstring>

#include "platform/Clock.h"
#include "platform/Image.h"
#include "platform/Thread.h"
#include "platform/Window.h"

namespace platform::headless {

HeadlessBackend::HeadlessBackend(int screenWidth, int screenHeight)
    : screenWidth(screenWidth), screenHeight(screenHeight) {}

void HeadlessBackend::SetScript(std::vector<ScriptCommand> script) {
    commands = std::move(script);
    next = 0;
    endPosted = false;
    haveScript = true;
}

void HeadlessBackend::StoreFrame(const std::uint16_t* pixels, int width, int height,
                                 int pitchBytes) {
    std::lock_guard lock(frameMutex);
    frame.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint8_t*>(pixels) +
                          static_cast<std::ptrdiff_t>(y) * pitchBytes;
        std::memcpy(&frame[static_cast<std::size_t>(y) * width], row,
                    static_cast<std::size_t>(width) * 2);
    }
    frameWidth = width;
    frameHeight = height;
    ++framesPresented;
}

std::uint32_t HeadlessBackend::FramesPresented() const {
    std::lock_guard lock(frameMutex);
    return framesPresented;
}

std::vector<std::uint16_t> HeadlessBackend::LastFrame(int& width, int& height) const {
    std::lock_guard lock(frameMutex);
    width = frameWidth;
    height = frameHeight;
    return frame;
}

bool HeadlessBackend::SaveLastFrame(const std::string& path, std::string& error) const {
    int w = 0;
    int h = 0;
    std::vector<std::uint16_t> pixels = LastFrame(w, h);
    if (pixels.empty()) {
        error = "cannot write " + path + ": no frame has been presented yet";
        return false;
    }
    return SavePng(path, pixels.data(), w, h, w * 2, error);
}

bool HeadlessBackend::Ready(Window& window) const {
    if (waitingForTime && static_cast<std::int32_t>(TickMs() - waitUntil) < 0) return false;
    std::uint32_t presented = FramesPresented();
    if (static_cast<std::int32_t>(presented - framesTarget) < 0) return false;
    // Input is fed one command at a time, each once the previous one has been taken.
    if (!window.QueueEmpty()) return false;
    // A shot or state dump shows the effect of the input before it.
    if (next < commands.size() && inputSinceFrame) {
        auto kind = commands[next].kind;
        if ((kind == ScriptCommand::Kind::Shot || kind == ScriptCommand::Kind::State) &&
            presented == framesAtLastInput)
            return false;
    }
    return true;
}

void HeadlessBackend::PumpEvents(Window& window) {
    if (!haveScript) return;
    while (next < commands.size()) {
        if (!Ready(window)) return;
        waitingForTime = false;
        const ScriptCommand& command = commands[next++];
        Feed(window, command);
        if (!window.QueueEmpty()) return;
    }
    if (!endPosted && Ready(window)) {
        endPosted = true;
        window.Post(MSG_CLOSE);
    }
}

void HeadlessBackend::Feed(Window& window, const ScriptCommand& c) {
    using Kind = ScriptCommand::Kind;
    LParam point = MakePoint(c.x, c.y);
    auto input = [&] {
        framesAtLastInput = FramesPresented();
        inputSinceFrame = true;
    };
    std::string error;
    switch (c.kind) {
        case Kind::Tap:
            window.Post(MSG_LBUTTONDOWN, 1, point);
            window.Post(MSG_LBUTTONUP, 0, point);
            input();
            break;
        case Kind::Down:
            window.Post(MSG_LBUTTONDOWN, 1, point);
            input();
            break;
        case Kind::Move:
            window.Post(MSG_MOUSEMOVE, 1, point);
            input();
            break;
        case Kind::Up:
            window.Post(MSG_LBUTTONUP, 0, point);
            input();
            break;
        case Kind::Wheel:
            window.Post(MSG_MOUSEWHEEL, MakeWheel(c.notches * WHEEL_DELTA), point);
            input();
            break;
        case Kind::Key:
            PostKey(window, c);
            input();
            break;
        case Kind::Type:
            for (char ch : c.text) {
                if (auto press = KeyPressFor(ch)) PostKey(window, *press);
            }
            input();
            break;
        case Kind::Wait:
            waitUntil = TickMs() + c.count;
            waitingForTime = true;
            break;
        case Kind::Frames:
            framesTarget = FramesPresented() + c.count;
            break;
        case Kind::Shot:
            if (!SaveLastFrame(c.path, error)) Report(c, error);
            break;
        case Kind::State:
            if (!stateWriter) {
                Report(c, "cannot write " + c.path + ": this program has no state to write");
            } else if (!stateWriter(c.path, error)) {
                Report(c, error);
            }
            break;
        case Kind::Quit:
            next = commands.size();
            endPosted = true;
            window.Post(MSG_CLOSE);
            break;
    }
}

void HeadlessBackend::Report(const ScriptCommand& c, const std::string& error) {
    // Line 0 is no line of the script but the command line's --shot.
    if (c.line > 0) {
        std::fprintf(stderr, "script line %d: %s\n", c.line, error.c_str());
    } else {
        std::fprintf(stderr, "fretlore: --shot failed: %s\n", error.c_str());
    }
    ++failures;
}

void HeadlessBackend::PostKey(Window& window, const ScriptCommand& c) {
    if (c.shift) window.Post(MSG_KEYDOWN, KEY_SHIFT);
    if (c.ctrl) window.Post(MSG_KEYDOWN, KEY_CONTROL);
    if (c.key) window.Post(MSG_KEYDOWN, c.key);
    if (c.character) window.Post(MSG_CHAR, static_cast<unsigned char>(c.character));
    if (c.key) window.Post(MSG_KEYUP, c.key);
    if (c.ctrl) window.Post(MSG_KEYUP, KEY_CONTROL);
    if (c.shift) window.Post(MSG_KEYUP, KEY_SHIFT);
}

void HeadlessBackend::WaitEvents(Window& window, std::uint32_t timeoutMs) {
    if (haveScript && !endPosted) {
        // The script itself may have input due; never sleep past a scripted wait.
        if (Ready(window)) return;
        if (waitingForTime) {
            std::uint32_t left = waitUntil - TickMs();
            if (static_cast<std::int32_t>(left) <= 0) return;
            timeoutMs = std::min(timeoutMs, left);
        }
    }
    if (!UsingSystemClock() && timeoutMs != INFINITE_WAIT) {
        SleepMs(timeoutMs);  // a test clock moves only when someone sleeps on it
        return;
    }
    window.WaitForPost(timeoutMs);
}

void HeadlessBackend::ShowMessageBox(const std::string& caption, const std::string& text) {
    ++messageBoxes;
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

}  // namespace platform::headless
