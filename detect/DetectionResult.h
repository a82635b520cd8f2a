#pragma once
// What one analysed microphone buffer yields, as the Chord Detection screen reads it: a
// plain value, copied out whole by the thread that draws it.

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

namespace detect {

// A highlight entry that marks nothing (any value outside 0..11 does).
constexpr std::int32_t NO_HIGHLIGHT = -1;

struct DetectionResult {
    std::array<double, 12> pitchClassLevel{};  // dB above the -96 floor, per pitch class
    std::array<std::int32_t, 6> highlight{NO_HIGHLIGHT, NO_HIGHLIGHT, NO_HIGHLIGHT,
                                          NO_HIGHLIGHT, NO_HIGHLIGHT, NO_HIGHLIGHT};
    std::array<std::int32_t, 12> loudestOctaveFrequency{};                     // whole Hz
    std::array<std::int32_t, 12> order{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};  // loudest first
    std::string text;  // marked up ("##" for a sharp); empty when nothing was detected
    bool detected = false;
    std::int32_t root = 0;       // pitch class of the note or chord
    std::int32_t chordType = 0;  // 0 Major, 1 Minor
    std::int32_t cents = 0;      // -50..+50
};

// A spectrum entry (dB, -96..0) as a whole level 0..96 above the floor.
inline double BinLevel(double spectrumDb) {
    return 96.0 - std::fabs(std::trunc(spectrumDb));
}

}  // namespace detect
