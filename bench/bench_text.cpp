// bench-libs: fretlore_gfx fretlore_resources
// Budget: the full redraw of a mode's static picture <= 2 ms, of which text and note dots
// are the bulk: a screenful of marked-up text, and the fret board's 84 note dots (filled and
// outlined) for comparison with AGG's 100 dots + 100 rings + 10 panels ~ 0.55 ms.

#include <benchmark/benchmark.h>

#include <string>

#include "gfx/Draw.h"
#include "gfx/Font.h"
#include "gfx/Vector.h"
#include "platform/Resources.h"
#include "res/EmbeddedResources.h"

namespace {

using namespace gfx;

std::string HelpText() {
    std::string text;
    for (int i = 0; i < 12; ++i)
        text +=
            "Tap a #FF0000root#000000 or a |FFFFFFnote|E718C6 on the fret board to hear it. Choose "
            "C##/A##m and the list shows every playable shape, easiest first.\r";
    return text;
}

// Wrapped help text in the small font, filling the 240 x 320 screen.
void BM_MarkedUpScreen(benchmark::State& state) {
    platform::SetResourceTable(res::EmbeddedResources());
    Font font;
    if (!loadFont(font, static_cast<std::uint32_t>(state.range(0)))) {
        state.SkipWithError("font missing");
        return;
    }
    auto screen = createSurface(240, 320);
    const std::string text = HelpText();
    int height = 0;
    for (auto _ : state) {
        clear(*screen, 0xE718);
        height = drawTextInRect(font, screen.get(), text, Rect{2, 2, 238, 318}, 0);
        benchmark::DoNotOptimize(screen->pixels);
    }
    state.counters["lines"] = height / font.height;
}
BENCHMARK(BM_MarkedUpScreen)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// Six strings by fourteen frets of dots, each filled then outlined as the fret board draws them.
void BM_FretBoardDots(benchmark::State& state) {
    auto screen = createSurface(240, 320);
    clear(*screen, 0xFFFF);
    attachSurface(*screen);
    for (auto _ : state) {
        for (int string = 0; string < 6; ++string)
            for (int fret = 0; fret < 14; ++fret) {
                double cx = 28.5 + 36 * string, cy = 20.5 + 21 * fret;
                drawEllipse(cx, cy, 7, 7, 0, 16, fret % 12 ? 0xFFFFFFFF : 0xFF00FFFF);
                drawEllipse(cx, cy, 7, 7, 1.0, 16, 0xFF000000);
            }
        benchmark::DoNotOptimize(screen->pixels);
    }
    attachSurface(nullptr, 0, 0, 0);
    state.counters["dots"] = 84;
}
BENCHMARK(BM_FretBoardDots)->Unit(benchmark::kMicrosecond);

}  // namespace
