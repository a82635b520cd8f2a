#include "app/TProgram.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "gfx/Blit.h"
#include "gfx/Draw.h"
#include "gfx/Pixel.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Image.h"
#include "platform/Resources.h"

namespace app {

namespace {
TProgram* currentProgram = nullptr;
}

TProgram* theProgram() {
    return currentProgram;
}
gfx::Display* theDisplay() {
    return currentProgram ? currentProgram->display.get() : nullptr;
}

TProgram::~TProgram() {
    display.reset();
    window.reset();
    if (currentProgram == this) currentProgram = nullptr;
}

platform::Window* TProgram::Create(Host& host) {
    hInstance = &host;
    currentProgram = this;
    if (!PrepareWindowClass(host)) return nullptr;
    gfx::buildBlendTable();
    window = std::make_unique<platform::Window>(
        host.backend, title,
        [this](platform::Window& w, std::uint32_t msg, platform::WParam wp, platform::LParam lp) {
            return WindowProc(w, msg, wp, lp);
        });
    if (!window->Create()) {
        window.reset();
        hWnd = nullptr;
        return nullptr;
    }
    SetWindowIcon();
    window->BringToForeground();
    if (!CreateDisplay(orientation, 0, 0)) {
        window->Destroy();
        return nullptr;
    }
    keyState = gfx::keyMapFor(orientation);
    ShowSplash();
    BuildScreen();
    return hWnd;
}

int TProgram::PrepareWindowClass(Host& host) {
    if (host.backend.ClaimInstance(title)) return 1;
    // The name without its version, as people call the program.
    std::string name = title.substr(0, title.find(' '));
    std::printf("%s is already running; brought its window to the front\n", name.c_str());
    std::fflush(stdout);
    return 0;
}

void TProgram::SetWindowIcon() {
    auto bytes = platform::FindResource(platform::RESOURCE_ICON, iconId);
    if (!bytes) return;
    if (auto image = platform::DecodeImage(*bytes))
        window->GetBackend().SetIcon(image->width, image->height, image->rgb.data());
}

int TProgram::CreateDisplay(std::uint32_t newOrientation, std::uint32_t a, std::uint32_t b) {
    orientation = newOrientation;
    display.reset();
    gfx::DisplayParams params{a, b, orientation, displayMode};
    display = gfx::createDisplay(hInstance->displayFactory, *window, params);
    if (!display || !display->Lock()) {
        display.reset();
        return 0;
    }
    gfx::clear(*display->BackBuffer(), 0);
    display->UnlockAndPresent(gfx::PRESENT_FIRST);
    return 1;
}

void TProgram::ShowSplash() {
    gfx::SurfacePtr picture = gfx::loadImageResource(splashImage, platform::RESOURCE_GIF);
    if (!picture || !display) return;
    gfx::SurfacePtr before = gfx::captureScreen(*display);
    if (!before) return;
    gfx::crossFadeTo(*display, *picture, 500);
    platform::SleepMs(1500);
    gfx::clear(*before, 0);
    gfx::crossFadeTo(*display, *before, 500);
}

platform::LResult TProgram::HandleMessage(std::uint32_t, platform::WParam, platform::LParam) {
    return 0;
}

int TProgram::Run() {
    frameInterval = 1000 / std::max<std::uint32_t>(framesPerSecond, 1);
    active = 1;
    std::uint32_t lastFrame = 0;
    bool framed = false;  // the last pass ran a frame
    platform::Msg msg;
    for (;;) {
        if (active != 1) {
            if (!window->Get(msg)) break;
            window->Translate(msg);
            window->Dispatch(msg);
            continue;
        }
        // A due frame goes before waiting messages, so that a stream of input (a drag)
        // cannot hold frames back; after each frame one message goes first, so that frames
        // longer than the interval cannot hold messages back either.
        std::uint32_t now = platform::TickMs();
        std::uint32_t sinceFrame = now - lastFrame;
        bool due = sinceFrame >= frameInterval;
        if (due && !framed && !window->QuitPending()) {
            if (!Frame()) {
                window->Destroy();
                break;
            }
            lastFrame = now;
            framed = true;
            continue;
        }
        framed = false;
        if (window->Peek(msg)) {
            if (msg.message == platform::MSG_QUIT) break;
            window->Translate(msg);
            window->Dispatch(msg);
        } else if (!due) {
            // Sleeps until input, a timer or the next frame is due.
            window->Wait(frameInterval - sinceFrame);
        }
    }
    return OnExit();
}

platform::LResult TProgram::WindowProc(platform::Window& w, std::uint32_t msg,
                                       platform::WParam wParam, platform::LParam lParam) {
    using namespace platform;
    switch (msg) {
        case MSG_CREATE:
            hWnd = &w;
            return OnCreate() ? 0 : -1;
        case MSG_DESTROY:
            w.PostQuit(0);
            break;
        case MSG_SIZE:
            HandleMessage(msg, wParam, lParam);
            break;
        case MSG_ACTIVATE:
            if (LowWord(wParam) != 0) {
                active = 1;
                OnActivate();
            } else {
                active = 0;
                OnDeactivate();
            }
            break;
        case MSG_PAINT:
            // On a desktop an inactive window is still seen: show the last frame again
            // whenever the window is uncovered, active or not.
            if (display && display->Lock()) {
                display->Invalidate();
                display->UnlockAndPresent(0);
            }
            break;
        case MSG_CLOSE:
            if (closing) return 0;
            if (!CanClose()) return 0;
            closing = true;
            DefaultWindowProc(w, msg, wParam, lParam);
            closing = false;
            return 0;
        case MSG_ERASEBKGND:
            return 1;
        case MSG_KEYDOWN:
        case MSG_KEYUP:
        case MSG_CHAR:
        case MSG_COMMAND:
        case MSG_TIMER:
            HandleMessage(msg, wParam, lParam);
            break;
        default:
            if ((msg >= MSG_MOUSEMOVE && msg <= MSG_RBUTTONUP) || msg == MSG_MOUSEWHEEL ||
                (msg >= MSG_USER && msg <= MSG_USER_LAST))
                HandleMessage(msg, wParam, lParam);
            break;
    }
    return DefaultWindowProc(w, msg, wParam, lParam);
}

std::string ModulePath(std::string_view name) {
    return platform::ProgramFolder() + "/" + std::string(name);
}

void ForceExtension(std::string& name, std::string_view ext) {
    auto dot = name.rfind('.');
    if (dot != std::string::npos && name.size() - dot == ext.size() &&
        std::equal(ext.begin(), ext.end(), name.begin() + static_cast<std::ptrdiff_t>(dot),
                   [](char a, char b) {
                       return std::tolower(static_cast<unsigned char>(a)) ==
                              std::tolower(static_cast<unsigned char>(b));
                   })) {
        name.replace(dot, ext.size(), ext);
        return;
    }
    name += ext;
}

void RequestClose() {
    if (TProgram* p = theProgram(); p && p->hWnd) p->hWnd->Post(platform::MSG_CLOSE);
}

}  // namespace app
