#include "diff_command.h"

#include "dump_codec.h"
#include "dump_file.h"
#include "record_diff.h"

#include <optional>

namespace {

constexpr int kExitEqual = 0;
constexpr int kExitDiffer = 1;
constexpr int kExitUnreadable = 2;

// The bank held in the dump file at `path`; nothing, with the reason on `err`, when there is none.
std::optional<BankRecord> bankOfFile(const QString& path, const CliStreams& streams) {
    DumpBuffer buffer;
    if (!readDumpFile(path, buffer)) {
        std::fprintf(streams.err, "vpt64: cannot read '%s'\n", qPrintable(path));
        return std::nullopt;
    }
    std::string firstProblem;
    const auto scanned = scanDump(buffer.used(), [&firstProblem](const std::string& line) {
        if (firstProblem.empty()) firstProblem = line;
    });
    if (!scanned) {
        std::fprintf(streams.err, "vpt64: '%s' holds no valid bank: %s\n", qPrintable(path),
                     firstProblem.c_str());
        return std::nullopt;
    }
    return scanned->record;
}

} // namespace

int diffCommand(const QString& pathA, const QString& pathB, const CliStreams& streams) {
    const auto a = bankOfFile(pathA, streams);
    const auto b = bankOfFile(pathB, streams);
    if (!a || !b) return kExitUnreadable;
    const auto differences = recordDifferences(*a, *b);
    for (const FieldDifference& difference : differences)
        std::fprintf(streams.out, "%s\n", difference.line().c_str());
    return differences.empty() ? kExitEqual : kExitDiffer;
}
