// Reading a settings file with many pot presets, as start-up does, side by side with a plain
// read of the same file into lines. The time per key stays flat when reading is linear.
#include "preset_library.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

QString writePresetFile(const QTemporaryDir& dir, int keys) {
    QByteArray text = "[APPLICATIONCUSTOM]\nMETA_PotMinLabel=Min :\n[POTPRESETS]\n";
    for (int i = 0; i < keys; ++i)
        text += "B0" + QByteArray::number(i, 16).toUpper().rightJustified(6, '0') +
                "=Preset: Number " + QByteArray::number(i) + "\n";
    text += "[CUSTOMDESK]\nFILENAME=desk.vpt\nAUTOSHOW=1\n";
    const QString path = dir.filePath(QStringLiteral("vpt64presets.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) return {};
    return path;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// state.range(0): the number of keys in POTPRESETS.
void BM_ReadSettingsFile(benchmark::State& state) {
    const QTemporaryDir dir;
    const int keys = static_cast<int>(state.range(0));
    const QString path = writePresetFile(dir, keys);
    if (path.isEmpty()) {
        state.SkipWithError("cannot write the settings file");
        return;
    }
    double library = 0, plain = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        const PresetLibrary read = preset_file::read(path, dir.path());
        benchmark::DoNotOptimize(read.potPresetKeys.size());
        const double own = secondsSince(start);
        state.SetIterationTime(own);
        library += own;

        start = Clock::now();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll().split('\n').size());
        plain += secondsSince(start);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["read_ms"] = 1000 * library / n;
    state.counters["plain_read_ms"] = 1000 * plain / n;
    state.counters["ratio"] = library / plain;
    state.counters["ns_per_key"] = 1e9 * library / n / keys;
}

} // namespace

BENCHMARK(BM_ReadSettingsFile)
    ->ArgName("keys")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
