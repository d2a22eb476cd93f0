// Opening a 2120-byte dump file through to the rebuilt desk, and the converter export, each side
// by side with a plain baseline: reading the same file with QFile, and writing the same number of
// bytes through QSaveFile.
#include "dump_file.h"
#include "editor_window.h"
#include "side_by_side.h"
#include "status_log.h"
#include "virtual_box.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

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
    timeSideBySide(
        state, "open",
        [&] {
            w.form.ReadDumpFile(bank);
            w.form.statusLog().clear();
        },
        [&] {
            QFile file(bank);
            file.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(file.readAll());
        },
        "plain_read");
    if (rebuilt != state.iterations()) state.SkipWithError("the bank was not taken");
}
BENCHMARK(OpenDumpFile_SideBySide)->Unit(benchmark::kMicrosecond);

void ExportConverterIni_SideBySide(benchmark::State& state) {
    Window w;
    const QString ini = w.path("bank.ini");
    w.form.ExportConverterIni(ini);
    QFile exported(ini);
    const QByteArray sameSize =
        exported.open(QIODevice::ReadOnly) ? exported.readAll() : QByteArray();
    timeSideBySide(
        state, "export",
        [&] {
            w.form.ExportConverterIni(ini);
            w.form.statusLog().clear();
        },
        [&] { writeFileAtomically(w.path("plain.ini"), sameSize); }, "plain_write");
    state.counters["bytes"] = static_cast<double>(sameSize.size());
}
BENCHMARK(ExportConverterIni_SideBySide)->Unit(benchmark::kMicrosecond);

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
