#pragma once
// Files and folders as the program uses them.

#include <cstdint>
#include <optional>
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
// The same, with the reason for a failure ("cannot read PATH: ...") in `error`.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::string& error);

}  // namespace platform
