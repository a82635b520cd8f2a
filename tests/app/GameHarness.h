#pragma once
// Runs the real application headless inside the test: a script for input, the last
// frame for pixel probes, the game object for its state.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
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

using SoundDevice = std::function<std::unique_ptr<platform::WaveOut>()>;

inline SoundDevice Silent() {
    return [] { return std::make_unique<platform::NullWaveOut>(); };
}

// `Game` is MyGame or a subclass that watches it.
template <typename Game>
class BasicGameRun {
  public:
    explicit BasicGameRun(SoundDevice sound = Silent(), int screenHeight = 320,
                          gfx::DisplayFactory displays = gfx::headless::displayFactory())
        : backend(240, screenHeight), host{backend, std::move(displays), std::move(sound)} {
        platform::SetResourceTable(res::EmbeddedResources());
    }

    // Runs the program through its title screen with `script`; true when it started.
    bool Run(const std::string& script) {
        std::string error;
        auto commands = platform::headless::ParseScript(script, error);
        if (!commands) return false;
        backend.SetScript(std::move(*commands));
        backend.SetStateWriter([this](const std::string& path, std::string& error) {
            error = game.WriteState(path);
            return error.empty();
        });
        app::ProgramMain(game, host, [this] {
            game.player.StartPlayer();
            game.StartCapture();
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
    Game game;
};

using GameRun = BasicGameRun<app::MyGame>;

// The text of a `state` dump ("" when it cannot be read).
inline std::string ReadState(const std::string& path) {
    auto bytes = platform::ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// A number or flag of a `state` dump by its key (keys are unique in it); nullopt when
// the key is missing.
inline std::optional<int> StateValue(const std::string& json, const std::string& key) {
    auto at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return std::nullopt;
    std::string value = json.substr(at + key.size() + 4, 8);
    if (value.starts_with("true")) return 1;
    if (value.starts_with("false")) return 0;
    return std::stoi(value);
}

inline std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + name;
}

}  // namespace apptest
