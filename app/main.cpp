// The program's entry: subcommands, options, and the choice of backend.

#include <clocale>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/MyGame.h"
#include "app/ProgramMain.h"
#include "app/Settings.h"
#include "app/UserTunings.h"
#include "app/commands/ChordsCommand.h"
#include "app/commands/DetectCommand.h"
#include "app/commands/DevicesCommand.h"
#include "app/commands/NameCommand.h"
#include "app/commands/RenderCommand.h"
#include "app/commands/SheetCommand.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "gfx/display/sdl/SdlDisplay.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"
#include "platform/audio/HeadlessWaveOut.h"
#include "platform/audio/Recording.h"
#include "platform/audio/sdl/SdlWaveIn.h"
#include "platform/audio/sdl/SdlWaveOut.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/sdl/SdlBackend.h"
#include "res/EmbeddedResources.h"

namespace {

constexpr std::uint32_t MIC_RATE = 8000;

struct Subcommand {
    const char* name;
    int (*run)(std::span<const std::string> args, std::ostream& out, std::ostream& err);
};
const Subcommand SUBCOMMANDS[] = {
    {"chords", RunChordsCommand}, {"detect", RunDetectCommand}, {"devices", RunDevicesCommand},
    {"name", RunNameCommand},     {"render", RunRenderCommand}, {"sheet", RunSheetCommand},
};

using platform::headless::ScriptCommand;

// The script of a headless run: the --script file, then --frames and --shot.
bool BuildScript(const app::Options& options, std::vector<ScriptCommand>& script) {
    if (!options.scriptPath.empty()) {
        std::string error;
        auto bytes = platform::ReadWholeFile(options.scriptPath, error);
        if (!bytes) {
            std::fprintf(stderr, "fretlore: --script: %s\n", error.c_str());
            return false;
        }
        auto parsed =
            platform::headless::ParseScript(std::string(bytes->begin(), bytes->end()), error);
        if (!parsed) {
            std::fprintf(stderr, "fretlore: %s: %s\n", options.scriptPath.c_str(), error.c_str());
            return false;
        }
        script = std::move(*parsed);
    }
    unsigned frames = options.frames.value_or(options.scriptPath.empty() ? 1 : 0);
    if (frames > 0)
        script.push_back(ScriptCommand{
            .kind = ScriptCommand::Kind::Frames, .count = frames, .path = {}, .text = {}});
    if (!options.shotPath.empty())
        script.push_back(
            ScriptCommand{.kind = ScriptCommand::Kind::Shot, .path = options.shotPath, .text = {}});
    return true;
}

// The sound device: a WAV file when asked for (its fate in `recording`), else the sound
// card (or, headless, none).
std::function<std::unique_ptr<platform::WaveOut>()> SoundDevice(
    const app::Options& options, const std::shared_ptr<platform::RecordingOutcome>& recording) {
    std::string wav = options.audioOutPath;
    bool headless = options.headless;
    std::string name = options.outputDevice;
    return [wav, headless, name, recording]() -> std::unique_ptr<platform::WaveOut> {
        if (!wav.empty()) return std::make_unique<platform::WavFileWaveOut>(wav, recording);
        if (headless) return std::make_unique<platform::NullWaveOut>();
        return std::make_unique<platform::SdlWaveOut>(name);
    };
}

// The microphone: the --mic recording when there is one, else the SDL device (headless:
// none).
using Samples = std::shared_ptr<const std::vector<std::int16_t>>;
std::function<std::unique_ptr<platform::WaveIn>()> Microphone(const app::Options& options,
                                                              Samples mic) {
    if (mic) {
        return [mic] { return std::make_unique<platform::RecordingWaveIn>(mic, MIC_RATE); };
    }
    if (options.headless) return {};
    return [name = options.inputDevice] { return std::make_unique<platform::SdlWaveIn>(name); };
}

// Everything the run reads or opens by name, tried before any window opens: the --mic
// recording (read whole into `mic`) and the named sound devices.
bool CheckInputs(const app::Options& options, Samples& mic) {
    if (!options.micPath.empty()) {
        std::string error;
        auto samples = platform::ReadRecording(options.micPath, MIC_RATE, error);
        if (!samples) {
            std::fprintf(stderr, "fretlore: --mic: %s\n", error.c_str());
            return false;
        }
        mic = std::make_shared<const std::vector<std::int16_t>>(std::move(*samples));
    }
    for (bool capture : {false, true}) {
        const std::string& name = capture ? options.inputDevice : options.outputDevice;
        if (name.empty()) continue;
        if (std::string error = CheckSoundDevice(capture, name); !error.empty()) {
            std::fprintf(stderr, "fretlore: %s\n", error.c_str());
            return false;
        }
    }
    return true;
}

// Files the run is to write, tried before it starts rather than lost at its end.
bool CheckOutputs(const app::Options& options) {
    const std::pair<const char*, const std::string*> outputs[] = {
        {"--audio-out", &options.audioOutPath}, {"--shot", &options.shotPath}};
    for (const auto& [option, path] : outputs) {
        if (path->empty()) continue;
        if (std::string error = platform::SafeFileWriter::Check(*path); !error.empty()) {
            std::fprintf(stderr, "fretlore: %s: %s\n", option, error.c_str());
            return false;
        }
    }
    return true;
}

// The exit code once the program has ended, with the recording's fate on stderr.
int Outcome(int result, const app::Options& options, const platform::RecordingOutcome& recording) {
    if (options.audioOutPath.empty() || recording.Written()) return result;
    std::string error = recording.Error();
    if (error.empty()) error = "no sound was recorded to " + options.audioOutPath;
    std::fprintf(stderr, "fretlore: --audio-out failed: %s\n", error.c_str());
    return result != 0 ? result : 1;
}

// `settings`, when given, are put back after the title screen and hold how the program
// was left when it ends (unchanged when it ended on the title). A capo or spelling given on
// the command line wins over the remembered one.
int RunGame(app::Host& host, const app::Options& options,
            std::optional<app::Settings>* settings = nullptr) {
    app::MyGame game;
    game.startSequence = options.sequencePath;
    // Before the screen is built, so that the lists start with their names spelled.
    if (options.spelling) game.spelling = *options.spelling;
    // Given on the command line, A4 holds for this run only and is not remembered.
    bool pitchGiven = options.a4 || options.a4Sound;
    auto givenPitch = [&](const app::Settings& s) {
        game.SetConcertPitch(options.a4.value_or(s.a4), options.a4Sound || s.a4Sound);
    };
    std::optional<app::Settings> loaded = settings ? *settings : std::nullopt;
    givenPitch(loaded.value_or(app::Settings{}));
    if (auto* headless = dynamic_cast<platform::headless::HeadlessBackend*>(&host.backend)) {
        headless->SetStateWriter([&game](const std::string& path, std::string& error) {
            error = game.WriteState(path);
            return error.empty();
        });
    }
    bool restored = false;
    int result = app::ProgramMain(game, host, [&] {
        game.player.StartPlayer();
        game.StartCapture();
        if (!game.ShowTitleScreen()) return;
        if (settings) {
            if (*settings) game.ApplySettings(**settings);
            if (pitchGiven) givenPitch(loaded.value_or(app::Settings{}));
            restored = true;
        }
        if (options.capo) game.SetCapo(*options.capo);
    });
    if (restored) {
        *settings = game.CurrentSettings();
        (*settings)->a4 = loaded.value_or(app::Settings{}).a4;
        (*settings)->a4Sound = loaded.value_or(app::Settings{}).a4Sound;
    }
    return result;
}

int RunHeadless(const app::Options& options) {
    std::vector<ScriptCommand> script;
    Samples mic;
    if (!BuildScript(options, script) || !CheckOutputs(options) || !CheckInputs(options, mic))
        return 2;
    platform::headless::HeadlessBackend backend;
    backend.SetScript(std::move(script));
    auto recording = std::make_shared<platform::RecordingOutcome>();
    app::Host host{backend, gfx::headless::displayFactory(), SoundDevice(options, recording),
                   Microphone(options, mic)};
    int result = RunGame(host, options);
    return Outcome(backend.Failures() > 0 ? 1 : result, options, *recording);
}

int RunWindowed(const app::Options& options) {
    Samples mic;
    if (!CheckOutputs(options) || !CheckInputs(options, mic)) return 2;
    std::string settingsPath = app::SettingsPath();
    app::SettingsFile file = app::ReadSettingsFile(settingsPath);
    std::optional<app::Settings> settings = file.settings;
    // Before the screens are built: the Tuning list shows the user's tunings after ours.
    app::InstallUserTunings({{}, file.tunings, file.tuningsLine}, "fretlore", settingsPath,
                            std::cerr);
    int scale = options.scaleGiven || !settings ? options.scale : settings->scale;
    std::string error;
    auto backend = platform::sdl::SdlBackend::Create(scale, error);
    if (!backend) {
        std::fprintf(stderr,
                     "fretlore: no display available (%s); run headless with 'fretlore --headless "
                     "--script FILE' "
                     "or under a virtual display with 'xvfb-run -a fretlore'\n",
                     error.c_str());
        return 1;
    }
    auto recording = std::make_shared<platform::RecordingOutcome>();
    app::Host host{*backend, gfx::sdl::displayFactory(), SoundDevice(options, recording),
                   Microphone(options, mic)};
    if (settings && settings->windowX && settings->windowY)
        backend->SetInitialPosition(*settings->windowX, *settings->windowY);
    std::optional<app::Settings> remembered = settings;
    // A spelling given on the command line wins over the remembered one and is remembered.
    if (settings && options.spelling) settings->spelling = *options.spelling;
    int result = RunGame(host, options, &settings);
    // Written at exit, whole or not at all; a damaged file read at start is replaced.
    if (auto placement = backend->LastPlacement()) {
        if (!settings) settings = app::Settings{};
        settings->scale = placement->scale;
        settings->windowX = placement->x;
        settings->windowY = placement->y;
    }
    // The user's tunings go back as they were found, even when the rest was refused.
    if (settings) settings->tunings = file.tunings;
    if (settings && settings != remembered && file.replaceable)
        app::SaveSettings(settingsPath, *settings);
    return Outcome(result, options, *recording);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const Subcommand& command : SUBCOMMANDS) {
        if (!args.empty() && args[0] == command.name)
            return command.run(std::span<const std::string>(args).subspan(1), std::cout, std::cerr);
    }
    std::string error;
    auto options = app::ParseCommandLine(args, error);
    if (!options) {
        std::fprintf(stderr, "fretlore: %s (see fretlore --help)\n", error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(app::USAGE, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("%s\n", app::VERSION_TEXT);
        return 0;
    }
    platform::SetResourceTable(res::EmbeddedResources());
    // Dates in file lists follow the user's order of day and month; nothing else of the
    // locale applies, so numbers in files and messages stay as they are everywhere.
    std::setlocale(LC_TIME, "");
    // A recording into a pipe whose reader has gone is a failed write to report, not a
    // silent end. (The subcommands, pipeline tools, end quietly as such tools do.)
    std::signal(SIGPIPE, SIG_IGN);
    return options->headless ? RunHeadless(*options) : RunWindowed(*options);
}
