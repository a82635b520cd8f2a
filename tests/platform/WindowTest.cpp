#include "platform/Window.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "platform/Thread.h"
#include "platform/headless/HeadlessBackend.h"

namespace platform {
namespace {

struct WindowFixture : ::testing::Test {
    FakeClock clock{5000};
    ScopedClock useClock{clock};
    headless::HeadlessBackend backend;
    std::vector<Msg> seen;
    Window window{backend, "Test", [this](Window& w, std::uint32_t m, WParam wp, LParam lp) {
                      seen.push_back(Msg{m, wp, lp, 0});
                      return DefaultWindowProc(w, m, wp, lp);
                  }};
    void SetUp() override { ASSERT_TRUE(window.Create()); }
};

TEST(MessageWords, PointsUnpackSignedAndCommandsSplitIdAndCode) {
    LParam p = MakePoint(-3, -40);
    EXPECT_EQ(PointX(p), -3);
    EXPECT_EQ(PointY(p), -40);
    EXPECT_EQ(PointX(MakePoint(239, 319)), 239);
    EXPECT_EQ(PointY(MakePoint(239, 319)), 319);
    WParam w = MakeCommand(108, 3);
    EXPECT_EQ(CommandId(w), 108u);
    EXPECT_EQ(CommandCode(w), 3u);
    // A draw message carries a whole pointer.
    int object = 0;
    auto wp = reinterpret_cast<WParam>(&object);
    EXPECT_EQ(reinterpret_cast<int*>(Msg{MSG_PAINT, wp, 0, 0}.wParam), &object);
}

TEST_F(WindowFixture, CreateRefusedByTheProcedureFails) {
    headless::HeadlessBackend other;
    Window refusing(other, "No", [](Window&, std::uint32_t m, WParam, LParam) -> LResult {
        return m == MSG_CREATE ? -1 : 0;
    });
    EXPECT_FALSE(refusing.Create());
    EXPECT_FALSE(refusing.Alive());
}

TEST_F(WindowFixture, TimersFireAfterTheirPeriodAndOnlyOnceWhenLate) {
    window.SetTimer(1000, 50);
    Msg m;
    clock.Advance(49);
    EXPECT_FALSE(window.Peek(m));
    clock.Advance(1);
    ASSERT_TRUE(window.Peek(m));
    EXPECT_EQ(m.message, MSG_TIMER);
    EXPECT_EQ(m.wParam, 1000u);
    EXPECT_FALSE(window.Peek(m));
    clock.Advance(500);  // ten periods late: one message, then the period starts again
    ASSERT_TRUE(window.Peek(m));
    EXPECT_FALSE(window.Peek(m));
    window.KillTimer(1000);
    clock.Advance(100);
    EXPECT_FALSE(window.Peek(m));
}

TEST_F(WindowFixture, PostedMessagesComeBeforeTimersAndQuitComesAfterThem) {
    window.SetTimer(5, 10);
    clock.Advance(20);
    window.Post(MSG_COMMAND, 1);
    window.PostQuit(0);
    window.Post(MSG_COMMAND, 2);
    Msg m;
    ASSERT_TRUE(window.Peek(m));
    EXPECT_EQ(m.wParam, 1u);
    ASSERT_TRUE(window.Peek(m));
    EXPECT_EQ(m.wParam, 2u);
    ASSERT_TRUE(window.Peek(m));
    EXPECT_EQ(m.message, MSG_QUIT);
    ASSERT_TRUE(window.Peek(m));
    EXPECT_EQ(m.message, MSG_TIMER);
}

TEST_F(WindowFixture, ADueTimerGoesBeforeAStylusMoveButNotBeforeOtherInput) {
    window.SetTimer(7, 50);
    clock.Advance(50);
    window.Post(MSG_MOUSEMOVE, 1, MakePoint(3, 4));
    window.Post(MSG_MOUSEMOVE, 1, MakePoint(5, 6));  // replaces the first
    Msg m;
    ASSERT_TRUE(window.Peek(m));
    EXPECT_EQ(m.message, MSG_TIMER);
    ASSERT_TRUE(window.Peek(m));
    EXPECT_EQ(m.message, MSG_MOUSEMOVE);
    EXPECT_EQ(PointX(m.lParam), 5);
    EXPECT_FALSE(window.Peek(m));
    // Not due yet: the move waits for nothing.
    clock.Advance(49);
    window.Post(MSG_MOUSEMOVE, 1, MakePoint(7, 8));
    ASSERT_TRUE(window.Peek(m));
    EXPECT_EQ(m.message, MSG_MOUSEMOVE);
    // A press or a key keeps its place ahead of the timer.
    clock.Advance(1);
    window.Post(MSG_LBUTTONUP, 0, MakePoint(7, 8));
    ASSERT_TRUE(window.Peek(m));
    EXPECT_EQ(m.message, MSG_LBUTTONUP);
    ASSERT_TRUE(window.Peek(m));
    EXPECT_EQ(m.message, MSG_TIMER);
}

TEST_F(WindowFixture, WaitSleepsUntilTheNextTimerOrThePostAndNoLonger) {
    window.SetTimer(3, 40);
    window.Wait(INFINITE_WAIT);
    EXPECT_EQ(clock.NowMs(), 5040u);
    window.Wait(15);  // the due timer is waiting: no sleep
    EXPECT_EQ(clock.NowMs(), 5040u);
    Msg m;
    ASSERT_TRUE(window.Peek(m));
    window.Wait(15);  // the timer is due again only at 5080
    EXPECT_EQ(clock.NowMs(), 5055u);
    window.Post(MSG_COMMAND, 1);
    window.Wait(1000);  // something is waiting: no sleep at all
    EXPECT_EQ(clock.NowMs(), 5055u);
}

TEST_F(WindowFixture, BlockingGetWaitsForTheNextTimerOnTheTestClock) {
    window.SetTimer(10, 30);
    Msg m;
    ASSERT_TRUE(window.Get(m));
    EXPECT_EQ(m.message, MSG_TIMER);
    EXPECT_GE(clock.NowMs(), 5030u);
    window.PostQuit(0);
    EXPECT_FALSE(window.Get(m));
    EXPECT_EQ(m.message, MSG_QUIT);
}

TEST_F(WindowFixture, BlockingGetWakesForAPostFromAnotherThread) {
    SetClock(nullptr);  // real time: the wait must end through the post
    std::thread poster([this] { window.Post(MSG_COMMAND, 42); });
    Msg m;
    ASSERT_TRUE(window.Get(m));
    EXPECT_EQ(m.wParam, 42u);
    poster.join();
}

// The backends deliver what a key types as its own character message (the keyboard's
// text, a script's typing); translating a key-down must not type it a second time.
TEST_F(WindowFixture, KeyStateFollowsTheMessagesTakenAndKeysTypeNothingTwice) {
    window.Post(MSG_KEYDOWN, KEY_SHIFT);
    window.Post(MSG_KEYDOWN, 'C');
    window.Post(MSG_KEYUP, KEY_SHIFT);
    EXPECT_FALSE(window.IsKeyDown(KEY_SHIFT));  // posted, not yet taken
    Msg m;
    ASSERT_TRUE(window.Peek(m));
    ASSERT_TRUE(window.Peek(m));
    EXPECT_TRUE(window.IsKeyDown(KEY_SHIFT));
    window.Translate(m);
    ASSERT_TRUE(window.Peek(m));
    EXPECT_EQ(m.message, MSG_KEYUP);
    EXPECT_FALSE(window.IsKeyDown(KEY_SHIFT));
    EXPECT_FALSE(window.Peek(m));
}

TEST_F(WindowFixture, CloseDestroysThroughTheDefaultProcedure) {
    window.SetCapture();
    window.SetTimer(3, 10);
    window.Dispatch(Msg{MSG_CLOSE, 0, 0, 0});
    EXPECT_FALSE(window.Alive());
    EXPECT_FALSE(window.HasCapture());
    EXPECT_FALSE(window.HasTimer(3));
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.back().message, MSG_DESTROY);
}

}  // namespace
}  // namespace platform
