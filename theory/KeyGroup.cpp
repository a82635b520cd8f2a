#include "theory/KeyGroup.h"

namespace theory {

namespace {

// For I to VI: the step round the circle from the key, and whether the chord is the minor
// of that place.
struct GroupMember {
    int step;
    bool minor;
};
constexpr std::array<GroupMember, KEY_GROUP_SIZE> MEMBERS{
    {{0, false}, {-1, true}, {1, true}, {-1, false}, {1, false}, {0, true}}};

}  // namespace

int CirclePosition(PitchClass key) {
    if (!IsPitchClass(key)) return -1;
    for (int i = 0; i < CIRCLE_SIZE; ++i)
        if (CircleMajors[i] == NoteNames[key]) return i;
    return -1;
}

KeyGroup MakeKeyGroup(PitchClass key) {
    KeyGroup group{};
    int i = CirclePosition(key);
    if (i < 0) return group;
    for (int m = 0; m < KEY_GROUP_SIZE; ++m) {
        int at = CircleStep(i, MEMBERS[m].step);
        group[m] = MEMBERS[m].minor ? CircleMinorPitches[at] + MINOR_CODE : CircleMajorPitches[at];
    }
    return group;
}

std::array<std::string, KEY_GROUP_SIZE> KeyGroupNames(PitchClass key, Spelling spelling) {
    std::array<std::string, KEY_GROUP_SIZE> names{};
    if (!IsPitchClass(key)) return names;
    const NoteNameTable& table = SpelledNames(spelling, {key, false});
    KeyGroup group = MakeKeyGroup(key);
    for (int m = 0; m < KEY_GROUP_SIZE; ++m) {
        names[m] = table[static_cast<std::size_t>(group[m] & (MINOR_CODE - 1))];
        if (group[m] & MINOR_CODE) names[m] += 'm';
    }
    return names;
}

std::string ChordCodeName(std::int32_t code) {
    PitchClass root = code & (MINOR_CODE - 1);
    if (!IsPitchClass(root)) return {};
    std::string name(NoteNames[root]);
    if (code & MINOR_CODE) name += 'm';
    return name;
}

}  // namespace theory
