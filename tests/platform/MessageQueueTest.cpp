#include "platform/MessageQueue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace platform {
namespace {

TEST(MessageQueue, KeepsEachPostersOrderAcrossThreads) {
    MessageQueue queue;
    constexpr int perThread = 300;
    auto poster = [&](std::uint32_t tag) {
        for (int i = 0; i < perThread; ++i) {
            while (!queue.Post(Msg{MSG_USER + tag, static_cast<WParam>(i), 0, 0}))
                std::this_thread::yield();
        }
    };
    std::thread a(poster, 1), b(poster, 2);
    std::vector<int> next(3, 0);
    int taken = 0;
    while (taken < 2 * perThread) {
        Msg m;
        if (!queue.Take(m)) {
            queue.WaitForPost(10);
            continue;
        }
        int who = static_cast<int>(m.message - MSG_USER);
        ASSERT_EQ(static_cast<int>(m.wParam), next[who]) << "poster " << who << " out of order";
        ++next[who];
        ++taken;
    }
    a.join();
    b.join();
    EXPECT_TRUE(queue.Empty());
}

TEST(MessageQueue, RefusesPostsWhenFullAndLosesNothingQueued) {
    MessageQueue queue;
    for (std::size_t i = 0; i < MessageQueue::CAPACITY; ++i)
        ASSERT_TRUE(queue.Post(Msg{MSG_USER, i, 0, 0}));
    EXPECT_FALSE(queue.Post(Msg{MSG_USER, 9999, 0, 0}));
    Msg m;
    for (std::size_t i = 0; i < MessageQueue::CAPACITY; ++i) {
        ASSERT_TRUE(queue.Take(m));
        EXPECT_EQ(m.wParam, i);
    }
    EXPECT_FALSE(queue.Take(m));
}

TEST(MessageQueue, ConsecutiveMovesKeepOnlyTheNewest) {
    MessageQueue queue;
    queue.Post(Msg{MSG_LBUTTONDOWN, 0, MakePoint(1, 1), 0});
    for (int x = 0; x < 5000; ++x)  // far more than the ring holds
        ASSERT_TRUE(queue.Post(Msg{MSG_MOUSEMOVE, 0, MakePoint(x, 2), 0}));
    queue.Post(Msg{MSG_TIMER, 1001, 0, 0});
    queue.Post(Msg{MSG_MOUSEMOVE, 0, MakePoint(7, 7), 0});
    queue.Post(Msg{MSG_MOUSEMOVE, 0, MakePoint(8, 8), 0});
    queue.Post(Msg{MSG_LBUTTONUP, 0, MakePoint(8, 8), 0});
    queue.Post(Msg{MSG_MOUSEMOVE, 0, MakePoint(9, 9), 0});
    std::vector<std::pair<std::uint32_t, LParam>> taken;
    for (Msg m; queue.Take(m);)
        taken.emplace_back(m.message, m.lParam);
    const std::vector<std::pair<std::uint32_t, LParam>> expected = {
        {MSG_LBUTTONDOWN, MakePoint(1, 1)},
        {MSG_MOUSEMOVE, MakePoint(4999, 2)},
        {MSG_TIMER, 0},
        {MSG_MOUSEMOVE, MakePoint(8, 8)},
        {MSG_LBUTTONUP, MakePoint(8, 8)},
        {MSG_MOUSEMOVE, MakePoint(9, 9)}};
    EXPECT_EQ(taken, expected);
    // Once taken, a move is not replaced: the next one queues behind nothing.
    queue.Post(Msg{MSG_MOUSEMOVE, 0, MakePoint(3, 3), 0});
    EXPECT_EQ(queue.Size(), 1u);
}

TEST(MessageQueue, WaitReturnsWhenAnotherThreadPosts) {
    MessageQueue queue;
    std::thread poster([&] { queue.Post(Msg{MSG_COMMAND, 7, 0, 0}); });
    queue.WaitForPost(5000);
    poster.join();
    Msg m;
    ASSERT_TRUE(queue.Take(m));
    EXPECT_EQ(m.wParam, 7u);
}

}  // namespace
}  // namespace platform
