// Start-up time of programs that open a window: from the start of the process to the X server mapping its
// main window (and, beside it, its first window of any kind, such as a splash), taken from outside (nothing
// in the programs measures itself), the programs started in turn so that a machine busy with something else
// weighs on each alike. Also their resident memory once the window is up. Needs an X server;
// bench/startup.sh runs it under Xvfb.
// Usage: bench_startup RUNS NAME COMMAND [NAME COMMAND]...  COMMAND is split at spaces, "{run}" in it
// becomes the run's number. Prints each program's median and its ratio to the first's, and for bench/report
// a row for each of the others.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {
// Resident memory is read this long after the window maps, when it has been painted.
constexpr auto kSettle = std::chrono::milliseconds(500);
constexpr int kTimeoutMs = 20000;

struct Run {
    double ms = 0;     // to the first window mapped (Orvelle's splash)
    double mainMs = 0; // to the first main window mapped (see IsMainWindow)
    long rssKb = 0;
    long hwmKb = 0;
};

struct Program {
    std::string name;
    std::string command;
    std::vector<Run> runs;
};

std::vector<std::string> Words(std::string command, int run)
{
    for (std::size_t at; (at = command.find("{run}")) != std::string::npos;)
        command.replace(at, 5, std::to_string(run));
    std::vector<std::string> words;
    std::istringstream in(command);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

long StatusKb(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

/// Whether the window is a program's own window (its type normal or dialog, or not given) rather than one
/// that stands beside it (a splash, a tool window, a tooltip).
bool IsMainWindow(Display* display, Window window)
{
    const Atom typeAtom = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, typeAtom, 0, 1, False, XA_ATOM, &actual, &format, &count, &after,
                           &data) != Success ||
        !data)
        return true;
    const Atom type = *reinterpret_cast<Atom*>(data);
    XFree(data);
    return type == XInternAtom(display, "_NET_WM_WINDOW_TYPE_NORMAL", False) ||
           type == XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
}

/// Waits for the first window to map and for a main window to map, and
/// notes when each did; false when they do not in time.
bool WaitForMaps(Display* display, std::chrono::steady_clock::time_point start, Run& run)
{
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify)
                continue;
            if (run.ms == 0)
                run.ms = MsSince(start);
            if (IsMainWindow(display, event.xmap.window)) {
                run.mainMs = MsSince(start);
                return true;
            }
        }
        if (poll(&fd, 1, kTimeoutMs) <= 0)
            return false;
    }
}

bool Launch(Display* display, const std::string& command, int number, Run& run)
{
    const std::vector<std::string> words = Words(command, number);
    std::vector<char*> argv;
    for (const std::string& w : words)
        argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    XSync(display, True); // what came before this run is no news
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const bool spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&quiet);
    if (!spawned)
        return false;
    const bool mapped = WaitForMaps(display, start, run);
    std::this_thread::sleep_for(kSettle);
    run.rssKb = StatusKb(pid, "VmRSS");
    run.hwmKb = StatusKb(pid, "VmHWM");
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return mapped;
}

template <typename T> T Median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 4 || argc % 2) {
        std::fprintf(stderr, "Usage: %s RUNS NAME COMMAND [NAME COMMAND]...\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<Program> programs;
    for (int i = 2; i + 1 < argc; i += 2)
        programs.push_back({argv[i], argv[i + 1], {}});
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "No X server\n");
        return 1;
    }
    // A window that is gone before its type is looked up is no error here.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    // Every top-level window's mapping is reported here.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    // One start each that is not counted: it fills the disk cache.
    for (int r = -1; r < runs; ++r) {
        for (Program& p : programs) {
            Run run;
            if (!Launch(display, p.command, r + 1, run)) {
                std::fprintf(stderr, "%s: no window within %d ms\n", p.name.c_str(), kTimeoutMs);
                return 1;
            }
            if (r >= 0)
                p.runs.push_back(run);
        }
    }
    const auto median = [](const Program& p, auto field) {
        std::vector<double> values;
        for (const Run& r : p.runs)
            values.push_back(static_cast<double>(r.*field));
        return Median(values);
    };
    const double first = median(programs.front(), &Run::mainMs);
    for (const Program& p : programs) {
        std::vector<double> all;
        for (const Run& r : p.runs)
            all.push_back(r.mainMs);
        std::printf(
            "%-8s median %6.1f ms  (min %6.1f, max %6.1f, %d runs)  ratio %.2f  first window %.1f ms  "
            "VmRSS %.0f MiB  VmHWM %.0f MiB\n",
            p.name.c_str(), median(p, &Run::mainMs), *std::min_element(all.begin(), all.end()),
            *std::max_element(all.begin(), all.end()), runs, median(p, &Run::mainMs) / first,
            median(p, &Run::ms), median(p, &Run::rssKb) / 1024, median(p, &Run::hwmKb) / 1024);
    }
    for (std::size_t i = 1; i < programs.size(); ++i)
        std::printf(
            "row: start-up of %s to its main window | %.0f ms, %.2f x | at most 1.3 x | %s | %.0f ms |\n",
            programs[i].name.c_str(), median(programs[i], &Run::mainMs),
            median(programs[i], &Run::mainMs) / first, programs.front().name.c_str(), first);
    XCloseDisplay(display);
    return 0;
}
