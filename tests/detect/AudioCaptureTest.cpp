#include "detect/AudioCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <numeric>
#include <thread>

#include "platform/Clock.h"
#include "platform/audio/Recording.h"

namespace detect {
namespace {

using platform::ThreadPriority;
using platform::WaveFormat;
using platform::WaveHeader;
using platform::WaveInClient;

// An input device the test drives: it fills the oldest queued buffer when told to.
struct FakeWaveIn final : platform::WaveIn {
    struct Log {
        std::mutex mutex;
        std::vector<std::size_t> tried;
        std::vector<WaveFormat> opened;
        int closes = 0, starts = 0;
        std::size_t queued = 0;
    };
    FakeWaveIn(std::shared_ptr<Log> log, std::size_t count, std::size_t accepting)
        : log(std::move(log)), count(count), accepting(accepting) {}

    std::size_t DeviceCount() override { return count; }
    std::string Open(std::size_t id, const WaveFormat& f, WaveInClient& c) override {
        std::lock_guard lock(log->mutex);
        log->tried.push_back(id);
        if (id != accepting) return "device " + std::to_string(id) + " refuses";
        log->opened.push_back(f);
        client = &c;
        return {};
    }
    void AddBuffer(WaveHeader& h) override {
        std::lock_guard lock(log->mutex);
        queue.push_back(&h);
        log->queued = queue.size();
    }
    void Start() override {
        std::lock_guard lock(log->mutex);
        ++log->starts;
    }
    void Stop() override {}
    void Reset() override {
        std::lock_guard lock(log->mutex);
        queue.clear();
        log->queued = 0;
    }
    void Close() override {
        std::lock_guard lock(log->mutex);
        ++log->closes;
        client = nullptr;
    }
    // Records `bytes` of `value` into the oldest queued buffer; false when none is queued.
    bool Fill(std::int16_t value, std::uint32_t bytes) {
        WaveHeader* h = nullptr;
        WaveInClient* to = nullptr;
        {
            std::lock_guard lock(log->mutex);
            if (queue.empty() || !client) return false;
            h = queue.front();
            queue.pop_front();
            log->queued = queue.size();
            to = client;
        }
        std::fill(h->data.begin(), h->data.end(), value);
        h->bytesRecorded = bytes;
        to->OnWaveInData(*h);
        return true;
    }
    std::size_t Queued() {
        std::lock_guard lock(log->mutex);
        return log->queued;
    }

