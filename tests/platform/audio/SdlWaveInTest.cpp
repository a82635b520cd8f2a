#include "platform/audio/sdl/SdlWaveIn.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <thread>

namespace platform {
namespace {

struct Collector : WaveInClient {
    WaveIn* in = nullptr;
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<std::vector<std::int16_t>> buffers;
    void OnWaveInData(WaveHeader& h) override {
        {
            std::lock_guard lock(mutex);
            buffers.emplace_back(h.data.begin(), h.data.begin() + h.bytesRecorded / 2);
        }
        cv.notify_all();
        in->AddBuffer(h);
    }
    bool WaitFor(std::size_t n) {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, std::chrono::seconds(10), [&] { return buffers.size() >= n; });
    }
};

TEST(SdlWaveInTest, MissingDriverHasNoDevice) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SdlWaveIn in;
    EXPECT_EQ(in.DeviceCount(), 0u);
    Collector c;
    EXPECT_NE(in.Open(0, MakePcmFormat(8000, 1), c), "");
    in.Close();
    unsetenv("SDL_AUDIODRIVER");
}

// SDL's disk driver records from a file: what it reads, in SDL's own piece size, comes
// out as whole 2048-sample buffers in the file's order.
TEST(SdlWaveInTest, DiskDriverFillsWholeBuffersInOrder) {
    auto file = std::filesystem::temp_directory_path() /
                ("fretlore-sdl-in-" + std::to_string(::getpid()) + ".raw");
    std::vector<std::int16_t> ramp(2048 * 3 + 700);
    std::iota(ramp.begin(), ramp.end(), std::int16_t{-5000});
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(ramp.data()),
                  static_cast<std::streamsize>(ramp.size() * 2));
    }
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILEIN", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    SdlWaveIn in;
    Collector collector;
    collector.in = &in;
    std::string error =
        in.DeviceCount() == 0 ? "no capture device" : in.Open(0, MakePcmFormat(8000, 1), collector);
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILEIN");
    unsetenv("SDL_DISKAUDIODELAY");
    if (!error.empty()) {
        in.Close();
        std::filesystem::remove(file);
        GTEST_SKIP() << "SDL has no disk capture here: " << error;
    }
    std::vector<std::int16_t> memory(4 * 2048);
    std::array<WaveHeader, 4> headers;
    for (std::size_t k = 0; k < 4; ++k) {
        headers[k].data = std::span<std::int16_t>(memory.data() + k * 2048, 2048);
        headers[k].bufferLength = 4096;
        in.AddBuffer(headers[k]);
    }
    in.Start();
    bool got = collector.WaitFor(3);
    in.Close();
    std::filesystem::remove(file);
    ASSERT_TRUE(got);
    for (std::size_t k = 0; k < 3; ++k) {
        ASSERT_EQ(collector.buffers[k].size(), 2048u);
        EXPECT_EQ(collector.buffers[k].front(), static_cast<std::int16_t>(-5000 + 2048 * k));
        EXPECT_EQ(collector.buffers[k].back(), static_cast<std::int16_t>(-5000 + 2048 * k + 2047));
    }
}

}  // namespace
}  // namespace platform
