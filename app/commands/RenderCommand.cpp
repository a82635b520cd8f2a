#include "app/commands/RenderCommand.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "app/commands/RenderChords.h"
#include "platform/audio/WavFile.h"
#include "sound/Mixer.h"
#include "sound/PolySynth.h"
#include "sound/Sampler.h"

namespace {

using rendercmd::RATE;
constexpr int VELOCITY = 56;  // as the chord player strums
// Open notes of standard tuning, string 0 (low E) first; note 69 is each string's own
// open note, so a fret is simply added to 69.
constexpr int STRING_COUNT = 6;
constexpr int MAX_FRET = 24;

const char* const USAGE =
    "usage: fretlore render (--string S --fret F | --patch FILE --note N) [--ms D] --out FILE.wav\n"
    "       fretlore render --seq FILE.seq [--loops N] [--style 0|1|2] [--twelve] [--tuning T]\n"
    "                       --out FILE.wav\n"
    "       fretlore render --strum ROOT TYPE [--tuning T] [--shape N] [--split] [--twelve]\n"
    "                       --out FILE.wav\n"
    "  --string S --fret F  string 0 (low E) .. 5 (high E) at fret 0..24, with that string's\n"
    "                       instrument g<S+1>.sampler from the program folder\n"
    "  --patch FILE         any .poly or .sampler patch, played at --note N (0..127)\n"
    "  --ms D               how long the note is held before it is released (default 100)\n"
    "  --seq FILE.seq       a sequence, played as the Chord Sequencer plays it: each step's\n"
    "                       chord picked as an arpeggio, a note every 250 ms\n"
    "  --loops N            play the sequence N times, 1..100 (default 1)\n"
    "  --style P            picking pattern: 0 (8 notes a bar), 1 (6, the default), 2 (12)\n"
    "  --twelve             every note also an octave higher, as a twelve-string guitar\n"
    "  --strum ROOT TYPE    one strum of a chord: a note name (C, F#, Bb) and a chord type\n"
    "                       (Major, m7, \"M7\", ...)\n"
    "  --shape N            which of the chord's shapes, as the Inversion list numbers them\n"
    "                       (default 1)\n"
    "  --split              allow split chords when finding the shapes\n"
    "  --tuning T           a tuning name (\"Drop D\"), its six notes (DADGBE) or its index,\n"
    "                       one of your own tunings by name, or six notes with octaves\n"
    "                       (\"D2 A2 D3 G3 A3 D4\"); default Standard\n"
    "  --out FILE.wav       the WAV file to write, 22050 Hz mono 16-bit\n"
    "The strings' instruments g1..g6.sampler are read from the program folder.\n";

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

// Renders whole blocks until at least `frames` have been written: like the live program,
// a note changes only between blocks.
void RenderFor(sound::Mixer& mixer, platform::WavWriter& wav, std::vector<std::int16_t>& block,
               std::uint64_t frames) {
    for (std::uint64_t done = 0; done < frames; done += block.size()) {
        mixer.RenderBlock(block);
        wav.Write(block);
    }
}

}  // namespace

int RunRenderCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        out << USAGE;
        return 0;
    }
    if (rendercmd::IsChordRender(args)) return rendercmd::RunChordRender(args, out, err);
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
        auto path = rendercmd::ProgramFolder() / sound::StringPatchName(*o.string);
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
    rendercmd::RenderTail(mixer, wav, block);
    mixer.DetachInstrument(channel);
    if (std::string error = wav.Finish(); !error.empty()) {
        err << "fretlore render: " << error << "\n";
        return 2;
    }
    out << "wrote " << *o.outPath << "\n";
    return 0;
}
