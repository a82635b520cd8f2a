#include "app/commands/NameCommand.h"

#include <bit>
#include <charconv>
#include <optional>
#include <ostream>
#include <sstream>
#include <string_view>
#include <vector>

#include "app/commands/CommandOptions.h"
#include "theory/ChordSearch.h"
#include "theory/Names.h"

using namespace theory;

namespace {

constexpr std::string_view HELP =
    "usage: fretlore name SHAPE [--tuning NAME|INDEX] [--capo K] [--json]\n"
    "\n"
    "Names a chord shape: every chord whose list of shapes holds it, with its item there;\n"
    "failing that the chords whose notes it plays, or the nearest ones.\n"
    "\n"
    "  SHAPE            six frets from the lowest string, a digit or x each (\"x32010\"),\n"
    "                   or six words when a fret is above 9 (\"x 10 12 12 11 x\"); 0-24\n"
    "  --tuning T       a tuning name, its six notes from the lowest string, or its index\n"
    "                   (as fretlore chords takes it: your own tunings and written notes too)\n"
    "                   as 'fretlore chords --help' lists them; \"Standard\" by default\n"
    "  --capo K         a capo at fret K (0-11); frets count from the capo\n"
    "  --json           one JSON line instead of text\n"
    "  --help           show this text\n";

constexpr int MAX_FRET = 24;

struct NameOptions {
    std::vector<std::string> shapeWords;
    std::optional<std::string> tuningText;
    std::optional<std::string> capoText;
    bool json = false;
    bool help = false;
};

struct Match {
    PitchClass root;
    int type;
    int item;
    bool split;
    std::string text;  // as stored ("##")
};

// A chord whose notes are the shape's (`note` -1), or all but one (`note` the one).
struct NoteMatch {
    enum class Kind { Notes, Missing, Extra };
    PitchClass root;
    int type;
    Kind kind;
    PitchClass note;
};

bool Fail(std::ostream& err, std::string_view message) {
    err << "fretlore name: " << message << "\n";
    return false;
}

bool ParseArgs(std::span<const std::string> args, NameOptions& options, std::ostream& err) {
    commands::OptionTable table{.flags = {{"--json", &options.json}},
                                .valued = {{"--tuning", "NAME|INDEX", &options.tuningText},
                                           {"--capo", "K", &options.capoText}},
                                .help = &options.help};
    std::string error = commands::ParseOptions(args, table, options.shapeWords);
    return error.empty() || Fail(err, error);
}

std::optional<std::int8_t> ParseFret(std::string_view word) {
    if (word == "x" || word == "X") return NOT_PLAYED;
    auto fret = commands::NumberIn(word, 0, MAX_FRET);
    if (!fret) return {};
    return static_cast<std::int8_t>(*fret);
}

// Six words, or one word of six characters, or one word holding six words.
std::optional<Frets> ParseShape(const std::vector<std::string>& words) {
    std::vector<std::string> parts;
    if (words.size() == 1) {
        std::istringstream in(words[0]);
        for (std::string part; in >> part;)
            parts.push_back(part);
        if (parts.size() == 1 && parts[0].size() == STRING_COUNT) {
            std::string packed = parts[0];
            parts.clear();
            for (char c : packed)
                parts.emplace_back(1, c);
        }
    } else {
        parts = words;
    }
    if (parts.size() != STRING_COUNT) return {};
    Frets frets{};
    for (int s = 0; s < STRING_COUNT; ++s) {
        auto fret = ParseFret(parts[s]);
        if (!fret) return {};
        frets[s] = *fret;
    }
    return frets;
}

std::vector<Match> FindMatches(const Frets& shape, const StringTuning& tuning) {
    std::vector<Match> matches;
    VoicingList list;
    for (PitchClass root = 0; root < PITCH_CLASS_COUNT; ++root) {
        for (int type = 0; type < CHORD_TYPE_COUNT; ++type) {
            for (bool split : {false, true}) {
                FindVoicings(root, type, tuning, split, list);
                for (int i = 0; i < list.count; ++i) {
                    if (list.items[i].frets == shape)
                        matches.push_back(
                            {root, type, i, split, InversionItemText(i, root, list.items[i])});
                }
            }
        }
    }
    return matches;
}

// Chords playing exactly the shape's notes; when there are none, those one note away.
std::vector<NoteMatch> FindNoteMatches(std::uint32_t sounded) {
    std::vector<NoteMatch> exact, nearest;
    for (PitchClass root = 0; root < PITCH_CLASS_COUNT; ++root) {
        for (int type = 0; type < CHORD_TYPE_COUNT; ++type) {
            std::uint32_t chord = GetChordNotes(root, type).Mask();
            std::uint32_t differ = chord ^ sounded;
            if (differ == 0) {
                exact.push_back({root, type, NoteMatch::Kind::Notes, -1});
            } else if (std::popcount(differ) == 1) {
                auto kind = (chord & differ) ? NoteMatch::Kind::Missing : NoteMatch::Kind::Extra;
                nearest.push_back({root, type, kind, std::countr_zero(differ)});
            }
        }
    }
    return exact.empty() ? nearest : exact;
}

std::string ChordName(PitchClass root, int type) {
    return commands::PlainText(NoteNames[root]) + " " + std::string(ChordTypes[type].shortName);
}

void WriteText(std::ostream& out, int capo, const std::vector<Match>& matches,
               const std::vector<NoteMatch>& others) {
    if (capo > 0) out << "capo " << capo << '\n';
    for (const Match& m : matches) {
        out << ChordName(m.root, m.type) << " — " << commands::PlainText(m.text)
            << (m.split ? " (split)" : "") << '\n';
    }
    if (!matches.empty()) return;
    if (others.empty()) {
        out << "not in the lists, and no chord has its notes or all but one of them\n";
        return;
    }
    if (others[0].kind == NoteMatch::Kind::Notes) {
        out << "not in the lists; its notes are those of:";
        for (std::size_t i = 0; i < others.size(); ++i)
            out << (i == 0 ? " " : ", ") << ChordName(others[i].root, others[i].type);
        out << '\n';
        return;
    }
    out << "not in the lists, nor are its notes a chord's; nearest:\n";
    for (const NoteMatch& m : others) {
        out << ChordName(m.root, m.type)
            << (m.kind == NoteMatch::Kind::Missing ? " — one chord note missing: "
                                                   : " — one note extra: ")
            << commands::PlainText(NoteNames[m.note]) << '\n';
    }
}

// {"frets":[..],"tuning":U,"capo":K,"matches":[{"root","type","item","text","split"},..],
// "others":[{"root","type","kind":"notes"|"missing"|"extra"[,"note"]},..]}
std::string JsonLine(const Frets& shape, int tuning, int capo, const std::vector<Match>& matches,
                     const std::vector<NoteMatch>& others) {
    std::string json = "{\"frets\":[";
    for (int s = 0; s < STRING_COUNT; ++s)
        json += (s > 0 ? "," : "") + std::to_string(shape[s]);
    json += "],\"tuning\":" + std::to_string(tuning) + ",\"capo\":" + std::to_string(capo) +
            ",\"matches\":[";
    for (std::size_t i = 0; i < matches.size(); ++i) {
        const Match& m = matches[i];
        json += (i > 0 ? ",{\"root\":" : "{\"root\":") + std::to_string(m.root) +
                ",\"type\":" + std::to_string(m.type) + ",\"item\":" + std::to_string(m.item) +
                ",\"text\":";
        commands::AppendJsonString(json, m.text);
        json += ",\"split\":" + std::string(m.split ? "1" : "0") + "}";
    }
    json += "],\"others\":[";
    if (matches.empty()) {
        for (std::size_t i = 0; i < others.size(); ++i) {
            const NoteMatch& m = others[i];
            constexpr std::string_view KINDS[] = {"notes", "missing", "extra"};
            json += (i > 0 ? ",{\"root\":" : "{\"root\":") + std::to_string(m.root) +
                    ",\"type\":" + std::to_string(m.type) + ",\"kind\":\"" +
                    std::string(KINDS[static_cast<int>(m.kind)]) + "\"";
            if (m.kind != NoteMatch::Kind::Notes) json += ",\"note\":" + std::to_string(m.note);
            json += "}";
        }
    }
    json += "]}\n";
    return json;
}

}  // namespace

int RunNameCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    NameOptions options;
    if (!ParseArgs(args, options, err)) return 2;
    if (options.help) {
        out << HELP;
        return commands::FinishOutput("name", out, err);
    }
    auto shape = ParseShape(options.shapeWords);
    if (!shape) {
        Fail(err,
             "a shape is six frets 0-24 or x, from the lowest string (\"x32010\" or "
             "\"x 10 12 12 11 x\")");
        return 2;
    }
    commands::Instrument instrument;
    std::string error = commands::ResolveInstrument(options.tuningText, options.capoText,
                                                    instrument, "fretlore name", err);
    if (!error.empty()) {
        Fail(err, error);
        return 2;
    }
    StringTuning strings = instrument.Strings();
    std::uint32_t sounded = 0;
    for (int s = 0; s < STRING_COUNT; ++s)
        if ((*shape)[s] != NOT_PLAYED) sounded |= 1u << NoteAt(strings, s, (*shape)[s]);
    if (sounded == 0) {
        Fail(err, "the shape plays no string");
        return 2;
    }
    std::vector<Match> matches = FindMatches(*shape, strings);
    std::vector<NoteMatch> others = FindNoteMatches(sounded);
    if (options.json)
        out << JsonLine(*shape, instrument.tuning, instrument.capo, matches, others);
    else
        WriteText(out, instrument.capo, matches, others);
    return commands::FinishOutput("name", out, err);
}
