#pragma once
// Files and folders as the program uses them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// The folder the program's files live beside: FRETLORE_HOME when set, else the folder
// of the executable. No trailing slash.
std::string ProgramFolder();
// True when the folder exists afterwards (an existing folder is no error).
bool CreateFolder(const std::string& path);
bool FileExists(const std::string& path);
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);
// Writes a temporary file beside `path` and renames it over `path`, so a failure never
// leaves a half-written file behind. False (and `path` untouched) on any failure.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace platform
