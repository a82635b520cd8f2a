#pragma once
// The program object: owns the one window and the display, and runs the paced frame loop.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "gfx/display/Display.h"
#include "platform/Window.h"
#include "platform/audio/WaveIn.h"
#include "platform/audio/WaveOut.h"

namespace app {

// What the entry function hands the program: the backend it runs on, the display that
// goes with it, the sound device (null: the program runs silently) and the microphone
// (null: the program runs without detection).
struct Host {
    platform::Backend& backend;
    gfx::DisplayFactory displayFactory;
    std::function<std::unique_ptr<platform::WaveOut>()> makeWaveOut = {};
    std::function<std::unique_ptr<platform::WaveIn>()> makeWaveIn = {};
};

class TProgram {
  public:
    TProgram() = default;
    virtual ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    // Virtual operations, in slot order.
    virtual int CreateDisplay(std::uint32_t orientation, std::uint32_t a, std::uint32_t b);
    virtual void ShowSplash();
    virtual int Frame() { return 1; }
    virtual int CanClose() { return 1; }
    virtual int OnCreate() { return 1; }
    virtual void BuildScreen() {}
    virtual int OnExit() { return 0; }
    virtual platform::LResult HandleMessage(std::uint32_t msg, platform::WParam wParam,
                                            platform::LParam lParam);
    virtual int Run();
    virtual void OnDeactivate() {}
    virtual void OnActivate() {}

    // The window, or null on failure (another copy runs, or the window, display or
    // OnCreate failed).
    platform::Window* Create(Host& host);
    // False when another copy of the program is running (that copy comes forward).
    int PrepareWindowClass(Host& host);

    platform::Window* hWnd = nullptr;
    Host* hInstance = nullptr;
    std::string title;
    std::uint32_t framesPerSecond = 0;
    std::uint32_t splashImage = 0;
    std::uint32_t iconId = 0;
    std::uint32_t displayMode = 0;
    std::uint32_t orientation = 0;
    gfx::DisplayPtr display;
    gfx::KeyMap keyState{};
    std::uint32_t active = 0;
    std::uint32_t frameInterval = 0;

  private:
    platform::LResult WindowProc(platform::Window& window, std::uint32_t msg,
                                 platform::WParam wParam, platform::LParam lParam);
    void SetWindowIcon();

    std::unique_ptr<platform::Window> window;
    bool closing = false;
};

// The one program object, set when its window is created; null before and after.
TProgram* theProgram();
gfx::Display* theDisplay();

// The full path of `name` in the program's folder.
std::string ModulePath(std::string_view name);
inline std::string ModulePathA(std::string_view name) {
    return ModulePath(name);
}
// Gives `name` the extension `ext` (".seq"): appended unless already there in any case,
// in which case it is rewritten in the case of `ext`.
void ForceExtension(std::string& name, std::string_view ext);
// Asks the program's window to close, as the close box would.
void RequestClose();

}  // namespace app
