#include "theory/TuningTable.h"

#include <algorithm>
#include <mutex>

#include "theory/Names.h"

namespace theory {
namespace {

// Written at start-up and read by the player thread, so every access holds the lock.
struct CustomTable {
    std::mutex mutex;
    std::array<TuningRow, MAX_CUSTOM_TUNINGS> rows;
    int count = 0;
};

CustomTable& Customs() {
    static CustomTable table;
    return table;
}

TuningRow BuiltInRow(int index) {
    const TuningDef& def = Tunings[static_cast<std::size_t>(index)];
    TuningRow row{std::string(def.name), {}, PitchesFromClasses(def.strings)};
    for (int s = 0; s < STRING_COUNT; ++s)
        row.strings[s] = static_cast<std::uint8_t>(def.strings[s]);
    return row;
}

}  // namespace

void SetCustomTunings(std::span<const TuningRow> rows) {
    CustomTable& table = Customs();
    std::lock_guard lock(table.mutex);
    table.count = static_cast<int>(std::min<std::size_t>(rows.size(), MAX_CUSTOM_TUNINGS));
    for (int k = 0; k < table.count; ++k)
        table.rows[static_cast<std::size_t>(k)] = rows[static_cast<std::size_t>(k)];
}

std::optional<int> AddCustomTuning(const TuningRow& row) {
    CustomTable& table = Customs();
    std::lock_guard lock(table.mutex);
    if (table.count == MAX_CUSTOM_TUNINGS) return std::nullopt;
    table.rows[static_cast<std::size_t>(table.count)] = row;
    return TUNING_COUNT + table.count++;
}

int TuningCount() {
    CustomTable& table = Customs();
    std::lock_guard lock(table.mutex);
    return TUNING_COUNT + table.count;
}

std::optional<TuningRow> TuningRowAt(int index) {
    if (index < 0) return std::nullopt;
    if (index < TUNING_COUNT) return BuiltInRow(index);
    CustomTable& table = Customs();
    std::lock_guard lock(table.mutex);
    if (index - TUNING_COUNT >= table.count) return std::nullopt;
    return table.rows[static_cast<std::size_t>(index - TUNING_COUNT)];
}

std::optional<int> FindCustomTuning(std::string_view name) {
    CustomTable& table = Customs();
    std::lock_guard lock(table.mutex);
    for (int k = 0; k < table.count; ++k)
        if (table.rows[static_cast<std::size_t>(k)].name == name) return TUNING_COUNT + k;
    for (int k = 0; k < table.count; ++k)
        if (SameIgnoringCase(table.rows[static_cast<std::size_t>(k)].name, name))
            return TUNING_COUNT + k;
    return std::nullopt;
}

std::optional<int> FindBuiltInTuning(const StringPitches& pitches) {
    for (int u = 0; u < TUNING_COUNT; ++u)
        if (PitchesFromClasses(Tunings[static_cast<std::size_t>(u)].strings) == pitches) return u;
    return std::nullopt;
}

}  // namespace theory
