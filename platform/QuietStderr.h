#pragma once
// The window system and sound libraries SDL loads print their own complaints (a missing
// runtime folder, no sound card) on standard error; the program says what failed in one
// line of its own instead.

#include <fcntl.h>
#include <unistd.h>

namespace platform {

// Sends standard error to /dev/null for the lifetime of the object.
class QuietStderr {
  public:
    QuietStderr() : saved(dup(STDERR_FILENO)) {
        int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) close(null);
    }
    ~QuietStderr() {
        if (saved < 0) return;
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

  private:
    int saved;
};

}  // namespace platform
