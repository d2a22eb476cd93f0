// The MIDI Monitor window's cost per frame at 10,000 messages a second: one batch of 160 lines
// appended (and the events it leaves: layout, repaint) to a window holding 1,000 lines, side by
// side with the same batch appended to one holding 90,000. A ratio near 1 means appending costs
// in proportion to what is appended, not to the lines held. For instruction counts run it under
// callgrind and compare the inclusive costs of appendToSmallLog and appendToLargeLog.
#include "bank_record.h"
#include "midi_monitor_window.h"
#include "side_by_side.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

constexpr int kBatch = 160; // 10,000 a second for one 16 ms frame

// Controller messages that name no pot of an empty bank, each with another value.
void recordBatch(MidiMonitorWindow& window, int& sent) {
    for (int i = 0; i < kBatch; ++i, ++sent) {
        const std::uint8_t message[] = {0xB0, std::uint8_t(sent >> 7 & 0x7F),
                                        std::uint8_t(sent & 0x7F)};
        window.record(midi_meaning::Direction::In, "bench", message);
    }
}

struct FilledWindow {
    FilledWindow(const BankRecord& bank, int lines) : window(bank) {
        window.show();
        while (sent < lines) {
            recordBatch(window, sent);
            window.flush();
        }
        QApplication::processEvents();
    }
    void appendBatch() {
        recordBatch(window, sent);
        window.flush();
        QApplication::processEvents();
    }
    MidiMonitorWindow window;
    int sent = 0;
};

// Out of line, so that callgrind counts each size on its own.
[[gnu::noipa]] void appendToSmallLog(FilledWindow& window) {
    window.appendBatch();
}
[[gnu::noipa]] void appendToLargeLog(FilledWindow& window) {
    window.appendBatch();
}

void BM_MonitorBatchAt90000LinesAgainstAt1000(benchmark::State& state) {
    const BankRecord bank;
    FilledWindow small(bank, 1'000), large(bank, 90'000);
    timeSideBySide(
        state, "at_90000", [&] { appendToLargeLog(large); }, [&] { appendToSmallLog(small); },
        "at_1000");
}
BENCHMARK(BM_MonitorBatchAt90000LinesAgainstAt1000)->Iterations(30)->Unit(benchmark::kMillisecond);

} // namespace
