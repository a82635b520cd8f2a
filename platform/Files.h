#pragma once
// Files and folders as the program uses them.

#include <cstdint>
#include <functional>
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

struct FolderEntry {
    enum class Kind { File, Folder, Other };  // Other: a device, pipe or socket
    std::string name;
    Kind kind = Kind::File;
    std::uint64_t size = 0;     // bytes
    std::int64_t modified = 0;  // seconds since 1970, UTC
};

// Calls `visit` for each entry of `folder` whose name matches `pattern` (shell wildcards,
// case ignored, as the names typed by users of other systems expect), "." and ".." aside;
// links are followed and dangling ones skipped. Stops early when `visit` answers false.
// False when the folder cannot be read.
bool ListFolder(const std::string& folder, const std::string& pattern,
                const std::function<bool(const FolderEntry&)>& visit);
// False when the file could not be removed (folders are never removed).
bool DeleteFile(const std::string& path);

}  // namespace platform
