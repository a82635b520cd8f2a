// bench-libs: fretlore_audio fretlore_commands
// `fretlore detect` over a 3-minute 44.1 kHz stereo WAV: budget 0.5 s. Its first step,
// reading the file (mixed to mono and resampled to 8000 Hz), is held to 0.35 s of CPU, which
// leaves the analysis of its 703 buffers (at most 30 µs each, 21 ms) ample room. Beside it,
// as a yardstick, a peer pitch tracker (`aubiopitch`, from Debian's aubio-tools) over the
// same file, when it is installed.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <sstream>
#include <vector>

#include "app/commands/DetectCommand.h"
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
}
BENCHMARK(BM_ReadThreeMinutesAt44k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DetectThreeMinutesAt44k(benchmark::State& state) {
    std::vector<std::string> args{ThreeMinuteWav()};
    std::size_t lines = 0;
    for (auto _ : state) {
        std::ostringstream out, err;
        if (RunDetectCommand(args, out, err) != 0) state.SkipWithError(err.str().c_str());
        const std::string text = out.str();
        lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_DetectThreeMinutesAt44k)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The peer, run as its own process on the same file: wall time.
void BM_AubioPitchThreeMinutesAt44k(benchmark::State& state) {
    if (std::system("command -v aubiopitch >/dev/null 2>&1") != 0) {
        state.SkipWithError("aubiopitch is not installed (Debian's aubio-tools)");
        return;
    }
    std::string command = "aubiopitch -i " + ThreeMinuteWav() + " >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("aubiopitch failed");
    }
}
BENCHMARK(BM_AubioPitchThreeMinutesAt44k)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(ThreeMinuteWav());
    return 0;
}
