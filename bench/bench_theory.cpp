// bench-libs: fretlore_theory fretlore_commands
// Budgets: one voicing search <= 20 us median; all 12 roots x 44 types x 16 tunings x 2
// split settings (16,896 searches) < 0.5 s; `fretlore chords --all --json` well under 1 s.

#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "app/commands/ChordsCommand.h"
#include "theory/ChordSearch.h"

namespace {

using namespace theory;

StringTuning TuningOf(int row) {
    StringTuning tuning{};
    for (int s = 0; s < STRING_COUNT; ++s)
        tuning[s] = std::uint8_t(Tunings[row].strings[s]);
    return tuning;
}

// Arguments: root, chord type, tuning, split.
void BM_OneSearch(benchmark::State& state) {
    PitchClass root = PitchClass(state.range(0));
    int type = int(state.range(1));
    StringTuning tuning = TuningOf(int(state.range(2)));
    bool split = state.range(3) != 0;
    VoicingList list;
    for (auto _ : state) {
        FindVoicings(root, type, tuning, split, list);
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_OneSearch)
    ->ArgNames({"root", "type", "tuning", "split"})
    ->Args({0, 0, 0, 0})    // C Major, the common case
    ->Args({0, 9, 0, 1})    // C 6/9 split: fills all 24
    ->Args({0, 26, 14, 1})  // C 13 in Open C: six notes
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_AllSearches(benchmark::State& state) {
    std::array<StringTuning, TUNING_COUNT> tunings;
    for (int u = 0; u < TUNING_COUNT; ++u)
        tunings[u] = TuningOf(u);
    VoicingList list;
    for (auto _ : state) {
        for (PitchClass root = 0; root < PITCH_CLASS_COUNT; ++root) {
            for (int type = 0; type < CHORD_TYPE_COUNT; ++type) {
                for (const StringTuning& tuning : tunings) {
                    for (bool split : {false, true}) {
                        FindVoicings(root, type, tuning, split, list);
                        benchmark::DoNotOptimize(list);
                    }
                }
            }
        }
    }
    state.counters["searches"] = PITCH_CLASS_COUNT * CHORD_TYPE_COUNT * TUNING_COUNT * 2;
}
BENCHMARK(BM_AllSearches)->Unit(benchmark::kMillisecond);

// Swallows everything, so only the command's own work is measured.
class NullBuffer : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void BM_AllJsonCommand(benchmark::State& state) {
    NullBuffer buffer;
    std::ostream out(&buffer);
    std::ostream err(&buffer);
    const std::vector<std::string> args{"--all", "--json"};
    for (auto _ : state) {
        if (RunChordsCommand(args, out, err) != 0) state.SkipWithError("command failed");
    }
}
BENCHMARK(BM_AllJsonCommand)->Unit(benchmark::kMillisecond);

}  // namespace
