#include "app/commands/ChordsCommand.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <ostream>
#include <string_view>

#include "app/UserTunings.h"
#include "theory/ChordSearch.h"
#include "theory/Names.h"

using namespace theory;

namespace {

constexpr std::string_view USAGE =
    "usage: fretlore chords ROOT TYPE [--tuning NAME|INDEX] [--split] [--left] [--json]\n"
    "       fretlore chords CHORD [--tuning NAME|INDEX] [--split] [--left] [--json]\n"
    "       fretlore chords --all --json\n";

constexpr std::string_view SEE_HELP = "see fretlore chords --help\n";

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
    "  --split          allow split chords: any chord note may be the bass\n"
    "  --left           draw the chord boxes left-handed (mirrored)\n"
    "  --json           one JSON line instead of chord boxes; frets are listed from the\n"
    "                   lowest string whatever the hand\n"
    "  --all --json     one JSON line per root (0-11), type (0-43), tuning (0-15) and\n"
    "                   split (0, 1), in that nesting order\n"
    "\n"
    "Chord boxes show strings across and frets down: o an open string, x a string not\n"
    "played, the note name where a string is fretted, the first fret's number at the left.\n";

constexpr std::array<std::string_view, 17> ROOT_NAMES{
    "C", "C#", "Db", "D", "D#", "Eb", "E", "F", "F#", "Gb", "G", "G#", "Ab", "A", "A#", "Bb", "B"};

struct ChordsOptions {
    std::optional<std::string> rootText;
    std::optional<std::string> typeText;
    std::optional<std::string> tuningText;
    bool split = false;
    bool left = false;
    bool json = false;
    bool all = false;
    bool help = false;
};

struct Chord {
    PitchClass root = 0;
    int type = 0;
    int tuning = 0;
};

// Note names are stored with "##" for the markup renderer; plain text wants one '#'.
std::string PlainText(std::string_view marked) {
    std::string plain;
    for (std::size_t i = 0; i < marked.size(); ++i) {
        plain += marked[i];
        if (marked[i] == '#' && i + 1 < marked.size() && marked[i + 1] == '#') ++i;
    }
    return plain;
}

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

std::string TuningChoices() {
    std::string list;
    for (int u = 0; u < TuningCount(); ++u) {
        list += (list.empty() ? "" : ", ") + std::to_string(u) + " " +
                TuningRowAt(u).value_or(TuningRow{}).name;
    }
    return list;
}

// Fills `options` from the words; on a mistake writes one line to `err` and returns false.
// Only words starting with "--" are options, since chord types such as "-5" start with '-'.
bool ParseArgs(std::span<const std::string> args, ChordsOptions& options, std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "--split") {
            options.split = true;
        } else if (word == "--left") {
            options.left = true;
        } else if (word == "--json") {
            options.json = true;
        } else if (word == "--all") {
            options.all = true;
        } else if (word == "--tuning") {
            if (i + 1 == args.size()) {
                err << "fretlore chords: --tuning needs a name or index (from: " << TuningChoices()
                    << ")\n";
                return false;
            }
            options.tuningText = args[++i];
        } else if (word.starts_with("--tuning=")) {
            options.tuningText = word.substr(9);
        } else if (word.starts_with("--")) {
            err << "fretlore chords: unknown option " << word
                << " (options: --tuning NAME|INDEX, --split, --left, --json, --all, --help)\n";
            return false;
        } else if (!options.rootText) {
            options.rootText = word;
        } else if (!options.typeText) {
            options.typeText = word;
        } else {
            err << "fretlore chords: unexpected argument '" << word << "'; " << SEE_HELP;
            return false;
        }
    }
    return true;
}

// The root and type from "ROOT TYPE" or from one chord symbol; on a mistake writes the
// valid choices and returns nothing.
std::optional<Chord> ResolveRootAndType(const ChordsOptions& options, std::ostream& err) {
    if (!options.typeText) {
        if (auto symbol = ParseChordSymbol(*options.rootText))
            return Chord{symbol->root, symbol->type, 0};
        err << "fretlore chords: unknown chord '" << *options.rootText
            << "' (a root from: " << RootChoices() << "; then a type from: " << TypeChoices()
            << ")\n";
        return std::nullopt;
    }
    auto root = ParseNoteName(*options.rootText);
    if (!root) {
        err << "fretlore chords: unknown root '" << *options.rootText
            << "' (choose from: " << RootChoices() << ")\n";
        return std::nullopt;
    }
    auto type = ParseChordType(*options.typeText);
    if (!type) {
        err << "fretlore chords: unknown chord type '" << *options.typeText
            << "' (choose from: " << TypeChoices() << ")\n";
        return std::nullopt;
    }
    return Chord{*root, *type, 0};
}

