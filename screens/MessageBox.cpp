#include "screens/MessageBox.h"

#include "gfx/Blit.h"
#include "gfx/Draw.h"
#include "gfx/Vector.h"
#include "ui/ImageStrip.h"
#include "ui/TDesktop.h"
#include "ui/UIButton.h"

namespace screens {

namespace {

constexpr int BOX_WIDTH = 220;
constexpr std::uint32_t REDRAW_TIMER = 10;
constexpr std::uint16_t DONE = 2;
constexpr std::uint32_t TITLE_BAR = 0xFF500000;    // dark blue
constexpr std::uint32_t BOX_OUTLINE = 0xFF00FFFF;  // yellow

// Draws the box over `s` and places its button; the text limits are those it was measured in.
void DrawBox(gfx::Surface& s, const Fonts& fonts, const gfx::Rect& box, std::string_view title,
             std::string_view text) {
    const int bar = fonts.large->height;
    gfx::fillRect(s, 0, 0, s.Width() - 1, s.Height() - 1, 0, 16);
    gfx::attachSurface(s);
    double l = box.left + 0.5, t = box.top + 0.5, r = box.right + 0.5, b = box.bottom + 0.5;
    gfx::drawRoundedRect(l, t, r, b, 5, 0.0, 0xFFFFFFFF);
    gfx::drawRoundedRectRadii(l, t, r, t + bar, 5, 5, 0, 0, 0.0, TITLE_BAR);
    gfx::drawRoundedRect(l, t, r, b, 5, 2.0, BOX_OUTLINE);
    gfx::drawText(*fonts.large, s, box.left + (BOX_WIDTH - gfx::textWidth(*fonts.large, title)) / 2,
                  box.top, title, WHITE);
    gfx::drawTextInRect(*fonts.medium, &s, text,
                        gfx::Rect{box.left + 5, box.top + bar + 5, 220, 310}, BLACK);
}

}  // namespace

int ShowMessage(const ModalContext& context, std::string_view title, std::string_view text) {
    const Fonts& fonts = context.fonts;
    if (!fonts.large || !fonts.medium) return 1;
    gfx::Display& display = context.display;
    const int screenW = static_cast<int>(display.Params().width),
              screenH = static_cast<int>(display.Params().height);
    int textHeight =
        gfx::drawTextInRect(*fonts.medium, nullptr, text, gfx::Rect{15, 15, 220, 310}, BLACK);
    int boxHeight = fonts.large->height + textHeight + 35;
    gfx::Rect box{(screenW - BOX_WIDTH) / 2, (screenH - boxHeight) / 2, 0, 0};
    box.right = box.left + BOX_WIDTH;
    box.bottom = box.top + boxHeight;

    gfx::SurfacePtr before = gfx::captureScreen(display);
    if (!before) return 1;
    gfx::SurfacePtr composed = gfx::clone(*before);
    DrawBox(*composed, fonts, box, title, text);

    ui::TDesktop desktop;
    desktop.Attach(&display, &context.window);
    desktop.SetFont(fonts.medium);
    auto faces = ui::ImageStrip::FramedFaces(106, 50, 18);
    ui::UIButton done;
    done.SetRect(box.left + (BOX_WIDTH - 50) / 2, box.bottom - 24, 50, 18);
    done.SetFaces(faces.get(), 0);
    done.SetCaption(DONE, "Done", ui::CAPTION_INSIDE);
    done.SetFlags(ui::FLAG_VISIBLE | ui::FLAG_CAPTION | ui::FLAG_NOTIFY);
    desktop.AddChild(&done);
    desktop.Redraw(composed.get());
    context.window.SetTimer(REDRAW_TIMER, 30);

    int result = 1;
    for (;;) {
        platform::Msg msg;
        if (desktop.Pump(msg) <= 0) {
            context.window.PostQuit(0);
            result = 0;
            break;
        }
        if (msg.message == platform::MSG_COMMAND && platform::CommandId(msg.wParam) == DONE) break;
        if (msg.message == platform::MSG_TIMER && msg.wParam == REDRAW_TIMER)
            desktop.Redraw(composed.get());
    }
    context.window.KillTimer(REDRAW_TIMER);
    desktop.Detach();
    if (display.Lock()) {
        gfx::copyInto(*display.BackBuffer(), *before);
        display.UnlockAndPresent(0);
    }
    return result;
}

}  // namespace screens
