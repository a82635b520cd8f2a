// Recordings read for --mic and `detect` (any format libsndfile knows, resampled): read,
// or refused with a one-line reason.
#include <sys/mman.h>
#include <unistd.h>

#include "FuzzTarget.h"
#include "platform/audio/Recording.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int fd = memfd_create("recording", MFD_CLOEXEC);
    if (fd < 0) fuzz::Fail("no memory file");
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        fuzz::Fail("cannot fill the memory file");
    std::string error;
    auto samples = platform::ReadRecording("/proc/self/fd/" + std::to_string(fd), 8000, error);
    if (!samples && (error.empty() || error.find('\n') != std::string::npos))
        fuzz::Fail("a refusal without a one-line reason");
    if (samples && samples->empty()) fuzz::Fail("a recording taken with no sound");
    return 0;
}
