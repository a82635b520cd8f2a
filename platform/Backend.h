#pragma once
// What a window needs from the system it runs on. The SDL backend opens a real window;
// the headless backend has none and takes its input from a script.

#include <cstdint>
#include <string>

namespace platform {

class Window;

enum class BackendKind { Sdl, Headless };

class Backend {
  public:
    virtual ~Backend() = default;

    virtual BackendKind Kind() const = 0;
    // The screen the program's window covers, in logical pixels.
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;

    // False when another copy of the program runs; that copy has been asked to come
    // forward. Backends without a desktop always answer true.
    virtual bool ClaimInstance(const std::string& title) = 0;

    virtual bool OpenWindow(Window& window) = 0;
    virtual void CloseWindow() = 0;

    // Turns pending native input into messages posted to the window. Never blocks.
    virtual void PumpEvents(Window& window) = 0;
    // Blocks until native input may be pending, a message is posted to the window, or
    // timeoutMs passes (INFINITE_WAIT: no limit).
    virtual void WaitEvents(Window& window, std::uint32_t timeoutMs) = 0;
    // Called from any thread after a post, to end a WaitEvents.
    virtual void Wake(Window& window) = 0;

    virtual void SetCapture(bool captured) = 0;
    virtual void Raise() = 0;
    virtual void ShowMessageBox(const std::string& caption, const std::string& text) = 0;
    virtual void Beep() = 0;
    // The window's icon, as 0x00RRGGBB pixels (colour-keyed magenta is transparent).
    virtual void SetIcon(int width, int height, const std::uint32_t* rgb) = 0;
};

}  // namespace platform
