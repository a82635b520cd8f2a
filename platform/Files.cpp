#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace platform {

namespace {

std::string WithoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string ExecutableFolder() {
    std::string path(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) return ".";
    path.resize(static_cast<std::size_t>(n));
    auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

}  // namespace

Folders ResolveFolders(const std::string& executableFolder,
                       const std::function<const char*(const char*)>& env,
                       const std::function<bool(const std::string&)>& isFolder) {
    if (const char* home = env("FRETLORE_HOME"); home && *home) {
        std::string folder = WithoutTrailingSlashes(home);
        return {folder, (folder == "/" ? "" : folder) + "/Sequences"};
    }
    std::string exe = WithoutTrailingSlashes(executableFolder);
    auto slash = exe.rfind('/');
    if (slash != std::string::npos && exe.substr(slash + 1) == "bin") {
        std::string shared = exe.substr(0, slash) + "/share/fretlore";
        if (isFolder(shared)) {
            std::string data;
            if (const char* xdg = env("XDG_DATA_HOME"); xdg && *xdg == '/') {
                data = WithoutTrailingSlashes(xdg);
            } else if (const char* home = env("HOME"); home && *home) {
                data = WithoutTrailingSlashes(home) + "/.local/share";
            } else {
                data = "/tmp";  // no home: still somewhere writable
            }
            return {shared, (data == "/" ? "" : data) + "/fretlore/Sequences"};
        }
    }
    return {exe, (exe == "/" ? "" : exe) + "/Sequences"};
}

Folders CurrentFolders() {
    return ResolveFolders(
        ExecutableFolder(), [](const char* name) { return std::getenv(name); }, IsFolder);
}

std::string ProgramFolder() {
    return CurrentFolders().program;
}

std::string SequencesFolder() {
    return CurrentFolders().sequences;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0755) == 0) return true;
    return errno == EEXIST && IsFolder(path);
}

bool CreateFolders(const std::string& path) {
    if (path.empty() || IsFolder(path)) return !path.empty();
    auto slash = path.find_last_not_of('/') == std::string::npos
                     ? std::string::npos
                     : path.rfind('/', path.find_last_not_of('/'));
    if (slash != std::string::npos && slash > 0 && !CreateFolders(path.substr(0, slash)))
        return false;
    return CreateFolder(path);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
    std::string ignored;
    return ReadWholeFile(path, ignored);
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::string& error) {
    auto fail = [&](int code) {
        error = "cannot read " + path + ": " + std::strerror(code);
        return std::nullopt;
    };
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    std::unique_ptr<int, void (*)(int*)> closer(&fd, [](int* f) { close(*f); });
    struct stat st {};
    if (fstat(fd, &st) != 0) return fail(errno);
    // A folder opens, and on some systems even reads as empty: it is no file.
    if (S_ISDIR(st.st_mode)) return fail(EISDIR);
    std::vector<std::uint8_t> bytes;
    std::array<std::uint8_t, 65536> chunk{};
    for (;;) {
        ssize_t n = read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(errno);
        if (n == 0) return bytes;
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + n);
    }
}

bool ListFolder(const std::string& folder, const std::string& pattern,
                const std::function<bool(const FolderEntry&)>& visit) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "/" : folder.c_str()),
                                            closedir);
    if (!dir) return false;
    while (const dirent* d = readdir(dir.get())) {
        std::string_view name = d->d_name;
        if (name == "." || name == "..") continue;
        if (fnmatch(pattern.c_str(), d->d_name, FNM_CASEFOLD | FNM_PERIOD) != 0) continue;
        struct stat st {};
        if (fstatat(dirfd(dir.get()), d->d_name, &st, 0) != 0) continue;
        FolderEntry entry;
        entry.name = name;
        entry.kind = S_ISDIR(st.st_mode)   ? FolderEntry::Kind::Folder
                     : S_ISREG(st.st_mode) ? FolderEntry::Kind::File
                                           : FolderEntry::Kind::Other;
        entry.size = static_cast<std::uint64_t>(st.st_size);
        entry.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec);
        if (!visit(entry)) break;
    }
    return true;
}

bool DeleteFile(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return unlink(path.c_str()) == 0;
}

}  // namespace platform
