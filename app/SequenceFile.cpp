#include "app/SequenceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/SafeFile.h"

namespace app {
namespace {

SequenceLoadResult CannotOpen(const std::string& path, int error) {
    return {SequenceLoad::CANNOT_OPEN, "cannot read " + path + ": " + std::strerror(error)};
}

// Reads at most one byte more than a sequence has, so a huge file costs nothing and a
// longer one is still seen to be longer. A pipe or device is refused before any read,
// as reading it could wait for ever.
SequenceLoadResult ReadImage(const std::string& path, std::vector<std::uint8_t>& bytes) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return CannotOpen(path, errno);
    struct stat st {};
    int error = fstat(fd, &st) != 0 ? errno : (S_ISDIR(st.st_mode) ? EISDIR : 0);
    if (error == 0 && !S_ISREG(st.st_mode)) error = EINVAL;
    bytes.resize(theory::SEQUENCE_FILE_BYTES + 1);
    std::size_t got = 0;
    while (error == 0 && got < bytes.size()) {
        ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    if (error != 0) return CannotOpen(path, error);
    bytes.resize(got);
    return {};
}

}  // namespace

SequenceLoadResult LoadSequenceFile(const std::string& path, theory::Sequence& sequence) {
    std::vector<std::uint8_t> bytes;
    SequenceLoadResult read = ReadImage(path, bytes);
    if (read.outcome != SequenceLoad::LOADED) return read;
    std::string why = theory::DecodeSequence(bytes, sequence);
    if (why.empty()) return {};
    if (bytes.size() > theory::SEQUENCE_FILE_BYTES)
        why = "longer than " + std::to_string(theory::SEQUENCE_FILE_BYTES) + " bytes";
    return {SequenceLoad::NOT_A_SEQUENCE, path + ": not a sequence file (" + why + ")"};
}

std::string SaveSequenceFile(const std::string& path, const theory::Sequence& sequence) {
    theory::SequenceImage image = theory::EncodeSequence(sequence);
    return platform::WriteFileSafely(path, image);
}

}  // namespace app
