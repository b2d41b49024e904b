// bench_startup_x11: from the start of a process to its first window mapped on the X server, for
// the image editor through its px launcher, for Debian's mtpaint (a small paint program), and for
// orbhost started directly (what the launcher itself adds), in turns within one run so that all
// three meet the same load. The X server is an Xvfb of the benchmark's own; its root window is
// watched for the map. Counters: the medians of each program and the ratio of px to mtpaint. The
// benchmark's time is px's. Without Xvfb or mtpaint (Debian packages xvfb and mtpaint) it is
// skipped with a message.
#include "kv_benchprograms.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <X11/Xlib.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

pid_t spawn(const std::vector<std::string>& command, const std::vector<std::string>& env,
            const std::string& folder, bool quiet) {
    std::vector<char*> argv;
    for (const std::string& s : command)
        argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& s : env)
        envp.push_back(const_cast<char*>(s.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

void stop(pid_t pid) {
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// An Xvfb of our own, and a connection to it that sees every window mapped on its root.
class XServer {
public:
    bool start(const std::string& xvfb) {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        pid = spawn({xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24",
                     "-nolisten", "tcp"},
                    environment(), {}, true);
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (pid > 0 && poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty())
            return false;
        name = ":" + number;
        display = XOpenDisplay(name.c_str());
        if (!display)
            return false;
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        XSync(display, True);
        return true;
    }
    ~XServer() {
        if (display)
            XCloseDisplay(display);
        stop(pid);
    }
    // Waits for a window to be mapped on the root; false after the timeout.
    bool waitForMap(int timeoutMs) {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            while (XPending(display)) {
                XEvent e;
                XNextEvent(display, &e);
                if (e.type == MapNotify)
                    return true;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd p{ConnectionNumber(display), POLLIN, 0};
            poll(&p, 1, int(left));
        }
    }
    // Lets the windows of a program that ended go, and forgets their events.
    void settle() {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        XSync(display, True);
    }
    static std::vector<std::string> environment() {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            env.emplace_back(*e);
        return env;
    }

    std::string name;
    Display* display = nullptr;
    pid_t pid = -1;
};

struct Program {
    const char* label;
    std::vector<std::string> command;
    std::string folder;
    std::vector<double> ms;
};

void BM_StartToFirstMappedWindow(benchmark::State& state) {
    const std::string xvfb = kvFindInPath("Xvfb");
    const std::string mtpaint = kvFindInPath("mtpaint");
    if (xvfb.empty() || mtpaint.empty()) {
        state.SkipWithError(xvfb.empty() ? "Xvfb is not installed (Debian package xvfb)"
                                         : "mtpaint is not installed (Debian package mtpaint): "
                                           "nothing to compare with");
        return;
    }
    XServer x;
    if (!x.start(xvfb)) {
        state.SkipWithError("the X server did not start");
        return;
    }
    // Every program gets the same plain environment: this X server, no session bus, and a home
    // and state folders of its own so that nothing of the user's is read or written.
    QTemporaryDir home;
    const std::string h = home.path().toStdString();
    std::vector<std::string> env = {"DISPLAY=" + x.name,
                                    "HOME=" + h,
                                    "XDG_CONFIG_HOME=" + h + "/config",
                                    "XDG_DATA_HOME=" + h + "/data",
                                    "XDG_CACHE_HOME=" + h + "/cache",
                                    "XDG_STATE_HOME=" + h + "/state",
                                    "XDG_RUNTIME_DIR=" + h,
                                    "KV_BACKPACK_DIR=" + h + "/backpack",
                                    "PATH=" + qgetenv("PATH").toStdString(),
                                    "LANG=C.UTF-8",
                                    "QT_QPA_PLATFORM=xcb",
                                    "DBUS_SESSION_BUS_ADDRESS=disabled:",
                                    "NO_AT_BRIDGE=1"};
    std::vector<Program> programs = {
        {"px", {KV_PX_LAUNCHER}, {}, {}},
        {"mtpaint", {mtpaint}, h, {}},
        {"orbhost", {KV_ORBHOST, "KVQ_imageEditor"}, KV_PX_ICON_DIR, {}},
    };
    // Each program once, starting with the one `first` names; false when one mapped no window.
    const auto round = [&](std::size_t first, bool count) {
        for (std::size_t k = 0; k < programs.size(); ++k) {
            Program& p = programs[(first + k) % programs.size()];
            const auto start = Clock::now();
            const pid_t pid = spawn(p.command, env, p.folder, true);
            const bool mapped = pid > 0 && x.waitForMap(20000);
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            stop(pid);
            x.settle();
            if (!mapped) {
                state.SkipWithError((std::string(p.label) + " mapped no window").c_str());
                return false;
            }
            if (count)
                p.ms.push_back(ms);
        }
        return true;
    };
    // A first round is not counted: the disk cache then holds every program.
    if (!round(0, false))
        return;
    std::size_t n = 0;
    for (auto _ : state) {
        if (!round(n++, true))
            return;
        state.SetIterationTime(programs[0].ms.back() / 1e3);
    }
    state.counters["px_ms"] = kvMedian(programs[0].ms);
    state.counters["mtpaint_ms"] = kvMedian(programs[1].ms);
    state.counters["orbhost_ms"] = kvMedian(programs[2].ms);
    state.counters["px_to_mtpaint"] = kvMedian(programs[0].ms) / kvMedian(programs[1].ms);
    state.counters["launcher_ms"] = kvMedian(programs[0].ms) - kvMedian(programs[2].ms);
}
BENCHMARK(BM_StartToFirstMappedWindow)
    ->UseManualTime()
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
