// Opening a 2120-byte dump file through to the rebuilt desk, and the converter export, each side
// by side with a plain baseline: reading the same file with QFile, and writing the same number of
// bytes through QSaveFile.
#include "dump_file.h"
#include "editor_window.h"
#include "status_log.h"
#include "virtual_box.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct SideBySide {
    double program = 0;
    double plain = 0;

    void report(benchmark::State& state, const char* programName, const char* plainName) const {
        const double n = static_cast<double>(state.iterations());
        state.counters[std::string(programName) + "_us"] = 1e6 * program / n;
        state.counters[std::string(plainName) + "_us"] = 1e6 * plain / n;
        state.counters["time_ratio"] = program / plain;
    }
};

struct Window {
    QTemporaryDir dir;
    TForm1 form{TForm1::Options{dir.filePath("none.ini"), QStringLiteral("sim")}};
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

void OpenDumpFile_SideBySide(benchmark::State& state) {
    Window w;
    const QString bank = w.path("bank.syx");
    QFile::copy(QStringLiteral(VPT64_DEFAULT_DUMP), bank);
    int rebuilt = 0;
    QObject::connect(&w.form, &TForm1::bankReplaced, [&rebuilt] { ++rebuilt; });
    w.form.FaderDesk().GenerateFaderDeskExecute(); // each open rebuilds the built desk
    SideBySide cost;
    for (auto _ : state) {
        const auto start = Clock::now();
        w.form.ReadDumpFile(bank);
        const double open = secondsSince(start);
        const auto plainStart = Clock::now();
        QFile file(bank);
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll());
        cost.plain += secondsSince(plainStart);
        cost.program += open;
        state.SetIterationTime(open);
        w.form.statusLog().clear();
    }
    if (rebuilt != state.iterations()) state.SkipWithError("the bank was not taken");
    cost.report(state, "open", "plain_read");
}
BENCHMARK(OpenDumpFile_SideBySide)->UseManualTime()->Unit(benchmark::kMicrosecond);

void ExportConverterIni_SideBySide(benchmark::State& state) {
    Window w;
    const QString ini = w.path("bank.ini");
    w.form.ExportConverterIni(ini);
    QFile exported(ini);
    const QByteArray sameSize =
        exported.open(QIODevice::ReadOnly) ? exported.readAll() : QByteArray();
    SideBySide cost;
    for (auto _ : state) {
        const auto start = Clock::now();
        w.form.ExportConverterIni(ini);
        const double exportTime = secondsSince(start);
        const auto plainStart = Clock::now();
        writeFileAtomically(w.path("plain.ini"), sameSize);
        cost.plain += secondsSince(plainStart);
        cost.program += exportTime;
        state.SetIterationTime(exportTime);
        w.form.statusLog().clear();
    }
    state.counters["bytes"] = static_cast<double>(sameSize.size());
    cost.report(state, "export", "plain_write");
}
BENCHMARK(ExportConverterIni_SideBySide)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configHome; // the window's transfer settings stay out of the user's folder
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