std::optional<Chord> ResolveChord(const ChordsOptions& options, std::ostream& err) {
    if (!options.rootText) {
        err << "fretlore chords: a chord is needed (\"C m7\" or \"Cm7\"); " << SEE_HELP;
        return std::nullopt;
    }
    std::optional<Chord> chord = ResolveRootAndType(options, err);
    if (!chord || !options.tuningText) return chord;
    std::string why;
    auto tuning = app::ResolveCommandTuning(*options.tuningText, "fretlore chords", err, why);
    if (!tuning) {
        err << "fretlore chords: unknown tuning '" << *options.tuningText << "': " << why
            << " (choose a name, its six notes from the lowest string, or an index from: "
            << TuningChoices() << ")\n";
        return std::nullopt;
    }
    chord->tuning = *tuning;
    return chord;
}

StringTuning TuningStrings(int tuning) {
    return TuningRowAt(tuning).value_or(TuningRow{}).strings;
}

void AppendJsonString(std::string& json, std::string_view text) {
    json += '"';
    for (char c : text) {
        if (c == '"' || c == '\\') json += '\\';
        json += c;
    }
    json += '"';
}

// {"root":R,"type":T,"tuning":U,"split":S,"items":[{"text":..,"bass":..,"labelFret":..,
// "frets":[..]},..]} with item texts as stored ("##").
void AppendJsonLine(std::string& json, const Chord& chord, bool split, const VoicingList& list) {
    json += "{\"root\":" + std::to_string(chord.root) + ",\"type\":" + std::to_string(chord.type) +
            ",\"tuning\":" + std::to_string(chord.tuning) + ",\"split\":" + (split ? "1" : "0") +
            ",\"items\":[";
    for (int i = 0; i < list.count; ++i) {
        const Voicing& voicing = list.items[i];
        json += i == 0 ? "{\"text\":" : ",{\"text\":";
        AppendJsonString(json, InversionItemText(i, chord.root, voicing));
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
            for (chord.tuning = 0; chord.tuning < TUNING_COUNT; ++chord.tuning) {
                for (bool split : {false, true}) {
                    FindVoicings(chord.root, chord.type, TuningStrings(chord.tuning), split, list);
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

// Note names as plain text, made once.
std::string_view PlainNoteName(PitchClass note) {
    static const std::array<std::string, PITCH_CLASS_COUNT> names = [] {
        std::array<std::string, PITCH_CLASS_COUNT> plain;
        for (int p = 0; p < PITCH_CLASS_COUNT; ++p)
            plain[p] = PlainText(NoteNames[p]);
        return plain;
    }();
    return names[note];
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
std::string ChordBox(const Voicing& voicing, const StringTuning& tuning, bool left) {
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
            cells[c] = voicing.frets[s] == fret ? PlainNoteName(NoteAt(tuning, s, fret)) : "|";
        }
        std::string label = row == 1 ? std::to_string(fret) : "";
        label.insert(0, MARGIN.size() - 2 - std::min<std::size_t>(2, label.size()), ' ');
        label.append(2, ' ');
        AppendBoxRow(box, label, cells);
    }
    for (int c = 0; c < STRING_COUNT; ++c)
        cells[c] = PlainNoteName(tuning[stringAt(c)]);
    AppendBoxRow(box, MARGIN, cells);
    return box;
}

void WriteText(std::ostream& out, const Chord& chord, const ChordsOptions& options,
               const VoicingList& list) {
    StringTuning tuning = TuningStrings(chord.tuning);
    const ChordDef& type = ChordTypes[chord.type];
    out << PlainNoteName(chord.root) << ' ' << type.shortName << " (" << type.longName << "), "
        << TuningRowAt(chord.tuning).value_or(TuningRow{}).name << " tuning"
        << (options.split ? ", split chords" : "") << (options.left ? ", left-handed" : "") << ": ";
    if (list.count == 0) {
        out << "no playable shape\n";
        return;
    }
    out << list.count << (list.count == 1 ? " shape\n" : " shapes\n");
    for (int i = 0; i < list.count; ++i) {
        out << '\n' << PlainText(InversionItemText(i, chord.root, list.items[i])) << '\n';
        out << ChordBox(list.items[i], tuning, options.left);
    }
}

int Finish(std::ostream& out, std::ostream& err) {
    out.flush();
    if (out) return 0;
    err << "fretlore chords: could not write the output\n";
    return 1;
}

}  // namespace

int RunChordsCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    ChordsOptions options;
    if (!ParseArgs(args, options, err)) return 2;
    if (options.help) {
        out << USAGE << '\n'
            << HELP << "\nTypes: " << TypeChoices() << "\nTunings: " << TuningChoices() << '\n';
        return Finish(out, err);
    }
    if (options.all) {
        if (!options.json || options.rootText || options.tuningText || options.split ||
            options.left) {
            err << "fretlore chords: --all goes with --json alone; " << SEE_HELP;
            return 2;
        }
        WriteAllJson(out);
        return Finish(out, err);
    }
    std::optional<Chord> chord = ResolveChord(options, err);
    if (!chord) return 2;
    VoicingList list;
    FindVoicings(chord->root, chord->type, TuningStrings(chord->tuning), options.split, list);
    if (options.json) {
        std::string line;
        AppendJsonLine(line, *chord, options.split, list);
        out << line;
    } else {
        WriteText(out, *chord, options, list);
    }
    return Finish(out, err);
}
