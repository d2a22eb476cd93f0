// Memory and time of 1,000 undo steps of the bank, each a typical edit (a field, a label, now and
// then a whole new bank), against keeping a whole copy of the bank per step.
#include "bank_history.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <vector>

namespace {

constexpr int kSteps = 1000;

std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd; // large blocks are mapped on their own
}

// Step n: mostly one byte of a pot or button, every tenth a label, every hundredth a new bank.
void edit(BankRecord& record, int n) {
    if (n % 100 == 99) {
        for (auto& byte : record.bytes())
            byte = static_cast<std::uint8_t>((byte + 1) & 0x7F);
    } else if (n % 10 == 9) {
        record.setPotLabel(n % 64 + 1, "LABEL " + std::to_string(n));
    } else {
        record.bytes()[n % 512] = static_cast<std::uint8_t>((record.bytes()[n % 512] + 1) & 0x7F);
    }
}

void UndoHistoryAgainstWholeCopies(benchmark::State& state) {
    double historyBytes = 0, copiesBytes = 0, patchBytes = 0;
    for (auto _ : state) {
        {
            BankRecord record;
            const std::size_t before = heapInUse();
            BankHistory history(record);
            for (int n = 0; n < kSteps; ++n) {
                edit(record, n);
                history.commit(QStringLiteral("edit"));
            }
            historyBytes += double(heapInUse() - before);
            patchBytes += double(history.patchBytes());
            benchmark::DoNotOptimize(history.stack().count());
        }
        {
            BankRecord record;
            const std::size_t before = heapInUse();
            std::vector<BankRecord> copies;
            for (int n = 0; n < kSteps; ++n) {
                edit(record, n);
                copies.push_back(record);
            }
            copiesBytes += double(heapInUse() - before);
            benchmark::DoNotOptimize(copies.data());
        }
    }
    const double runs = double(state.iterations());
    state.counters["history_kB"] = historyBytes / runs / 1024;
    state.counters["patches_kB"] = patchBytes / runs / 1024;
    state.counters["copies_kB"] = copiesBytes / runs / 1024;
    state.counters["ratio"] = historyBytes / copiesBytes;
}
BENCHMARK(UndoHistoryAgainstWholeCopies)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
