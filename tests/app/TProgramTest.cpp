#include "app/TProgram.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "app/ProgramMain.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "platform/Clock.h"
#include "platform/headless/HeadlessBackend.h"
#include "ui/TDesktop.h"
#include "ui/UIButton.h"

namespace app {
namespace {

// A program that records when its frames start and can be told to misbehave.
class ProbeProgram : public TProgram {
  public:
    ProbeProgram() {
        title = "Probe";
        framesPerSecond = 20;
    }
    int Frame() override {
        starts.push_back(platform::TickMs());
        if (frameCost) platform::SleepMs(frameCost);
        if (starts.size() == quitAfter) hWnd->Post(platform::MSG_CLOSE);
        return starts.size() == stopAfter ? 0 : 1;
    }
    int OnExit() override {
        windowAliveAtExit = hWnd->Alive();
        return 42;
    }
    std::vector<std::uint32_t> starts;
    std::uint32_t frameCost = 0;
    std::size_t quitAfter = 0;
    std::size_t stopAfter = 0;
    bool windowAliveAtExit = true;
};

struct ProgramFixture : ::testing::Test {
    platform::FakeClock clock{10000};
    platform::ScopedClock useClock{clock};
    platform::headless::HeadlessBackend backend;
    Host host{backend, gfx::headless::displayFactory()};
    ProbeProgram program;
};

TEST_F(ProgramFixture, FramesStartOneIntervalApartAndALongFrameIsFollowedAtOnce) {
    ASSERT_TRUE(program.Create(host));
    program.quitAfter = 4;
    program.frameCost = 0;
    ASSERT_EQ(program.Run(), 42);
    ASSERT_EQ(program.starts.size(), 4u);
    EXPECT_EQ(program.frameInterval, 50u);
    for (std::size_t i = 1; i < program.starts.size(); ++i) {
        EXPECT_GE(program.starts[i] - program.starts[i - 1], 50u);
        EXPECT_LE(program.starts[i] - program.starts[i - 1], 52u);
    }
    ProbeProgram slow;
    platform::headless::HeadlessBackend other;
    Host otherHost{other, gfx::headless::displayFactory()};
    ASSERT_TRUE(slow.Create(otherHost));
    slow.frameCost = 80;
    slow.quitAfter = 3;
    slow.Run();
    ASSERT_EQ(slow.starts.size(), 3u);
    EXPECT_LE(slow.starts[2] - slow.starts[1], 82u);  // no wait after an 80 ms frame
}

TEST_F(ProgramFixture, AQuitMessageEndsTheLoopWhetherActiveOrNot) {
    ASSERT_TRUE(program.Create(host));
    program.hWnd->PostQuit(0);
    EXPECT_EQ(program.Run(), 42);

    ProbeProgram sleeper;
    platform::headless::HeadlessBackend other;
    Host otherHost{other, gfx::headless::displayFactory()};
    ASSERT_TRUE(sleeper.Create(otherHost));
    sleeper.hWnd->Post(platform::MSG_ACTIVATE, platform::ACTIVATE_INACTIVE);
    sleeper.hWnd->Post(platform::MSG_CLOSE);
    EXPECT_EQ(sleeper.Run(), 42);
    EXPECT_EQ(sleeper.active, 0u);
    EXPECT_LE(sleeper.starts.size(), 1u);  // no frames while inactive
}

// A mouse reporting every millisecond of the test clock: the left button goes down on the
// program's repeat button and stays down while the pointer wiggles inside it; after a
// second the window is asked to close.
class DraggingMouse : public platform::headless::HeadlessBackend {
  public:
    void PumpEvents(platform::Window& window) override {
        std::uint32_t now = platform::TickMs();
        if (!pressedAt) {
            pressedAt = now;
            window.Post(platform::MSG_LBUTTONDOWN, 1, platform::MakePoint(20, 20));
        } else if (now - pressedAt >= 1000) {
            if (!closed) window.Post(platform::MSG_CLOSE);
            closed = true;
        } else if (now != lastMove) {
            int x = 15 + static_cast<int>(now % 10);
            window.Post(platform::MSG_MOUSEMOVE, 1, platform::MakePoint(x, 20));
            ++moves;
        }
        lastMove = now;
    }
    // The next report is never more than a millisecond away.
    void WaitEvents(platform::Window&, std::uint32_t timeoutMs) override {
        platform::SleepMs(std::min<std::uint32_t>(timeoutMs, 1));
    }
    std::uint32_t pressedAt = 0;
    std::uint32_t lastMove = 0;
    bool closed = false;
    int moves = 0;
};

class RepeatProgram : public ProbeProgram {
  public:
    void BuildScreen() override {
        desktop.Attach(display.get(), hWnd);
        button.SetRect(10, 10, 40, 20);
        button.SetButtonState(ui::BUTTON_REPEAT);
        button.SetFlags(ui::FLAG_VISIBLE | ui::FLAG_NOTIFY);
        button.id = 9;
        desktop.AddChild(&button);
    }
    platform::LResult HandleMessage(std::uint32_t msg, platform::WParam wParam,
                                    platform::LParam lParam) override {
        desktop.HandleEvent(msg, wParam, lParam);
        if (msg == platform::MSG_COMMAND && platform::CommandId(wParam) == 9) ++repeats;
        return 0;
    }
    ui::TDesktop desktop;
    ui::UIButton button;
    int repeats = 0;
};

TEST_F(ProgramFixture, ADragKeepsTheFramesAndTheAutoRepeatOfAHeldButtonInStep) {
    DraggingMouse mouse;
    Host mouseHost{mouse, gfx::headless::displayFactory()};
    RepeatProgram dragged;
    ASSERT_TRUE(dragged.Create(mouseHost));
    dragged.Run();
    EXPECT_GT(mouse.moves, 900);
    // One second held: a frame every 50 ms and a repeat every 50 ms after the press.
    ASSERT_GE(dragged.starts.size(), 20u);
    for (std::size_t i = 1; i < dragged.starts.size(); ++i)
        EXPECT_LE(dragged.starts[i] - dragged.starts[i - 1], 51u) << "frame " << i;
    EXPECT_GE(dragged.repeats, 19);
    EXPECT_LE(dragged.repeats, 20);
}

TEST_F(ProgramFixture, AFrameAnsweringZeroDestroysTheWindowBeforeOnExit) {
    ASSERT_TRUE(program.Create(host));
    program.stopAfter = 2;
    EXPECT_EQ(program.Run(), 42);
    EXPECT_FALSE(program.windowAliveAtExit);
}

TEST_F(ProgramFixture, CreationClearsThePresentsTheScreenAndFillsTheKeyMap) {
    ASSERT_TRUE(program.Create(host));
    EXPECT_EQ(theProgram(), &program);
    EXPECT_EQ(theDisplay(), program.display.get());
    EXPECT_EQ(backend.FramesPresented(), 1u);
    EXPECT_EQ(program.keyState[0], platform::KEY_UP);
    EXPECT_EQ(program.keyState[3], platform::KEY_RIGHT);
}

TEST(ProgramMain, ASmallScreenIsRefusedWithTheDisplayError) {
    platform::headless::HeadlessBackend small(240, 300);
    Host host{small, gfx::headless::displayFactory()};
    ProbeProgram program;
    EXPECT_EQ(ProgramMain(program, host), 0);
    EXPECT_TRUE(small.MessageBoxShown());
    EXPECT_TRUE(program.starts.empty());
}

TEST(ProgramMain, ASecondCopyEndsWithoutAWindow) {
    struct Taken : platform::headless::HeadlessBackend {
        bool ClaimInstance(const std::string&) override { return false; }
    } backend;
    Host host{backend, gfx::headless::displayFactory()};
    ProbeProgram program;
    program.title = "Probe 2.5";
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(program.Create(host), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Probe is already running; brought its window to the front\n");
    EXPECT_EQ(program.hWnd, nullptr);
}

TEST(Paths, ForceExtensionAppendsOrRewritesInTheCaseGiven) {
    struct Case {
        const char* name;
        const char* expected;
    } cases[] = {{"song", "song.seq"},         {"song.SEQ", "song.seq"},   {"song.Seq", "song.seq"},
                 {"song.txt", "song.txt.seq"}, {"my.song", "my.song.seq"}, {"", ".seq"},
                 {"a.seqx", "a.seqx.seq"}};
    for (const Case& c : cases) {
        std::string name = c.name;
        ForceExtension(name, ".seq");
        EXPECT_EQ(name, c.expected) << c.name;
    }
}

TEST(Paths, ModulePathUsesTheProgramFolderOrItsOverride) {
    setenv("FRETLORE_HOME", "/opt/fretlore/", 1);
    EXPECT_EQ(ModulePath("Sequences"), "/opt/fretlore/Sequences");
    unsetenv("FRETLORE_HOME");
    std::string own = ModulePath("g1.sampler");
    EXPECT_NE(own.find("/g1.sampler"), std::string::npos);
    EXPECT_EQ(own.front(), '/');
}

}  // namespace
}  // namespace app
