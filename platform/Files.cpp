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

std::string ProgramFolder() {
    if (const char* home = std::getenv("FRETLORE_HOME"); home && *home) {
        std::string folder = home;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    std::string path(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) return ".";
    path.resize(static_cast<std::size_t>(n));
    auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

bool CreateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0755) == 0) return true;
    struct stat st {};
    return errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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
