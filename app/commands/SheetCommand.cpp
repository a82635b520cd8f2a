#include "app/commands/SheetCommand.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "app/SequenceFile.h"
#include "app/commands/CommandOptions.h"
#include "app/commands/SheetFiles.h"
#include "theory/ChordSearch.h"

using namespace theory;

namespace {

constexpr std::string_view HELP =
    "usage: fretlore sheet FILE.seq --pdf FILE [--svg FILE] [--png FILE] [--tuning NAME|INDEX]\n"
    "                      [--capo K] [--left]\n"
    "\n"
    "Draws a chord sequence as a chord sheet, ready to print: each step's shape as the\n"
    "player picks it (its root, chord type, split flag and shape number, found again in\n"
    "the tuning), in order, with the step's length under it.\n"
    "\n"
    "  --pdf FILE       A4 pages, twelve chord boxes a page, the title on each\n"
    "  --svg FILE       one SVG picture holding every step\n"
    "  --png FILE       one PNG image holding every step (144 pixels an inch)\n"
    "                   (at least one of the three; any combination)\n"
    "  --tuning T       a tuning name, its six notes from the lowest string, or its index\n"
    "                   as 'fretlore chords --help' lists them; \"Standard\" by default\n"
    "  --capo K         a capo at fret K (0-11); frets count from the capo\n"
    "  --left           left-handed boxes (strings mirrored)\n"
    "  --help           show this text\n";

struct SheetOptions {
    std::vector<std::string> words;  // FILE.seq
    std::optional<std::string> tuningText;
    std::optional<std::string> capoText;
    commands::SheetPaths paths;
    bool left = false;
    bool help = false;
};

int Fail(std::ostream& err, std::string_view message) {
    err << "fretlore sheet: " << message << "\n";
    return 2;
}

std::string ParseArgs(std::span<const std::string> args, SheetOptions& options) {
    commands::OptionTable table{.flags = {{"--left", &options.left}},
                                .valued = {{"--tuning", "NAME|INDEX", &options.tuningText},
                                           {"--capo", "K", &options.capoText}},
                                .help = &options.help};
    commands::AddSheetOptions(table, options.paths);
    if (std::string error = commands::ParseOptions(args, table, options.words); !error.empty())
        return error;
    if (options.help) return {};
    if (options.words.size() != 1) return "one sequence file is needed (FILE.seq)";
    if (!options.paths.Any()) return "nothing to draw into: give --pdf, --svg or --png FILE";
    return {};
}

// One box for a step: the shape the player would pick, found again on these strings.
sheet::SheetBox StepBox(const SequenceStep& step, const StringTuning& strings) {
    VoicingList list;
    FindVoicings(step.root, step.chordType, strings, step.split != 0, list);
    std::string name = commands::PlainText(NoteNames[step.root]) + " " +
                       std::string(ChordTypes[step.chordType].shortName) + " — ";
    sheet::SheetBox box{name, LengthText(step.length), std::nullopt};
    if (step.inversion < list.count) {
        box.name += commands::PlainText(
            InversionItemText(step.inversion, step.root, list.items[step.inversion]));
        box.voicing = list.items[step.inversion];
    } else {
        // The step was added in another tuning, whose list was longer.
        box.name += "no shape " + std::to_string(step.inversion + 1) + " here";
    }
    return box;
}

// True when one of the drawings would be written over the sequence it is drawn from.
bool WritesOverSequence(const std::string& sequencePath, const commands::SheetPaths& paths) {
    for (const std::optional<std::string>& path : {paths.pdf, paths.svg, paths.png}) {
        std::error_code error;
        if (path && std::filesystem::equivalent(*path, sequencePath, error)) return true;
    }
    return false;
}

sheet::Sheet SequenceSheet(const std::string& path, const Sequence& sequence,
                           const commands::Instrument& instrument, bool left) {
    sheet::Sheet page;
    page.title = std::filesystem::path(path).filename().string() + " — " +
                 commands::TuningName(instrument.tuning) + " tuning" +
                 commands::CapoNote(instrument);
    page.stringNames = commands::StringNames(instrument);
    page.leftHanded = left;
    StringTuning strings = instrument.Strings();
    for (int i = 0; i < sequence.count; ++i)
        page.boxes.push_back(StepBox(sequence.steps[i], strings));
    return page;
}

}  // namespace

int RunSheetCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    SheetOptions options;
    if (std::string error = ParseArgs(args, options); !error.empty())
        return Fail(err, error + " (see fretlore sheet --help)");
    if (options.help) {
        out << HELP;
        return commands::FinishOutput("sheet", out, err);
    }
    commands::Instrument instrument;
    std::string error = commands::ResolveInstrument(options.tuningText, options.capoText,
                                                    instrument, "fretlore sheet", err);
    if (!error.empty()) return Fail(err, error);
    const std::string& path = options.words[0];
    Sequence sequence;
    app::SequenceLoadResult loaded = app::LoadSequenceFile(path, sequence);
    if (loaded.outcome != app::SequenceLoad::LOADED) return Fail(err, loaded.reason);
    if (sequence.count == 0) return Fail(err, path + " holds no steps");
    if (WritesOverSequence(path, options.paths))
        return Fail(err, "the sheet would be written over " + path);
    int code = commands::WriteSheetFiles(
        "sheet", SequenceSheet(path, sequence, instrument, options.left), options.paths, out, err);
    return code != 0 ? code : commands::FinishOutput("sheet", out, err);
}
