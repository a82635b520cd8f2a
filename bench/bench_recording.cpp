// bench-libs: fretlore_audio
// Reading a recording for the detector: a 3-minute 44.1 kHz stereo WAV, mixed to mono and
// resampled to 8000 Hz. It is the first step of `fretlore detect`, whose whole budget over
// such a file is 0.5 s; this part is held to 0.35 s of CPU, which leaves the analysis of
// its 703 buffers (at most 30 µs each, 21 ms) ample room.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <vector>

#include "platform/audio/Recording.h"
#include "platform/audio/WavFile.h"

namespace {

// A strummed-chord stand-in: three partials and a slow swell, written once per run.
std::string ThreeMinuteWav() {
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() /
                         ("fretlore-bench-" + std::to_string(::getpid()) + ".wav"))
                            .string();
        platform::WavWriter writer;
        writer.Open(p, 44100, 2);
        std::vector<std::int16_t> second(44100 * 2);
        for (int s = 0; s < 180; ++s) {
            for (std::size_t i = 0; i < 44100; ++i) {
                double t = s + static_cast<double>(i) / 44100;
                double v = std::sin(2 * std::numbers::pi * 196 * t) +
                           0.5 * std::sin(2 * std::numbers::pi * 247 * t) +
                           0.3 * std::sin(2 * std::numbers::pi * 294 * t);
                auto sample = static_cast<std::int16_t>(6000 * v * (0.6 + 0.4 * std::sin(t)));
                second[2 * i] = second[2 * i + 1] = sample;
            }
            writer.Write(second);
        }
        writer.Finish();
        return p;
    }();
    return path;
}

void BM_ReadThreeMinutesAt44k(benchmark::State& state) {
    std::string path = ThreeMinuteWav();
    std::size_t samples = 0;
    for (auto _ : state) {
        std::string error;
        auto mono = platform::ReadRecording(path, 8000, error);
        samples = mono ? mono->size() : 0;
        benchmark::DoNotOptimize(samples);
    }
    state.counters["samples"] = static_cast<double>(samples);
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadThreeMinutesAt44k)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
