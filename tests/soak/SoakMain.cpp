// The soak run: the real program, headless, fed random input for a given time, one
// instance after another in this process, with the microphone playing a recording and
// the sound rendered in real time. A crash ends the run; so does a program that stops
// drawing for half a minute. At the end: commands run, instances, and resident memory
// after warm-up and at the end.
//
//   fretlore_soak [--seconds N] [--seed S] [--commands-per-run N]

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <unistd.h>

#include "ScriptMaker.h"
#include "app/MyGame.h"
#include "app/ProgramMain.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "platform/Resources.h"
#include "platform/audio/HeadlessWaveOut.h"
#include "platform/audio/Recording.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/headless/Script.h"
#include "res/EmbeddedResources.h"

namespace {

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// A C major chord, looped by the microphone: the detector has something to hear.
std::shared_ptr<const std::vector<std::int16_t>> Chord() {
    std::vector<std::int16_t> samples(8000 * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        double t = static_cast<double>(i) / 8000.0, v = 0;
        for (double hz : {261.63, 329.63, 392.0})
            v += std::sin(2 * 3.141592653589793 * hz * t);
        samples[i] = static_cast<std::int16_t>(v * 6000);
    }
    return std::make_shared<const std::vector<std::int16_t>>(std::move(samples));
}

struct Run {
    bool finishedScript = false;
};

Run RunOnce(const std::string& script, std::atomic<std::uint32_t>& frames) {
    std::string error;
    auto commands = platform::headless::ParseScript(script, error);
    if (!commands) {
        std::fprintf(stderr, "fretlore_soak: made a bad script: %s\n", error.c_str());
        std::exit(2);
    }
    platform::headless::HeadlessBackend backend;
    backend.SetScript(std::move(*commands));
    static const auto mic = Chord();
    app::Host host{backend, gfx::headless::displayFactory(),
                   [] { return std::make_unique<platform::NullWaveOut>(); },
                   [] { return std::make_unique<platform::RecordingWaveIn>(mic, 8000); }};
    app::MyGame game;
    backend.SetStateWriter([&game](const std::string& path, std::string& e) {
        e = game.WriteState(path);
        return e.empty();
    });
    std::atomic<bool> done{false};
    const std::uint32_t before = frames;
    std::thread counter([&] {
        while (!done) {
            frames = before + backend.FramesPresented();
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    app::ProgramMain(game, host, [&game] {
        game.player.StartPlayer();
        game.StartCapture();
        game.ShowTitleScreen();
    });
    done = true;
    counter.join();
    return {backend.ScriptDone()};
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 60;
    std::uint64_t seed = static_cast<std::uint64_t>(time(nullptr));
    int perRun = 400;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string arg = argv[i];
        if (arg == "--seconds")
            seconds = std::atof(argv[i + 1]);
        else if (arg == "--seed")
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (arg == "--commands-per-run")
            perRun = std::atoi(argv[i + 1]);
    }
    platform::SetResourceTable(res::EmbeddedResources());
    // A folder of its own, with the build's string instruments: what the soak saves stays
    // out of the build.
    namespace fs = std::filesystem;
    fs::path home = fs::temp_directory_path() / ("fretlore-soak-" + std::to_string(getpid()));
    fs::create_directories(home);
    for (int k = 1; k <= 6; ++k) {
        std::string name = "g" + std::to_string(k) + ".sampler";
        std::error_code ec;
        fs::copy_file(fs::path(FRETLORE_APP_DIR) / name, home / name, ec);
    }
    setenv("FRETLORE_HOME", home.c_str(), 1);
    std::printf("fretlore_soak: seed %llu, %.0f s\n", static_cast<unsigned long long>(seed),
                seconds);
    std::fflush(stdout);
    soak::ScriptMaker maker(seed);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };

    // The watchdog: the program draws 20 frames a second whatever it shows, so a count
    // that stands still for 30 s is a hang.
    std::atomic<std::uint32_t> progress{0};
    std::atomic<bool> finished{false};
    std::thread watchdog([&] {
        std::uint32_t last = 0;
        auto lastMove = Clock::now();
        while (!finished) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            if (progress != last) {
                last = progress;
                lastMove = Clock::now();
            } else if (Clock::now() - lastMove > std::chrono::seconds(30)) {
                std::fprintf(stderr,
                             "fretlore_soak: no frame for 30 s: hung (seed %llu; the script "
                             "is %s/last-script.txt)\n",
                             static_cast<unsigned long long>(seed), home.c_str());
                std::abort();
            }
        }
    });

    int runs = 0, endedEarly = 0;
    long warmKb = 0, peakKb = 0;
    while (elapsed() < seconds) {
        std::string script = maker.Make(perRun);
        std::ofstream(home / "last-script.txt") << script;
        if (!RunOnce(script, progress).finishedScript) ++endedEarly;
        ++runs;
        long kb = ResidentKb();
        if (runs == 2) warmKb = kb;
        peakKb = std::max(peakKb, kb);
    }
    finished = true;
    watchdog.join();
    fs::remove_all(home);
    long endKb = ResidentKb();
    if (warmKb == 0) warmKb = endKb;
    std::printf(
        "fretlore_soak: %d commands in %d runs over %.0f s (%d ended by the program before their "
        "script), 0 crashes, 0 hangs; resident memory %ld KiB after warm-up, %ld KiB at the end "
        "(%+ld KiB), peak %ld KiB\n",
        maker.Made(), runs, elapsed(), endedEarly, warmKb, endKb, endKb - warmKb, peakKb);
    return 0;
}
