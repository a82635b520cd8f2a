#include "theory/CurrentTuning.h"

#include <atomic>

namespace theory {
namespace {

// Layout of the packed word: bytes 0..5 the strings, byte 6 the index, byte 7 the flag.
constexpr std::uint64_t Pack(const TuningState& state) {
    std::uint64_t word = 0;
    for (int s = 0; s < STRING_COUNT; ++s)
        word |= std::uint64_t{state.strings[s]} << (8 * s);
    word |= std::uint64_t(state.index & 0xFF) << 48;
    word |= std::uint64_t(state.leftHanded ? 1 : 0) << 56;
    return word;
}

constexpr TuningState Unpack(std::uint64_t word) {
    TuningState state;
    for (int s = 0; s < STRING_COUNT; ++s)
        state.strings[s] = std::uint8_t(word >> (8 * s));
    state.index = std::int32_t((word >> 48) & 0xFF);
    state.leftHanded = ((word >> 56) & 1) != 0;
    return state;
}

static_assert(Unpack(Pack(TuningState{{2, 7, 2, 7, 11, 2}, 9, true})).index == 9);

std::atomic<std::uint64_t> currentTuning{Pack(TuningState{})};
static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

}  // namespace

TuningState CurrentTuning() {
    return Unpack(currentTuning.load(std::memory_order_acquire));
}

bool SetTuning(int index, bool leftHanded) {
    std::optional<TuningRow> row = TuningRowAt(index);
    if (!row) return false;
    TuningState state;
    state.strings = row->strings;
    state.index = index;
    state.leftHanded = leftHanded;
    currentTuning.store(Pack(state), std::memory_order_release);
    return true;
}

StringTuning CapoTuning(int index, int capo) {
    StringTuning strings = TuningRowAt(index).value_or(TuningRow{}).strings;
    for (auto& string : strings)
        string = static_cast<std::uint8_t>(WrapPitch(string + capo));
    return strings;
}

PitchClass NoteAt(int s, int f) {
    return NoteAt(CurrentTuning().strings, s, f);
}

}  // namespace theory
