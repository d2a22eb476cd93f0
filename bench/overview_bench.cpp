// The "Overview" page. Showing it for a full bank, against two plain QTableWidgets of the same
// rows, columns and texts, side by side; and one bulk edit over all 64 pots with the reload that
// follows it (as after an undo), against one frame of a 60 Hz display; and the same bulk edit in
// the editor window, where it becomes an undo step that the pages and the desk follow, and its
// undo, each against one frame.
#include "bank_overview.h"
#include "editor_window.h"
#include "overview_page.h"
#include "side_by_side.h"
#include "spin_edit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>

namespace {

constexpr double kFrameMs = 1000.0 / 60;

BankRecord fullBank() {
    BankRecord bank;
    for (int n = 1; n <= 64; ++n) {
        bank.setPot(n, {std::uint8_t(0x30 + n % 16), std::uint8_t(n), 0, 127});
        bank.setPotLabel(n, "Pot label " + std::to_string(n));
        bank.setButton(n, {std::uint8_t(0x10 + n % 16), std::uint8_t(n + 20), 127, 0});
    }
    return bank;
}

QTableWidget* plainTable(const BankRecord& bank, overview::Controls controls) {
    auto* table = new QTableWidget(64, overview::columnCount(controls));
    for (int row = 0; row < 64; ++row)
        for (int column = 0; column < table->columnCount(); ++column)
            table->setItem(row, column,
                           new QTableWidgetItem(QString::fromStdString(
                               overview::cellText(bank, controls, row + 1, column))));
    return table;
}

void BM_OverviewShownAgainstTwoTableWidgets(benchmark::State& state) {
    BankRecord bank = fullBank();
    std::unique_ptr<QWidget> page, plain;
    const auto show = [](QWidget& widget) {
        widget.resize(1100, 800);
        widget.show();
    };
    timeSideBySide(
        state, "overview",
        [&] {
            page = std::make_unique<OverviewPage>(bank);
            show(*page);
        },
        [&] {
            plain = std::make_unique<QWidget>();
            auto* layout = new QVBoxLayout(plain.get());
            layout->addWidget(plainTable(bank, overview::Controls::Pots));
            layout->addWidget(plainTable(bank, overview::Controls::Buttons));
            show(*plain);
        },
        "two_table_widgets");
}
BENCHMARK(BM_OverviewShownAgainstTwoTableWidgets)->Iterations(30)->Unit(benchmark::kMillisecond);

void BM_BulkEditOverAllPotsAgainstOneFrame(benchmark::State& state) {
    BankRecord bank = fullBank();
    OverviewPage page(bank);
    page.resize(1100, 800);
    page.show();
    QApplication::processEvents();
    page.PotTable->selectAll();
    double totalMs = 0, cpuMs = 0;
    int channel = 1;
    for (auto _ : state) {
        page.BulkChannel->setValue(channel = channel % 16 + 1);
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        page.SetChannel->click();
        page.reload();
        QApplication::processEvents();
        cpuMs += 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        totalMs += double(timer.nsecsElapsed()) / 1e6;
    }
    const double ms = totalMs / double(state.iterations());
    state.counters["bulk_edit_and_reload_ms"] = ms;
    state.counters["frame_ms"] = kFrameMs;
    state.counters["ratio_to_frame"] = ms / kFrameMs;
    // On a loaded machine the wall time holds other programs' turns; the processor time does not.
    state.counters["cpu_ratio_to_frame"] = cpuMs / double(state.iterations()) / kFrameMs;
}
BENCHMARK(BM_BulkEditOverAllPotsAgainstOneFrame)->Iterations(50)->Unit(benchmark::kMillisecond);

// Wall time of `run` with the events it leaves, in milliseconds.
template <typename Run> double msOf(Run run) {
    QElapsedTimer timer;
    timer.start();
    run();
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

void BM_BulkEditAndItsUndoInTheEditorAgainstOneFrame(benchmark::State& state) {
    QTemporaryDir dir;
    TForm1 form({dir.filePath("vpt64presets.ini")});
    form.record = fullBank();
    form.LoadSettingsToForm();
    form.resize(1100, 800);
    form.show();
    form.PageControl->setCurrentWidget(form.Overview.page());
    QApplication::processEvents();
    OverviewPage& page = *form.Overview;
    page.PotTable->selectAll();
    double editMs = 0, undoMs = 0;
    int channel = 1;
    for (auto _ : state) {
        page.BulkChannel->setValue(channel = channel % 16 + 1);
        editMs += msOf([&] { page.SetChannel->click(); });
        undoMs += msOf([&] { form.document().undo(); });
    }
    const double runs = double(state.iterations());
    state.counters["bulk_edit_ms"] = editMs / runs;
    state.counters["undo_ms"] = undoMs / runs;
    state.counters["edit_ratio_to_frame"] = editMs / runs / kFrameMs;
    state.counters["undo_ratio_to_frame"] = undoMs / runs / kFrameMs;
}
BENCHMARK(BM_BulkEditAndItsUndoInTheEditorAgainstOneFrame)
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond);

} // namespace
