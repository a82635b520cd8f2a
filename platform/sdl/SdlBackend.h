#pragma once
// The real program's backend: one SDL window, the mouse as the stylus, the keyboard as
// the hardware keys.

#include <SDL.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/Backend.h"
#include "platform/SingleInstance.h"
#include "platform/sdl/SdlEvents.h"

namespace platform::sdl {

class SdlBackend final : public Backend {
  public:
    // Initialises SDL's video; null with a reason in `error` when there is no display.
    static std::unique_ptr<SdlBackend> Create(int scale, std::string& error);
    ~SdlBackend() override;

    SDL_Window* NativeWindow() const { return window; }
    // Where the window is to open: its top-left corner on the desktop, used only when the
    // window would then show on a display; centred otherwise.
    void SetInitialPosition(int x, int y) { initialPosition = {x, y}; }
    // The window's scale and place when it was last closed (nullopt: it never opened).
    struct Placement {
        int scale;
        int x, y;
    };
    std::optional<Placement> LastPlacement() const { return lastPlacement; }
    // Where the logical screen lies in the window as it is now.
    Viewport CurrentViewport() const;

    BackendKind Kind() const override { return BackendKind::Sdl; }
    int ScreenWidth() const override { return 240; }
    int ScreenHeight() const override { return 320; }
    bool ClaimInstance(const std::string& title) override;
    bool OpenWindow(Window& owner) override;
    void CloseWindow() override;
    void PumpEvents(Window& owner) override;
    void WaitEvents(Window& owner, std::uint32_t timeoutMs) override;
    void Wake(Window& owner) override;
    void SetCapture(bool captured) override;
    void Raise() override;
    void ShowMessageBox(const std::string& caption, const std::string& text) override;
    void Beep() override {}
    void SetIcon(int width, int height, const std::uint32_t* rgb) override;

  private:
    explicit SdlBackend(int scale) : scale(scale) {}
    void DrainWakes();

    int scale;
    std::optional<SDL_Point> initialPosition;
    std::optional<Placement> lastPlacement;
    SDL_Window* window = nullptr;
    Window* owner = nullptr;
    bool captured = false;
    // Waits watch the window system's connection and this pipe, never SDL's own wake-up:
    // that one sends an event to the window from a second connection, and when the window
    // is closed meanwhile the X server answers with an error that ends the process.
    std::array<int, 2> wakePipe{-1, -1};
    int nativeFd = -1;
    std::unique_ptr<SingleInstance> instance;
    std::mutex ownerMutex;  // the instance listener posts to the owner from its thread
};

}  // namespace platform::sdl
