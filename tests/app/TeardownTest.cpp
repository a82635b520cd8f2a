// Every way out of the program: the sound keeps rendering until the mixer stops it, and
// no instrument may go before that. Run under ASan and TSan to catch the order.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "GameHarness.h"

namespace {

using apptest::GameRun;

// Hands every written buffer straight back, so the mixer's output thread renders the
// instruments without pause from the moment it starts until it is stopped.
class FreeRunningWaveOut final : public platform::WaveOut {
  public:
    explicit FreeRunningWaveOut(std::shared_ptr<std::atomic<int>> writes)
        : writes(std::move(writes)) {}

    std::string Open(const platform::WaveFormat&, platform::WaveOutClient& c) override {
        client = &c;
        return {};
    }
    void Write(platform::WaveHeader& header) override {
        {
            std::lock_guard lock(mutex);
            if (paused) {
                waiting.push_back(&header);
                return;
            }
        }
        ++*writes;
        client->OnWaveOutDone(header);
    }
    void Pause() override {
        std::lock_guard lock(mutex);
        paused = true;
    }
    void Restart() override {
        std::vector<platform::WaveHeader*> pending;
        {
            std::lock_guard lock(mutex);
            paused = false;
            pending.swap(waiting);
        }
        for (platform::WaveHeader* header : pending)
            client->OnWaveOutDone(*header);
    }
    void Reset() override {
        std::lock_guard lock(mutex);
        waiting.clear();
    }
    void Close() override { Reset(); }

  private:
    std::shared_ptr<std::atomic<int>> writes;
    platform::WaveOutClient* client = nullptr;
    std::mutex mutex;
    bool paused = false;
    std::vector<platform::WaveHeader*> waiting;
};

apptest::SoundDevice FreeRunning(std::shared_ptr<std::atomic<int>> writes) {
    return [writes] { return std::make_unique<FreeRunningWaveOut>(writes); };
}

// Sounds every string and waits until the output thread has rendered `blocks` more blocks.
void SoundUntilRendered(app::MyGame& game, const std::atomic<int>& writes, int blocks) {
    for (auto& instrument : game.instruments)
        if (instrument) instrument->NoteOn(64, 56);
    int target = writes + blocks;
    while (writes < target)
        std::this_thread::yield();
}

constexpr int ROUNDS = 5;

TEST(Teardown, AShortDisplayEndsTheProgramWithTheSoundStoppedFirst) {
    for (int round = 0; round < ROUNDS; ++round) {
        auto writes = std::make_shared<std::atomic<int>>(0);
        {
            GameRun run(FreeRunning(writes), 300);
            run.Run("");
            ASSERT_TRUE(run.backend.MessageBoxShown());
            ASSERT_TRUE(run.game.mixer.IsOpen());
            SoundUntilRendered(run.game, *writes, 50);
        }  // the program goes here, its output thread rendering to the last moment
        EXPECT_GT(*writes, 50);
    }
}

TEST(Teardown, ADisplayThatFailsAfterStartUpEndsTheProgramWithTheSoundStoppedFirst) {
    gfx::DisplayFactory none = [](platform::Window&, gfx::DisplayParams&) -> gfx::DisplayPtr {
        return nullptr;
    };
    for (int round = 0; round < ROUNDS; ++round) {
        auto writes = std::make_shared<std::atomic<int>>(0);
        {
            GameRun run(FreeRunning(writes), 320, none);
            run.Run("");
            ASSERT_EQ(run.game.display, nullptr);
            ASSERT_FALSE(run.backend.MessageBoxShown());
            ASSERT_TRUE(run.game.instruments[0]);  // start-up had loaded them
            SoundUntilRendered(run.game, *writes, 50);
        }
        EXPECT_GT(*writes, 50);
    }
}

TEST(Teardown, QuittingWhileAMessageBoxIsOpenEndsTheProgram) {
    auto writes = std::make_shared<std::atomic<int>>(0);
    GameRun run(FreeRunning(writes));
    // Help opens the box; the window's close request arrives while it waits for "Done".
    ASSERT_TRUE(
        run.Run(std::string(apptest::DISMISS_TITLE) + apptest::TAP_HELP + "frames 2\nquit\n"));
    EXPECT_TRUE(run.backend.ScriptDone());
    EXPECT_FALSE(run.game.hWnd->Alive());
    EXPECT_FALSE(run.game.mixer.IsOpen());  // OnExit ran
    EXPECT_GT(*writes, 0);
}

}  // namespace
