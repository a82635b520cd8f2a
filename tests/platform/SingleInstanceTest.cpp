#include "platform/SingleInstance.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace platform {
namespace {

std::string TempFolder() {
    std::string pattern = ::testing::TempDir() + "instanceXXXXXX";
    return mkdtemp(pattern.data()) ? pattern : ::testing::TempDir();
}

TEST(SingleInstance, ASecondCopyRaisesTheFirstAndTheNameFreesOnExit) {
    std::string folder = TempFolder();
    std::atomic<int> raised{0};
    {
        SingleInstance first(folder, "fretlore");
        ASSERT_EQ(first.Claim([&] { ++raised; }), SingleInstance::Role::Primary);
        SingleInstance second(folder, "fretlore");
        EXPECT_EQ(second.Claim([] {}), SingleInstance::Role::Secondary);
        for (int i = 0; i < 200 && raised == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(raised, 1);
    }
    SingleInstance later(folder, "fretlore");
    EXPECT_EQ(later.Claim([] {}), SingleInstance::Role::Primary);
}

TEST(SingleInstance, AnUnusableFolderLetsTheProgramRun) {
    SingleInstance lonely("/nonexistent-folder/deeper", "fretlore");
    EXPECT_EQ(lonely.Claim([] {}), SingleInstance::Role::Unavailable);
}

}  // namespace
}  // namespace platform
