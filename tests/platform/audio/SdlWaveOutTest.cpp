#include "platform/audio/sdl/SdlWaveOut.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace platform {
namespace {

struct Counter : WaveOutClient {
    void OnWaveOutDone(WaveHeader&) override { ++done; }
    std::atomic<int> done{0};
};

TEST(SdlWaveOutTest, MissingDriverFailsWithAClearReason) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SdlWaveOut device;
    Counter counter;
    std::string error = device.Open(MakePcmFormat(22050, 1), counter);
    unsetenv("SDL_AUDIODRIVER");
    EXPECT_EQ(error.rfind("no sound device: ", 0), 0u) << error;
    device.Close();
}

TEST(SdlWaveOutTest, DiskDriverPullsWrittenBuffers) {
    auto file = std::filesystem::temp_directory_path() /
                ("fretlore-sdl-" + std::to_string(::getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    SdlWaveOut device;
    Counter counter;
    std::string error = device.Open(MakePcmFormat(22050, 1), counter);
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    if (!error.empty()) GTEST_SKIP() << "SDL has no disk driver here: " << error;
    std::vector<std::int16_t> data(356 * 4, 100);
    std::array<WaveHeader, 4> headers;
    for (std::size_t k = 0; k < headers.size(); ++k) {
        headers[k].data = std::span<std::int16_t>(data.data() + k * 356, 356);
        headers[k].bufferLength = 712;
        device.Write(headers[k]);
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (counter.done < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    device.Reset();
    device.Close();
    EXPECT_GE(counter.done.load(), 2);
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace platform
