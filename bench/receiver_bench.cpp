// Throughput of the SysEx receiver: a requested bank fed in chunks of various sizes.
#include "built_in_dump.h"
#include "sysex_receiver.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct Buffers {
    DumpBuffer message, incoming, outgoing;
};

std::vector<std::uint8_t> bank() {
    const auto dump = loadBuiltInDump();
    return std::vector<std::uint8_t>(dump->begin(), dump->end());
}

// state.range(0): chunk size in bytes; state.range(1): 1 to decode each bank as it completes.
void BM_ReceiveBank(benchmark::State& state) {
    const auto bytes = bank();
    const auto chunk = static_cast<std::size_t>(state.range(0));
    const bool decode = state.range(1) != 0;
    auto buffers = std::make_unique<Buffers>();
    BankRecord record;
    DumpCodec codec(buffers->outgoing, {[](const std::string&) {}, {}, {}, {}});
    SysexReceiver receiver(buffers->message, buffers->incoming,
                           {[](const std::string& line) { benchmark::DoNotOptimize(line.data()); },
                            {},
                            {},
                            [&] {
                                if (decode) codec.DumpToRecord(buffers->incoming, record);
                            },
                            {}});
    for (auto _ : state) {
        receiver.ResetReceiverBuffer();
        for (std::size_t i = 0; i < bytes.size(); i += chunk)
            receiver.MidiIn1SysEx(bytes.data() + i,
                                  static_cast<int>(std::min(chunk, bytes.size() - i)));
        benchmark::DoNotOptimize(buffers->incoming.length);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

} // namespace

BENCHMARK(BM_ReceiveBank)
    ->ArgNames({"chunk", "decode"})
    ->Args({1, 0})
    ->Args({265, 0})
    ->Args({2048, 0})
    ->Args({2120, 0})
    ->Args({1, 1})
    ->Args({2120, 1});

BENCHMARK_MAIN();
