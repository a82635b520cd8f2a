#include "theory/TheoryTables.h"

// Shape checks on the tables, so that a mistyped row fails the build rather than a screen.
namespace theory {
namespace {

constexpr bool ChordRowsWellFormed() {
    for (const ChordDef& chord : ChordTypes) {
        if (chord.stepCount < 1 || chord.stepCount >= MAX_CHORD_NOTES) return false;
        for (int k = 0; k < MAX_CHORD_NOTES; ++k) {
            bool used = k < chord.stepCount;
            if (used ? chord.steps[k] <= 0 : chord.steps[k] != 0) return false;
        }
        if (chord.shortName.empty() || chord.longName.empty()) return false;
    }
    return true;
}

constexpr bool ScaleRowsWellFormed() {
    for (const ScaleDef& scale : ScaleTypes) {
        if (scale.count < 5 || scale.count > MAX_SCALE_NOTES || scale.offsets[0] != 0) return false;
        for (int k = 1; k < MAX_SCALE_NOTES; ++k) {
            bool used = k < scale.count;
            if (used && (scale.offsets[k] <= scale.offsets[k - 1] || scale.offsets[k] >= 12)) {
                return false;
            }
            if (!used && scale.offsets[k] != 0) return false;
        }
    }
    return true;
}

constexpr bool TuningRowsWellFormed() {
    for (const TuningDef& tuning : Tunings) {
        for (PitchClass p : tuning.strings) {
            if (!IsPitchClass(p)) return false;
        }
    }
    return Tunings[0].strings == StandardTuning;
}

static_assert(ChordRowsWellFormed());
static_assert(ScaleRowsWellFormed());
static_assert(TuningRowsWellFormed());

}  // namespace
}  // namespace theory
