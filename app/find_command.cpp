#include "find_command.h"

#include "library_search.h"

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNothing = 1;
constexpr int kExitRefused = 2;

} // namespace

int findCommand(const QString& folder, const QStringList& words, const CliStreams& streams) {
    const library_search::Query query(words);
    QString error =
        query.empty() ? QStringLiteral("find needs at least one word to look for") : QString();
    const auto search =
        error.isEmpty() ? library_search::searchFolder(folder, query, &error) : std::nullopt;
    if (!search) {
        std::fprintf(streams.err, "vpt64: %s\n", qPrintable(error));
        return kExitRefused;
    }
    for (const std::string& note : search->skipped)
        std::fprintf(streams.err, "vpt64: %s\n", note.c_str());
    for (const library_search::Hit& hit : search->hits)
        std::fprintf(streams.out, "%s\n", hit.line.c_str());
    return search->hits.empty() ? kExitNothing : kExitFound;
}
