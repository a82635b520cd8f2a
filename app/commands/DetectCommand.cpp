#include "app/commands/DetectCommand.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <optional>
#include <ostream>
#include <vector>

#include "app/commands/CommandOptions.h"
#include "detect/Listener.h"
#include "platform/audio/Recording.h"

namespace {

constexpr std::string_view USAGE =
    "usage: fretlore detect FILE [--notes] [--trigger N] [--a4 HZ] [--nr] [--spelling S]\n"
    "                            [--json]\n";

constexpr std::string_view HELP =
    "Reads a recording (WAV, FLAC, Ogg, MP3; any rate, mixed to mono and brought to 8000 Hz)\n"
    "through the Chord Detection mode's analyser and detector, one line per 256 ms buffer,\n"
    "then the reading found most often.\n"
    "\n"
    "  --notes      name single notes (with octave, frequency and cents), not chords\n"
    "  --trigger N  the level (0-96 dB above the floor) a pitch class must reach; 30 by default\n"
    "  --a4 HZ      the pitch of A4 (415-466 Hz) notes and cents are read against; 440 by\n"
    "               default\n"
    "  --nr         take the first buffer as the noise profile, as the NR button does\n"
    "  --spelling S how notes are written: sharps (default), flats, or key (a chord in its\n"
    "               own key, a note as the tonic of its major key: Db, Eb, F#, Ab, Bb)\n"
    "  --json       one JSON object per buffer instead of text\n";

struct DetectOptions {
    std::string file;
    bool notes = false;
    bool nr = false;
    bool json = false;
    bool help = false;
    std::int32_t trigger = detect::DEFAULT_TRIGGER;
    theory::Spelling spelling = theory::Spelling::Sharps;
    std::int32_t a4 = detect::STANDARD_A4;
};

std::string Fixed(double value, int decimals) {
    std::array<char, 32> digits{};
    auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                             std::chars_format::fixed, decimals)
                   .ptr;
    return std::string(digits.data(), end);
}

bool ParseArgs(std::span<const std::string> args, DetectOptions& options, std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "--notes") {
            options.notes = true;
        } else if (word == "--nr") {
            options.nr = true;
        } else if (word == "--json") {
            options.json = true;
        } else if (word == "--trigger" || word == "--a4") {
            bool trigger = word == "--trigger";
            const std::string value = i + 1 < args.size() ? args[++i] : "";
            auto number = trigger
                              ? commands::NumberIn(value, 0, 96)
                              : commands::NumberIn(value, detect::LOWEST_A4, detect::HIGHEST_A4);
            if (!number) {
                err << (trigger ? "fretlore detect: --trigger needs a level from 0 to 96\n"
                                : "fretlore detect: --a4 needs a pitch from 415 to 466 Hz\n");
                return false;
            }
            (trigger ? options.trigger : options.a4) = *number;
        } else if (word == "--spelling") {
            auto spelling = theory::ParseSpelling(i + 1 < args.size() ? args[++i] : "");
            if (!spelling) {
                err << "fretlore detect: --spelling needs sharps, flats or key\n";
                return false;
            }
            options.spelling = *spelling;
        } else if (word.starts_with("-")) {
            err << "fretlore detect: unknown option '" << word
                << "' (options: --notes, --trigger N, --a4 HZ, --nr, --spelling S, --json, "
                   "--help)\n";
            return false;
        } else if (options.file.empty()) {
            options.file = word;
        } else {
            err << "fretlore detect: one recording at a time ('" << word << "' is a second); "
                << "see fretlore detect --help\n";
            return false;
        }
    }
    if (!options.help && options.file.empty()) {
        err << "fretlore detect: a recording is needed; see fretlore detect --help\n";
        return false;
    }
    return true;
}

void WriteJson(std::ostream& out, double start, const detect::Listener& listener, bool notes) {
    const detect::DetectionResult& r = listener.Result();
    out << "{\"t\": " << Fixed(start, 3) << ", \"peak\": " << listener.Peak()
        << ", \"detected\": " << (r.detected ? "true" : "false") << ", \"text\": \""
        << commands::PlainText(r.text) << "\", \"levels\": [";
    for (std::size_t p = 0; p < r.pitchClassLevel.size(); ++p)
        out << (p ? ", " : "") << Fixed(r.pitchClassLevel[p], 1);
    out << "]";
    if (!notes) {
        out << ", \"root\": " << (r.detected ? r.root : -1)
            << ", \"chordType\": " << (r.detected ? r.chordType : -1) << "}\n";
        return;
    }
    if (!r.detected) {
        out << ", \"name\": null, \"octave\": null, \"frequency\": null, \"cents\": null}\n";
        return;
    }
    const detect::NoteReading& note = listener.Reading();
    out << ", \"name\": \"" << commands::PlainText(note.name)
        << "\", \"octave\": " << note.octaveOffset + 4
        << ", \"frequency\": " << Fixed(note.frequency, 1) << ", \"cents\": " << note.cents
        << "}\n";
}

int Finish(std::ostream& out, std::ostream& err) {
    out.flush();
    if (out) return 0;
    err << "fretlore detect: could not write the output\n";
    return 1;
}

}  // namespace

int RunDetectCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    DetectOptions options;
    if (!ParseArgs(args, options, err)) return 2;
    if (options.help) {
        out << USAGE << '\n' << HELP;
        return Finish(out, err);
    }
    std::string error;
    auto samples = platform::ReadRecording(options.file, detect::CAPTURE_RATE, error);
    if (!samples) {
        err << "fretlore detect: " << error << '\n';
        return 2;
    }
    detect::Listener listener;
    listener.triggerLevel = options.trigger;
    listener.spelling = options.spelling;
    listener.SetConcertPitch(options.a4);
    if (options.nr) listener.RequestNoiseCapture();
    // Whole buffers from the first sample; a partial last one is left out.
    const std::size_t size = detect::CAPTURE_SAMPLES;
    std::map<std::string, int> counts;
    int buffers = 0;
    for (std::size_t at = 0; at + size <= samples->size(); at += size, ++buffers) {
        listener.Process(std::span(*samples).subspan(at, size), !options.notes);
        const double start = static_cast<double>(at) / detect::CAPTURE_RATE;
        const std::string text = commands::PlainText(listener.Result().text);
        if (!text.empty()) ++counts[text];
        if (options.json)
            WriteJson(out, start, listener, options.notes);
        else
            out << Fixed(start, 3) << (text.empty() ? "" : " ") << text << '\n';
    }
    if (!options.json) {
        auto most =
            std::max_element(counts.begin(), counts.end(),
                             [](const auto& a, const auto& b) { return a.second < b.second; });
        if (most == counts.end())
            out << "most often: nothing detected in " << buffers << " buffers\n";
        else
            out << "most often: " << most->first << " (" << most->second << " of " << buffers
                << " buffers)\n";
    }
    return Finish(out, err);
}
