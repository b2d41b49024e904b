// Start-up of the console against the engine's own calculator, qalc: one evaluation and quit,
// the two programs run in turns so that both meet the same load. The kernel's account of each
// child gives its CPU time (user and system) and its peak resident memory. The counters are
// the medians over the runs and the console's ratios to qalc; the benchmark's time is the
// console's CPU time. Without qalc (Debian's package of that name) the benchmark is skipped
// with a message.
#include "kv_benchprograms.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Usage {
    bool ok = false;
    double cpuMs = 0;
    double peakMiB = 0;
};

// This process's environment with the user's configuration, data and cache folders moved to
// folder, so that neither program reads or writes the user's files, and the C locale.
struct ChildEnvironment {
    explicit ChildEnvironment(const QString& folder) {
        const std::string f = folder.toStdString();
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("XDG_", 0) != 0 && entry.rfind("LC_ALL=", 0) != 0)
                strings.push_back(entry);
        }
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            strings.push_back(std::string(name) + "=" + f + "/" + name);
        strings.push_back("LC_ALL=C");
        for (std::string& s : strings)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
    }
    std::vector<std::string> strings;
    std::vector<char*> pointers;
};

// Runs a program with input on its standard input and its output discarded.
Usage run(const std::vector<std::string>& command, const std::string& input, char* const* env) {
    std::vector<char*> argv;
    for (const std::string& s : command)
        argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[0]);
    if (rc == 0 && !input.empty())
        (void)!write(pipeFds[1], input.data(), input.size());
    close(pipeFds[1]);
    if (rc != 0)
        return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    Usage u;
    u.ok = true;
    u.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    u.peakMiB = usage.ru_maxrss / 1024.0;
    return u;
}

void BM_StartupConsoleAgainstQalc(benchmark::State& state) {
    const std::string qalc = kvFindInPath("qalc");
    if (qalc.empty()) {
        state.SkipWithError("qalc is not installed (Debian package qalc): nothing to compare");
        return;
    }
    QTemporaryDir folder;
    ChildEnvironment env(folder.path());
    const std::vector<std::string> console = {KV_MATHCONSOLE};
    const std::string consoleInput = "1\n2\n1\n1+2\nQUIT\n0\n";
    const std::vector<std::string> reference = {qalc, "-t", "1+2"};
    std::vector<double> consoleCpu, qalcCpu, consolePeak, qalcPeak;
    bool consoleFirst = true;
    for (auto _ : state) {
        Usage c, q;
        if (consoleFirst) {
            c = run(console, consoleInput, env.pointers.data());
            q = run(reference, {}, env.pointers.data());
        } else {
            q = run(reference, {}, env.pointers.data());
            c = run(console, consoleInput, env.pointers.data());
        }
        consoleFirst = !consoleFirst;
        if (!c.ok || !q.ok) {
            state.SkipWithError(c.ok ? "qalc failed" : "mathconsole failed");
            return;
        }
        consoleCpu.push_back(c.cpuMs);
        qalcCpu.push_back(q.cpuMs);
        consolePeak.push_back(c.peakMiB);
        qalcPeak.push_back(q.peakMiB);
        state.SetIterationTime(c.cpuMs / 1e3);
    }
    state.counters["console_cpu_ms"] = kvMedian(consoleCpu);
    state.counters["qalc_cpu_ms"] = kvMedian(qalcCpu);
    state.counters["cpu_ratio"] = kvMedian(consoleCpu) / kvMedian(qalcCpu);
    state.counters["console_peak_MiB"] = kvMedian(consolePeak);
    state.counters["qalc_peak_MiB"] = kvMedian(qalcPeak);
    state.counters["peak_ratio"] = kvMedian(consolePeak) / kvMedian(qalcPeak);
}
BENCHMARK(BM_StartupConsoleAgainstQalc)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
