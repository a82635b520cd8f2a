#pragma once
// Reads an analysed spectrum as twelve pitch-class levels and as one note (with octave,
// frequency and cents) or one major or minor chord.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "detect/DetectionResult.h"
#include "detect/SpectrumAnalyser.h"

namespace detect {

struct NoteReading {
    std::string_view name;  // from NoteNames, sharps as "##"
    std::int32_t pitchClass = 0;
    std::int32_t cents = 0;         // truncated toward zero
    std::int32_t octaveOffset = 0;  // the octave shown is this + 4, so middle C is C4
    double frequency = 0.0;         // Hz
};

// A candidate whose power is this far below the loudest candidate's is taken for no peak.
// A pure tone's other local maxima are window side lobes (31.5 dB down and lower) and
// quantisation ripple near 80 dB down; the partials of a played string that make its
// three strongest peaks stand within about 20 dB of each other, and are all kept.
constexpr double CANDIDATE_MARGIN_DB = 30.0;

// Fills the per-pitch-class levels (dB above -96), the loudest octave's whole frequency of
// each, and the order from loudest to quietest; returns trunc of the highest level.
std::int32_t PitchClassLevels(const SpectrumAnalyser& analyser, std::array<std::int32_t, 12>& order,
                              std::array<double, 12>& levels,
                              std::array<std::int32_t, 12>& frequencies);

// The strongest candidate's level + 96 when a note was named, else 0.
double DetectNote(const SpectrumAnalyser& analyser, NoteReading& reading);

// The highest subharmonic of f1 (not below 60 Hz) within 5 % of a subharmonic of each of
// f2 and f3 (a zero fits anything); 0 when there is none.
double CommonFundamental(double f1, double f2, double f3);

// The note nearest a frequency, A4 being `a4` Hz; nothing at 8 Hz or below.
std::optional<NoteReading> NameFrequency(double frequency, int a4 = STANDARD_A4);

// The first major, then minor, chord from C upward whose notes are all among the strongest
// pitch classes of `order` (first the chord's own count, then one more). Writes root,
// chordType, highlight and text into `result`; on no match clears highlight and text.
bool MatchChord(std::span<const std::int32_t> order, std::int32_t count, DetectionResult& result);

}  // namespace detect
