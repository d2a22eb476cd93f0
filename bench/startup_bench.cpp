// Start-up of `vpultron64 --screenshot` (the editor window alone) and of `vpultron64 --gallery`
// as whole processes, each measured side by side with a plain Qt program of similar size: median
// wall time and peak memory of both, and their ratios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct ProcessCost {
    double seconds = 0;
    double peakKiB = 0;
};

ProcessCost runProcess(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return {};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return {elapsed.count(), static_cast<double>(usage.ru_maxrss)};
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The two programs run in turns; the ratio is of their median wall times, which one slow run of
// either on a busy machine does not move.
void Startup_SideBySide(benchmark::State& state, const char* option) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string dir = "/tmp/vpt64-startup-bench";
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1); // closing the window keeps its settings here
    std::vector<double> programSeconds, plainSeconds;
    double programPeakKiB = 0, plainPeakKiB = 0;
    for (auto _ : state) {
        const ProcessCost p = runProcess({VPT64_GUI, option, dir});
        const ProcessCost q = runProcess({VPT64_PLAIN, dir});
        if (p.seconds == 0 || q.seconds == 0) {
            state.SkipWithError("a program failed to run");
            return;
        }
        state.SetIterationTime(p.seconds);
        programSeconds.push_back(p.seconds);
        plainSeconds.push_back(q.seconds);
        programPeakKiB = std::max(programPeakKiB, p.peakKiB);
        plainPeakKiB = std::max(plainPeakKiB, q.peakKiB);
    }
    const double program = median(programSeconds), plain = median(plainSeconds);
    state.counters["vpultron64_ms"] = 1000 * program;
    state.counters["plain_qt_ms"] = 1000 * plain;
    state.counters["time_ratio"] = program / plain;
    state.counters["vpultron64_peak_KiB"] = programPeakKiB;
    state.counters["plain_qt_peak_KiB"] = plainPeakKiB;
    state.counters["memory_ratio"] = programPeakKiB / plainPeakKiB;
}
BENCHMARK_CAPTURE(Startup_SideBySide, editor_window, "--screenshot")
    ->UseManualTime()
    ->Iterations(31)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Startup_SideBySide, gallery, "--gallery")
    ->UseManualTime()
    ->Iterations(31)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
