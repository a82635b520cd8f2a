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

Barres FindBarres(const Voicing& voicing) {
    Barres barres;
    int lowest = 255, start = 0;
    for (int s = 0; s < STRING_COUNT; ++s) {
        int fret = voicing.frets[static_cast<std::size_t>(s)];
        if (fret <= 0) {
            lowest = 255;
            continue;
        }
        int row = fret - voicing.labelFret;
        if (row < lowest) {
            lowest = row;
            start = s;
        } else if (row == lowest) {
            barres.items[static_cast<std::size_t>(barres.count++)] = {row, start, s};
        }
    }
    return barres;
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
