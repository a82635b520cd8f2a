#include "detect/Detector.h"

#include <algorithm>
#include <cmath>

#include "theory/NoteList.h"
#include "theory/TheoryTables.h"

namespace detect {

namespace {

constexpr int OCTAVES = 6;
constexpr double LOWEST_NOTE_HZ = 70.0;         // peaks below this are not notes
constexpr double LOWEST_FUNDAMENTAL_HZ = 60.0;  // subharmonics are not searched below this
constexpr int SUBHARMONICS = 10;
constexpr double NAMEABLE_ABOVE_HZ = 8.0;

struct Candidate {
    double level = SPECTRUM_FLOOR;
    std::int32_t bin = 0;
};

// Weakest first; a newcomer equal to a stronger one stays below it.
using Candidates = std::array<Candidate, 3>;

void InsertCandidate(Candidates& c, Candidate found) {
    c[0] = found;
    for (std::size_t i = 0; i + 1 < c.size() && c[i].level > c[i + 1].level; ++i)
        std::swap(c[i], c[i + 1]);
}

// The power-weighted centre of the bin and its two neighbours, in Hz.
double RefinedFrequency(const SpectrumAnalyser& analyser, std::int32_t k) {
    std::span<const double> p = analyser.Power();
    auto i = static_cast<std::size_t>(k);
    double sum = p[i - 1] + p[i] + p[i + 1];
    if (sum == 0.0) return k * analyser.BinWidth();
    double centre = ((k - 1) * p[i - 1] + k * p[i] + (k + 1) * p[i + 1]) / sum;
    return centre * analyser.BinWidth();
}

// The refined frequencies of the candidates found (bin 0 was never filled) that stand within the
// margin of the loudest (by last frame's power, which the 0 dB clamp does not flatten), weakest
// first, with zeros (which fit any fundamental) after them.
std::array<double, 3> KeptFrequencies(const SpectrumAnalyser& analyser, const Candidates& c) {
    std::span<const double> p = analyser.Power();
    double loudest = 0.0;
    for (const Candidate& candidate : c)
        loudest = std::max(loudest, p[static_cast<std::size_t>(candidate.bin)]);
    double threshold = loudest * std::pow(10.0, -CANDIDATE_MARGIN_DB / 10.0);
    std::array<double, 3> f{};
    std::size_t kept = 0;
    for (const Candidate& candidate : c) {
        if (candidate.bin != 0 && p[static_cast<std::size_t>(candidate.bin)] >= threshold)
            f[kept++] = RefinedFrequency(analyser, candidate.bin);
    }
    return f;
}

// Where the spectrum has a strict local maximum at k, or a flat top starting at k (a loud
// partial clamped at 0 dB over several bins) with lower bins on both sides, the peak's
// bin (on a flat top, its bin of most power) and the last bin of the peak; else -1.
std::pair<std::int32_t, std::int32_t> PeakAt(const SpectrumAnalyser& analyser, std::int32_t k) {
    std::span<const double> s = analyser.Spectrum();
    std::span<const double> p = analyser.Power();
    auto i = static_cast<std::size_t>(k);
    if (!(s[i] > s[i - 1])) return {-1, k};
    std::size_t end = i;
    std::size_t best = i;
    while (end + 1 < s.size() - 1 && s[end + 1] == s[i]) {
        ++end;
        if (p[end] > p[best]) best = end;
    }
    if (!(s[end + 1] < s[i])) return {-1, static_cast<std::int32_t>(end)};
    return {static_cast<std::int32_t>(best), static_cast<std::int32_t>(end)};
}

bool FitsSubharmonic(double f, double c, double tolerance) {
    if (f == 0.0) return true;
    for (int j = 1; j <= SUBHARMONICS; ++j) {
        double sub = f / j;
        if (sub > c - tolerance && sub < c + tolerance) return true;
    }
    return false;
}

std::int32_t SelectionSortOrder(std::array<std::int32_t, 12>& order,
                                const std::array<double, 12>& levels) {
    for (std::size_t i = 0; i < order.size(); ++i) {
        std::size_t best = i;
        for (std::size_t m = i + 1; m < order.size(); ++m) {
            if (levels[static_cast<std::size_t>(order[m])] >
                levels[static_cast<std::size_t>(order[best])])
                best = m;
        }
        std::swap(order[i], order[best]);
    }
    return static_cast<std::int32_t>(std::trunc(levels[static_cast<std::size_t>(order[0])]));
}

bool AllAmongStrongest(const theory::ChordNotes& notes, std::span<const std::int32_t> strongest) {
    for (theory::PitchClass n : notes.View()) {
        if (std::find(strongest.begin(), strongest.end(), n) == strongest.end()) return false;
    }
    return true;
}

}  // namespace

std::int32_t PitchClassLevels(const SpectrumAnalyser& analyser, std::array<std::int32_t, 12>& order,
                              std::array<double, 12>& levels,
                              std::array<std::int32_t, 12>& frequencies) {
    for (std::size_t p = 0; p < levels.size(); ++p) {
        order[p] = static_cast<std::int32_t>(p);
        double sum = 0.0;
        double loudest = 0.0;
        frequencies[p] = 0;
        for (int j = 0; j < OCTAVES; ++j) {
            double f = std::trunc(analyser.NoteTableFrequency(12 * j + static_cast<int>(p)));
            double level = analyser.LevelAtFrequency(f);
            if (level <= 0.0) continue;
            sum += std::pow(10.0, (level - 96.0) / 10.0);
            if (level > loudest) {
                loudest = level;
                frequencies[p] = static_cast<std::int32_t>(f);
            }
        }
        levels[p] = sum > 0.0 ? 10.0 * std::log10(sum) + 96.0 : 0.0;
    }
    return SelectionSortOrder(order, levels);
}

double DetectNote(const SpectrumAnalyser& analyser, NoteReading& reading) {
    std::span<const double> s = analyser.Spectrum();
    auto start = static_cast<std::int32_t>(std::trunc(LOWEST_NOTE_HZ / analyser.BinWidth()));
    start = std::max(start, 1);
    Candidates c;
    int insertions = 0;
    for (std::int32_t k = start; k <= analyser.Bins() - 2; ++k) {
        auto [peak, last] = PeakAt(analyser, k);
        if (peak >= 0 && s[static_cast<std::size_t>(k)] > c[0].level) {
            InsertCandidate(c, {s[static_cast<std::size_t>(k)], peak});
            ++insertions;
        }
        k = std::max(k, last);
    }
    if (insertions == 0) return 0.0;

    std::array<double, 3> f = KeptFrequencies(analyser, c);
    double strongest = RefinedFrequency(analyser, c[2].bin);
    double g = CommonFundamental(f[0], f[1], f[2]);
    std::optional<NoteReading> named;
    if (g != 0.0) named = NameFrequency(g, analyser.ConcertPitch());
    if (!named) named = NameFrequency(strongest, analyser.ConcertPitch());
    if (!named) return 0.0;
    reading = *named;
    return c[2].level + 96.0;
}

double CommonFundamental(double f1, double f2, double f3) {
    if (f1 != 0.0 && f2 == 0.0 && f3 == 0.0) return f1;
    for (int i = 1; i <= SUBHARMONICS; ++i) {
        double c = f1 / i;
        if (c < LOWEST_FUNDAMENTAL_HZ) return 0.0;
        double t = 0.05 * c;
        if (FitsSubharmonic(f2, c, t) && FitsSubharmonic(f3, c, t)) return c;
    }
    return 0.0;
}

std::optional<NoteReading> NameFrequency(double frequency, int a4) {
    if (!(frequency > NAMEABLE_ABOVE_HZ) || !std::isfinite(frequency)) return std::nullopt;
    double c = MiddleC(a4);
    std::int32_t octave = 0;
    if (frequency < c) {
        while (c > frequency) {
            c /= 2.0;
            --octave;
        }
    } else {
        while (frequency / 2.0 > c) {
            c *= 2.0;
            ++octave;
        }
    }
    double semitones = 12.0 * std::log(frequency / c) / std::log(2.0);
    auto n = static_cast<std::int32_t>(std::trunc(semitones + 0.5));
    if (n == 12) {
        n = 0;
        ++octave;
        semitones -= 12.0;
    }
    NoteReading reading;
    reading.name = theory::NoteNames[static_cast<std::size_t>(n)];
    reading.pitchClass = n;
    reading.cents = static_cast<std::int32_t>(std::trunc((semitones - n) * 100.0));
    reading.octaveOffset = octave;
    reading.frequency = frequency;
    return reading;
}

bool MatchChord(std::span<const std::int32_t> order, std::int32_t count, DetectionResult& result) {
    count = std::clamp(count, 0, static_cast<std::int32_t>(order.size()));
    for (std::int32_t pass = 0; pass < 2; ++pass) {
        for (int type : {theory::CHORD_MAJOR, theory::CHORD_MINOR}) {
            for (theory::PitchClass root = 0; root < theory::PITCH_CLASS_COUNT; ++root) {
                theory::ChordNotes notes = theory::GetChordNotes(root, type);
                std::int32_t k = notes.count;
                if (k > count) continue;
                auto strongest = order.first(static_cast<std::size_t>(std::min(k + pass, count)));
                if (!AllAmongStrongest(notes, strongest)) continue;
                result.root = root;
                result.chordType = type;
                for (std::int32_t i = 0; i < k; ++i)
                    result.highlight[static_cast<std::size_t>(i)] =
                        notes.notes[static_cast<std::size_t>(i)];
                result.text.assign(theory::NoteNames[static_cast<std::size_t>(root)]);
                result.text += ' ';
                result.text += theory::ChordTypes[static_cast<std::size_t>(type)].shortName;
                return true;
            }
        }
    }
    result.highlight.fill(NO_HIGHLIGHT);
    result.text.clear();
    return false;
}

}  // namespace detect
