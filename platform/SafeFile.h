#pragma once
// The one way the program writes a file: never half written, never somewhere else.

#include <sys/stat.h>

#include <cstdint>
#include <span>
#include <string>

namespace platform {

// Writes one file. A regular file (or a new one) is written under a fresh, exclusively
// created name beside it and renamed over it by Commit, so a reader sees either the old
// content or the whole new one. A symbolic link stays a link: the file it points to is
// the one replaced. A character device or a pipe is written in place, as it cannot be
// replaced. A replaced file keeps its mode; a new one gets 0644 less the umask.
// Abandoning the writer (Discard, or destroying it without Commit) leaves everything as
// it was. Every error is one line naming the file, "" meaning success; after an error
// the writer is closed.
class SafeFileWriter {
  public:
    SafeFileWriter() = default;
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    std::string Open(const std::string& target);
    std::string Write(std::span<const std::uint8_t> bytes);
    // Overwrites bytes written before (a header completed at the end); needs Seekable().
    std::string WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    std::string Commit();
    void Discard();

    bool IsOpen() const { return fd >= 0; }
    // False for a pipe or a terminal: what is written is gone.
    bool Seekable() const { return seekable; }

    // Whether Open would succeed, changing nothing: a pipe is not opened (that would
    // end its reader's input), a file's folder is tried with a temporary file.
    static std::string Check(const std::string& target);

  private:
    std::string Prepare(const std::string& target, bool openInPlace);
    std::string OpenInPlace(const struct stat& st);
    std::string OpenTemporary();
    std::string Fail(const std::string& what, int error);

    std::string target;    // as given, for messages
    std::string resolved;  // the file written: target with its links followed
    std::string temp;      // "" when writing in place
    int fd = -1;
    bool seekable = false;
    bool replacing = false;  // an existing regular file, whose mode and owner are kept
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

// Writes all of `bytes` to `path` through a SafeFileWriter; "" or the reason.
std::string WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace platform
