// Starts the real program in a window under a virtual display, drives it into one modal
// screen with input events, asks it to close as a window manager would (a WM_DELETE_WINDOW
// client message) and checks that it ends with 0 and no X error. Every scenario runs in its
// own child process with its own copy of the program, side by side on the same display.
//
//   close_request_driver PROGRAM RUNS SCENARIO...
//   scenarios: main title help mode-menu exit-menu held-tap
// With CLOSE_DRIVER_IDLE_SECONDS=N each run first measures the program's processor use over
// N seconds on the screen it was driven to; CLOSE_DRIVER_TRACE=1 prints two probe pixels
// whenever the picture changes.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* TITLE = "Fretlore 1.03";
constexpr int WIDTH = 240, HEIGHT = 320;
using Clock = std::chrono::steady_clock;

void Sleep(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// One copy of the program with its stderr in a file.
struct Child {
    pid_t pid = -1;
    std::string errPath;
};

Child Start(const std::string& program, const std::string& privateDir) {
    Child c;
    c.errPath = privateDir + "/stderr.txt";
    c.pid = fork();
    if (c.pid == 0) {
        // A folder of its own: the copies side by side must not find each other.
        setenv("XDG_RUNTIME_DIR", privateDir.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        int err = open(c.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int out = open("/dev/null", O_WRONLY);
        dup2(err, STDERR_FILENO);
        dup2(out, STDOUT_FILENO);
        execl(program.c_str(), program.c_str(), "--scale", "1", static_cast<char*>(nullptr));
        _exit(127);
    }
    return c;
}

// The exit status, or -1 when the program did not end within `ms`.
int WaitForExit(pid_t pid, int ms) {
    for (auto end = Clock::now() + std::chrono::milliseconds(ms); Clock::now() < end; Sleep(10)) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

std::string ReadFile(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

// User and system time of a process so far, in seconds.
double CpuSeconds(pid_t pid) {
    std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    std::size_t end = stat.rfind(')');
    if (end == std::string::npos) return 0;
    unsigned long user = 0, system = 0;
    // Fields 14 and 15 (utime, stime) are the 12th and 13th after the name's closing bracket.
    if (std::sscanf(stat.c_str() + end + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
                    &user, &system) != 2)
        return 0;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

class Driver {
  public:
    Driver(Display* dpy, int slot) : dpy(dpy), slot(slot) {}

    // The program's top-level window, found by its title and its process id.
    bool FindWindow(pid_t pid, int ms) {
        Atom pidAtom = XInternAtom(dpy, "_NET_WM_PID", False);
        for (auto end = Clock::now() + std::chrono::milliseconds(ms); Clock::now() < end;
             Sleep(20)) {
            Window root = DefaultRootWindow(dpy), parent, *children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(dpy, root, &root, &parent, &children, &count)) continue;
            for (unsigned i = 0; i < count && !window; ++i)
                if (HasTitle(children[i]) && PidOf(children[i], pidAtom) == pid)
                    window = children[i];
            if (children) XFree(children);
            if (window) {
                // Side by side along the top, so that each window's pixels can be read: a
                // new copy's window opens in the middle of the screen, which must be taller
                // than two windows (the CTest runs it on 1600 x 1100).
                XMoveWindow(dpy, window, 10 + slot * (WIDTH + 10), 10);
                XSync(dpy, False);
                return true;
            }
        }
        return false;
    }

    // Waits until the picture stops changing for `stableMs` and `accept` likes it.
    bool Settle(const std::function<bool(const Driver&)>& accept, int stableMs, int ms) {
        std::vector<unsigned long> last;
        auto since = Clock::now();
        for (auto end = Clock::now() + std::chrono::milliseconds(ms); Clock::now() < end;
             Sleep(20)) {
            std::vector<unsigned long> now = Grab();
            if (now != last) {
                if (std::getenv("CLOSE_DRIVER_TRACE") && !now.empty())
                    std::fprintf(stderr, "%06lx %06lx\n", now[2 * WIDTH + 2] & 0xFFFFFF,
                                 now[160 * WIDTH + 120] & 0xFFFFFF);
                last = now;
                since = Clock::now();
                continue;
            }
            pixels = now;
            if (!now.empty() && Clock::now() - since >= std::chrono::milliseconds(stableMs) &&
                accept(*this))
                return true;
        }
        return false;
    }

    // Waits for a new, settled picture after some input.
    bool SettleChanged(int ms = 4000) {
        std::vector<unsigned long> before = pixels;
        return Settle([before](const Driver& d) { return d.pixels != before; }, 150, ms);
    }

    unsigned long Pixel(int x, int y) const {
        return pixels.empty() ? 0 : pixels[static_cast<std::size_t>(y) * WIDTH + x] & 0xFFFFFF;
    }
    static int Brightness(unsigned long rgb) {
        return static_cast<int>(((rgb >> 16) & 255) + ((rgb >> 8) & 255) + (rgb & 255)) / 3;
    }

    void Key(KeySym sym) {
        XKeyEvent e = Event<XKeyEvent>(KeyPress, KeyPressMask);
        e.keycode = XKeysymToKeycode(dpy, sym);
        Send(e, KeyPressMask);
        e.type = KeyRelease;
        Send(e, KeyReleaseMask);
        XFlush(dpy);
    }

    // Moves the pointer there and presses (and, unless `hold`, releases) the left button.
    void Tap(int x, int y, bool hold = false) {
        XMotionEvent m = Event<XMotionEvent>(MotionNotify, PointerMotionMask);
        m.x = x, m.y = y;
        Send(m, PointerMotionMask);
        XButtonEvent b = Event<XButtonEvent>(ButtonPress, ButtonPressMask);
        b.x = x, b.y = y, b.button = Button1;
        Send(b, ButtonPressMask);
        if (!hold) {
            b.type = ButtonRelease;
            b.state = Button1Mask;
            Send(b, ButtonReleaseMask);
        }
        XFlush(dpy);
    }

    // What a window manager sends when the user closes the window.
    void RequestClose() {
        XClientMessageEvent c{};
        c.type = ClientMessage;
        c.window = window;
        c.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
        c.format = 32;
        c.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
        c.data.l[1] = CurrentTime;
        XSendEvent(dpy, window, False, NoEventMask, reinterpret_cast<XEvent*>(&c));
        XSync(dpy, False);
    }

    std::vector<unsigned long> pixels;

  private:
    bool HasTitle(Window w) {
        char* name = nullptr;
        bool match = XFetchName(dpy, w, &name) && name && std::strcmp(name, TITLE) == 0;
        if (name) XFree(name);
        return match;
    }

    long PidOf(Window w, Atom pidAtom) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        long pid = -1;
        if (XGetWindowProperty(dpy, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                               &after, &data) == Success &&
            data && items == 1)
            pid = *reinterpret_cast<long*>(data);
        if (data) XFree(data);
        return pid;
    }

    std::vector<unsigned long> Grab() {
        std::vector<unsigned long> out;
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, window, &a) || a.map_state != IsViewable ||
            a.width < WIDTH || a.height < HEIGHT)
            return out;
        XImage* image = XGetImage(dpy, window, 0, 0, WIDTH, HEIGHT, AllPlanes, ZPixmap);
        if (!image) return out;
        out.reserve(WIDTH * HEIGHT);
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x)
                out.push_back(XGetPixel(image, x, y));
        XDestroyImage(image);
        return out;
    }

    template <typename E>
    E Event(int type, long) const {
        E e{};
        e.type = type;
        e.display = dpy;
        e.window = window;
        e.root = DefaultRootWindow(dpy);
        e.subwindow = None;
        e.time = CurrentTime;
        e.same_screen = True;
        return e;
    }

    template <typename E>
    void Send(E& e, long mask) {
        XSendEvent(dpy, window, True, mask, reinterpret_cast<XEvent*>(&e));
    }

    Display* dpy;
    int slot;
    Window window = 0;
};

// The title screen: the picture in the middle over a darkened screen (the splash before it
// fills the whole window).
bool IsTitle(const Driver& d) {
    int corner = Driver::Brightness(d.Pixel(2, 2));
    return corner > 100 && corner < 180 && Driver::Brightness(d.Pixel(120, 160)) > 0;
}
// The Guitar Chords screen: its light background at the top left.
bool IsMain(const Driver& d) {
    return Driver::Brightness(d.Pixel(2, 2)) >= 180;
}

// Brings the program from its title to the screen `scenario` names; false when a step did
// not show.
bool DriveTo(Driver& d, const std::string& scenario, std::string& step) {
    step = "see the title screen";
    if (!d.Settle(IsTitle, 300, 8000)) return false;
    if (scenario == "title") return true;
    d.Key(XK_Return);
    step = "see the main screen";
    if (!d.Settle(IsMain, 150, 4000)) return false;
    if (scenario == "main") return true;
    step = "see " + scenario;
    if (scenario == "help") {
        d.Tap(30, 307);
    } else if (scenario == "held-tap") {
        d.Tap(202, 33, true);  // a chord tone on the fret board: its dot shows while held
    } else {
        d.Tap(210, 307);  // Menu
        if (scenario == "exit-menu") {
            if (!d.SettleChanged()) return false;
            d.Tap(120, 82 + 7 * 22 + 10);  // the last row: Exit Program
        }
    }
    return d.SettleChanged();
}

// One scenario `runs` times; the number of failed runs.
int RunScenario(const std::string& program, const std::string& scenario, int runs, int slot) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "%s: cannot open the display\n", scenario.c_str());
        return runs;
    }
    int failures = 0;
    for (int run = 1; run <= runs; ++run) {
        char dir[] = "/tmp/fretlore-close-XXXXXX";
        if (!mkdtemp(dir)) return runs;
        Child child = Start(program, dir);
        Driver d(dpy, slot);
        std::string step = "find the window";
        bool ok = d.FindWindow(child.pid, 8000);
        if (ok) {
            ok = DriveTo(d, scenario, step);
        }
        if (ok && std::getenv("CLOSE_DRIVER_IDLE_SECONDS")) {
            int seconds = std::atoi(std::getenv("CLOSE_DRIVER_IDLE_SECONDS"));
            double before = CpuSeconds(child.pid);
            Sleep(seconds * 1000);
            std::printf("%-10s idle: %.2f %% of a core over %d s\n", scenario.c_str(),
                        100.0 * (CpuSeconds(child.pid) - before) / seconds, seconds);
        }
        if (ok) d.RequestClose();
        int status = WaitForExit(child.pid, ok ? 5000 : 0);
        std::string err = ReadFile(child.errPath);
        bool xError =
            err.find("X Error") != std::string::npos || err.find("BadWindow") != std::string::npos;
        if (!ok || status != 0 || xError) {
            ++failures;
            std::fprintf(stderr, "%s run %d: %s (%06lx %06lx), exit %d%s%s\n", scenario.c_str(),
                         run, ok ? "closed" : ("could not " + step).c_str(), d.Pixel(2, 2),
                         d.Pixel(120, 160), status, err.empty() ? "" : ", stderr:\n", err.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    XCloseDisplay(dpy);
    std::printf("%-10s %d/%d closed cleanly\n", scenario.c_str(), runs - failures, runs);
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PROGRAM RUNS SCENARIO...\n", argv[0]);
        return 2;
    }
    // Windows of other copies come and go while the tree is read: their errors are no failure.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    std::string program = argv[1];
    int runs = std::atoi(argv[2]);
    std::vector<pid_t> drivers;
    for (int i = 3; i < argc; ++i) {
        pid_t pid = fork();
        if (pid == 0) {
            std::fflush(stdout);
            int failures = RunScenario(program, argv[i], runs, i - 3);
            std::fflush(stdout);
            _exit(failures == 0 ? 0 : 1);
        }
        drivers.push_back(pid);
    }
    int failed = 0;
    for (pid_t pid : drivers) {
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failed;
    }
    return failed == 0 ? 0 : 1;
}
