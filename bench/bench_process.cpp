// bench-libs: Threads::Threads
// The whole program as a process, headless: start to first frame (≤ 200 ms), an idle
// program on a still title or Guitar Chords screen (≤ 1 % of one core) and resident
// memory (≤ 25 MB).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Usage {
    double wallSeconds;
    double cpuSeconds;
    long maxRssKb;
};

Usage RunProgram(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    std::string binary = FRETLORE_APP_DIR "/fretlore";
    argv.push_back(binary.data());
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        return {0, 0, 0};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                 usage.ru_stime.tv_usec / 1e6;
    return {wall, cpu, usage.ru_maxrss};
}

// Everything up to the first presented frame, then quit: the title screen needs no input.
void StartToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        Usage u = RunProgram({"--headless", "--frames", "1"});
        state.SetIterationTime(u.wallSeconds);
    }
}
BENCHMARK(StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Ten seconds doing nothing on a still screen; the start-up is part of the run but is
// small beside ten seconds.
void Idle(benchmark::State& state, const char* name, const char* script) {
    std::string path = std::string("/tmp/fretlore-idle-") + name + ".txt";
    std::ofstream(path) << script;
    for (auto _ : state) {
        Usage u = RunProgram({"--headless", "--script", path});
        state.SetIterationTime(u.wallSeconds);
        state.counters["cpu_percent"] = 100.0 * u.cpuSeconds / u.wallSeconds;
        state.counters["max_rss_mb"] = u.maxRssKb / 1024.0;
    }
}
void IdleTitleScreen(benchmark::State& state) {
    Idle(state, "title", "wait 10000\n");
}
void IdleGuitarScreen(benchmark::State& state) {
    Idle(state, "guitar", "key Enter\nwait 10000\n");
}
BENCHMARK(IdleTitleScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(IdleGuitarScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
