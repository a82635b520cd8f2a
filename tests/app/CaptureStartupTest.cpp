// The program's microphone: opened with the analyser's settings once the window exists,
// and closed after the frame loop while every instrument is still there.

#include <gtest/gtest.h>

#include <mutex>

#include "GameHarness.h"

namespace {

using apptest::GameRun;

struct DeviceLog {
    std::mutex mutex;
    std::vector<platform::WaveFormat> opened;
    std::vector<std::uint32_t> bufferBytes;
    bool windowAtOpen = false;
    bool instrumentsAtClose = false;
    int closes = 0;
};

class WatchedWaveIn final : public platform::WaveIn {
  public:
    WatchedWaveIn(std::shared_ptr<DeviceLog> log, app::MyGame& game, bool accepts)
        : log(std::move(log)), game(game), accepts(accepts) {}
    std::size_t DeviceCount() override { return 1; }
    std::string Open(std::size_t, const platform::WaveFormat& f, platform::WaveInClient&) override {
        if (!accepts) return "the microphone is busy";
        std::lock_guard lock(log->mutex);
        log->opened.push_back(f);
        log->windowAtOpen = game.hWnd != nullptr;
        return {};
    }
    void AddBuffer(platform::WaveHeader& h) override {
        std::lock_guard lock(log->mutex);
        log->bufferBytes.push_back(h.bufferLength);
    }
    void Start() override {}
    void Stop() override {}
    void Reset() override {}
    void Close() override {
        std::lock_guard lock(log->mutex);
        ++log->closes;
        log->instrumentsAtClose = game.instruments[0] != nullptr && game.instruments[5] != nullptr;
    }

  private:
    std::shared_ptr<DeviceLog> log;
    app::MyGame& game;
    bool accepts;
};

TEST(CaptureStartup, OpensAfterTheWindowAndClosesBeforeTheInstrumentsGo) {
    auto log = std::make_shared<DeviceLog>();
    GameRun run;
    run.host.makeWaveIn = [&] { return std::make_unique<WatchedWaveIn>(log, run.game, true); };
    testing::internal::CaptureStderr();
    ASSERT_TRUE(run.Run("key Enter\nframes 2\n"));
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors.find("chord detection"), std::string::npos) << errors;
    std::lock_guard lock(log->mutex);
    ASSERT_EQ(log->opened.size(), 1u);
    EXPECT_TRUE(log->windowAtOpen);
    EXPECT_EQ(log->opened[0].samplesPerSec, 8000u);
    EXPECT_EQ(log->opened[0].channels, 1);
    EXPECT_EQ(log->opened[0].bitsPerSample, 16);
    EXPECT_EQ(log->bufferBytes, (std::vector<std::uint32_t>(4, 4096)));
    EXPECT_EQ(log->closes, 1);
    EXPECT_TRUE(log->instrumentsAtClose);
    EXPECT_FALSE(run.game.capture.Running());
}

// A microphone that will not open: the program runs on, and says so in one line.
TEST(CaptureStartup, AMicrophoneThatFailsIsOneLineOnStderr) {
    auto log = std::make_shared<DeviceLog>();
    GameRun run;
    run.host.makeWaveIn = [&] { return std::make_unique<WatchedWaveIn>(log, run.game, false); };
    testing::internal::CaptureStderr();
    ASSERT_TRUE(run.Run("key Enter\nframes 2\n"));
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("fretlore: the microphone is busy; running without chord detection\n"),
              std::string::npos)
        << errors;
    auto first = errors.find("chord detection");
    EXPECT_EQ(errors.find("chord detection", first + 1), std::string::npos) << errors;
    EXPECT_FALSE(run.game.capture.Running());
}

}  // namespace
