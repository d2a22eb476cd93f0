// Custom desks. From file: a desk of 256 knobs, 256 buttons, 256 labels and an LCD read from its
// description and built, against creating and showing the same widgets directly, side by side.
// Rebuilds: the peak memory after 100 builds of the mixer example desk against after one.
#include "custom_desk.h"
#include "desk_host.h"
#include "knob.h"
#include "lcd_label.h"
#include "side_by_side.h"
#include "virtual_box.h"
#include "vr_bitmap_list.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

namespace {

constexpr int kEach = 256;

QPoint cell(int i) {
    return {10 + i % 32 * 45, 10 + i / 32 * 45};
}

QByteArray bigDesk() {
    QByteArray text = "[Form]\nCaption=Big\nWidth=1460\nHeight=1300\n";
    for (int i = 0; i < kEach; ++i) {
        const QPoint at = cell(i);
        text += QStringLiteral("[K%1]\nType=Knob\nTag=%2\nLeft=%3\nTop=%4\nWidth=40\nHeight=40\n"
                               "[L%1]\nType=Label\nTag=%5\nCaption=0\nLeft=%3\nTop=%6\n"
                               "[B%1]\nType=Button\nTag=%7\nCaption=%2\nLeft=%3\nTop=%8\n")
                    .arg(i)
                    .arg(i + 1)
                    .arg(at.x())
                    .arg(at.y())
                    .arg(2001 + i)
                    .arg(at.y() + 380)
                    .arg(1001 + i)
                    .arg(at.y() + 760)
                    .toUtf8();
    }
    return text + "[LCD]\nType=LCDLabel\nCaption=Big desk\nLeft=10\nTop=1180\n";
}

// The baseline: the same widgets made and shown directly, without file, Tags or registry.
void buildDirectly(QWidget& window) {
    qDeleteAll(window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    for (int i = 0; i < kEach; ++i) {
        const QPoint at = cell(i);
        auto* knob = new TKnob(&window);
        knob->setGeometry(at.x(), at.y(), 40, 40);
        knob->SetCaption(QString::number(i + 1));
        auto* label = new QLabel(QStringLiteral("0"), &window);
        label->move(at.x(), at.y() + 380);
        label->adjustSize();
        knob->SetPositionLabel(label);
        auto* button = new QPushButton(QString::number(i + 1), &window);
        button->setGeometry(at.x(), at.y() + 760, 25, 25);
        knob->show();
        label->show();
        button->show();
    }
    auto* lcd = new TLCDLabel(&window);
    lcd->move(10, 1180);
    lcd->setDotMatrix(Lcd::Hitachi);
    lcd->setCaption(QStringLiteral("Big desk"));
    lcd->show();
}

void BM_DeskFromFileAgainstDirectWidgets(benchmark::State& state) {
    QTemporaryDir dir;
    SilentDeskHost host;
    host.deskFile = dir.filePath("big.vpt");
    QFile file(host.deskFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(bigDesk()) < 0) {
        state.SkipWithError("cannot write the desk file");
        return;
    }
    file.close();
    BankRecord bank;
    VirtualBox box(bank, host);
    QWidget direct;
    direct.resize(1460, 1300);
    direct.show();
    timeSideBySide(
        state, "file", [&] { box.NewFormFromINIExecute(); }, [&] { buildDirectly(direct); });
}
BENCHMARK(BM_DeskFromFileAgainstDirectWidgets)->Iterations(10)->Unit(benchmark::kMillisecond);

// The process's peak resident memory so far, in kB.
double peakKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6));
    return 0;
}

// Starts the peak afresh from the current resident memory, so that an earlier benchmark's peak
// does not hide this one's.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_PeakMemoryAfterRebuilds(benchmark::State& state) {
    SilentDeskHost host;
    host.deskFile = QStringLiteral(VPT64_EXAMPLE_DESKS "/mixer.vpt");
    BankRecord bank;
    VirtualBox box(bank, host);
    TVrBitmapList knobSkins, buttonSkins;
    box.setSkinLists({&knobSkins, &buttonSkins});
    for (auto _ : state) {
        resetPeak();
        box.NewFormFromINIExecute();
        QApplication::processEvents();
        const double afterOne = peakKilobytes();
        for (int build = 1; build < 100; ++build) {
            box.NewFormFromINIExecute();
            QApplication::processEvents();
            // The running program's event loop deletes the replaced desk; outside a loop the
            // deferred deletion waits until it is delivered.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        const double afterHundred = peakKilobytes();
        state.counters["peak_after_1_kB"] = afterOne;
        state.counters["peak_after_100_kB"] = afterHundred;
        state.counters["ratio"] = afterHundred / afterOne;
    }
}
BENCHMARK(BM_PeakMemoryAfterRebuilds)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
