// The virtual box under load. Desk rebuild: ClearDesk + BuildDefaultDesk + FillDeskFromBank
// against creating and showing the same 64 knobs, 64 labels and 64 push buttons directly, side
// by side. (Motorised pots under a MIDI flood: motorised_flood_bench, on an X server.)
#include "desk_host.h"
#include "fader_desk.h"
#include "knob.h"
#include "side_by_side.h"
#include "virtual_box.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <benchmark/benchmark.h>

namespace {

// The baseline: the same widgets made and shown directly, without Tags, registry or bank.
void buildDirectly(QWidget& window) {
    qDeleteAll(window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    for (int i = 0; i < 64; ++i) {
        auto* label = new QLabel(QStringLiteral("0"), &window);
        label->setGeometry(i % 16 * 50 + 30, i / 16 * 60 + 160, 40, 20);
        label->show();
        auto* knob = new TKnob(&window);
        knob->setGeometry(i % 16 * 50 + 30, i / 16 * 60 + 120, 40, 40);
        knob->SetPositionLabel(label);
        knob->show();
        auto* button = new QPushButton(QString::number(i + 1), &window);
        button->setGeometry(i % 16 * 50 + 38, 380 + i / 16 * 30, 25, 25);
        button->show();
    }
}

void BM_DeskRebuildAgainstDirectWidgets(benchmark::State& state) {
    BankRecord bank;
    for (int n = 1; n <= 64; ++n)
        bank.setPot(n, {0x30, std::uint8_t(n), 0, 127});
    SilentDeskHost host;
    VirtualBox box(bank, host);
    box.GenerateFaderDeskExecute();
    QWidget direct;
    direct.resize(860, 560);
    direct.show();
    timeSideBySide(
        state, "desk",
        [&] {
            box.ClearDesk();
            box.BuildDefaultDesk();
            box.FillDeskFromBank();
        },
        [&] { buildDirectly(direct); });
}
BENCHMARK(BM_DeskRebuildAgainstDirectWidgets)->Iterations(30)->Unit(benchmark::kMillisecond);

} // namespace
