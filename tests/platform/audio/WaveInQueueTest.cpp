#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <vector>

#include "platform/audio/WaveIn.h"

namespace platform {
namespace {

// Keeps what each handed-back buffer held, and queues it again like a reader would.
struct Reader : WaveInClient {
    WaveInQueue* queue = nullptr;
    std::vector<std::vector<std::int16_t>> received;
    std::vector<std::uint32_t> users;
    bool requeue = true;
    void OnWaveInData(WaveHeader& h) override {
        received.emplace_back(h.data.begin(), h.data.begin() + h.bytesRecorded / 2);
        users.push_back(h.user);
        if (requeue) queue->Add(h);
    }
};

struct Buffers {
    explicit Buffers(std::size_t count, std::size_t samples) : memory(count * samples, -1) {
        headers.resize(count);
        for (std::size_t k = 0; k < count; ++k) {
            headers[k].data = std::span<std::int16_t>(memory.data() + k * samples, samples);
            headers[k].bufferLength = static_cast<std::uint32_t>(samples * 2);
            headers[k].user = static_cast<std::uint32_t>(k);
        }
    }
    std::vector<std::int16_t> memory;
    std::vector<WaveHeader> headers;
};

// A queue started with a reader that takes its buffers.
struct WaveInQueueTest : ::testing::Test {
    void SetUp() override {
        reader.queue = &queue;
        queue.Start(reader);
    }
    WaveInQueue queue;
    Reader reader;
};

// Odd pieces, as a device hands them over, become whole 2048-sample buffers, in order,
// each the exact run of samples that followed the last.
TEST_F(WaveInQueueTest, OddPiecesBecomeWholeBuffersInOrder) {
    Buffers buffers(4, 2048);
    for (WaveHeader& h : buffers.headers)
        queue.Add(h);
    std::vector<std::int16_t> sound(2048 * 6 + 100);
    std::iota(sound.begin(), sound.end(), std::int16_t{-3000});
    const std::array<std::size_t, 5> pieces{441, 1, 2047, 1000, 3};
    std::size_t at = 0;
    for (std::size_t k = 0; at < sound.size(); ++k) {
        std::size_t n = std::min(pieces[k % pieces.size()], sound.size() - at);
        EXPECT_EQ(queue.Push(std::span<const std::int16_t>(sound.data() + at, n)), 0u);
        at += n;
    }
    ASSERT_EQ(reader.received.size(), 6u);
    for (std::size_t b = 0; b < 6; ++b) {
        ASSERT_EQ(reader.received[b].size(), 2048u);
        EXPECT_EQ(reader.received[b].front(), static_cast<std::int16_t>(-3000 + 2048 * b));
        EXPECT_EQ(reader.received[b].back(), static_cast<std::int16_t>(-3000 + 2048 * b + 2047));
        EXPECT_EQ(reader.users[b], b % 4);
    }
    EXPECT_EQ(queue.Dropped(), 0u);
    EXPECT_EQ(queue.Queued(), 4u);  // 100 samples wait in the fifth buffer
}

// One piece larger than a buffer fills several at once.
TEST_F(WaveInQueueTest, APieceMayFillSeveralBuffers) {
    Buffers buffers(3, 100);
    for (WaveHeader& h : buffers.headers)
        queue.Add(h);
    std::vector<std::int16_t> sound(250, 7);
    sound[99] = 1, sound[100] = 2, sound[199] = 3;
    EXPECT_EQ(queue.Push(sound), 0u);
    ASSERT_EQ(reader.received.size(), 2u);
    EXPECT_EQ(reader.received[0].back(), 1);
    EXPECT_EQ(reader.received[1].front(), 2);
    EXPECT_EQ(reader.received[1].back(), 3);
}

// A reader that keeps its buffers: the newest sound is dropped and counted; the device
// never waits, and the sound resumes in the next buffer queued, with no stale samples.
TEST_F(WaveInQueueTest, NoQueuedBufferDropsTheNewestSound) {
    reader.requeue = false;
    Buffers buffers(2, 10);
    queue.Add(buffers.headers[0]);
    queue.Add(buffers.headers[1]);
    std::vector<std::int16_t> sound(25);
    std::iota(sound.begin(), sound.end(), std::int16_t{0});
    EXPECT_EQ(queue.Push(sound), 5u);
    EXPECT_EQ(queue.Dropped(), 5u);
    ASSERT_EQ(reader.received.size(), 2u);
    EXPECT_EQ(reader.received[1].back(), 19);
    queue.Add(buffers.headers[0]);
    std::vector<std::int16_t> more(10, 99);
    EXPECT_EQ(queue.Push(more), 0u);
    ASSERT_EQ(reader.received.size(), 3u);
    EXPECT_EQ(reader.received[2], std::vector<std::int16_t>(10, 99));
}

// A buffer whose length says fewer bytes than its memory holds is filled to its length.
TEST_F(WaveInQueueTest, BufferLengthBoundsTheFill) {
    reader.requeue = false;
    Buffers buffers(1, 10);
    buffers.headers[0].bufferLength = 8;  // four samples
    queue.Add(buffers.headers[0]);
    std::vector<std::int16_t> sound(6, 5);
    EXPECT_EQ(queue.Push(sound), 2u);
    ASSERT_EQ(reader.received.size(), 1u);
    EXPECT_EQ(reader.received[0].size(), 4u);
    EXPECT_EQ(buffers.memory[4], -1);
}

// Reset forgets the queued buffers and the part-filled one.
TEST_F(WaveInQueueTest, ResetForgetsQueuedBuffers) {
    Buffers buffers(2, 10);
    queue.Add(buffers.headers[0]);
    queue.Add(buffers.headers[1]);
    std::vector<std::int16_t> sound(5, 1);
    queue.Push(sound);
    queue.Reset();
    EXPECT_EQ(queue.Queued(), 0u);
    EXPECT_EQ(queue.Push(sound), 5u);
    EXPECT_TRUE(reader.received.empty());
}

}  // namespace
}  // namespace platform
