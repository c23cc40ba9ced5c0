// Watches a program's main window on an X server, the way a person in front
// of it would see it: when it appears, when it first shows a picture, and
// when video shows up after a click. The clock is CLOCK_MONOTONIC, as
// Python's time.monotonic().
//
//   xprobe [--timeout SECONDS] [--ready-title TITLE] -- PROGRAM ARGS...
//
// starts the program and prints "pid=N", "map_ms=T" (its first top-level
// window mapped) and "shown_ms=T" (the first drawing into that window), both
// from the start. With --ready-title it also waits until the window's title
// reads TITLE (UTF-8), the sign of a program that sets its title once its
// start-up work is done, and prints "title_ms=T".
// Then it reads commands from standard input, one a line:
//
//   click X Y   click at X from the window's left and Y from its bottom
//   video       wait for video in the window: most of its upper middle no
//               longer black; prints "video_ms=T" from the last click, or
//               from the start when there was none
//   geometry    prints "geometry=WxH"
//   quit        ends the program (SIGTERM) and itself
//
// A line "error=TEXT" and exit code 2 tell that something timed out.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1e6;
}

Display *g_display = nullptr;
int g_damageEvent = 0;
pid_t g_child = -1;
double g_timeoutMs = 60'000;

[[noreturn]] void Fail(const char *what) {
    std::printf("error=%s\n", what);
    std::fflush(stdout);
    if (g_child > 0)
        kill(g_child, SIGKILL);
    std::exit(2);
}

// Waits for the next X event until the deadline.
bool NextEvent(XEvent &ev, double deadline) {
    while (!XPending(g_display)) {
        const double left = deadline - Now();
        if (left <= 0)
            return false;
        pollfd fd{ConnectionNumber(g_display), POLLIN, 0};
        poll(&fd, 1, int(left) + 1);
    }
    XNextEvent(g_display, &ev);
    return true;
}

bool IsDamage(const XEvent &ev, Window w) {
    return ev.type == g_damageEvent + XDamageNotify &&
           reinterpret_cast<const XDamageNotifyEvent &>(ev).drawable == w;
}

// Video has arrived when most of the upper middle of the window, where the
// picture is, is no longer black: the idle views are black there.
bool ShowsVideo(Window w) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(g_display, w, &a) || a.map_state != IsViewable)
        return false;
    const int x = a.width * 3 / 10, y = a.height * 15 / 100;
    const int width = a.width * 4 / 10, height = a.height * 30 / 100;
    if (width <= 0 || height <= 0)
        return false;
    XImage *img =
        XGetImage(g_display, w, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!img)
        return false;
    long lit = 0, all = 0;
    for (int j = 0; j < height; j += 4) {
        for (int i = 0; i < width; i += 4) {
            const unsigned long p = XGetPixel(img, i, j);
            const unsigned r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
            lit += (r > 48 || g > 48 || b > 48) ? 1 : 0;
            ++all;
        }
    }
    XDestroyImage(img);
    return all > 0 && lit * 4 > all;
}

} // namespace

