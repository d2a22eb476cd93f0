// Speed of the dump codec: decoding a dump, a full receive buffer, and encoding a record.
#include "dump_codec.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace {

std::vector<std::uint8_t> defaultDump() {
    std::ifstream file(VPT64_DEFAULT_DUMP, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

struct Codec {
    std::unique_ptr<DumpBuffer> outgoing = std::make_unique<DumpBuffer>();
    std::unique_ptr<DumpBuffer> source = std::make_unique<DumpBuffer>();
    BankRecord record;
    std::size_t lines = 0;
    DumpCodec codec{*outgoing, {[this](const std::string&) { ++lines; }, {}, {}, {}}};
};

void DumpToRecord_DefaultDump(benchmark::State& state) {
    Codec c;
    c.source->assign(defaultDump());
    for (auto _ : state)
        benchmark::DoNotOptimize(c.codec.DumpToRecord(*c.source, c.record));
    state.SetBytesProcessed(state.iterations() * c.source->length);
}
BENCHMARK(DumpToRecord_DefaultDump);

// The worst case the receiver can hand over: a buffer filled to the brim with dumps,
// which makes the decoder report every surplus block and byte.
void DumpToRecord_FullBuffer(benchmark::State& state) {
    Codec c;
    const auto dump = defaultDump();
    std::vector<std::uint8_t> data;
    while (data.size() < DumpBuffer::kCapacity)
        data.insert(data.end(), dump.begin(), dump.end());
    data.resize(DumpBuffer::kCapacity);
    c.source->assign(data);
    for (auto _ : state)
        benchmark::DoNotOptimize(c.codec.DumpToRecord(*c.source, c.record));
    state.SetBytesProcessed(state.iterations() * c.source->length);
    state.counters["log_lines"] = static_cast<double>(c.lines) / state.iterations();
}
BENCHMARK(DumpToRecord_FullBuffer);

void RecordToDump(benchmark::State& state) {
    Codec c;
    c.source->assign(defaultDump());
    c.codec.DumpToRecord(*c.source, c.record);
    auto target = std::make_unique<DumpBuffer>();
    for (auto _ : state)
        benchmark::DoNotOptimize(c.codec.RecordToDump(c.record, *target));
    state.SetBytesProcessed(state.iterations() * target->length);
}
BENCHMARK(RecordToDump);

} // namespace

BENCHMARK_MAIN();
