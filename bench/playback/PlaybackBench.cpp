// halvex-bench-playback: the X side of bench/playback.sh. Finds the viewer's
// video surfaces, makes plain windows of the same geometry for the plain
// players, waits for the first picture of a recording on screen, and sums the
// CPU time of process trees.
#include "FramePicture.h"
#include "ProcTree.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Area {
    int x = 0, y = 0, w = 0, h = 0;
};

const char* kUsage = R"(Usage:
  halvex-bench-playback surfaces PID
      geometry WxH+X+Y of the viewer's two video surfaces, left first
  halvex-bench-playback windows WxH+X+Y...
      opens plain black windows there, prints their ids, stays until killed
  halvex-bench-playback first-frame [--timeout S] WxH+X+Y... -- COMMAND...
      runs COMMAND and prints the milliseconds until every region shows a
      picture of the moving test pattern
  halvex-bench-playback cpu SECONDS PID...
      CPU seconds of each PID with its descendants over SECONDS
  halvex-bench-playback vout PID
      the video output plug-ins PID and its descendants have loaded
)";

bool ParseRegion(const char* text, Area* r) {
    return std::sscanf(text, "%dx%d+%d+%d", &r->w, &r->h, &r->x, &r->y) == 4 && r->w > 0 &&
           r->h > 0;
}

long WindowPid(Display* d, Window w) {
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", True);
    if (pidAtom == None)
        return -1;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                           &data) == Success &&
        data && items == 1 && format == 32)
        pid = long(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

std::vector<Window> Children(Display* d, Window w) {
    Window root = 0, parent = 0, *list = nullptr;
    unsigned n = 0;
    std::vector<Window> out;
    if (XQueryTree(d, w, &root, &parent, &list, &n)) {
        out.assign(list, list + n);
        if (list)
            XFree(list);
    }
    return out;
}

bool Viewable(Display* d, Window w, Area* r) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable)
        return false;
    Window child = 0;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &r->x, &r->y, &child);
    r->w = a.width;
    r->h = a.height;
    return true;
}

// The video surfaces are the native child windows of the viewer's top-level
// window; libvlc draws into them.
int Surfaces(long pid) {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return std::fprintf(stderr, "no display\n"), 1;
    std::vector<Area> found;
    for (Window top : Children(d, DefaultRootWindow(d))) {
        if (WindowPid(d, top) != pid)
            continue;
        for (Window surface : Children(d, top)) {
            Area r;
            if (Viewable(d, surface, &r) && r.w > 16 && r.h > 16)
                found.push_back(r);
        }
    }
    XCloseDisplay(d);
    std::sort(found.begin(), found.end(), [](const Area& a, const Area& b) { return a.x < b.x; });
    for (const Area& r : found)
        std::printf("%dx%d+%d+%d\n", r.w, r.h, r.x, r.y);
    return found.size() == 2 ? 0 : 1;
}

volatile std::sig_atomic_t g_stop = 0;

int Windows(const std::vector<Area>& regions) {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return std::fprintf(stderr, "no display\n"), 1;
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    std::signal(SIGINT, [](int) { g_stop = 1; });
    const int screen = DefaultScreen(d);
    for (const Area& r : regions) {
        XSetWindowAttributes a{};
        a.background_pixel = BlackPixel(d, screen);
        a.override_redirect = True;
        const Window w = XCreateWindow(d, DefaultRootWindow(d), r.x, r.y, unsigned(r.w),
                                       unsigned(r.h), 0, CopyFromParent, InputOutput,
                                       CopyFromParent, CWBackPixel | CWOverrideRedirect, &a);
        XMapWindow(d, w);
        std::printf("%lu\n", w);
    }
    XSync(d, False);
    std::fflush(stdout);
    while (!g_stop)
        pause();
    XCloseDisplay(d);
    return 0;
}

// Three rows across the region, at a quarter, a half and three quarters.
FramePicture::Kind Look(Display* d, const Area& r) {
    std::vector<FramePicture::Rgb> pixels;
    for (int k = 1; k <= 3; ++k) {
        XImage* image = XGetImage(d, DefaultRootWindow(d), r.x, r.y + r.h * k / 4, unsigned(r.w), 1,
                                  AllPlanes, ZPixmap);
        if (!image)
            continue;
        for (int x = 0; x < r.w; ++x) {
            const unsigned long p = XGetPixel(image, x, 0);
            pixels.push_back({int((p >> 16) & 0xff), int((p >> 8) & 0xff), int(p & 0xff)});
        }
        XDestroyImage(image);
    }
    return FramePicture::Classify(pixels);
}

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

int FirstFrame(const std::vector<Area>& regions, double timeoutS, char** command) {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return std::fprintf(stderr, "no display\n"), 1;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, command[0], nullptr, nullptr, command, environ) != 0)
        return std::fprintf(stderr, "cannot run %s\n", command[0]), 1;
    std::vector<double> at(regions.size(), -1);
    size_t pending = regions.size();
    while (pending > 0 && Ms(start) < timeoutS * 1000) {
        for (size_t i = 0; i < regions.size(); ++i) {
            if (at[i] < 0 && Look(d, regions[i]) == FramePicture::Kind::Video) {
                at[i] = Ms(start);
                --pending;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
    waitpid(child, nullptr, 0);
    XCloseDisplay(d);
    double last = 0;
    for (size_t i = 0; i < at.size(); ++i) {
        std::printf("region%zu_ms %.0f\n", i, at[i]);
        last = std::max(last, at[i]);
    }
    if (pending > 0)
        return std::printf("first_frame_ms timeout\n"), 1;
    std::printf("first_frame_ms %.0f\n", last);
    return 0;
}

int Cpu(double seconds, const std::vector<int>& pids) {
    std::vector<double> before;
    for (int pid : pids)
        before.push_back(ProcTree::CpuSeconds(pid));
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    for (size_t i = 0; i < pids.size(); ++i)
        std::printf("cpu_s %d %.3f\n", pids[i], ProcTree::CpuSeconds(pids[i]) - before[i]);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "surfaces" && argc == 3)
        return Surfaces(std::atol(argv[2]));
    if (what == "vout" && argc == 3) {
        for (const std::string& m : ProcTree::LoadedVideoOutputs(std::atoi(argv[2])))
            std::printf("%s\n", m.c_str());
        return 0;
    }
    if (what == "cpu" && argc > 3) {
        std::vector<int> pids;
        for (int i = 3; i < argc; ++i)
            pids.push_back(std::atoi(argv[i]));
        return Cpu(std::atof(argv[2]), pids);
    }
    std::vector<Area> regions;
    if (what == "windows" && argc > 2) {
        for (int i = 2; i < argc; ++i) {
            Area r;
            if (!ParseRegion(argv[i], &r))
                return std::fprintf(stderr, "bad geometry %s\n", argv[i]), 2;
            regions.push_back(r);
        }
        return Windows(regions);
    }
    if (what == "first-frame") {
        double timeout = 30;
        int i = 2;
        for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
            Area r;
            if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc)
                timeout = std::atof(argv[++i]);
            else if (ParseRegion(argv[i], &r))
                regions.push_back(r);
            else
                return std::fprintf(stderr, "bad geometry %s\n", argv[i]), 2;
        }
        if (i + 1 < argc && !regions.empty())
            return FirstFrame(regions, timeout, argv + i + 1);
    }
    std::fputs(kUsage, stderr);
    return 2;
}
