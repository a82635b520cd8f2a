// bench-libs: fretlore_detect
// The detector's budget: one 2048-sample buffer (256 ms at 8000 Hz) through window,
// transform, spectrum, pitch-class levels and detection in at most 30 µs, under 0.012 % of
// the buffer's own time; the capture path also copies the result out for the screen.

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "detect/Detector.h"
#include "detect/Listener.h"

namespace {

// A C major triad in the guitar's middle octaves, each note with five decaying partials,
// and a little noise: a busy spectrum with many peaks.
std::vector<std::int16_t> ChordBuffer() {
    std::vector<std::int16_t> out(detect::CAPTURE_SAMPLES);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 60.0);
    for (std::size_t i = 0; i < out.size(); ++i) {
        double v = 0.0;
        for (double f : {130.81, 164.81, 196.0}) {
            for (int h = 1; h <= 5; ++h)
                v += 3000.0 / h * std::sin(2.0 * std::numbers::pi * f * h * static_cast<double>(i) / 8000.0);
        }
        out[i] = static_cast<std::int16_t>(std::lround(v + noise(random)));
    }
    return out;
}

void BM_DetectChordBuffer(benchmark::State& state) {
    detect::Listener listener;
    auto buffer = ChordBuffer();
    for (auto _ : state) {
        listener.Process(buffer, true);
        benchmark::DoNotOptimize(listener.Result().detected);
    }
}
BENCHMARK(BM_DetectChordBuffer)->Unit(benchmark::kMicrosecond);

void BM_DetectNoteBuffer(benchmark::State& state) {
    detect::Listener listener;
    auto buffer = ChordBuffer();
    for (auto _ : state) {
        listener.Process(buffer, false);
        benchmark::DoNotOptimize(listener.Result().detected);
    }
}
BENCHMARK(BM_DetectNoteBuffer)->Unit(benchmark::kMicrosecond);

// The whole capture callback: detection plus publishing the result and spectrum.
void BM_CaptureCallback(benchmark::State& state) {
    detect::Listener listener;
    auto buffer = ChordBuffer();
    detect::DetectionSnapshot snapshot;
    for (auto _ : state) {
        listener.OnCaptureBuffer(buffer, true);
        benchmark::DoNotOptimize(listener.Store().TakeDirty());
    }
    listener.Store().Read(snapshot);
    state.counters["detected"] = snapshot.result.detected ? 1 : 0;
}
BENCHMARK(BM_CaptureCallback)->Unit(benchmark::kMicrosecond);

}  // namespace