int main(int argc, char **argv) {
    int first = 1;
    const char *readyTitle = nullptr;
    while (first < argc && std::strcmp(argv[first], "--") != 0) {
        if (std::strcmp(argv[first], "--timeout") == 0 && first + 1 < argc) {
            g_timeoutMs = std::atof(argv[first + 1]) * 1000.0;
            first += 2;
        } else if (std::strcmp(argv[first], "--ready-title") == 0 && first + 1 < argc) {
            readyTitle = argv[first + 1];
            first += 2;
        } else {
            std::fprintf(stderr, "usage: xprobe [--timeout S] -- PROGRAM ARGS...\n");
            return 1;
        }
    }
    if (first + 1 >= argc) {
        std::fprintf(stderr, "usage: xprobe [--timeout S] -- PROGRAM ARGS...\n");
        return 1;
    }
    g_display = XOpenDisplay(nullptr);
    if (!g_display)
        Fail("no-display");
    int damageError = 0;
    if (!XDamageQueryExtension(g_display, &g_damageEvent, &damageError))
        Fail("no-damage-extension");
    const Window root = DefaultRootWindow(g_display);
    XSelectInput(g_display, root, SubstructureNotifyMask);
    XSync(g_display, False);

    const double start = Now();
    g_child = fork();
    if (g_child == 0) {
        close(ConnectionNumber(g_display));
        execvp(argv[first + 1], argv + first + 1);
        _exit(127);
    }
    std::printf("pid=%d\n", int(g_child));

    // A damage record on every top-level window from its creation on, so that
    // no drawing into it goes unseen.
    std::set<Window> tracked;
    Window main = 0;
    double shown = -1;
    double titled = readyTitle ? -1 : 0;
    const Atom wmName = XInternAtom(g_display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(g_display, "UTF8_STRING", False);
    auto titleReady = [&](Window w) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(g_display, w, wmName, 0, 1024, False, utf8, &type, &format, &count,
                               &after, &data) != Success)
            return false;
        const bool same = data && std::string(reinterpret_cast<char *>(data), count) == readyTitle;
        if (data)
            XFree(data);
        return same;
    };
    XEvent ev;
    const double deadline = start + g_timeoutMs;
    while (shown < 0 || titled < 0) {
        if (!NextEvent(ev, deadline))
            Fail("no-window");
        if (ev.type == CreateNotify && ev.xcreatewindow.parent == root &&
            !ev.xcreatewindow.override_redirect) {
            XDamageCreate(g_display, ev.xcreatewindow.window, XDamageReportNonEmpty);
            if (readyTitle)
                XSelectInput(g_display, ev.xcreatewindow.window, PropertyChangeMask);
            tracked.insert(ev.xcreatewindow.window);
        } else if (ev.type == MapNotify && !main && tracked.count(ev.xmap.window)) {
            main = ev.xmap.window;
            std::printf("map_ms=%.1f\nwindow=0x%lx\n", Now() - start, main);
        } else if (main && shown < 0 && IsDamage(ev, main)) {
            shown = Now() - start;
            std::printf("shown_ms=%.1f\n", shown);
        }
        if (main && titled < 0 && titleReady(main)) {
            titled = Now() - start;
            std::printf("title_ms=%.1f\n", titled);
        }
        std::fflush(stdout);
    }

    // Damage reports stop between commands: during playback they would cost
    // the X server and this probe time that the players are measured in.
    XSelectInput(g_display, root, NoEventMask);
    for (const Window w : tracked)
        XSelectInput(g_display, w, NoEventMask);
    Damage damage = 0;
    double mark = start;
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        int x = 0, y = 0;
        if (std::sscanf(line, "click %d %d", &x, &y) == 2) {
            XWindowAttributes a{};
            XGetWindowAttributes(g_display, main, &a);
            Window child = 0;
            int sx = 0, sy = 0;
            XTranslateCoordinates(g_display, main, root, x, a.height - y, &sx, &sy, &child);
            XTestFakeMotionEvent(g_display, -1, sx, sy, 0);
            XSync(g_display, False);
            usleep(50'000); // as a hand would: the pointer rests before it clicks
            damage = XDamageCreate(g_display, main, XDamageReportNonEmpty);
            XTestFakeButtonEvent(g_display, 1, True, 0);
            XTestFakeButtonEvent(g_display, 1, False, 0);
            XSync(g_display, False);
            mark = Now();
            std::printf("clicked\n");
        } else if (std::strncmp(line, "video", 5) == 0) {
            if (!damage)
                damage = XDamageCreate(g_display, main, XDamageReportNonEmpty);
            const double until = Now() + g_timeoutMs;
            bool seen = ShowsVideo(main);
            while (!seen) {
                if (!NextEvent(ev, until))
                    Fail("no-video");
                if (!IsDamage(ev, main))
                    continue;
                // A burst of drawing is looked at once it is over. The damage
                // is cleared after the burst's reports are read: drawing
                // after that reports anew, so no frame can slip by unseen.
                while (XPending(g_display))
                    XNextEvent(g_display, &ev);
                XDamageSubtract(g_display, damage, None, None);
                seen = ShowsVideo(main);
            }
            std::printf("video_ms=%.1f\n", Now() - mark);
        } else if (std::strncmp(line, "geometry", 8) == 0) {
            XWindowAttributes a{};
            XGetWindowAttributes(g_display, main, &a);
            std::printf("geometry=%dx%d\n", a.width, a.height);
        } else if (std::strncmp(line, "quit", 4) == 0) {
            break;
        }
        if (damage) {
            XDamageDestroy(g_display, damage);
            damage = 0;
            XSync(g_display, False);
            while (XPending(g_display))
                XNextEvent(g_display, &ev);
        }
        std::fflush(stdout);
    }
    kill(g_child, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100 && waitpid(g_child, &status, WNOHANG) == 0; ++i)
        usleep(20'000);
    if (waitpid(g_child, &status, WNOHANG) == 0) {
        kill(g_child, SIGKILL);
        waitpid(g_child, &status, 0);
    }
    XCloseDisplay(g_display);
    return 0;
}
