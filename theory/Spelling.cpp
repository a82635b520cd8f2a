#include "theory/Spelling.h"

#include <optional>

#include "theory/NoteList.h"

namespace theory {

namespace {

constexpr int LETTER_COUNT = 7;
// C D E F G A B.
constexpr std::array<PitchClass, LETTER_COUNT> NATURALS{0, 2, 4, 5, 7, 9, 11};
// Each letter flat, natural and sharp.
constexpr std::array<std::array<std::string_view, 3>, LETTER_COUNT> LETTER_NAMES{{
    {"Cb", "C", "C##"},
    {"Db", "D", "D##"},
    {"Eb", "E", "E##"},
    {"Fb", "F", "F##"},
    {"Gb", "G", "G##"},
    {"Ab", "A", "A##"},
    {"Bb", "B", "B##"},
}};

struct Tonic {
    int letter;      // index into NATURALS
    int accidental;  // -1 flat, 0 natural, +1 sharp
};
// The usual key on each pitch class: fewest accidentals; F# major (six sharps) rather
// than Gb, and D# minor, its relative, rather than Eb minor.
constexpr std::array<Tonic, PITCH_CLASS_COUNT> MAJOR_TONICS{{{0, 0},
                                                             {1, -1},
                                                             {1, 0},
                                                             {2, -1},
                                                             {2, 0},
                                                             {3, 0},
                                                             {3, 1},
                                                             {4, 0},
                                                             {5, -1},
                                                             {5, 0},
                                                             {6, -1},
                                                             {6, 0}}};
constexpr std::array<Tonic, PITCH_CLASS_COUNT> MINOR_TONICS{{{0, 0},
                                                             {0, 1},
                                                             {1, 0},
                                                             {1, 1},
                                                             {2, 0},
                                                             {3, 0},
                                                             {3, 1},
                                                             {4, 0},
                                                             {4, 1},
                                                             {5, 0},
                                                             {6, -1},
                                                             {6, 0}}};

constexpr std::array<int, LETTER_COUNT> MAJOR_STEPS{0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, LETTER_COUNT> MINOR_STEPS{0, 2, 3, 5, 7, 8, 10};

// How `note` is written on `letter`: -1 flat, 0 natural, +1 sharp; nullopt when it would
// take a double accidental.
constexpr std::optional<int> AccidentalOn(int letter, PitchClass note) {
    int shift = WrapPitch(note - NATURALS[static_cast<std::size_t>(letter)]);
    if (shift > 1 && shift < 11) return std::nullopt;
    return shift == 11 ? -1 : shift;
}

constexpr std::string_view LetterName(int letter, int accidental) {
    return LETTER_NAMES[static_cast<std::size_t>(letter)][static_cast<std::size_t>(accidental + 1)];
}

struct KeyTable {
    NoteNameTable names;
    bool flat;
};

constexpr KeyTable MakeKeyTable(PitchClass tonic, bool minor) {
    const Tonic t = (minor ? MINOR_TONICS : MAJOR_TONICS)[static_cast<std::size_t>(tonic)];
    const auto& steps = minor ? MINOR_STEPS : MAJOR_STEPS;
    KeyTable table{{}, false};
    std::array<bool, PITCH_CLASS_COUNT> inScale{};
    for (int k = 0; k < LETTER_COUNT; ++k) {
        int letter = (t.letter + k) % LETTER_COUNT;
        PitchClass note = WrapPitch(tonic + steps[static_cast<std::size_t>(k)]);
        // In these keys the letter's natural is at most a semitone from the scale note.
        int accidental = AccidentalOn(letter, note).value_or(0);
        table.names[static_cast<std::size_t>(note)] = LetterName(letter, accidental);
        inScale[static_cast<std::size_t>(note)] = true;
        if (accidental < 0) table.flat = true;
    }
    for (std::size_t p = 0; p < PITCH_CLASS_COUNT; ++p)
        if (!inScale[p]) table.names[p] = table.flat ? FlatNames[p] : NoteNames[p];
    return table;
}

constexpr std::array<KeyTable, 2 * PITCH_CLASS_COUNT> MakeAllKeys() {
    std::array<KeyTable, 2 * PITCH_CLASS_COUNT> keys{};
    for (int p = 0; p < PITCH_CLASS_COUNT; ++p) {
        keys[static_cast<std::size_t>(p)] = MakeKeyTable(p, false);
        keys[static_cast<std::size_t>(p + PITCH_CLASS_COUNT)] = MakeKeyTable(p, true);
    }
    return keys;
}

// Majors first, then minors.
constexpr std::array<KeyTable, 2 * PITCH_CLASS_COUNT> KEYS = MakeAllKeys();

const KeyTable* Find(MusicalKey key) {
    if (!IsPitchClass(key.tonic)) return nullptr;
    return &KEYS[static_cast<std::size_t>(key.tonic + (key.minor ? PITCH_CLASS_COUNT : 0))];
}

// Each pitch class as the tonic of its major key.
constexpr NoteNameTable MakeTonicNames() {
    NoteNameTable names{};
    for (std::size_t p = 0; p < PITCH_CLASS_COUNT; ++p)
        names[p] = KEYS[p].names[p];
    return names;
}
constexpr NoteNameTable TONIC_NAMES = MakeTonicNames();

// Minor for a minor third (3 semitones) without a major one (4).
bool MinorByThird(bool hasMinorThird, bool hasMajorThird) {
    return hasMinorThird && !hasMajorThird;
}

constexpr std::array<std::string_view, 3> SPELLING_NAMES{"sharps", "flats", "key"};

}  // namespace

const NoteNameTable& KeyNoteNames(MusicalKey key) {
    const KeyTable* table = Find(key);
    return table ? table->names : NoteNames;
}

bool IsFlatKey(MusicalKey key) {
    const KeyTable* table = Find(key);
    return table && table->flat;
}

const NoteNameTable& SpelledNames(Spelling spelling, MusicalKey key) {
    switch (spelling) {
        case Spelling::Flats:
            return FlatNames;
        case Spelling::Key:
            return KeyNoteNames(key);
        case Spelling::Sharps:
            break;
    }
    return NoteNames;
}

MusicalKey ChordKey(PitchClass root, int chordType) {
    ChordNotes notes = GetChordNotes(root, chordType);
    bool minorThird = false, majorThird = false;
    for (PitchClass n : notes.View()) {
        minorThird |= WrapPitch(n - root) == 3;
        majorThird |= WrapPitch(n - root) == 4;
    }
    return {root, MinorByThird(minorThird, majorThird)};
}

MusicalKey ScaleKey(PitchClass root, int scaleType) {
    if (scaleType < 0 || scaleType >= SCALE_TYPE_COUNT) return {root, false};
    const ScaleDef& scale = ScaleTypes[static_cast<std::size_t>(scaleType)];
    bool minorThird = false, majorThird = false;
    for (int k = 0; k < scale.count; ++k) {
        minorThird |= scale.offsets[static_cast<std::size_t>(k)] == 3;
        majorThird |= scale.offsets[static_cast<std::size_t>(k)] == 4;
    }
    return {root, MinorByThird(minorThird, majorThird)};
}

const NoteNameTable& LoneNoteNames(Spelling spelling) {
    return spelling == Spelling::Key ? TONIC_NAMES : SpelledNames(spelling);
}

NoteNameTable ScaleNoteNames(PitchClass root, int scaleType, Spelling spelling) {
    NoteNameTable names = SpelledNames(spelling, ScaleKey(root, scaleType));
    if (spelling != Spelling::Key || !IsPitchClass(root) || scaleType < 0 ||
        scaleType >= SCALE_TYPE_COUNT)
        return names;
    const ScaleDef& scale = ScaleTypes[static_cast<std::size_t>(scaleType)];
    if (scale.count != LETTER_COUNT) return names;
    const MusicalKey key = ScaleKey(root, scaleType);
    const int tonicLetter =
        (key.minor ? MINOR_TONICS : MAJOR_TONICS)[static_cast<std::size_t>(root)].letter;
    NoteNameTable byDegree = names;
    for (int k = 0; k < LETTER_COUNT; ++k) {
        const int letter = (tonicLetter + k) % LETTER_COUNT;
        const PitchClass note = WrapPitch(root + scale.offsets[static_cast<std::size_t>(k)]);
        const std::optional<int> accidental = AccidentalOn(letter, note);
        if (!accidental) return names;
        byDegree[static_cast<std::size_t>(note)] = LetterName(letter, *accidental);
    }
    return byDegree;
}

std::string_view LoneNoteName(PitchClass note, Spelling spelling) {
    if (!IsPitchClass(note)) return "?";
    return LoneNoteNames(spelling)[static_cast<std::size_t>(note)];
}

std::string KeyListName(PitchClass major, Spelling spelling) {
    if (!IsPitchClass(major)) return {};
    if (spelling == Spelling::Sharps) return std::string(KeyNames[static_cast<std::size_t>(major)]);
    const NoteNameTable& names = SpelledNames(spelling, {major, false});
    return std::string(names[static_cast<std::size_t>(major)]) + "/" +
           std::string(names[static_cast<std::size_t>(WrapPitch(major + 9))]) + "m";
}

std::optional<Spelling> ParseSpelling(std::string_view text) {
    for (std::size_t s = 0; s < SPELLING_NAMES.size(); ++s)
        if (SPELLING_NAMES[s] == text) return static_cast<Spelling>(s);
    return std::nullopt;
}

std::string_view SpellingName(Spelling spelling) {
    auto index = static_cast<std::size_t>(spelling);
    return index < SPELLING_NAMES.size() ? SPELLING_NAMES[index] : "sharps";
}

}  // namespace theory
