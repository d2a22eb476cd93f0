// The MIDI Monitor window's cost per frame at 10,000 messages a second: one batch of 160 lines
// appended (and the events it leaves: layout, repaint) to a window holding 1,000 lines, side by
// side with the same batch appended to one holding 90,000. A ratio near 1 means appending costs
// in proportion to what is appended, not to the lines held. For instruction counts run it under
// callgrind and compare the inclusive costs of appendToSmallLog and appendToLargeLog.
// And a frame's batch of whole-form dumps to a window at its byte budget, as the MIDI IN port
// passes them on (in chunks of its input buffer, joined by the monitor), side by side with the
// same dumps in one piece each. A ratio near 1 means joining costs little beside the rest.
#include "bank_record.h"
#include "midi_in.h"
#include "midi_monitor_window.h"
#include "side_by_side.h"
#include "sysex_protocol.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <vector>

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

constexpr int kDumpBatch = 16;

std::vector<std::uint8_t> wholeDump() {
    std::vector<std::uint8_t> dump(sysex::kHeader.begin(), sysex::kHeader.end());
    dump.push_back(sysex::WholeDump);
    dump.resize(sysex::kWholeDumpSize - 1, 0x11);
    dump.push_back(sysex::kEnd);
    return dump;
}

// A window that takes whole dumps in pieces of `pieceSize` bytes, filled to its byte budget.
struct DumpWindow {
    DumpWindow(const BankRecord& bank, std::size_t pieceSize) : window(bank), pieceSize(pieceSize) {
        window.show();
        for (std::size_t dumps = 0; dumps < MonitorLog::kByteBudget / dump.size();
             dumps += kDumpBatch)
            appendBatch();
    }
    void appendBatch() {
        const std::span<const std::uint8_t> bytes(dump);
        for (int i = 0; i < kDumpBatch; ++i)
            for (std::size_t at = 0; at < bytes.size(); at += pieceSize)
                window.record(midi_meaning::Direction::In, "bench",
                              bytes.subspan(at, std::min(pieceSize, bytes.size() - at)));
        window.flush();
        QApplication::processEvents();
    }
    MidiMonitorWindow window;
    const std::size_t pieceSize;
    const std::vector<std::uint8_t> dump = wholeDump();
};

[[gnu::noipa]] void appendDumpsInChunks(DumpWindow& window) {
    window.appendBatch();
}
[[gnu::noipa]] void appendWholeDumps(DumpWindow& window) {
    window.appendBatch();
}

void BM_MonitorDumpsInChunksAgainstWholeAtTheByteBudget(benchmark::State& state) {
    const BankRecord bank;
    DumpWindow chunked(bank, TMidiIn::SysexBufferSize), whole(bank, sysex::kWholeDumpSize);
    timeSideBySide(
        state, "in_chunks", [&] { appendDumpsInChunks(chunked); }, [&] { appendWholeDumps(whole); },
        "whole");
    state.counters["log_mb"] = double(chunked.window.log().bytes()) / (1 << 20);
}
BENCHMARK(BM_MonitorDumpsInChunksAgainstWholeAtTheByteBudget)
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);

} // namespace
