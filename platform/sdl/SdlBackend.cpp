#include "platform/sdl/SdlBackend.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/QuietStderr.h"
#include "platform/Thread.h"
#include "platform/Window.h"
#include "platform/sdl/NativeEvents.h"

namespace platform::sdl {

namespace {
constexpr int NATIVE_POLL_MS = 5;
}

std::unique_ptr<SdlBackend> SdlBackend::Create(int scale, std::string& error) {
    // Present through the window's own frame buffer, not an OpenGL context drawn on the CPU.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Without a display SDL would fall back to drawing off screen, and the program would
    // run where nobody can see it.
    const char* forced = std::getenv("SDL_VIDEODRIVER");
    if (!forced && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        error = "neither DISPLAY nor WAYLAND_DISPLAY is set";
        return nullptr;
    }
    int failed;
    {
        // The caller reports a failure in one line.
        QuietStderr quiet;
        failed = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }
    if (failed != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (!forced && (driver == "offscreen" || driver == "dummy")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        error = "no display could be opened";
        return nullptr;
    }
    auto backend = std::unique_ptr<SdlBackend>(new SdlBackend(std::max(1, scale)));
    if (pipe2(backend->wakePipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return nullptr;
    }
    return backend;
}

SdlBackend::~SdlBackend() {
    instance.reset();
    CloseWindow();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    for (int fd : wakePipe)
        if (fd >= 0) close(fd);
}

Viewport SdlBackend::CurrentViewport() const {
    int w = ScreenWidth() * scale;
    int h = ScreenHeight() * scale;
    if (window) SDL_GetWindowSize(window, &w, &h);
    return ComputeViewport(w, h, ScreenWidth(), ScreenHeight());
}

bool SdlBackend::ClaimInstance(const std::string& title) {
    std::string name;
    for (char c : title)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '-';
    instance = std::make_unique<SingleInstance>(SingleInstance::DefaultFolder(), name);
    auto role = instance->Claim([this] {
        std::lock_guard lock(ownerMutex);
        if (owner) owner->Post(MSG_RAISE);
    });
    return role != SingleInstance::Role::Secondary;
}

bool SdlBackend::OpenWindow(Window& w) {
    // A window taller than the desktop would put the bottom row of buttons out of reach.
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
        int fitted = FitScale(scale, usable.w, usable.h, ScreenWidth(), ScreenHeight());
        if (fitted < scale) {
            std::fprintf(stderr,
                         "fretlore: a window at scale %d would not fit the screen's %dx%d; "
                         "using scale %d\n",
                         scale, usable.w, usable.h, fitted);
            scale = fitted;
        }
    }
    int width = ScreenWidth() * scale, height = ScreenHeight() * scale;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (initialPosition) {
        std::vector<SDL_Rect> displays;
        for (int d = 0; d < SDL_GetNumVideoDisplays(); ++d) {
            SDL_Rect bounds{};
            if (SDL_GetDisplayUsableBounds(d, &bounds) == 0) displays.push_back(bounds);
        }
        // A place remembered from a screen that is gone would open the window out of sight.
        if (ShowsOnADisplay(initialPosition->x, initialPosition->y, width, height, displays)) {
            x = initialPosition->x;
            y = initialPosition->y;
        }
    }
    window = SDL_CreateWindow(w.Title().c_str(), x, y, width, height, SDL_WINDOW_RESIZABLE);
    if (!window) return false;
    SDL_SetWindowMinimumSize(window, ScreenWidth(), ScreenHeight());
    SDL_StartTextInput();  // typed characters for the text fields
    nativeFd = NativeEventFd(window);
    std::lock_guard lock(ownerMutex);
    owner = &w;
    return true;
}

void SdlBackend::CloseWindow() {
    {
        std::lock_guard lock(ownerMutex);
        owner = nullptr;
    }
    if (window) {
        int w = 0, h = 0, x = 0, y = 0;
        SDL_GetWindowSize(window, &w, &h);
        SDL_GetWindowPosition(window, &x, &y);
        int fits = std::min(w / ScreenWidth(), h / ScreenHeight());
        lastPlacement = Placement{std::clamp(fits, 1, 8), x, y};
        SDL_CaptureMouse(SDL_FALSE);
        SDL_DestroyWindow(window);
        window = nullptr;
        nativeFd = -1;
    }
}

void SdlBackend::PumpEvents(Window& w) {
    SDL_Event event;
    Viewport viewport = CurrentViewport();
    while (SDL_PollEvent(&event)) {
        if (auto msg = TranslateSdlEvent(event, viewport, captured))
            w.Post(msg->message, msg->wParam, msg->lParam);
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            viewport = CurrentViewport();
    }
}

void SdlBackend::WaitEvents(Window&, std::uint32_t timeoutMs) {
    // Events already read from the connection wait in SDL's queue, not on the descriptor.
    SDL_PumpEvents();
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
    int timeout = timeoutMs == INFINITE_WAIT
                      ? -1
                      : static_cast<int>(std::min<std::uint32_t>(timeoutMs, 1u << 30));
    // Without a descriptor to watch (not X11), look at the window system every few ms.
    if (nativeFd < 0 && (timeout < 0 || timeout > NATIVE_POLL_MS)) timeout = NATIVE_POLL_MS;
    std::array<pollfd, 2> fds{pollfd{wakePipe[0], POLLIN, 0}, pollfd{nativeFd, POLLIN, 0}};
    poll(fds.data(), nativeFd >= 0 ? 2 : 1, timeout);
    DrainWakes();
}

void SdlBackend::Wake(Window&) {
    char byte = 1;
    // A full pipe already holds a wake-up; nothing is lost when this write fails.
    [[maybe_unused]] auto written = write(wakePipe[1], &byte, 1);
}

void SdlBackend::DrainWakes() {
    std::array<char, 64> bytes;
    while (read(wakePipe[0], bytes.data(), bytes.size()) > 0) {
    }
}

void SdlBackend::SetCapture(bool capture) {
    captured = capture;
    SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}

void SdlBackend::Raise() {
    if (!window) return;
    SDL_RestoreWindow(window);
    SDL_RaiseWindow(window);
}

void SdlBackend::ShowMessageBox(const std::string& caption, const std::string& text) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), window);
}

void SdlBackend::SetIcon(int width, int height, const std::uint32_t* rgb) {
    if (!window || width <= 0 || height <= 0) return;
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < argb.size(); ++i) {
        std::uint32_t p = rgb[i] & 0xFFFFFF;
        argb[i] = p == 0xFF00FF ? 0 : (0xFF000000u | p);  // magenta is the colour key
    }
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(argb.data(), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

}  // namespace platform::sdl
