#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "theory/CurrentTuning.h"

namespace app {

const char* const USAGE =
    "usage: fretlore [FILE.seq] [--scale N] [--capo K] [--spelling S] [--mic FILE]\n"
    "                [--audio-out FILE.wav] [--input-device NAME] [--output-device NAME]\n"
    "                [--a4 HZ] [--a4-sound]\n"
    "       fretlore --headless [FILE.seq] [--script FILE] [--frames N] [--shot FILE.png]\n"
    "                [--capo K] [--spelling S] [--mic FILE] [--audio-out FILE.wav]\n"
    "                [--a4 HZ] [--a4-sound]\n"
    "       fretlore chords|detect|devices|name|render|sheet ... (each with --help)\n"
    "\n"
    "  FILE.seq            start in the Chord Sequencer with this sequence loaded\n"
    "  --scale N           window scale (1-8; default 2: a 480 x 640 window)\n"
    "  --capo K            start with a capo at fret K (0-11; 0 is none); the keys ] and [\n"
    "                      move it up and down in Guitar Chords, Chord Sequencer and\n"
    "                      Chord Groups\n"
    "  --mic FILE          listen to a recording (WAV, FLAC, Ogg, MP3) instead of the\n"
    "                      microphone, in real time, looped; headless runs too\n"
    "  --input-device NAME   the microphone to listen to, by the name 'fretlore devices' gives\n"
    "  --output-device NAME  the sound card to play through, by the name 'fretlore devices' gives\n"
    "  --audio-out FILE    write the sound to a WAV file instead of the sound card\n"
    "  --spelling S        how note names are written: sharps (the default), flats, or key\n"
    "                      (as the key's signature spells them: F major shows Bb, D major\n"
    "                      F#); the N key cycles through them; remembered like the screens\n"
    "  --a4 HZ             the pitch of A4 (415-466; default 440) the note detection and its\n"
    "                      tuning indicator read against, for this run\n"
    "  --a4-sound          tune the strings to that A4 as well, for playing along with a band\n"
    "                      tuned elsewhere\n"
    "  --headless          run without a window or devices\n"
    "  --script FILE       feed input from a script (tap, down, move, up, key, wait, frames,\n"
    "                      shot, state, quit); the end of the script quits\n"
    "  --frames N          run N frames (after the script, if any), then quit\n"
    "  --shot FILE.png     save the last frame (240 x 320) when the run ends\n"
    "  --version           print the name and version\n"
    "  --help              show this text\n";

const char* const VERSION_TEXT = "Fretlore 1.03";

namespace {
// A path the file manager hands over: anything not an option that ends in ".seq".
bool IsSequencePath(const std::string& arg) {
    constexpr std::string_view ext = ".seq";
    if (arg.empty() || arg[0] == '-' || arg.size() <= ext.size()) return false;
    return std::equal(
        ext.begin(), ext.end(), arg.end() - static_cast<std::ptrdiff_t>(ext.size()),
        [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

bool ParseUnsigned(const std::string& text, unsigned& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}
}  // namespace

std::optional<Options> ParseCommandLine(std::span<const std::string> args, std::string& error) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--script") {
            if (!value(options.scriptPath)) return std::nullopt;
        } else if (arg == "--shot") {
            if (!value(options.shotPath)) return std::nullopt;
        } else if (arg == "--mic") {
            if (!value(options.micPath)) return std::nullopt;
        } else if (arg == "--audio-out") {
            if (!value(options.audioOutPath)) return std::nullopt;
        } else if (arg == "--input-device") {
            if (!value(options.inputDevice)) return std::nullopt;
        } else if (arg == "--output-device") {
            if (!value(options.outputDevice)) return std::nullopt;
        } else if (arg == "--capo") {
            unsigned n = 0;
            if (!value(text)) return std::nullopt;
            if (!ParseUnsigned(text, n) || n > static_cast<unsigned>(theory::MAX_CAPO)) {
                error = "bad value '" + text + "' for --capo (a fret from 0 to 11)";
                return std::nullopt;
            }
            options.capo = static_cast<int>(n);
        } else if (arg == "--spelling") {
            if (!value(text)) return std::nullopt;
            options.spelling = theory::ParseSpelling(text);
            if (!options.spelling) {
                error = "bad value '" + text + "' for --spelling (sharps, flats or key)";
                return std::nullopt;
            }
        } else if (arg == "--frames" || arg == "--scale") {
            unsigned n = 0;
            if (!value(text)) return std::nullopt;
            bool isScale = arg == "--scale";
            if (!ParseUnsigned(text, n) || (isScale && (n < 1 || n > 8)) ||
                (!isScale && n > 1000000)) {
                error = "bad value '" + text + "' for " + arg;
                return std::nullopt;
            }
            if (isScale) {
                options.scale = static_cast<int>(n);
                options.scaleGiven = true;
            } else {
                options.frames = n;
            }
        } else if (arg == "--a4") {
            unsigned hz = 0;
            if (!value(text)) return std::nullopt;
            if (!ParseUnsigned(text, hz) || hz < 415 || hz > 466) {
                error = "bad value '" + text + "' for --a4 (415 to 466 Hz)";
                return std::nullopt;
            }
            options.a4 = static_cast<int>(hz);
        } else if (arg == "--a4-sound") {
            options.a4Sound = true;
        } else if (IsSequencePath(arg) && options.sequencePath.empty()) {
            options.sequencePath = arg;
        } else if (IsSequencePath(arg)) {
            error = "one sequence file at a time: '" + options.sequencePath + "' and '" + arg + "'";
            return std::nullopt;
        } else {
            error = "unknown option '" + arg + "'";
            return std::nullopt;
        }
    }
    if (!options.headless &&
        (!options.scriptPath.empty() || !options.shotPath.empty() || options.frames)) {
        error = "--script, --shot and --frames need --headless";
        return std::nullopt;
    }
    if (options.headless && (!options.inputDevice.empty() || !options.outputDevice.empty())) {
        error =
            "--input-device and --output-device need a window: headless runs open no sound "
            "devices";
        return std::nullopt;
    }
    return options;
}

}  // namespace app
