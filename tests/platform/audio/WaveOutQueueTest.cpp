#include "platform/audio/WaveOutQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

// Records hand-backs; writes each buffer again filled with its number when told to.
struct Writer : WaveOutClient {
    void OnWaveOutDone(WaveHeader& header) override { done.push_back(&header); }
    std::vector<WaveHeader*> done;
};

class WaveOutQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        queue.Start(MakePcmFormat(22050, 1), writer);  // 40 ms = 882 samples
        buffers.assign(8, std::vector<std::int16_t>(356));
        headers.resize(8);
        for (std::size_t k = 0; k < 8; ++k) {
            headers[k].data = buffers[k];
            headers[k].user = static_cast<std::uint32_t>(k);
        }
    }
    void Refill(WaveHeader& h) {
        std::fill(h.data.begin(), h.data.end(), static_cast<std::int16_t>(h.user + 1));
        h.bufferLength = static_cast<std::uint32_t>(h.data.size_bytes());
        queue.Write(h);
    }

    WaveOutQueue queue;
    Writer writer;
    std::vector<std::vector<std::int16_t>> buffers;
    std::vector<WaveHeader> headers;
};

TEST_F(WaveOutQueueTest, HandsBackOnlyWhatKeepsFortyMillisecondsAhead) {
    for (auto& h : headers) {
        h.bufferLength = 8;  // short first writes start the stream
        queue.Write(h);
    }
    std::vector<std::int16_t> out(64);
    EXPECT_EQ(queue.Pull(out), 32u);
    // Two blocks (712 samples) fit in 882; a third would not.
    ASSERT_EQ(writer.done.size(), 2u);
    EXPECT_EQ(queue.HandedBack(), 2u);
    EXPECT_EQ(queue.AheadSamples(), 712u);
    for (WaveHeader* h : writer.done)
        Refill(*h);
    writer.done.clear();
    // Playing half a block frees room for the next.
    std::vector<std::int16_t> half(178);
    queue.Pull(half);
    EXPECT_EQ(half[0], 1);
    EXPECT_TRUE(writer.done.empty());
    queue.Pull(half);
    ASSERT_EQ(writer.done.size(), 1u);
    EXPECT_LE(queue.AheadSamples(), 882u);
}

TEST_F(WaveOutQueueTest, UnderrunPlaysSilenceAndPausedPlaysNothing) {
    headers[0].bufferLength = 712;
    std::fill(buffers[0].begin(), buffers[0].end(), 5);
    queue.Write(headers[0]);
    queue.SetPaused(true);
    std::vector<std::int16_t> out(500, 9);
    EXPECT_EQ(queue.Pull(out), 0u);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int v) { return v == 0; }));
    queue.SetPaused(false);
    EXPECT_EQ(queue.Pull(out), 356u);
    EXPECT_EQ(out[355], 5);
    EXPECT_EQ(out[356], 0);
    EXPECT_EQ(writer.done.size(), 1u);
    queue.Reset();
    EXPECT_EQ(queue.AheadSamples(), 0u);
    EXPECT_EQ(queue.HandedBack(), 0u);
}

}  // namespace
}  // namespace platform
