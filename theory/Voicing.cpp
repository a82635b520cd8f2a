#include "theory/Voicing.h"

#include <algorithm>

namespace theory {
namespace {

// As "%02d".
std::string TwoDigits(int value) {
    std::string digits = std::to_string(value);
    return value >= 0 && value < 10 ? "0" + digits : digits;
}

std::string_view NameOf(const NoteNameTable& names, PitchClass note) {
    return IsPitchClass(note) ? names[note] : "?";
}

}  // namespace

bool VoicingList::operator==(const VoicingList& other) const {
    return count == other.count && std::ranges::equal(View(), other.View());
}

std::string InversionItemText(int index, PitchClass root, const Voicing& voicing,
                              const NoteNameTable& names) {
    std::string text = TwoDigits(index + 1);
    text += ' ';
    text += NameOf(names, root);
    if (voicing.bass != root) {
        text += '/';
        text += NameOf(names, voicing.bass);
    }
    text += " (fret ";
    text += std::to_string(voicing.labelFret + 1);
    text += ')';
    return text;
}

void FillInversionList(const VoicingList& list, PitchClass root, std::vector<std::string>& items,
                       const NoteNameTable& names) {
    items.clear();
    int index = 0;
    for (const Voicing& voicing : list.View())
        items.push_back(InversionItemText(index++, root, voicing, names));
}

}  // namespace theory
