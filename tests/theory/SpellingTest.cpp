#include "theory/Spelling.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace theory {
namespace {

// Tables below are written as a musician writes them ("F#"); stored names double the '#'.
std::string Stored(std::string_view plain) {
    std::string out;
    for (char c : plain) {
        out += c;
        if (c == '#') out += '#';
    }
    return out;
}

struct KeyScale {
    PitchClass tonic;
    bool minor;
    std::array<std::string_view, 7> scale;  // from the tonic up; natural minor for minors
};

// Every key's scale, from the key signatures.
constexpr std::array<KeyScale, 24> SCALES{{
    {0, false, {"C", "D", "E", "F", "G", "A", "B"}},
    {1, false, {"Db", "Eb", "F", "Gb", "Ab", "Bb", "C"}},
    {2, false, {"D", "E", "F#", "G", "A", "B", "C#"}},
    {3, false, {"Eb", "F", "G", "Ab", "Bb", "C", "D"}},
    {4, false, {"E", "F#", "G#", "A", "B", "C#", "D#"}},
    {5, false, {"F", "G", "A", "Bb", "C", "D", "E"}},
    {6, false, {"F#", "G#", "A#", "B", "C#", "D#", "E#"}},
    {7, false, {"G", "A", "B", "C", "D", "E", "F#"}},
    {8, false, {"Ab", "Bb", "C", "Db", "Eb", "F", "G"}},
    {9, false, {"A", "B", "C#", "D", "E", "F#", "G#"}},
    {10, false, {"Bb", "C", "D", "Eb", "F", "G", "A"}},
    {11, false, {"B", "C#", "D#", "E", "F#", "G#", "A#"}},
    {0, true, {"C", "D", "Eb", "F", "G", "Ab", "Bb"}},
    {1, true, {"C#", "D#", "E", "F#", "G#", "A", "B"}},
    {2, true, {"D", "E", "F", "G", "A", "Bb", "C"}},
    {3, true, {"D#", "E#", "F#", "G#", "A#", "B", "C#"}},
    {4, true, {"E", "F#", "G", "A", "B", "C", "D"}},
    {5, true, {"F", "G", "Ab", "Bb", "C", "Db", "Eb"}},
    {6, true, {"F#", "G#", "A", "B", "C#", "D", "E"}},
    {7, true, {"G", "A", "Bb", "C", "D", "Eb", "F"}},
    {8, true, {"G#", "A#", "B", "C#", "D#", "E", "F#"}},
    {9, true, {"A", "B", "C", "D", "E", "F", "G"}},
    {10, true, {"Bb", "C", "Db", "Eb", "F", "Gb", "Ab"}},
    {11, true, {"B", "C#", "D", "E", "F#", "G", "A"}},
}};

constexpr std::array<int, 7> MAJOR{0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> NATURAL_MINOR{0, 2, 3, 5, 7, 8, 10};

TEST(KeySpelling, EveryKeyWritesItsScaleAsItsSignatureDoes) {
    for (const KeyScale& key : SCALES) {
        const NoteNameTable& names = KeyNoteNames({key.tonic, key.minor});
        const auto& steps = key.minor ? NATURAL_MINOR : MAJOR;
        std::set<char> letters;
        for (std::size_t k = 0; k < 7; ++k) {
            auto note = static_cast<std::size_t>(WrapPitch(key.tonic + steps[k]));
            EXPECT_EQ(names[note], Stored(key.scale[k]))
                << key.scale[0] << (key.minor ? "m" : "") << " degree " << k + 1;
            letters.insert(names[note][0]);
        }
        EXPECT_EQ(letters.size(), 7u) << key.scale[0] << (key.minor ? "m" : "");
    }
}

TEST(KeySpelling, NotesOutsideTheKeyFollowItsDirection) {
    // Flat keys by their signatures; C major and A minor take sharps.
    const std::set<std::pair<int, bool>> flatKeys{{1, false},  {3, false}, {5, false}, {8, false},
                                                  {10, false}, {0, true},  {2, true},  {5, true},
                                                  {7, true},   {10, true}};
    for (const KeyScale& key : SCALES) {
        MusicalKey k{key.tonic, key.minor};
        bool flat = flatKeys.contains({key.tonic, key.minor});
        EXPECT_EQ(IsFlatKey(k), flat) << key.scale[0] << (key.minor ? "m" : "");
        const auto& steps = key.minor ? NATURAL_MINOR : MAJOR;
        std::set<int> scale;
        for (int step : steps)
            scale.insert(WrapPitch(key.tonic + step));
        for (int p = 0; p < PITCH_CLASS_COUNT; ++p) {
            if (scale.contains(p)) continue;
            EXPECT_EQ(KeyNoteNames(k)[p], flat ? FlatNames[p] : NoteNames[p])
                << key.scale[0] << (key.minor ? "m" : "") << " pitch " << p;
        }
    }
    // Written out for three keys: the five notes outside each.
    const NoteNameTable& d = KeyNoteNames({2, false});
    EXPECT_EQ((std::array{d[0], d[3], d[5], d[8], d[10]}),
              (std::array<std::string_view, 5>{"C", "D##", "F", "G##", "A##"}));
    const NoteNameTable& f = KeyNoteNames({5, false});
    EXPECT_EQ((std::array{f[1], f[3], f[6], f[8], f[11]}),
              (std::array<std::string_view, 5>{"Db", "Eb", "Gb", "Ab", "B"}));
    const NoteNameTable& fs = KeyNoteNames({6, false});
    EXPECT_EQ((std::array{fs[0], fs[2], fs[4], fs[5], fs[7], fs[9]}),
              (std::array<std::string_view, 6>{"C", "D", "E", "E##", "G", "A"}));
}

TEST(Spelling, SharpsAndFlatsTables) {
    const std::array<std::string_view, 12> sharps{"C",  "C#", "D",  "D#", "E",  "F",
                                                  "F#", "G",  "G#", "A",  "A#", "B"};
    const std::array<std::string_view, 12> flats{"C",  "Db", "D",  "Eb", "E",  "F",
                                                 "Gb", "G",  "Ab", "A",  "Bb", "B"};
    for (int p = 0; p < PITCH_CLASS_COUNT; ++p) {
        for (MusicalKey key : {MusicalKey{0, false}, MusicalKey{5, true}, MusicalKey{6, false}}) {
            EXPECT_EQ(SpelledNames(Spelling::Sharps, key)[p], Stored(sharps[p])) << p;
            EXPECT_EQ(SpelledNames(Spelling::Flats, key)[p], flats[p]) << p;
        }
        EXPECT_EQ(LoneNoteName(p, Spelling::Sharps), Stored(sharps[p]));
        EXPECT_EQ(LoneNoteName(p, Spelling::Flats), flats[p]);
    }
    EXPECT_EQ(&SpelledNames(Spelling::Sharps), &NoteNames);  // today's texts, unchanged
    EXPECT_EQ(&SpelledNames(Spelling::Key, {12, false}), &NoteNames);
    EXPECT_EQ(LoneNoteName(12, Spelling::Key), "?");
}

TEST(Spelling, LoneNotesAreNamedAsTheTonicOfTheirMajorKey) {
    const std::array<std::string_view, 12> tonics{"C",  "Db", "D",  "Eb", "E",  "F",
                                                  "F#", "G",  "Ab", "A",  "Bb", "B"};
    for (int p = 0; p < PITCH_CLASS_COUNT; ++p)
        EXPECT_EQ(LoneNoteName(p, Spelling::Key), Stored(tonics[p])) << p;
}

TEST(Spelling, KeyListNames) {
    EXPECT_EQ(KeyListName(1, Spelling::Sharps), "C##/A##m");
    EXPECT_EQ(KeyListName(1, Spelling::Flats), "Db/Bbm");
    EXPECT_EQ(KeyListName(1, Spelling::Key), "Db/Bbm");
    EXPECT_EQ(KeyListName(4, Spelling::Flats), "E/Dbm");
    EXPECT_EQ(KeyListName(4, Spelling::Key), "E/C##m");
    EXPECT_EQ(KeyListName(6, Spelling::Key), "F##/D##m");
    EXPECT_EQ(KeyListName(11, Spelling::Key), "B/G##m");
    EXPECT_EQ(KeyListName(3, Spelling::Key), "Eb/Cm");
    for (int p = 0; p < PITCH_CLASS_COUNT; ++p)
        EXPECT_EQ(KeyListName(p, Spelling::Sharps), KeyNames[p]);
    EXPECT_EQ(KeyListName(12, Spelling::Key), "");
}

TEST(Spelling, ChordsAndScalesAreReadInTheKeyOfTheirThird) {
    auto minorChord = [](int type) { return ChordKey(2, type).minor; };
    EXPECT_FALSE(minorChord(0));   // Major
    EXPECT_TRUE(minorChord(1));    // Minor
    EXPECT_TRUE(minorChord(2));    // dim
    EXPECT_FALSE(minorChord(5));   // sus4: no third
    EXPECT_FALSE(minorChord(7));   // 5
    EXPECT_TRUE(minorChord(29));   // m7
    EXPECT_FALSE(minorChord(15));  // 7+9: its #9 is not a minor third
    EXPECT_EQ(ChordKey(10, 1).tonic, 10);
    auto minorScale = [](int type) { return ScaleKey(9, type).minor; };
    EXPECT_FALSE(minorScale(0));   // Major
    EXPECT_TRUE(minorScale(1));    // Harmonic Minor
    EXPECT_TRUE(minorScale(15));   // Blues
    EXPECT_FALSE(minorScale(16));  // Chromatic
    EXPECT_FALSE(minorScale(7));   // Pentatonic Neutral: no third
    EXPECT_TRUE(minorScale(10));   // Phrygian
    EXPECT_EQ(ScaleKey(9, 99).tonic, 9);
}

TEST(Spelling, SevenNoteScalesUseEachLetterOnceUnderKey) {
    auto written = [](PitchClass root, int type, Spelling spelling) {
        NoteNameTable names = ScaleNoteNames(root, type, spelling);
        std::string text;
        const ScaleDef& scale = ScaleTypes[type];
        for (int k = 0; k < scale.count; ++k)
            text += (k ? " " : "") + std::string(names[WrapPitch(root + scale.offsets[k])]);
        return text;
    };
    EXPECT_EQ(written(2, 1, Spelling::Key), "D E F G A Bb C##");           // harmonic minor
    EXPECT_EQ(written(1, 2, Spelling::Key), "C## D## E F## G## A## B##");  // melodic minor
    EXPECT_EQ(written(0, 23, Spelling::Key), "C Db E F G Ab B");           // double harmonic
    EXPECT_EQ(written(5, 11, Spelling::Key), "F G A B C D E");             // Lydian
    EXPECT_EQ(written(10, 9, Spelling::Key), "Bb C Db Eb F G Ab");         // Dorian
    EXPECT_EQ(written(4, 10, Spelling::Key), "E F G A B C D");             // Phrygian
    // Not seven notes: the key's own names. Sharps and flats as they stand.
    EXPECT_EQ(written(3, 5, Spelling::Key), "D## F## G## A## C##");  // D# minor pentatonic
    EXPECT_EQ(written(10, 4, Spelling::Key), "Bb C D F G");          // B flat major pentatonic
    EXPECT_EQ(written(2, 1, Spelling::Flats), "D E F G A Bb Db");
    EXPECT_EQ(written(2, 1, Spelling::Sharps), "D E F G A A## C##");
    // The notes outside the scale keep the key's names.
    EXPECT_EQ(ScaleNoteNames(2, 1, Spelling::Key)[8], "Ab");
}

TEST(Spelling, WordsForTheSetting) {
    EXPECT_EQ(ParseSpelling("sharps"), Spelling::Sharps);
    EXPECT_EQ(ParseSpelling("flats"), Spelling::Flats);
    EXPECT_EQ(ParseSpelling("key"), Spelling::Key);
    for (std::string_view bad : {"", "Sharps", "flat", "keys", "bogus"})
        EXPECT_FALSE(ParseSpelling(bad)) << bad;
    for (Spelling s : {Spelling::Sharps, Spelling::Flats, Spelling::Key})
        EXPECT_EQ(ParseSpelling(SpellingName(s)), s);
}

}  // namespace
}  // namespace theory
