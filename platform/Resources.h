#pragma once
// The program's embedded resources: (type, id) -> bytes, as a native module carries them.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

// Resource types. Bitmaps are BMP files; "GIF" pictures hold JPEG data despite the name.
constexpr std::string_view RESOURCE_BITMAP = "BITMAP";
constexpr std::string_view RESOURCE_GIF = "GIF";
constexpr std::string_view RESOURCE_FONT = "SYSFONT";
constexpr std::string_view RESOURCE_ICON = "ICON";

struct ResourceEntry {
    std::string_view type;
    std::uint32_t id;
    std::span<const std::uint8_t> bytes;
};

// Installs the table the program was built with (or a test's own).
void SetResourceTable(std::span<const ResourceEntry> table);
std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, std::uint32_t id);

}  // namespace platform
