// bench-libs: fretlore_gfx fretlore_display_sdl
// Budgets: a full redraw of a mode's static picture within 2 ms and a cached frame within
// 0.5 ms, so each whole-screen operation here must stay well below 0.5 ms; presenting
// one frame at 2x within 0.5 ms.

#include <benchmark/benchmark.h>

#include <vector>

#include "gfx/Blit.h"
#include "gfx/Draw.h"
#include "gfx/display/sdl/SdlDisplay.h"

namespace {

gfx::SurfacePtr Picture(int w, int h) {
    gfx::SurfacePtr s = gfx::createSurface(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s->Row(y)[x] = static_cast<std::uint16_t>(x * 131 + y * 7);
    return s;
}

void FullScreenCopy(benchmark::State& state) {
    auto src = Picture(240, 320), dst = gfx::createSurface(240, 320);
    for (auto _ : state) {
        gfx::copyRect(*dst, 0, 0, 240, 320, *src, 0, 0);
        benchmark::DoNotOptimize(dst->pixels);
    }
}
BENCHMARK(FullScreenCopy);

void FullScreenBlend(benchmark::State& state) {
    auto src = Picture(240, 320), dst = Picture(240, 320);
    for (auto _ : state) {
        gfx::blit(*dst, 0, 0, 240, 320, *src, 0, 0, 16, 0, gfx::BlitMode::Blend);
        benchmark::DoNotOptimize(dst->pixels);
    }
}
BENCHMARK(FullScreenBlend);

void FullScreenScaled(benchmark::State& state) {
    auto src = Picture(200, 220), dst = gfx::createSurface(240, 320);
    for (auto _ : state) {
        gfx::blitScaled(*dst, *src, 0, 0, 240, 320, 0, 0, gfx::BlitMode::Copy);
        benchmark::DoNotOptimize(dst->pixels);
    }
}
BENCHMARK(FullScreenScaled);

void PresentAtTwice(benchmark::State& state) {
    auto frame = Picture(240, 320);
    std::vector<std::uint32_t> window(480 * 640);
    for (auto _ : state) {
        gfx::sdl::scaleFrameTo32(*frame, window.data(), 480 * 4, 480, 640, 2, 0, 0, 16, 8, 0);
        benchmark::DoNotOptimize(window.data());
    }
}
BENCHMARK(PresentAtTwice);

}  // namespace
