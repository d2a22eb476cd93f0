// Dump files and received dumps: any bytes are scanned without a crash, and a dump that is
// taken builds back into one that is taken again with the same record.
#include "dump_codec.h"

#include <array>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto scanned = scanDump(std::span(data, size), [](const std::string&) {});
    if (!scanned) return 0;
    std::array<std::uint8_t, 2120> rebuilt{};
    const int length = buildDump(scanned->record, rebuilt);
    const auto again = scanDump(std::span(rebuilt.data(), length), [](const std::string&) {});
    if (!again || !(again->record == scanned->record)) std::abort();
    return 0;
}