    std::shared_ptr<Log> log;
    std::size_t count, accepting;
    std::deque<WaveHeader*> queue;
    WaveInClient* client = nullptr;
};

// What the callback saw, in order, with the thread it ran on.
struct Received {
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<std::size_t> sizes;
    std::vector<std::int16_t> firsts, lasts;
    std::vector<std::thread::id> threads;
    AudioCapture::Callback Callback() {
        return [this](std::span<const std::int16_t> s) {
            std::lock_guard lock(mutex);
            sizes.push_back(s.size());
            firsts.push_back(s.empty() ? 0 : s.front());
            lasts.push_back(s.empty() ? 0 : s.back());
            threads.push_back(std::this_thread::get_id());
            cv.notify_all();
        };
    }
    bool WaitFor(std::size_t n) {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, std::chrono::seconds(10), [&] { return sizes.size() >= n; });
    }
};

// Waits (real time) until the fake device has at least `n` buffers queued again.
bool WaitQueued(FakeWaveIn& device, std::size_t n) {
    for (int k = 0; k < 2000 && device.Queued() < n; ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return device.Queued() >= n;
}

struct CaptureFixture : ::testing::Test {
    std::shared_ptr<FakeWaveIn::Log> log = std::make_shared<FakeWaveIn::Log>();
    FakeWaveIn* device = nullptr;
    AudioCapture capture;
    Received received;

    void UseDevice(std::size_t count, std::size_t accepting) {
        auto fake = std::make_unique<FakeWaveIn>(log, count, accepting);
        device = fake.get();
        capture.SetDevice(std::move(fake));
    }
    bool StartApp() { return capture.StartCapture(received.Callback(), 8000, 4096, 16, 1); }
};

// The application's settings give 8000 Hz 16-bit mono PCM in four buffers of 4096 bytes,
// on the first device that takes them; each full buffer reaches the callback on the
// capture thread, in order, and goes back to the device after it.
TEST_F(CaptureFixture, OpensTheFirstAcceptingDeviceAndDeliversInOrder) {
    UseDevice(3, 1);
    ASSERT_TRUE(StartApp()) << capture.LastError();
    EXPECT_TRUE(capture.Running());
    ASSERT_EQ(log->opened.size(), 1u);
    EXPECT_EQ(log->tried, (std::vector<std::size_t>{0, 1}));
    const WaveFormat& f = log->opened[0];
    EXPECT_EQ(f.formatTag, 1);
    EXPECT_EQ(f.channels, 1);
    EXPECT_EQ(f.samplesPerSec, 8000u);
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(f.blockAlign, 2);
    EXPECT_EQ(f.avgBytesPerSec, 16000u);
    EXPECT_EQ(log->starts, 1);
    EXPECT_EQ(device->Queued(), 4u);
    for (std::int16_t v = 1; v <= 6; ++v)
        ASSERT_TRUE(device->Fill(v, 4096) || (WaitQueued(*device, 1) && device->Fill(v, 4096)));
    ASSERT_TRUE(received.WaitFor(6));
    EXPECT_TRUE(WaitQueued(*device, 4));
    std::lock_guard lock(received.mutex);
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(received.sizes[k], 2048u);
        EXPECT_EQ(received.firsts[k], static_cast<std::int16_t>(k + 1));
        EXPECT_EQ(received.lasts[k], static_cast<std::int16_t>(k + 1));
        EXPECT_NE(received.threads[k], std::this_thread::get_id());
        EXPECT_EQ(received.threads[k], received.threads[0]);
    }
}

// A device that records fewer bytes than the buffer holds passes that smaller count on.
TEST_F(CaptureFixture, AShortBufferPassesItsSmallerCount) {
    UseDevice(1, 0);
    ASSERT_TRUE(StartApp());
    ASSERT_TRUE(device->Fill(9, 1000));
    ASSERT_TRUE(received.WaitFor(1));
    std::lock_guard lock(received.mutex);
    EXPECT_EQ(received.sizes[0], 500u);
}

// Starting a running capture fails and changes nothing: same device, same buffers, and it
// goes on delivering.
TEST_F(CaptureFixture, StartTwiceFailsAndChangesNothing) {
    UseDevice(1, 0);
    ASSERT_TRUE(StartApp());
    EXPECT_FALSE(capture.Start());
    EXPECT_FALSE(StartApp());
    EXPECT_TRUE(capture.Running());
    EXPECT_EQ(log->opened.size(), 1u);
    EXPECT_EQ(log->starts, 1);
    EXPECT_EQ(log->closes, 0);
    EXPECT_EQ(capture.LastError(), "");
    ASSERT_TRUE(device->Fill(4, 4096));
    EXPECT_TRUE(received.WaitFor(1));
}

// Stop without a start fails; stop then start opens the device again with the same format.
TEST_F(CaptureFixture, StopThenStartOpensAgainWithTheSameSettings) {
    UseDevice(1, 0);
    EXPECT_FALSE(capture.Stop());
    ASSERT_TRUE(StartApp());
    EXPECT_TRUE(capture.StopCapture());
    EXPECT_FALSE(capture.Running());
    EXPECT_EQ(log->closes, 1);
    EXPECT_EQ(device->Queued(), 0u);
    EXPECT_FALSE(capture.Stop());
    ASSERT_TRUE(capture.Start());
    ASSERT_EQ(log->opened.size(), 2u);
    EXPECT_EQ(log->opened[1].samplesPerSec, 8000u);
    EXPECT_EQ(log->opened[1].channels, 1);
    EXPECT_EQ(device->Queued(), 4u);
    ASSERT_TRUE(device->Fill(2, 4096));
    ASSERT_TRUE(received.WaitFor(1));
    std::lock_guard lock(received.mutex);
    EXPECT_EQ(received.sizes[0], 2048u);
}

// No configuration, no device, no device that takes the format: start fails with a
// reason, and nothing is left open or queued.
TEST_F(CaptureFixture, StartFailsCleanlyWithoutADevice) {
    EXPECT_FALSE(capture.Start());
    EXPECT_EQ(capture.LastError(), "capture is not configured");
    EXPECT_FALSE(StartApp());
    EXPECT_EQ(capture.LastError(), "no input device");
    UseDevice(0, 0);
    EXPECT_FALSE(StartApp());
    EXPECT_EQ(capture.LastError(), "no input device");
    UseDevice(2, 7);
    EXPECT_FALSE(StartApp());
    EXPECT_EQ(capture.LastError(), "device 1 refuses");
    EXPECT_EQ(log->tried, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(device->Queued(), 0u);
    EXPECT_FALSE(capture.Running());
    EXPECT_FALSE(capture.Stop());
}

// A slow callback never overlaps itself; while it holds every buffer the device has
// nowhere to record (it drops sound) until a buffer comes back.
TEST_F(CaptureFixture, ASlowCallbackNeverOverlapsAndHoldsBuffersBack) {
    UseDevice(1, 0);
    std::atomic<int> inside{0}, most{0}, calls{0};
    std::atomic<bool> release{false};
    capture.StartCapture(
        [&](std::span<const std::int16_t>) {
            int now = ++inside;
            most = std::max(most.load(), now);
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ++calls;
            --inside;
        },
        8000, 4096, 16, 1);
    for (int k = 0; k < 4; ++k)
        ASSERT_TRUE(device->Fill(1, 4096));
    EXPECT_FALSE(device->Fill(1, 4096));
    release = true;
    EXPECT_TRUE(WaitQueued(*device, 4));
    EXPECT_EQ(calls.load(), 4);
    EXPECT_EQ(most.load(), 1);
    EXPECT_TRUE(capture.Stop());
}

// Teardown stops a running capture: the device is closed before the buffers go.
TEST(CaptureTeardown, DestroyingARunningCaptureClosesTheDevice) {
    auto log = std::make_shared<FakeWaveIn::Log>();
    {
        AudioCapture capture;
        capture.SetDevice(std::make_unique<FakeWaveIn>(log, 1, 0));
        ASSERT_TRUE(capture.StartCapture({}, 8000, 4096, 16, 1));
    }
    EXPECT_EQ(log->closes, 1);
}

// A fake clock that lets real time pass as it is slept on (1 ms per call), so that a
// reader on another thread keeps up with a source paced on it.
class SteppedClock final : public platform::Clock {
  public:
    std::uint32_t NowMs() override { return now.load(); }
    void SleepMs(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        now += ms;
    }

  private:
    std::atomic<std::uint32_t> now{1000};
};

// The whole road a --mic run takes: a recording, paced on the clock, through the capture
// thread, arrives whole, in order and looped, with nothing dropped.
TEST(CaptureFromRecording, DeliversTheRecordingInOrder) {
    SteppedClock clock;
    platform::ScopedClock scoped(clock);
    auto ramp = std::make_shared<std::vector<std::int16_t>>(5000);
    std::iota(ramp->begin(), ramp->end(), std::int16_t{1});
    auto device = std::make_unique<platform::RecordingWaveIn>(ramp, 8000);
    platform::RecordingWaveIn* recording = device.get();
    AudioCapture capture;
    capture.SetDevice(std::move(device));
    Received received;
    ASSERT_TRUE(capture.StartCapture(received.Callback(), 8000, 4096, 16, 1));
    ASSERT_TRUE(received.WaitFor(6));
    EXPECT_EQ(recording->Dropped(), 0u);
    EXPECT_TRUE(capture.StopCapture());
    std::lock_guard lock(received.mutex);
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(received.sizes[k], 2048u);
        EXPECT_EQ(received.firsts[k], static_cast<std::int16_t>(k * 2048 % 5000 + 1)) << k;
        EXPECT_EQ(received.lasts[k], static_cast<std::int16_t>((k * 2048 + 2047) % 5000 + 1)) << k;
    }
}

}  // namespace
}  // namespace detect
