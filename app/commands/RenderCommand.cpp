#include "app/commands/RenderCommand.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "platform/audio/WavFile.h"
#include "sound/Mixer.h"
#include "sound/PolySynth.h"
#include "sound/Sampler.h"

namespace {

constexpr std::uint32_t RATE = 22050;
constexpr int VELOCITY = 56;  // as the chord player strums
// Open notes of standard tuning, string 0 (low E) first; note 69 is each string's own
// open note, so a fret is simply added to 69.
constexpr int STRING_COUNT = 6;
constexpr int MAX_FRET = 24;
constexpr std::uint32_t MAX_TAIL_MS = 10000;

const char* const USAGE =
    "usage: fretlore render (--string S --fret F | --patch FILE --note N) [--ms D] --out FILE.wav\n"
    "  --string S --fret F  string 0 (low E) .. 5 (high E) at fret 0..24, with that string's\n"
    "                       instrument g<S+1>.sampler from the program folder\n"
    "  --patch FILE         any .poly or .sampler patch, played at --note N (0..127)\n"
    "  --ms D               how long the note is held before it is released (default 100)\n"
    "  --out FILE.wav       the WAV file to write, 22050 Hz mono 16-bit\n";

struct Options {
    std::optional<int> string, fret, note;
    std::optional<std::string> patch, outPath;
    int holdMs = 100;
};

std::optional<int> ParseInt(const std::string& text) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Fills `options`; returns "" or the one-line error.
std::string Parse(std::span<const std::string> args, Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        static const char* const KNOWN[] = {"--string", "--fret",  "--note",
                                            "--ms",     "--patch", "--out"};
        if (std::find(std::begin(KNOWN), std::end(KNOWN), word) == std::end(KNOWN))
            return "unknown option '" + word + "'";
        if (i + 1 >= args.size()) return word + " needs a value";
        const std::string& value = args[++i];
        auto number = [&](std::optional<int>& into, int lo, int hi) -> std::string {
            into = ParseInt(value);
            if (!into || *into < lo || *into > hi) {
                return word + " must be a whole number from " + std::to_string(lo) + " to " +
                       std::to_string(hi) + ", not '" + value + "'";
            }
            return {};
        };
        std::string error;
        if (word == "--string") {
            error = number(o.string, 0, STRING_COUNT - 1);
        } else if (word == "--fret") {
            error = number(o.fret, 0, MAX_FRET);
        } else if (word == "--note") {
            error = number(o.note, 0, 127);
        } else if (word == "--ms") {
            std::optional<int> ms;
            error = number(ms, 1, 60000);
            if (ms) o.holdMs = *ms;
        } else if (word == "--patch") {
            o.patch = value;
        } else {
            o.outPath = value;
        }
        if (!error.empty()) return error;
    }
    if (!o.outPath) return "--out FILE.wav is required";
    if (o.patch.has_value() == o.string.has_value())
        return "give either --string S --fret F or --patch FILE --note N";
    if (o.string && !o.fret) return "--string needs --fret";
    if (o.patch && !o.note) return "--patch needs --note";
    if ((o.string && o.note) || (o.patch && o.fret))
        return "--note goes with --patch, --fret with --string";
    return {};
}

std::filesystem::path ProgramFolder() {
    if (const char* home = std::getenv("FRETLORE_HOME"); home && *home) return home;
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : exe.parent_path();
}

// Renders whole blocks until at least `frames` have been written: like the live program,
// a note changes only between blocks.
void RenderFor(sound::Mixer& mixer, platform::WavWriter& wav, std::vector<std::int16_t>& block,
               std::uint64_t frames) {
    for (std::uint64_t done = 0; done < frames; done += block.size()) {
        mixer.RenderBlock(block);
        wav.Write(block);
    }
}

// Renders the release until the mixer falls silent for good, or for at most MAX_TAIL_MS.
void RenderTail(sound::Mixer& mixer, platform::WavWriter& wav, std::vector<std::int16_t>& block) {
    const std::uint64_t limit = std::uint64_t{RATE} * MAX_TAIL_MS / 1000;
    int silentBlocks = 0;
    for (std::uint64_t done = 0; done < limit && silentBlocks < 4; done += block.size()) {
        mixer.RenderBlock(block);
        bool silent =
            std::all_of(block.begin(), block.end(), [](std::int16_t v) { return v == 0; });
        silentBlocks = silent ? silentBlocks + 1 : 0;
        wav.Write(block);
    }
}

}  // namespace

int RunRenderCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        out << USAGE;
        return 0;
    }
    Options o;
    if (std::string error = Parse(args, o); !error.empty()) {
        err << "fretlore render: " << error << " (see fretlore render --help)\n";
        return 2;
    }
    sound::Mixer mixer;
    if (!mixer.Open(RATE, false, STRING_COUNT, nullptr)) {
        err << "fretlore render: " << mixer.LastError() << "\n";
        return 2;
    }
    std::unique_ptr<sound::PolySynth> instrument;
    int note = 0;
    std::uint32_t channel = 0;
    if (o.string) {
        channel = static_cast<std::uint32_t>(*o.string);
        auto sampler = std::make_unique<sound::Sampler>();
        mixer.AttachInstrument(sampler.get(), channel);
        auto path = ProgramFolder() / sound::StringPatchName(*o.string);
        std::string message;
        if (!sound::SetUpStringInstrument(*sampler, path, message)) {
            err << "fretlore render: " << message << "\n";
        }
        instrument = std::move(sampler);
        note = 69 + *o.fret;
    } else {
        std::filesystem::path path = *o.patch;
        if (path.extension() == ".sampler") {
            instrument = std::make_unique<sound::Sampler>();
        } else if (path.extension() == ".poly") {
            instrument = std::make_unique<sound::PolySynth>();
        } else {
            err << "fretlore render: " << path.string()
                << " is neither a .poly nor a .sampler patch\n";
            return 2;
        }
        mixer.AttachInstrument(instrument.get(), channel);
        if (std::string error = sound::LoadPatchFile(*instrument, path); !error.empty()) {
            err << "fretlore render: " << error << "\n";
            return 2;
        }
        note = *o.note;
    }
    platform::WavWriter wav;
    if (std::string error = wav.Open(*o.outPath, RATE, 1); !error.empty()) {
        err << "fretlore render: " << error << "\n";
        return 2;
    }
    std::vector<std::int16_t> block(mixer.FramesPerBlock());
    instrument->NoteOn(note, VELOCITY);
    RenderFor(mixer, wav, block, std::uint64_t{RATE} * static_cast<std::uint64_t>(o.holdMs) / 1000);
    instrument->NoteOff(note);
    RenderTail(mixer, wav, block);
    mixer.DetachInstrument(channel);
    if (std::string error = wav.Finish(); !error.empty()) {
        err << "fretlore render: " << error << "\n";
        return 2;
    }
    out << "wrote " << *o.outPath << "\n";
    return 0;
}
