#include "app/commands/ChordsCommand.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "app/commands/CommandOptions.h"
#include "app/commands/SheetFiles.h"
#include "theory/ChordSearch.h"
#include "theory/Names.h"
#include "theory/Spelling.h"

using namespace theory;

namespace {

constexpr std::string_view USAGE =
    "usage: fretlore chords ROOT TYPE [--tuning NAME|INDEX] [--capo K] [--split] [--left]\n"
    "                               [--spelling S] [--json]\n"
    "       fretlore chords CHORD [--tuning NAME|INDEX] [--capo K] [--split] [--left]\n"
    "                             [--spelling S] [--json]\n"
    "       fretlore chords ROOT TYPE [--pdf FILE] [--svg FILE] [--png FILE] [options]\n"
    "       fretlore chords --all --json\n";

constexpr std::string_view SEE_HELP = "see fretlore chords --help";

constexpr std::string_view HELP =
    "Lists every playable shape of a chord, at most 24, in the finder's order.\n"
    "\n"
    "  ROOT             a note name: C, C#, Db, D, ... B (sharps or flats)\n"
    "  TYPE             a chord type as listed below (\"Major\", \"m7\", \"-5\", ...), in any\n"
    "                   case, or as chord sheets write it (\"M7\", \"min\", \"7b9\", \"+\")\n"
    "  CHORD            root and type as one word: Am7, C#m, Dsus4, Bbmaj7, G\n"
    "  --tuning T       a tuning name in any case (quote names with spaces; \"Drop D\" and\n"
    "                   such short forms too), its six notes from the lowest string\n"
    "                   (DADGBE), or its index, as listed below; \"Standard\" by default;\n"
    "                   or one of your own tunings by name (the [tunings] section of\n"
    "                   ~/.config/fretlore/settings.ini, one \"Name = E2 A2 D3 G3 B3 E4\"\n"
    "                   a line), or six notes with octaves (\"D2 A2 D3 G3 A3 D4\")\n"
    "  --capo K         a capo at fret K (0-11): the shapes to play behind it, their frets\n"
    "                   counted from the capo, the note names as they sound\n"
    "  --split          allow split chords: any chord note may be the bass\n"
    "  --left           draw the chord boxes left-handed (mirrored)\n"
    "  --spelling S     how notes are written: sharps (default), flats, or key (as the\n"
    "                   signature of the chord's key spells them: F Major shows Bb)\n"
    "  --json           one JSON line instead of chord boxes; frets are listed from the\n"
    "                   lowest string whatever the hand\n"
    "  --pdf FILE       draw the shapes as chord boxes on A4 pages, twelve a page\n"
    "  --svg FILE       draw them into one SVG picture\n"
    "  --png FILE       draw them into one PNG image (144 pixels an inch)\n"
    "  --all --json     one JSON line per root (0-11), type (0-43), tuning (0-15) and\n"
    "                   split (0, 1), in that nesting order\n"
    "\n"
    "Chord boxes show strings across and frets down: o an open string, x a string not\n"
    "played, the note name where a string is fretted, the first fret's number at the left.\n";

constexpr std::array<std::string_view, 17> ROOT_NAMES{
    "C", "C#", "Db", "D", "D#", "Eb", "E", "F", "F#", "Gb", "G", "G#", "Ab", "A", "A#", "Bb", "B"};

struct ChordsOptions {
    std::vector<std::string> words;  // ROOT TYPE, or CHORD
    std::optional<std::string> tuningText;
    std::optional<std::string> capoText;
    commands::SheetPaths paths;
    bool split = false;
    bool left = false;
    bool json = false;
    bool all = false;
    bool help = false;
    std::optional<Spelling> spelling;
};

struct Chord {
    PitchClass root = 0;
    int type = 0;
    commands::Instrument instrument;
};

std::string RootChoices() {
    std::string list;
    for (std::string_view name : ROOT_NAMES)
        list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

std::string TypeChoices() {
    std::string list;
    for (const ChordDef& chord : ChordTypes) {
        list += (list.empty() ? "" : ", ") + std::string(chord.shortName);
    }
    return list;
}

bool Fail(std::ostream& err, std::string_view message) {
    err << "fretlore chords: " << message << "\n";
    return false;
}

// Fills `options` from the words; on a mistake writes one line to `err` and returns false.
bool ParseArgs(std::span<const std::string> args, ChordsOptions& options, std::ostream& err) {
    std::optional<std::string> spellingText;
    commands::OptionTable table{.flags = {{"--split", &options.split},
                                          {"--left", &options.left},
                                          {"--json", &options.json},
                                          {"--all", &options.all}},
                                .valued = {{"--tuning", "NAME|INDEX", &options.tuningText},
                                           {"--capo", "K", &options.capoText},
                                           {"--spelling", "S", &spellingText}},
                                .help = &options.help};
    commands::AddSheetOptions(table, options.paths);
    if (std::string error = commands::ParseOptions(args, table, options.words); !error.empty())
        return Fail(err, error);
    if (options.words.size() > 2)
        return Fail(err,
                    "unexpected argument '" + options.words[2] + "'; " + std::string(SEE_HELP));
    if (spellingText) {
        options.spelling = ParseSpelling(*spellingText);
        if (!options.spelling) return Fail(err, "--spelling needs sharps, flats or key");
    }
    return true;
}

// The root and type from "ROOT TYPE" or from one chord symbol; on a mistake writes the
// valid choices and returns nothing.
std::optional<Chord> ResolveRootAndType(const ChordsOptions& options, std::ostream& err) {
    const std::string& first = options.words[0];
    if (options.words.size() == 1) {
        if (auto symbol = ParseChordSymbol(first)) return Chord{symbol->root, symbol->type, {}};
        err << "fretlore chords: unknown chord '" << first << "' (a root from: " << RootChoices()
            << "; then a type from: " << TypeChoices() << ")\n";
        return std::nullopt;
    }
    auto root = ParseNoteName(first);
    if (!root) {
        err << "fretlore chords: unknown root '" << first << "' (choose from: " << RootChoices()
            << ")\n";
        return std::nullopt;
    }
    auto type = ParseChordType(options.words[1]);
    if (!type) {
        err << "fretlore chords: unknown chord type '" << options.words[1]
            << "' (choose from: " << TypeChoices() << ")\n";
        return std::nullopt;
    }
    return Chord{*root, *type, {}};
}

std::optional<Chord> ResolveChord(const ChordsOptions& options, std::ostream& err) {
    if (options.words.empty()) {
        Fail(err, "a chord is needed (\"C m7\" or \"Cm7\"); " + std::string(SEE_HELP));
        return std::nullopt;
    }
    std::optional<Chord> chord = ResolveRootAndType(options, err);
    if (!chord) return chord;
    std::string error = commands::ResolveInstrument(options.tuningText, options.capoText,
                                                    chord->instrument, "fretlore chords", err);
    if (!error.empty()) {
        Fail(err, error);
        return std::nullopt;
    }
    return chord;
}

// {"root":R,"type":T,"tuning":U[,"capo":K],"split":S,"items":[{"text":..,"bass":..,"labelFret":..,
// "frets":[..]},..]} with item texts as stored ("##").
void AppendJsonLine(std::string& json, const Chord& chord, bool split, const VoicingList& list,
                    const NoteNameTable& names = NoteNames) {
    json += "{\"root\":" + std::to_string(chord.root) + ",\"type\":" + std::to_string(chord.type) +
            ",\"tuning\":" + std::to_string(chord.instrument.tuning);
    // Only with a capo, so that the lines without one stay as they always were.
    if (chord.instrument.capo > 0) json += ",\"capo\":" + std::to_string(chord.instrument.capo);
    json += ",\"split\":" + std::string(split ? "1" : "0") + ",\"items\":[";
    for (int i = 0; i < list.count; ++i) {
        const Voicing& voicing = list.items[i];
        json += i == 0 ? "{\"text\":" : ",{\"text\":";
        commands::AppendJsonString(json, InversionItemText(i, chord.root, voicing, names));
        json += ",\"bass\":" + std::to_string(voicing.bass) +
                ",\"labelFret\":" + std::to_string(voicing.labelFret) + ",\"frets\":[";
        for (int s = 0; s < STRING_COUNT; ++s) {
            if (s > 0) json += ',';
            json += std::to_string(voicing.frets[s]);
        }
        json += "]}";
    }
    json += "]}\n";
}

void WriteAllJson(std::ostream& out) {
    std::string line;
    VoicingList list;
    Chord chord;
    for (chord.root = 0; chord.root < PITCH_CLASS_COUNT; ++chord.root) {
        for (chord.type = 0; chord.type < CHORD_TYPE_COUNT; ++chord.type) {
            int& tuning = chord.instrument.tuning;
            for (tuning = 0; tuning < TUNING_COUNT; ++tuning) {
                for (bool split : {false, true}) {
                    FindVoicings(chord.root, chord.type, chord.instrument.Strings(), split, list);
                    line.clear();
                    AppendJsonLine(line, chord, split, list);
                    out << line;
                }
            }
        }
    }
}

// Each string takes a column three characters wide, enough for a name such as "F#".
constexpr int COLUMN_WIDTH = 3;
constexpr std::string_view MARGIN = "    ";

// A stored name as plain text: its sharp is the last '#' of two.
std::string_view PlainNoteName(const NoteNameTable& names, PitchClass note) {
    std::string_view name = names[note];
    return name.ends_with("##") ? name.substr(0, name.size() - 1) : name;
}

void AppendBoxRow(std::string& box, std::string_view margin,
                  const std::array<std::string_view, STRING_COUNT>& cells) {
    std::size_t start = box.size();
    box += margin;
    for (std::string_view cell : cells) {
        box += cell;
        box.append(COLUMN_WIDTH - std::min<std::size_t>(COLUMN_WIDTH, cell.size()), ' ');
    }
    while (box.size() > start && box.back() == ' ')
        box.pop_back();
    box += '\n';
}

// One chord box: the markers row, the nut (or a plain top line above fret 2 and higher),
// four fret rows from labelFret + 1 down, and the tuning's string names.
std::string ChordBox(const Voicing& voicing, const StringTuning& tuning, bool left,
                     const NoteNameTable& names) {
    auto stringAt = [left](int c) { return left ? STRING_COUNT - 1 - c : c; };
    std::array<std::string_view, STRING_COUNT> cells;
    std::string box;
    for (int c = 0; c < STRING_COUNT; ++c) {
        int fret = voicing.frets[stringAt(c)];
        cells[c] = fret == NOT_PLAYED ? "x" : fret == 0 ? "o" : "";
    }
    AppendBoxRow(box, MARGIN, cells);
    box += MARGIN;
    box.append(COLUMN_WIDTH * (STRING_COUNT - 1) + 1, voicing.labelFret == 0 ? '=' : '-');
    box += '\n';
    for (int row = 1; row <= 4; ++row) {
        int fret = voicing.labelFret + row;
        for (int c = 0; c < STRING_COUNT; ++c) {
            int s = stringAt(c);
            cells[c] =
                voicing.frets[s] == fret ? PlainNoteName(names, NoteAt(tuning, s, fret)) : "|";
        }
        std::string label = row == 1 ? std::to_string(fret) : "";
        label.insert(0, MARGIN.size() - 2 - std::min<std::size_t>(2, label.size()), ' ');
        label.append(2, ' ');
        AppendBoxRow(box, label, cells);
    }
    for (int c = 0; c < STRING_COUNT; ++c)
        cells[c] = PlainNoteName(names, tuning[stringAt(c)]);
    AppendBoxRow(box, MARGIN, cells);
    return box;
}

const NoteNameTable& ChordNames(const Chord& chord, const ChordsOptions& options) {
    return SpelledNames(options.spelling.value_or(Spelling::Sharps),
                        ChordKey(chord.root, chord.type));
}

void WriteText(std::ostream& out, const Chord& chord, const ChordsOptions& options,
               const VoicingList& list) {
    StringTuning tuning = chord.instrument.Strings();
    const ChordDef& type = ChordTypes[chord.type];
    const NoteNameTable& names = ChordNames(chord, options);
    if (chord.instrument.capo > 0) out << "capo " << chord.instrument.capo << '\n';
    out << PlainNoteName(names, chord.root) << ' ' << type.shortName << " (" << type.longName
        << "), " << commands::TuningName(chord.instrument.tuning) << " tuning"
        << (options.split ? ", split chords" : "") << (options.left ? ", left-handed" : "") << ": ";
    if (list.count == 0) {
        out << "no playable shape\n";
        return;
    }
    out << list.count << (list.count == 1 ? " shape\n" : " shapes\n");
    for (int i = 0; i < list.count; ++i) {
        out << '\n'
            << commands::PlainText(InversionItemText(i, chord.root, list.items[i], names)) << '\n';
        out << ChordBox(list.items[i], tuning, options.left, names);
    }
}

std::string ChordName(const Chord& chord, const NoteNameTable& names) {
    return std::string(PlainNoteName(names, chord.root)) + " " +
           std::string(ChordTypes[chord.type].shortName);
}

// The listed shapes as chord boxes on a sheet.
sheet::Sheet ChordSheet(const Chord& chord, const ChordsOptions& options, const VoicingList& list) {
    const NoteNameTable& names = ChordNames(chord, options);
    sheet::Sheet page;
    page.title = ChordName(chord, names) + " — " + commands::TuningName(chord.instrument.tuning) +
                 " tuning" + commands::CapoNote(chord.instrument) +
                 (options.split ? ", split chords" : "");
    page.stringNames = commands::StringNames(chord.instrument, names);
    page.leftHanded = options.left;
    for (int i = 0; i < list.count; ++i) {
        std::string item =
            commands::PlainText(InversionItemText(i, chord.root, list.items[i], names));
        page.boxes.push_back({ChordName(chord, names) + " — " + item, "", list.items[i]});
    }
    return page;
}

}  // namespace

int RunChordsCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    ChordsOptions options;
    if (!ParseArgs(args, options, err)) return 2;
    if (options.help) {
        out << USAGE << '\n'
            << HELP << "\nTypes: " << TypeChoices() << "\nTunings: " << commands::TuningChoices()
            << '\n';
        return commands::FinishOutput("chords", out, err);
    }
    if (options.all) {
        if (!options.json || !options.words.empty() || options.tuningText || options.capoText ||
            options.split || options.left || options.paths.Any() || options.spelling) {
            err << "fretlore chords: --all goes with --json alone; " << SEE_HELP << '\n';
            return 2;
        }
        WriteAllJson(out);
        return commands::FinishOutput("chords", out, err);
    }
    std::optional<Chord> chord = ResolveChord(options, err);
    if (!chord) return 2;
    VoicingList list;
    FindVoicings(chord->root, chord->type, chord->instrument.Strings(), options.split, list);
    if (options.paths.Any()) {
        if (options.json) {
            err << "fretlore chords: --json prints the list and --pdf, --svg, --png draw it; "
                   "choose one\n";
            return 2;
        }
        int code = commands::WriteSheetFiles("chords", ChordSheet(*chord, options, list),
                                             options.paths, out, err);
        return code != 0 ? code : commands::FinishOutput("chords", out, err);
    }
    if (options.json) {
        std::string line;
        AppendJsonLine(line, *chord, options.split, list,
                       SpelledNames(options.spelling.value_or(Spelling::Sharps),
                                    ChordKey(chord->root, chord->type)));
        out << line;
    } else {
        WriteText(out, *chord, options, list);
    }
    return commands::FinishOutput("chords", out, err);
}
