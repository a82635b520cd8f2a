#include "theory/Names.h"

#include <array>
#include <cctype>
#include <string>
#include <utility>

namespace theory {

namespace {

constexpr std::array<PitchClass, 7> LETTERS{9, 11, 0, 2, 4, 5, 7};  // A..G

struct Alias {
    std::string_view text;
    int index;
};

// Chord-type spellings found on chord sheets, for the rows of the table they mean.
constexpr std::array<Alias, 36> TYPE_ALIASES{{
    {"M", 0},    {"maj", 0},    {"m", 1},      {"min", 1},     {"mi", 1},    {"-", 1},
    {"o", 2},    {"°", 2},      {"+", 3},      {"sus", 5},     {"M6", 8},    {"dom7", 10},
    {"7b5", 12}, {"7#5", 13},   {"7b9", 14},   {"7#9", 15},    {"9b5", 17},  {"9#5", 18},
    {"M7", 20},  {"Δ7", 20},    {"M7b5", 21},  {"maj7b5", 21}, {"M7#5", 22}, {"maj7#5", 22},
    {"M9", 23},  {"M11", 25},   {"M13", 27},   {"min7", 29},   {"mM7", 33},  {"mmaj7", 33},
    {"mM9", 34}, {"mmaj9", 34}, {"madd9", 35}, {"b5", 36},     {"#5", 37},   {"#11", 42},
}};

// Tuning names as guitarists shorten them, compared without case, spaces or dashes.
constexpr std::array<Alias, 12> TUNING_ALIASES{{
    {"estandard", 0},
    {"std", 0},
    {"dropd", 1},
    {"doubledropd", 2},
    {"opendm", 4},
    {"allfourths", 6},
    {"4ths", 6},
    {"gm", 10},
    {"opengm", 10},
    {"opengminor", 10},
    {"openam", 12},
    {"openaminor", 12},
}};

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Lower case without spaces, dashes or underscores: "Dropped-D" and "dropped d" agree.
std::string Folded(std::string_view text) {
    std::string folded;
    for (char c : text)
        if (c != ' ' && c != '-' && c != '_') folded += Lower(c);
    return folded;
}

// The accidental at the start of `text`: its length and its semitones, or length 0.
std::pair<std::size_t, int> Accidental(std::string_view text) {
    for (auto [mark, shift] : std::array<std::pair<std::string_view, int>, 5>{
             {{"##", 1}, {"#", 1}, {"♯", 1}, {"b", -1}, {"♭", -1}}}) {
        if (text.starts_with(mark)) return {mark.size(), shift};
    }
    return {0, 0};
}

std::optional<PitchClass> Letter(char c) {
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper < 'A' || upper > 'G') return std::nullopt;
    return LETTERS[static_cast<std::size_t>(upper - 'A')];
}

// Six note names in a row, spaces allowed between them, matched against the table.
std::optional<int> TuningByNotes(std::string_view text) {
    std::array<PitchClass, STRING_COUNT> strings{};
    std::size_t count = 0, i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        auto letter = Letter(text[i]);
        if (!letter || count == strings.size()) return std::nullopt;
        auto [length, shift] = Accidental(text.substr(i + 1));
        strings[count++] = WrapPitch(*letter + shift);
        i += 1 + length;
    }
    if (count != strings.size()) return std::nullopt;
    for (int u = 0; u < TUNING_COUNT; ++u)
        if (Tunings[static_cast<std::size_t>(u)].strings == strings) return u;
    return std::nullopt;
}

}  // namespace

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::optional<PitchClass> ParseNoteName(std::string_view text) {
    if (text.empty()) return std::nullopt;
    auto letter = Letter(text[0]);
    if (!letter) return std::nullopt;
    auto [length, shift] = Accidental(text.substr(1));
    if (1 + length != text.size()) return std::nullopt;
    return WrapPitch(*letter + shift);
}

std::optional<int> ParseChordType(std::string_view text) {
    for (int type = 0; type < CHORD_TYPE_COUNT; ++type)
        if (ChordTypes[static_cast<std::size_t>(type)].shortName == text) return type;
    for (const Alias& alias : TYPE_ALIASES)
        if (alias.text == text) return alias.index;
    for (int type = 0; type < CHORD_TYPE_COUNT; ++type)
        if (SameIgnoringCase(ChordTypes[static_cast<std::size_t>(type)].shortName, text))
            return type;
    // A capital M means major only as written: "m7b5" is not "M7b5".
    for (const Alias& alias : TYPE_ALIASES)
        if (alias.text.find('M') == std::string_view::npos && SameIgnoringCase(alias.text, text))
            return alias.index;
    return std::nullopt;
}

