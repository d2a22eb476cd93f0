#include "diff_command.h"

#include "dump_codec.h"
#include "dump_file.h"
#include "library_compare.h"
#include "record_diff.h"

#include <QFileInfo>
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

int diffFolders(const QString& folderA, const QString& folderB, const CliStreams& streams) {
    QString error;
    const auto comparison = library_compare::compareFolders(folderA, folderB, &error);
    if (!comparison) {
        std::fprintf(streams.err, "vpt64: %s\n", qPrintable(error));
        return kExitUnreadable;
    }
    for (const std::string& line : comparison->lines())
        std::fprintf(streams.out, "%s\n", line.c_str());
    for (const std::string& line : comparison->unreadable)
        std::fprintf(streams.err, "vpt64: %s\n", line.c_str());
    if (!comparison->unreadable.empty()) return kExitUnreadable;
    return comparison->banks.empty() ? kExitEqual : kExitDiffer;
}

int diffFiles(const QString& pathA, const QString& pathB, const CliStreams& streams) {
    const auto a = bankOfFile(pathA, streams);
    const auto b = bankOfFile(pathB, streams);
    if (!a || !b) return kExitUnreadable;
    const auto differences = recordDifferences(*a, *b);
    for (const FieldDifference& difference : differences)
        std::fprintf(streams.out, "%s\n", difference.line().c_str());
    return differences.empty() ? kExitEqual : kExitDiffer;
}

} // namespace

int diffCommand(const QString& pathA, const QString& pathB, const CliStreams& streams) {
    const QFileInfo a(pathA), b(pathB);
    if (a.isDir() != b.isDir() && a.exists() && b.exists()) {
        std::fprintf(streams.err,
                     "vpt64: '%s' is a folder and '%s' is not: diff compares two dump files or "
                     "two library folders\n",
                     qPrintable(a.isDir() ? pathA : pathB), qPrintable(a.isDir() ? pathB : pathA));
        return kExitUnreadable;
    }
    // A missing path beside a folder is a missing folder.
    if (a.isDir() || b.isDir()) return diffFolders(pathA, pathB, streams);
    return diffFiles(pathA, pathB, streams);
}
