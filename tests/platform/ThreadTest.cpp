#include "platform/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace platform {
namespace {

TEST(Thread, JoinWaitsForTheBodyOrGivesUpAfterItsTimeout) {
    std::atomic<bool> release{false};
    std::atomic<bool> finished{false};
    {
        Thread slow([&] {
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            finished = true;
        });
        EXPECT_FALSE(slow.Join(20));  // still running: left to end on its own
        release = true;
    }
    for (int i = 0; i < 2000 && !finished; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(finished);
    Thread quick([] {}, ThreadPriority::Highest);
    EXPECT_TRUE(quick.Join(INFINITE_WAIT));
    EXPECT_FALSE(quick.Running());
}

TEST(AutoResetEvent, ASetWithoutAWaiterWakesTheNextWaitOnce) {
    AutoResetEvent event;
    event.Set();
    EXPECT_TRUE(event.Wait(0));
    EXPECT_FALSE(event.Wait(5));  // reset by the first wait
    Thread setter([&] { event.Set(); });
    EXPECT_TRUE(event.Wait(INFINITE_WAIT));
}

}  // namespace
}  // namespace platform
