#pragma once
// Runs the real application headless inside the test: a script for input, the last
// frame for pixel probes, the game object for its state.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MyGame.h"
#include "app/ProgramMain.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "platform/Files.h"
#include "platform/Image.h"
#include "platform/Resources.h"
#include "platform/audio/HeadlessWaveOut.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/EmbeddedResources.h"

namespace apptest {

// Taps on the main screen's controls.
constexpr const char* DISMISS_TITLE = "key Enter\n";
constexpr const char* TAP_HELP = "tap 30 307\n";
constexpr const char* TAP_STRUM = "tap 90 307\n";
constexpr const char* TAP_MORE = "tap 150 307\n";
constexpr const char* TAP_MENU = "tap 210 307\n";
constexpr const char* TAP_LEFT_HANDED = "tap 12 122\n";

class GameRun {
  public:
    explicit GameRun(std::function<std::unique_ptr<platform::WaveOut>()> sound =
                         [] { return std::make_unique<platform::NullWaveOut>(); })
        : host{backend, gfx::headless::displayFactory(), std::move(sound)} {
        platform::SetResourceTable(res::EmbeddedResources());
    }

    // Runs the program through its title screen with `script`; true when it started.
    bool Run(const std::string& script) {
        std::string error;
        auto commands = platform::headless::ParseScript(script, error);
        if (!commands) return false;
        backend.SetScript(std::move(*commands));
        app::ProgramMain(game, host, [this] {
            game.player.StartPlayer();
            game.ShowTitleScreen();
        });
        return game.hWnd != nullptr;
    }

    std::uint16_t Pixel(int x, int y) const {
        int w = 0, h = 0;
        auto frame = backend.LastFrame(w, h);
        return frame.empty() ? 0 : frame[static_cast<std::size_t>(y) * w + x];
    }

    // A pixel of a screenshot the script took (0 when it cannot be read).
    static std::uint16_t ShotPixel(const std::string& path, int x, int y) {
        auto bytes = platform::ReadWholeFile(path);
        auto image = bytes ? platform::DecodeImage(*bytes) : std::nullopt;
        if (!image || x >= image->width || y >= image->height) return 0;
        std::uint32_t p = image->rgb[static_cast<std::size_t>(y) * image->width + x];
        return gfx::RGB565(static_cast<int>(p >> 16) & 255, static_cast<int>(p >> 8) & 255,
                           static_cast<int>(p) & 255);
    }

    platform::headless::HeadlessBackend backend;
    app::Host host;
    app::MyGame game;
};

}  // namespace apptest
