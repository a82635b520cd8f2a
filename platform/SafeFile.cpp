#include "platform/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace platform {

namespace {

// Beyond this many links in a row the target is refused, as the kernel does.
constexpr int MAX_LINK_HOPS = 40;
constexpr int TEMP_NAME_TRIES = 16;

std::string FolderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Reason(int error) {
    return std::strerror(error);
}

// Follows `path` through symbolic links to the first thing that is not one (which may not
// exist yet). Fills `st` and `exists`; 0 or an errno value.
int Resolve(std::string& path, struct stat& st, bool& exists) {
    for (int hops = 0; hops <= MAX_LINK_HOPS; ++hops) {
        if (lstat(path.c_str(), &st) != 0) {
            exists = false;
            return errno == ENOENT ? 0 : errno;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            return 0;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        ssize_t n = readlink(path.c_str(), link.data(), link.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) >= link.size()) return ENAMETOOLONG;  // grew meanwhile
        link.resize(static_cast<std::size_t>(n));
        path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
    }
    return ELOOP;
}

std::string RandomSuffix() {
    static constexpr char DIGITS[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::random_device random;
    std::string suffix;
    for (int i = 0; i < 10; ++i)
        suffix += DIGITS[random() % 36];
    return suffix;
}

int WriteAll(int fd, std::span<const std::uint8_t> bytes, std::int64_t offset) {
    while (!bytes.empty()) {
        ssize_t n = offset < 0 ? write(fd, bytes.data(), bytes.size())
                               : pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        bytes = bytes.subspan(static_cast<std::size_t>(n));
        if (offset >= 0) offset += n;
    }
    return 0;
}

}  // namespace

SafeFileWriter::~SafeFileWriter() {
    Discard();
}

void SafeFileWriter::Discard() {
    if (fd >= 0) close(fd);
    fd = -1;
    if (!temp.empty()) unlink(temp.c_str());
    temp.clear();
}

std::string SafeFileWriter::Fail(const std::string& what, int error) {
    Discard();
    return what + ": " + Reason(error);
}

std::string SafeFileWriter::Open(const std::string& path) {
    return Prepare(path, true);
}

std::string SafeFileWriter::Check(const std::string& path) {
    SafeFileWriter probe;
    return probe.Prepare(path, false);  // the probe's temporary file goes with it
}

std::string SafeFileWriter::Prepare(const std::string& path, bool openInPlace) {
    Discard();
    target = path;
    resolved = path;
    seekable = false;
    replacing = false;
    if (path.empty()) return "no file name given";
    // Asked through whatever links lead there, as /dev/stdout leads to a pipe by a name
    // ("pipe:[...]") that is no path.
    struct stat seen {};
    if (stat(path.c_str(), &seen) == 0 && (S_ISCHR(seen.st_mode) || S_ISFIFO(seen.st_mode))) {
        if (openInPlace) return OpenInPlace(seen);
        return access(path.c_str(), W_OK) == 0 ? std::string()
                                               : Fail("cannot write " + target, errno);
    }
    struct stat st {};
    bool exists = false;
    if (int error = Resolve(resolved, st, exists); error != 0)
        return "cannot write " + target + ": " + Reason(error);
    if (!exists) return OpenTemporary();
    if (S_ISDIR(st.st_mode)) return "cannot write " + target + ": it is a folder";
    // A disk (block device) or a socket is nothing a file of ours belongs in.
    if (!S_ISREG(st.st_mode))
        return "cannot write " + target + ": it is neither a file, a device nor a pipe";
    replacing = true;
    mode = st.st_mode & 07777;
    owner = st.st_uid;
    group = st.st_gid;
    return OpenTemporary();
}

std::string SafeFileWriter::OpenInPlace(const struct stat& st) {
    // Without O_NONBLOCK, a pipe nobody reads would hang the open for good. Links are
    // followed (nothing is created or truncated); what was opened is checked below.
    fd = open(target.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENXIO && S_ISFIFO(st.st_mode))
        return "cannot write " + target + ": nobody is reading from the pipe";
    if (fd < 0) return Fail("cannot write " + target, errno);
    struct stat now {};
    // Swapped for something else since it was looked at? Writing in place (no temporary
    // file, no truncation) is only right for the device or pipe seen.
    if (fstat(fd, &now) != 0 || now.st_dev != st.st_dev || now.st_ino != st.st_ino) {
        Discard();
        return "cannot write " + target + ": it changed while being opened";
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return Fail("cannot write " + target, errno);
    seekable = lseek(fd, 0, SEEK_CUR) >= 0;
    return {};
}

std::string SafeFileWriter::OpenTemporary() {
    std::string folder = FolderOf(resolved), name = NameOf(resolved);
    for (int attempt = 0; attempt < TEMP_NAME_TRIES; ++attempt) {
        temp = folder + "/." + name + "." + RandomSuffix() + ".tmp";
        // Exclusive creation: never an existing file, never through a planted link. The
        // kernel applies the umask to 0644.
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0) {
            seekable = true;
            return {};
        }
        int error = errno;
        temp.clear();
        if (error != EEXIST) return Fail("cannot write " + target, error);
    }
    return Fail("cannot write " + target, EEXIST);
}

std::string SafeFileWriter::Write(std::span<const std::uint8_t> bytes) {
    if (fd < 0) return "cannot write " + target + ": it is not open";
    if (int error = WriteAll(fd, bytes, -1); error != 0)
        return Fail("cannot write " + target, error);
    return {};
}

std::string SafeFileWriter::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (fd < 0) return "cannot write " + target + ": it is not open";
    if (!seekable) return Fail("cannot write " + target, ESPIPE);
    if (int error = WriteAll(fd, bytes, static_cast<std::int64_t>(offset)); error != 0)
        return Fail("cannot write " + target, error);
    return {};
}

std::string SafeFileWriter::Commit() {
    if (fd < 0) return "cannot write " + target + ": it is not open";
    bool inPlace = temp.empty();
    // A device or pipe may have nothing to flush to.
    if (fsync(fd) != 0 && !(inPlace && (errno == EINVAL || errno == EROFS || errno == ENOTSUP)))
        return Fail("cannot save " + target + " to disk", errno);
    if (replacing) {
        // Owner first: a change of owner clears the set-id bits the mode then restores.
        // Only root may give a file away; anyone else keeps the file as their own.
        if (owner != geteuid() || group != getegid()) (void)!fchown(fd, owner, group);
        if (fchmod(fd, mode) != 0) return Fail("cannot write " + target, errno);
    }
    int closed = close(fd);
    fd = -1;
    if (closed != 0) return Fail("cannot write " + target, errno);
    if (inPlace) return {};
    if (rename(temp.c_str(), resolved.c_str()) != 0) return Fail("cannot replace " + target, errno);
    temp.clear();
    // The new name is durable once its folder is; a failure here loses nothing written.
    if (int folder = open(FolderOf(resolved).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return {};
}

std::string WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes) {
    SafeFileWriter file;
    if (std::string error = file.Open(path); !error.empty()) return error;
    if (std::string error = file.Write(bytes); !error.empty()) return error;
    return file.Commit();
}

}  // namespace platform
