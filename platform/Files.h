#pragma once
// Files and folders as the program uses them.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Where the program's files are read from and the user's sequences kept. A copy run where
// it was built keeps both beside the executable; an installed copy (the executable in
// PREFIX/bin with PREFIX/share/fretlore present) reads from that folder, which the user
// cannot write, and keeps sequences in $XDG_DATA_HOME/fretlore/Sequences (~/.local/share
// when unset). FRETLORE_HOME, when set, holds both. No trailing slashes.
struct Folders {
    std::string program;
    std::string sequences;
};
// `env` reads an environment variable (null when unset); `isFolder` tells a folder.
Folders ResolveFolders(const std::string& executableFolder,
                       const std::function<const char*(const char*)>& env,
                       const std::function<bool(const std::string&)>& isFolder);
// The same for this process.
Folders CurrentFolders();
std::string ProgramFolder();
std::string SequencesFolder();
bool IsFolder(const std::string& path);
// True when the folder exists afterwards (an existing folder is no error).
bool CreateFolder(const std::string& path);
// The same, making the missing folders above it first.
bool CreateFolders(const std::string& path);
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
