// bench-libs: fretlore_app fretlore_display_headless fretlore_platform_headless fretlore_resources
// Budgets: a full redraw of a mode's static picture ≤ 2 ms (the detection screen's too),
// a cached frame ≤ 0.5 ms, start to first frame ≤ 200 ms.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <vector>

#include "app/MyGame.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "platform/Resources.h"
#include "platform/audio/HeadlessWaveOut.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/EmbeddedResources.h"

namespace {

struct Started {
    platform::headless::HeadlessBackend backend;
    app::Host host{backend, gfx::headless::displayFactory(),
                   [] { return std::make_unique<platform::NullWaveOut>(); }};
    app::MyGame game;
    Started() {
        setenv("FRETLORE_HOME", FRETLORE_APP_DIR, 1);
        platform::SetResourceTable(res::EmbeddedResources());
        game.Create(host);
    }
};

void GuitarFullRedraw(benchmark::State& state) {
    Started s;
    for (auto _ : state) {
        s.game.screenDirty = 1;
        s.game.Frame();
    }
}
BENCHMARK(GuitarFullRedraw)->Unit(benchmark::kMicrosecond);

void GuitarCachedFrame(benchmark::State& state) {
    Started s;
    s.game.Frame();
    for (auto _ : state)
        s.game.Frame();
}
BENCHMARK(GuitarCachedFrame)->Unit(benchmark::kMicrosecond);

// The chord reaching furthest down the roll: six markers over three octaves.
void PianoFullRedraw(benchmark::State& state) {
    Started s;
    s.game.chordList.list.Select(26);  // "13"
    s.game.FindVoicings();
    s.game.SetMode(app::MODE_PIANO);
    for (auto _ : state) {
        s.game.screenDirty = 1;
        s.game.Frame();
    }
}
BENCHMARK(PianoFullRedraw)->Unit(benchmark::kMicrosecond);

// Chromatic: the most dots, 66 on the board or 13 markers beside the turned roll.
void ScalesFullRedraw(benchmark::State& state) {
    Started s;
    s.game.scaleList.list.Select(16);
    s.game.moreView = static_cast<std::uint32_t>(state.range(0));
    s.game.SetMode(app::MODE_SCALES);
    for (auto _ : state) {
        s.game.screenDirty = 1;
        s.game.Frame();
    }
}
BENCHMARK(ScalesFullRedraw)->Arg(0)->Arg(1)->ArgName("piano")->Unit(benchmark::kMicrosecond);

detect::DetectionResult EMinor() {
    detect::DetectionResult r;
    r.detected = true;
    r.root = 4;
    r.chordType = 1;
    r.highlight = {4, 7, 11, -1, -1, -1};
    r.pitchClassLevel = {10, 5, 12, 8, 70, 9, 4, 62, 7, 11, 6, 55};
    r.text = "E Minor";
    return r;
}

// Entering Chord Detection: the background and every panel.
void DetectionFullRedraw(benchmark::State& state) {
    Started s;
    s.game.SetDetection(EMinor(), std::vector<double>(screens::SPECTRUM_BINS, -30.0));
    for (auto _ : state) {
        s.game.SetMode(app::MODE_DETECTION);
        s.game.Frame();
    }
}
BENCHMARK(DetectionFullRedraw)->Unit(benchmark::kMicrosecond);

// A frame after each analysed buffer: meters, result box and spectrum drawn again.
void DetectionFrame(benchmark::State& state) {
    Started s;
    s.game.SetMode(app::MODE_DETECTION);
    std::vector<double> spectrum(screens::SPECTRUM_BINS);
    for (int bin = 0; bin < screens::SPECTRUM_BINS; ++bin)
        spectrum[bin] = -96.0 + bin % 97;
    detect::DetectionResult r = EMinor();
    for (auto _ : state) {
        s.game.SetDetection(r, spectrum);
        s.game.Frame();
    }
}
BENCHMARK(DetectionFrame)->Unit(benchmark::kMicrosecond);

// Everything from constructing the program to its first presented frame: instruments,
// patch files, fonts, pictures, widgets and the first voicing search.
void StartToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        auto s = std::make_unique<Started>();
        s->game.Frame();
        benchmark::DoNotOptimize(s->backend.FramesPresented());
        state.PauseTiming();  // not the shutdown
        s.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(StartToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
