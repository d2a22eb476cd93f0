// `vpt64 monitor` under 10,000 controller messages a second for 2 s from a JACK peer: the time
// from the first send to the last printed line, against printing the same lines plainly (one
// printf and flush each) at the same pace, and how many lines came out. Starts its own JACK
// server.
#include "jack_server.h"
#include "midi_meaning.h"
#include "rtmidi_backend.h"
#include "sim_process.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMessages = 20000;
constexpr auto kGap = std::chrono::microseconds(100); // 10,000 a second

std::array<std::uint8_t, 3> message(int i) {
    return {std::uint8_t(0xB0 | (i >> 14 & 0x0F)), std::uint8_t(i >> 7 & 0x7F),
            std::uint8_t(i & 0x7F)};
}

// Runs `send(i)` for every message at the benchmark's pace.
template <typename Send> void paced(Send send) {
    const auto start = Clock::now();
    for (int i = 0; i < kMessages; ++i) {
        std::this_thread::sleep_until(start + i * kGap);
        send(i);
    }
}

qsizetype linesIn(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
}

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The monitor's seconds from the first send to its last line, and the lines it printed.
std::pair<double, qsizetype> monitorRun(MidiOutputConnection& out, const QString& outputFile) {
    QProcess monitor;
    monitor.setStandardOutputFile(outputFile);
    monitor.setReadChannel(QProcess::StandardError); // where the ready line goes
    monitor.start(SimProcess::program(), {"monitor", "--api", "jack", "--in", "monbench"});
    QByteArray errors;
    while (!errors.contains("Monitoring ") && monitor.waitForReadyRead(5000))
        errors += monitor.readAllStandardError();
    const auto start = Clock::now();
    std::thread sender([&] { paced([&](int i) { out.sendShort(message(i)); }); });
    sender.join();
    qsizetype lines = 0;
    auto last = Clock::now();
    // Done when all lines are there, or when nothing more came for a second.
    while (lines < kMessages && Clock::now() - last < std::chrono::seconds(1)) {
        QThread::msleep(5);
        if (const qsizetype now = linesIn(outputFile); now != lines) {
            lines = now;
            last = Clock::now();
        }
    }
    monitor.terminate();
    monitor.waitForFinished(5000);
    return {seconds(last - start), linesIn(outputFile)};
}

double plainRun(const QString& outputFile) {
    std::FILE* out = std::fopen(outputFile.toLocal8Bit().constData(), "w");
    const auto start = Clock::now();
    paced([&](int i) {
        const auto bytes = message(i);
        std::fprintf(out, "%s\n",
                     midi_meaning::monitorLine(i / 10, midi_meaning::Direction::In, "monbench:out",
                                               bytes, nullptr)
                         .c_str());
        std::fflush(out);
    });
    const double elapsed = seconds(Clock::now() - start);
    std::fclose(out);
    return elapsed;
}

void BM_MonitorAt10000PerSecond(benchmark::State& state) {
    JackServer server;
    if (!server.start()) {
        state.SkipWithError(server.error().toStdString().c_str());
        return;
    }
    auto peer = RtMidiBackend::create(RtMidiBackend::Api::Jack);
    auto source =
        peer ? peer->openVirtualOutput("monbench", "out") : Opened<MidiOutputConnection>{};
    QTemporaryDir dir;
    if (!source.connection || !dir.isValid()) {
        state.SkipWithError("cannot open the JACK port or a temporary folder");
        return;
    }
    double monitorSeconds = 0, plainSeconds = 0;
    qsizetype printed = 0;
    for (auto _ : state) {
        const auto [elapsed, lines] = monitorRun(*source.connection, dir.filePath("monitor.txt"));
        monitorSeconds += elapsed;
        printed = lines;
        plainSeconds += plainRun(dir.filePath("plain.txt"));
    }
    const double n = double(state.iterations());
    state.counters["printed"] = double(printed);
    state.counters["monitor_ms"] = 1000 * monitorSeconds / n;
    state.counters["plain_print_ms"] = 1000 * plainSeconds / n;
    state.counters["ratio"] = monitorSeconds / plainSeconds;
}

} // namespace

BENCHMARK(BM_MonitorAt10000PerSecond)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
