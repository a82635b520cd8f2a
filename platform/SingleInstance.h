#pragma once
// Keeps to one running copy per user: the first copy holds a lock file and listens on a
// socket beside it; a later copy finds the lock taken, asks the first to come forward,
// and goes away.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

class SingleInstance {
  public:
    enum class Role { Primary, Secondary, Unavailable };

    // `folder` holds the lock and socket (the per-user runtime folder by default).
    SingleInstance(std::string folder, std::string name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Primary: this copy runs, and `onRaise` is called (on a listener thread) whenever a
    // later copy starts. Secondary: another copy runs and has been asked to come forward.
    // Unavailable: the folder cannot be used; the caller just runs.
    Role Claim(std::function<void()> onRaise);

    // $XDG_RUNTIME_DIR, or a private folder under /tmp for this user.
    static std::string DefaultFolder();

  private:
    void Listen();

    std::string lockPath;
    std::string socketPath;
    int lockFd = -1;
    int listenFd = -1;
    std::atomic<bool> stopping{false};
    std::mutex callbackMutex;
    std::function<void()> onRaise;
    std::thread listener;
};

}  // namespace platform
