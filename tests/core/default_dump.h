// The built-in default dump, read from the source tree, for tests that need a real bank.
#pragma once

#include "bank_record.h"
#include "dump_codec.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

inline std::vector<std::uint8_t> defaultDumpBytes() {
    std::ifstream file(VPT64_DEFAULT_DUMP, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    if (bytes.size() != 2120) throw std::runtime_error("default dump missing from the source tree");
    return bytes;
}

inline BankRecord defaultRecord() {
    const auto scanned = scanDump(defaultDumpBytes(), {});
    if (!scanned) throw std::runtime_error("default dump does not decode");
    return scanned->record;
}
