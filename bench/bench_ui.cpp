// bench-libs: fretlore_ui fretlore_resources fretlore_display_headless
// Budget: a cached frame within 0.5 ms: copying the cached screen into the back buffer
// and drawing the main screen's widgets over it, one combo box list open.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "gfx/Blit.h"
#include "gfx/Font.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "platform/Resources.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/EmbeddedResources.h"
#include "ui/ImageStrip.h"
#include "ui/TDesktop.h"
#include "ui/UIButton.h"
#include "ui/UICombo.h"
#include "ui/UIScrollBar.h"

namespace {

using namespace ui;

// The main screen in Guitar Chords mode: four combo boxes (Chord open), two check boxes,
// four buttons, six string buttons and the Trigger bar.
struct MainScreen {
    platform::headless::HeadlessBackend backend;
    platform::Window window{backend, "Bench", platform::DefaultWindowProc};
    gfx::DisplayPtr display;
    gfx::Font font;
    std::unique_ptr<ImageStrip> arrows, checks, thumb, faces50, faces30;
    TDesktop desktop;
    UICombo combos[4];
    UIButton boxes[2];
    UIButton buttons[10];
    UIScrollBar trigger;
    gfx::SurfacePtr cache;

    MainScreen() {
        platform::SetResourceTable(res::EmbeddedResources());
        window.Create();
        gfx::DisplayParams params{0, 0, 0, 2};
        display = gfx::createDisplay(gfx::headless::displayFactory(), window, params);
        gfx::loadFont(font, 4);
        arrows = ImageStrip::FromBitmap(103, 2, 2);
        checks = ImageStrip::FromBitmap(104, 2, 2);
        thumb = ImageStrip::FromBitmap(120, 1, 1);
        faces50 = ImageStrip::FramedFaces(106, 50, 20);
        faces30 = ImageStrip::FramedFaces(106, 30, 20);
        desktop.Attach(display.get(), &window);
        desktop.SetFont(&font);
        cache = gfx::loadImageResource(105, platform::RESOURCE_GIF);
        struct ComboPlace {
            int x, y, w, rows, items;
        } places[] = {
            {5, 20, 40, 12, 12}, {50, 20, 65, 8, 44}, {5, 55, 110, 8, 16}, {5, 90, 110, 8, 6}};
        for (int i = 0; i < 4; ++i) {
            UICombo& c = combos[i];
            c.Setup(places[i].x, places[i].y, places[i].w, places[i].rows, 100, &font,
                    arrows.get());
            c.SetColours(0x0000, 0xFFFF, 0x84FB, 0x84FB);
            c.SetCaption(static_cast<std::uint16_t>(100 + i), "Label", CAPTION_ABOVE_LEFT);
            c.SetFlags(FLAG_VISIBLE | FLAG_CAPTION | FLAG_NOTIFY);
            for (int k = 0; k < places[i].items; ++k)
                c.list.AddItem(std::string("Item ") + std::to_string(k));
            c.list.Select(0);
            desktop.AddChild(&c);
        }
        for (int i = 0; i < 2; ++i) {
            boxes[i].SetRect(5, 115 + 20 * i, 15, 15);
            boxes[i].SetFaces(checks.get(), 1);
            boxes[i].SetButtonState(BUTTON_TOGGLE);
            boxes[i].SetCaption(static_cast<std::uint16_t>(105 + i), "Allow Split Chords",
                                CAPTION_RIGHT);
            boxes[i].SetFlags(FLAG_VISIBLE | FLAG_CAPTION | FLAG_NOTIFY);
            desktop.AddChild(&boxes[i]);
        }
        for (int i = 0; i < 10; ++i) {
            bool bottom = i < 4;
            UIButton& b = buttons[i];
            b.SetRect(bottom ? 5 + 60 * i : 18 + 35 * (i - 4), bottom ? 297 : 272, bottom ? 50 : 30,
                      20);
            b.SetFaces(bottom ? faces50.get() : faces30.get(), 0);
            b.SetCaption(static_cast<std::uint16_t>(107 + i), bottom ? "Strum" : "E",
                         CAPTION_INSIDE);
            b.SetFlags(FLAG_VISIBLE | FLAG_CAPTION | FLAG_NOTIFY);
            desktop.AddChild(&b);
        }
        trigger.SetRect(200, 53, 20, 103);
        trigger.SetThumbFaces(thumb.get());
        trigger.SetBarStyle(26);
        trigger.SetRange(0, 96, 0);
        trigger.SetCaption(121, "Trigger", CAPTION_BELOW);
        trigger.SetFlags(FLAG_VISIBLE | FLAG_CAPTION | FLAG_NOTIFY);
        desktop.AddChild(&trigger);
        combos[1].Open();
    }
    ~MainScreen() { desktop.Detach(); }
};

void CachedFrame(benchmark::State& state) {
    MainScreen screen;
    if (!screen.cache || !screen.desktop.BackBuffer()) {
        state.SkipWithError("no display or background picture");
        return;
    }
    gfx::Surface& back = *screen.desktop.BackBuffer();
    for (auto _ : state) {
        gfx::copyInto(back, *screen.cache);
        screen.desktop.Draw(back);
        benchmark::DoNotOptimize(back.pixels);
    }
}
BENCHMARK(CachedFrame)->Unit(benchmark::kMicrosecond);

// The same with the open list drawn afresh every frame (a selection change each frame).
void FrameWithListChanging(benchmark::State& state) {
    MainScreen screen;
    if (!screen.cache || !screen.desktop.BackBuffer()) {
        state.SkipWithError("no display or background picture");
        return;
    }
    gfx::Surface& back = *screen.desktop.BackBuffer();
    for (auto _ : state) {
        screen.combos[1].list.MarkDirty();
        gfx::copyInto(back, *screen.cache);
        screen.desktop.Draw(back);
        benchmark::DoNotOptimize(back.pixels);
    }
}
BENCHMARK(FrameWithListChanging)->Unit(benchmark::kMicrosecond);

}  // namespace
