#include "theory/CurrentTuning.h"

#include <atomic>

namespace theory {
namespace {

// Layout of the packed word: bytes 0..5 the strings, byte 6 the index, byte 7 the flag in
// bit 0 and the capo in bits 1..4.
constexpr std::uint64_t Pack(const TuningState& state) {
    std::uint64_t word = 0;
    for (int s = 0; s < STRING_COUNT; ++s)
        word |= std::uint64_t{state.strings[s]} << (8 * s);
    word |= std::uint64_t(state.index & 0xFF) << 48;
    word |= std::uint64_t(state.leftHanded ? 1 : 0) << 56;
    word |= std::uint64_t(state.capo & 0xF) << 57;
    return word;
}

constexpr TuningState Unpack(std::uint64_t word) {
    TuningState state;
    for (int s = 0; s < STRING_COUNT; ++s)
        state.strings[s] = std::uint8_t(word >> (8 * s));
    state.index = std::int32_t((word >> 48) & 0xFF);
    state.leftHanded = ((word >> 56) & 1) != 0;
    state.capo = std::int32_t((word >> 57) & 0xF);
    return state;
}

static_assert(Unpack(Pack(TuningState{{2, 7, 2, 7, 11, 2}, 9, true, 11})).index == 9);
static_assert(Unpack(Pack(TuningState{{2, 7, 2, 7, 11, 2}, 9, true, MAX_CAPO})).capo == MAX_CAPO);
static_assert(Unpack(Pack(TuningState{{2, 7, 2, 7, 11, 2}, 9, true, MAX_CAPO})).leftHanded);

std::atomic<std::uint64_t> currentTuning{Pack(TuningState{})};
static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

// Only the UI thread writes, but a read-modify-write must still not lose a change made
// between its read and its store.
template <typename Change>
void Update(Change change) {
    std::uint64_t old = currentTuning.load(std::memory_order_acquire);
    for (;;) {
        TuningState state = Unpack(old);
        change(state);
        if (currentTuning.compare_exchange_weak(old, Pack(state), std::memory_order_acq_rel))
            return;
    }
}

}  // namespace

TuningState CurrentTuning() {
    return Unpack(currentTuning.load(std::memory_order_acquire));
}

bool SetTuning(int index, bool leftHanded) {
    std::optional<TuningRow> row = TuningRowAt(index);
    if (!row) return false;
    Update([&](TuningState& state) {
        state.strings = row->strings;
        state.index = index;
        state.leftHanded = leftHanded;
    });
    return true;
}

bool SetCapo(int capo) {
    if (capo < 0 || capo > MAX_CAPO) return false;
    Update([&](TuningState& state) { state.capo = capo; });
    return true;
}

StringTuning CapoTuning(int index, int capo) {
    return CapoTuning(TuningRowAt(index).value_or(TuningRow{}).strings, capo);
}

PitchClass NoteAt(int s, int f) {
    return NoteAt(CurrentTuning().strings, s, f);
}

}  // namespace theory
