#pragma once
// Where picked notes begin in rendered sound, and which of a few pitches each one is.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "tests/sound/AudioProbe.h"

namespace soundtest {

// Sample indexes where the peak level of a 5 ms window jumps above 1.5 times the loudest of
// the 20 ms before it (and above a floor), at least 80 ms apart.
inline std::vector<std::size_t> NoteOnsets(std::span<const std::int16_t> s, std::uint32_t rate) {
    const std::size_t window = rate / 200;
    std::vector<int> peaks;
    for (std::size_t at = 0; at + window <= s.size(); at += window) {
        int peak = 0;
        for (std::size_t i = at; i < at + window; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(s[i])));
        peaks.push_back(peak);
    }
    std::vector<std::size_t> onsets;
    for (std::size_t k = 0; k < peaks.size(); ++k) {
        int before = 0;
        for (std::size_t j = k >= 4 ? k - 4 : 0; j < k; ++j)
            before = std::max(before, peaks[j]);
        bool apart = onsets.empty() || k * window - onsets.back() >= rate * 8 / 100;
        if (peaks[k] > 1.5 * before + 300 && apart) onsets.push_back(k * window);
    }
    return onsets;
}

// Of `candidates` (Hz), the index of the pitch that grew most at `at`: its magnitude over the
// 100 ms after less that over the 100 ms before. Strings still ringing only fade, so the new
// note stands out.
inline int NewestPitch(std::span<const std::int16_t> s, std::uint32_t rate, std::size_t at,
                       std::span<const double> candidates) {
    const std::size_t span = rate / 10;
    if (at + span > s.size()) return -1;
    auto after = s.subspan(at, span);
    auto before = at >= span ? s.subspan(at - span, span) : s.subspan(0, 0);
    int best = -1;
    double bestGrowth = 0;
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        double had = before.empty() ? 0 : MagnitudeAt(before, rate, candidates[c]);
        double growth = MagnitudeAt(after, rate, candidates[c]) - had;
        if (growth > bestGrowth) {
            bestGrowth = growth;
            best = static_cast<int>(c);
        }
    }
    return best;
}

}  // namespace soundtest