std::optional<ChordSymbol> ParseChordSymbol(std::string_view text) {
    if (text.empty()) return std::nullopt;
    auto letter = Letter(text[0]);
    if (!letter) return std::nullopt;
    auto typeOf = [](std::string_view rest) {
        return rest.empty() ? std::optional<int>(CHORD_MAJOR) : ParseChordType(rest);
    };
    // "Bb" is B flat, but "Bb" must not swallow a type that starts with 'b' ("Bb5" is B
    // flat 5, "Cb5" C flat 5): the accidental is taken when what follows is a type.
    auto [length, shift] = Accidental(text.substr(1));
    if (length > 0) {
        if (auto type = typeOf(text.substr(1 + length)))
            return ChordSymbol{WrapPitch(*letter + shift), *type};
    }
    if (auto type = typeOf(text.substr(1))) return ChordSymbol{*letter, *type};
    return std::nullopt;
}

std::optional<int> ParseTuning(std::string_view text) {
    const std::string folded = Folded(text);
    if (folded.empty()) return std::nullopt;
    for (int u = 0; u < TUNING_COUNT; ++u)
        if (Folded(Tunings[static_cast<std::size_t>(u)].name) == folded) return u;
    for (const Alias& alias : TUNING_ALIASES)
        if (alias.text == folded) return alias.index;
    if (auto byNotes = TuningByNotes(text)) return byNotes;
    if (text.empty() || text.size() > 2) return std::nullopt;
    int index = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        index = index * 10 + (c - '0');
    }
    return index < TUNING_COUNT ? std::optional<int>(index) : std::nullopt;
}

std::optional<StringPitches> ParseStringPitches(std::string_view text, bool octavesRequired,
                                                std::string& error) {
    std::array<PitchClass, STRING_COUNT> classes{};
    std::array<int, STRING_COUNT> octaves{};
    std::size_t count = 0, withOctave = 0, i = 0;
    auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < text.size()) {
        if (isSpace(text[i])) {
            ++i;
            continue;
        }
        std::size_t start = i;
        auto letter = Letter(text[i]);
        auto [length, shift] = Accidental(text.substr(i + 1));
        i += 1 + length;
        int octave = 0;
        bool hasOctave = i < text.size() && isDigit(text[i]);
        while (i < text.size() && isDigit(text[i]) && octave <= HIGHEST_OCTAVE)
            octave = octave * 10 + (text[i++] - '0');
        if (!letter || (i < text.size() && !isSpace(text[i]) && hasOctave)) {
            std::size_t end = start;
            while (end < text.size() && !isSpace(text[end]))
                ++end;
            error = "unknown note " + std::string(text.substr(start, end - start));
            return std::nullopt;
        }
        if (count == STRING_COUNT) {
            error = "more than six notes";
            return std::nullopt;
        }
        if (hasOctave && (octave < LOWEST_OCTAVE || octave > HIGHEST_OCTAVE)) {
            error = "octave out of range (" + std::to_string(LOWEST_OCTAVE) + " to " +
                    std::to_string(HIGHEST_OCTAVE) + ") in " +
                    std::string(text.substr(start, i - start));
            return std::nullopt;
        }
        withOctave += hasOctave ? 1 : 0;
        // The letter's own octave: "Cb3" is B2 and "B#2" is C3.
        classes[count] = *letter + shift;
        octaves[count++] = octave;
    }
    if (count != STRING_COUNT) {
        error = "not six notes";
        return std::nullopt;
    }
    if (withOctave != 0 && withOctave != count) {
        error = "octaves on some notes but not all";
        return std::nullopt;
    }
    if (withOctave == 0) {
        if (!octavesRequired) {
            std::array<PitchClass, STRING_COUNT> wrapped{};
            for (std::size_t s = 0; s < count; ++s)
                wrapped[s] = WrapPitch(classes[s]);
            return PitchesFromClasses(wrapped);
        }
        error = "notes without octaves";
        return std::nullopt;
    }
    StringPitches pitches{};
    for (std::size_t s = 0; s < count; ++s)
        pitches[s] = static_cast<std::int8_t>(12 * (octaves[s] + 1) + classes[s]);
    return pitches;
}

}  // namespace theory
