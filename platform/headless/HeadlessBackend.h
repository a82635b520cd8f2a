#pragma once
// No window and no devices: input comes from a script, frames are kept for screenshots.

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/headless/Script.h"

namespace platform::headless {

class HeadlessBackend : public Backend {
  public:
    explicit HeadlessBackend(int screenWidth = 240, int screenHeight = 320);

    void SetScript(std::vector<ScriptCommand> commands);
    // Writes the application state for the `state` command; false with a one-line reason
    // naming the file on failure.
    using StateWriter = std::function<bool(const std::string& path, std::string& error)>;
    void SetStateWriter(StateWriter writer) { stateWriter = std::move(writer); }

    // Called by the headless display on every present.
    void StoreFrame(const std::uint16_t* pixels, int width, int height, int pitchBytes);
    std::uint32_t FramesPresented() const;
    // The last presented frame, 16-bit RGB565, width x height, tightly packed.
    std::vector<std::uint16_t> LastFrame(int& width, int& height) const;
    bool SaveLastFrame(const std::string& path, std::string& error) const;

    bool ScriptDone() const { return next >= commands.size(); }
    // Shots or state dumps that could not be written.
    int Failures() const { return failures; }
    bool MessageBoxShown() const { return messageBoxes > 0; }

    BackendKind Kind() const override { return BackendKind::Headless; }
    int ScreenWidth() const override { return screenWidth; }
    int ScreenHeight() const override { return screenHeight; }
    bool ClaimInstance(const std::string&) override { return true; }
    bool OpenWindow(Window&) override { return true; }
    void CloseWindow() override {}
    void PumpEvents(Window& window) override;
    void WaitEvents(Window& window, std::uint32_t timeoutMs) override;
    void Wake(Window&) override {}
    void SetCapture(bool) override {}
    void Raise() override {}
    void ShowMessageBox(const std::string& caption, const std::string& text) override;
    void Beep() override {}
    void SetIcon(int, int, const std::uint32_t*) override {}

  private:
    // True when the script may go on now; otherwise it waits for time or frames.
    bool Ready(Window& window) const;
    void Feed(Window& window, const ScriptCommand& command);
    void PostKey(Window& window, const ScriptCommand& command);
    void Report(const ScriptCommand& command, const std::string& error);

    int screenWidth;
    int screenHeight;
    std::vector<ScriptCommand> commands;
    std::size_t next = 0;
    bool endPosted = false;
    bool haveScript = false;
    std::uint32_t waitUntil = 0;
    bool waitingForTime = false;
    std::uint32_t framesTarget = 0;
    std::uint32_t framesAtLastInput = 0;
    bool inputSinceFrame = false;
    int failures = 0;
    int messageBoxes = 0;
    StateWriter stateWriter;

    mutable std::mutex frameMutex;
    std::vector<std::uint16_t> frame;
    int frameWidth = 0;
    int frameHeight = 0;
    std::uint32_t framesPresented = 0;
};

}  // namespace platform::headless
