// Times a piece of the program and its plain baseline alternately in every iteration, so that
// both see the same machine, and reports both and their ratio.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <string>

// Each run includes the events it leaves behind (layouts, repaints).
template <typename Program, typename Baseline>
void timeSideBySide(benchmark::State& state, const std::string& programName, Program program,
                    Baseline baseline, const std::string& baselineName = "direct") {
    auto seconds = [](auto& work) {
        QElapsedTimer timer;
        timer.start();
        work();
        QApplication::processEvents();
        return double(timer.nsecsElapsed()) / 1e9;
    };
    double programSeconds = 0, baselineSeconds = 0;
    for (auto _ : state) {
        programSeconds += seconds(program);
        baselineSeconds += seconds(baseline);
    }
    const double n = double(state.iterations());
    state.counters[programName + "_ms"] = 1000 * programSeconds / n;
    state.counters[baselineName + "_ms"] = 1000 * baselineSeconds / n;
    state.counters["ratio"] = programSeconds / baselineSeconds;
}
