#include "ui/UIButton.h"

#include "UiFixture.h"
#include "ui/ImageStrip.h"

namespace ui {
namespace {

using namespace platform;
using testing::Inked;

struct Button : testing::UiFixture {
    UIButton button;
    void SetUp() override {
        UiFixture::SetUp();
        button.SetRect(10, 10, 50, 20);
        button.SetCaption(42, "Go", CAPTION_INSIDE);
        button.SetFlags(FLAG_VISIBLE | FLAG_CAPTION | FLAG_NOTIFY);
        desktop.AddChild(&button);
    }
};

TEST_F(Button, SendsOnReleaseInsideAndNothingAfterSlidingOff) {
    Down(20, 20);
    EXPECT_TRUE(button.Pressed());
    EXPECT_TRUE(Commands().empty());
    Up(21, 21);
    auto sent = Commands();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].wParam, MakeCommand(42, 0));
    EXPECT_EQ(desktop.capture, nullptr);

    Down(20, 20);
    Move(100, 100);  // off the button: the capture still brings the move here
    EXPECT_FALSE(button.HasState(BUTTON_INSIDE));
    Up(100, 100);
    EXPECT_TRUE(Commands().empty());
    EXPECT_FALSE(button.Pressed());
    EXPECT_FALSE(button.HasState(BUTTON_HELD));

    Down(20, 20);
    Up(150, 150);  // released far away without a move in between
    EXPECT_TRUE(Commands().empty());
}

TEST_F(Button, ACheckBoxTappedTwiceEndsUncheckedAfterTwoCommands) {
    button.SetButtonState(BUTTON_TOGGLE);
    Tap(20, 20);
    EXPECT_TRUE(button.Checked());
    Tap(20, 20);
    EXPECT_FALSE(button.Checked());
    EXPECT_EQ(Commands().size(), 2u);
}

TEST_F(Button, AutoRepeatSendsEvery50msWhileHeldAndOnceOnRelease) {
    button.SetButtonState(BUTTON_REPEAT);
    std::uint32_t start = clock.NowMs();
    window.Post(MSG_LBUTTONDOWN, 0, MakePoint(20, 20));
    auto held = PumpUntil(start + 500);
    EXPECT_EQ(held.size(), 10u);
    window.Post(MSG_LBUTTONUP, 0, MakePoint(20, 20));
    auto released = PumpUntil(clock.NowMs());
    EXPECT_EQ(released.size(), 1u);
    EXPECT_FALSE(window.HasTimer(REPEAT_TIMER));
    // An idle button ignores a repeat timer that reaches it.
    desktop.HandleEvent(MSG_TIMER, REPEAT_TIMER, 0);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(Button, BevelIsRaisedOrSunkAndTheCaptionMovesWhenPressed) {
    button.SetButtonState(BUTTON_BEVEL);
    button.borderColour = 0x001F;
    gfx::Surface& s = Screen();
    desktop.Draw(s);
    EXPECT_EQ(gfx::getPixel(s, 10, 10), 0x001F);  // outline
    EXPECT_EQ(gfx::getPixel(s, 60, 30), 0x001F);
    EXPECT_EQ(gfx::getPixel(s, 11, 11), 0xFFFF);  // light from the top left
    EXPECT_EQ(gfx::getPixel(s, 30, 29), 0x4208);  // dark at the bottom
    EXPECT_EQ(gfx::getPixel(s, 59, 20), 0x4208);
    EXPECT_EQ(gfx::getPixel(s, 30, 28), 0x630C);
    EXPECT_EQ(gfx::getPixel(s, 14, 14), button.faceColour);
    EXPECT_FALSE(button.captionStyle & CAPTION_PRESSED);
    Down(20, 20);
    desktop.Draw(s);
    EXPECT_EQ(gfx::getPixel(s, 11, 11), 0x4208);
    EXPECT_EQ(gfx::getPixel(s, 12, 12), 0x8410);
    EXPECT_EQ(gfx::getPixel(s, 30, 29), 0xFFFF);
    EXPECT_TRUE(button.captionStyle & CAPTION_PRESSED);
    Up(20, 20);
}

TEST_F(Button, FacesPickTheRowOfTheState) {
    auto checks = ImageStrip::FromBitmap(104, 2, 2);
    ASSERT_TRUE(checks);
    EXPECT_EQ(checks->CellWidth(), 15);
    UIButton box;
    box.SetRect(100, 100, 15, 15);
    box.SetFaces(checks.get(), 1);
    box.SetButtonState(BUTTON_TOGGLE);
    desktop.AddChild(&box);
    gfx::Surface& s = Screen();
    auto cell = [&](int row) {
        auto probe = gfx::createSurface(15, 15);
        gfx::clear(*probe, 0x1234);
        checks->Draw(*probe, 0, 0, 1, row);
        return probe;
    };
    auto same = [&](const gfx::Surface& want) {
        gfx::clear(s, 0x1234);
        desktop.Draw(s);
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x)
                if (gfx::getPixel(s, 100 + x, 100 + y) != gfx::getPixel(want, x, y)) return false;
        return true;
    };
    auto unchecked = cell(1), checked = cell(0);
    EXPECT_TRUE(same(*unchecked));
    box.SetState(BUTTON_CHECKED);
    EXPECT_TRUE(same(*checked));
    EXPECT_EQ(box.FaceRow(), FACE_PRESSED);
    box.ClearState(BUTTON_CHECKED);
    box.SetFlags(FLAG_VISIBLE | FLAG_DISABLED);
    EXPECT_EQ(box.FaceRow(), FACE_DISABLED);
    // The check strip has no third row: a disabled box draws nothing rather than reading
    // past the picture.
    gfx::clear(s, 0x1234);
    desktop.Draw(s);
    EXPECT_EQ(Inked(s, gfx::Rect{100, 100, 115, 115}, 0x1234), 0);
}

}  // namespace
}  // namespace ui
