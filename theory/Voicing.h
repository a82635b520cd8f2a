#pragma once
// Found chord shapes and the texts of the Inversion list that names them.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "theory/Spelling.h"
#include "theory/TheoryTables.h"

namespace theory {

constexpr int MAX_VOICINGS = 24;
constexpr std::int8_t NOT_PLAYED = -1;

// Absolute fret per string, string 0 first: 0 the open string, NOT_PLAYED when left out.
using Frets = std::array<std::int8_t, STRING_COUNT>;

struct Voicing {
    PitchClass bass = 0;         // note of the lowest sounded string
    std::int32_t labelFret = 0;  // the window's base fret minus one; 0 for bases 0 and 1
    Frets frets{NOT_PLAYED, NOT_PLAYED, NOT_PLAYED, NOT_PLAYED, NOT_PLAYED, NOT_PLAYED};

    bool operator==(const Voicing&) const = default;
};

// The shapes of one search in search order; index = Inversion list item.
struct VoicingList {
    std::array<Voicing, MAX_VOICINGS> items{};
    std::int32_t count = 0;

    std::span<const Voicing> View() const& {
        return {items.data(), static_cast<std::size_t>(count)};
    }
    // A view of a temporary list would dangle.
    std::span<const Voicing> View() const&& = delete;
    bool Full() const { return count >= MAX_VOICINGS; }
    void Clear() { count = 0; }

    bool operator==(const VoicingList& other) const;
};

// The player thread takes copies while the UI thread searches again; keep it a plain value.
static_assert(std::is_trivially_copyable_v<VoicingList>);

// A bar a chord box draws across strings `from` to `to` (from < to) in the box's row `row`
// (fret minus labelFret).
struct Barre {
    int row = 0;
    int from = 0;
    int to = 0;
};
struct Barres {
    std::array<Barre, STRING_COUNT - 1> items{};
    int count = 0;

    std::span<const Barre> View() const& { return {items.data(), static_cast<std::size_t>(count)}; }
    // A view of a temporary would dangle.
    std::span<const Barre> View() const&& = delete;
};

// The chord box's bars: in each run of stopped strings, a later string stopped at the run's
// lowest row so far is joined to the string that first reached that row.
Barres FindBarres(const Voicing& voicing);

// "01 C (fret 1)" when the bass is the root, else "01 C/E (fret 1)", with note names from
// `names` in their stored form ("F##"); index counts from 0.
std::string InversionItemText(int index, PitchClass root, const Voicing& voicing,
                              const NoteNameTable& names = NoteNames);

// Replaces `items` with one text per shape, in list order.
void FillInversionList(const VoicingList& list, PitchClass root, std::vector<std::string>& items,
                       const NoteNameTable& names = NoteNames);

}  // namespace theory
