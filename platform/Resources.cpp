#include "platform/Resources.h"

namespace platform {

namespace {
std::span<const ResourceEntry> resourceTable;
}

void SetResourceTable(std::span<const ResourceEntry> table) {
    resourceTable = table;
}

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, std::uint32_t id) {
    for (const ResourceEntry& entry : resourceTable) {
        if (entry.id == id && entry.type == type) return entry.bytes;
    }
    return std::nullopt;
}

}  // namespace platform
