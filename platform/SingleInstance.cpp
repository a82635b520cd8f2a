#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool AskPrimaryToRaise(const std::string& socketPath) {
    sockaddr_un address;
    if (!FillAddress(socketPath, address)) return false;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              write(fd, "raise\n", 6) == 6;
    close(fd);
    return ok;
}

}  // namespace

SingleInstance::SingleInstance(std::string folder, std::string name)
    : lockPath(folder + "/" + name + ".lock"), socketPath(folder + "/" + name + ".sock") {}

SingleInstance::~SingleInstance() {
    stopping = true;
    if (listener.joinable()) listener.join();
    if (listenFd >= 0) {
        close(listenFd);
        unlink(socketPath.c_str());
    }
    if (lockFd >= 0) close(lockFd);  // releases the lock
}

std::string SingleInstance::DefaultFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
    std::string folder = "/tmp/fretlore-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    return folder;
}

SingleInstance::Role SingleInstance::Claim(std::function<void()> callback) {
    lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) return Role::Unavailable;
    if (flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        bool wouldBlock = errno == EWOULDBLOCK;
        close(lockFd);
        lockFd = -1;
        if (!wouldBlock) return Role::Unavailable;
        AskPrimaryToRaise(socketPath);  // a copy still starting up may not listen yet
        return Role::Secondary;
    }
    onRaise = std::move(callback);
    sockaddr_un address;
    if (!FillAddress(socketPath, address)) return Role::Primary;
    unlink(socketPath.c_str());  // left by a copy that crashed; we hold the lock now
    listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenFd >= 0 &&
        bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        listen(listenFd, 4) == 0) {
        listener = std::thread([this] { Listen(); });
    }
    return Role::Primary;
}

void SingleInstance::Listen() {
    while (!stopping) {
        pollfd p{listenFd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        int client = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        char buffer[16];
        pollfd c{client, POLLIN, 0};
        if (poll(&c, 1, 200) > 0 && read(client, buffer, sizeof buffer) > 0) {
            std::lock_guard lock(callbackMutex);
            if (onRaise) onRaise();
        }
        close(client);
    }
}

}  // namespace platform
