// Opening a 2120-byte dump file through to the rebuilt desk, the converter export and the desk
// dump, each side by side with a plain baseline: reading the same file with QFile, and writing the
// same bytes through QSaveFile.
#include "custom_desk.h"
#include "desk_description.h"
#include "dump_file.h"
#include "editor_window.h"
#include "fader_desk.h"
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

// A custom desk of as many sections as a desk file may have: the window and knobs.
QString writeBigDesk(const QString& path) {
    QByteArray text = "[Form]\nWidth=1600\nHeight=1200\n";
    for (int i = 1; i < desk_file::kMaxSections; ++i)
        text += "[Knob_" + QByteArray::number(i) + "]\nType=Knob\nTag=" + QByteArray::number(i) +
                "\nLeft=" + QByteArray::number(i % 40 * 40) +
                "\nTop=" + QByteArray::number(i / 40 * 20) + "\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? path : QString();
}

// state.range(0): 0 dumps the standard virtual box, 1 a custom desk of 2,048 sections.
void DeskDump_SideBySide(benchmark::State& state) {
    Window w;
    VirtualBox& box = w.form.FaderDesk();
    if (state.range(0) == 1) w.form.CustomDeskFile = writeBigDesk(w.path("big.vpt"));
    box.GenerateFaderDeskExecute();
    const QWidget* desk = state.range(0) == 1 ? static_cast<QWidget*>(box.customDesk())
                                              : static_cast<QWidget*>(&box.FaderDesk());
    const QString dumped = box.DumpFormToINI(*desk, w.dir.path());
    QApplication::processEvents(); // the new desk's first paint is none of the dump's cost
    QFile written(dumped);
    const QByteArray same = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    timeSideBySide(
        state, "dump",
        [&] {
            box.DumpFormToINI(*desk, w.dir.path());
            w.form.statusLog().clear();
        },
        [&] { writeFileAtomically(w.path("plain.ini"), same); }, "plain_write");
    state.counters["bytes"] = static_cast<double>(same.size());
    if (same.isEmpty()) state.SkipWithError("the desk was not dumped");
}
BENCHMARK(DeskDump_SideBySide)->ArgName("big_desk")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
