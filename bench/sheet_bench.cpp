// `vpt64 sheet DIR OUT.pdf` for a library folder of 128 banks against 128 runs of
// `vpt64 sheet bank-NNN.syx OUT.pdf`, one bank each, the way a script would make the same
// sheets: both as whole processes, in turns, with the median wall time of each and their ratio.
#include "built_in_dump.h"
#include "dump_codec.h"
#include "library_folder.h"
#include "sysex_protocol.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

// Seconds the program took, 0 when it failed. Its output goes nowhere.
double runQuietly(const QStringList& args) {
    std::vector<QByteArray> bytes{QByteArray(VPT64_CLI)};
    for (const QString& arg : args)
        bytes.push_back(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& arg : bytes)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const bool spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&quiet);
    int status = 0;
    if (!spawned || waitpid(pid, &status, 0) != pid) return 0;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed.count() : 0;
}

// 128 banks, each with a name of its own, as a backup leaves them.
bool writeLibrary(const QString& folder) {
    BankRecord bank = loadBuiltInBank();
    std::vector<std::uint8_t> dump(sysex::kDumpSize);
    for (int n = 1; n <= library_folder::kBankCount; ++n) {
        bank.setBankName("Bank number " + std::to_string(n));
        buildDump(bank, dump);
        QFile file(library_folder::bankFilePath(folder, n));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(dump.data()), qint64(dump.size())) !=
                qint64(dump.size()))
            return false;
    }
    return true;
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void Sheet_FolderAgainstOneRunPerBank(benchmark::State& state) {
    QTemporaryDir dir;
    const QString library = dir.filePath(QStringLiteral("library"));
    if (!dir.isValid() || !QDir().mkpath(library) || !writeLibrary(library)) {
        state.SkipWithError("cannot write the library folder");
        return;
    }
    const QString out = dir.filePath(QStringLiteral("sheets.pdf"));
    std::vector<double> folderSeconds, singleSeconds;
    for (auto _ : state) {
        const double folder = runQuietly({QStringLiteral("sheet"), library, out});
        double singles = 0;
        bool failed = folder == 0;
        for (int n = 1; n <= library_folder::kBankCount; ++n) {
            const double one =
                runQuietly({QStringLiteral("sheet"), library_folder::bankFilePath(library, n),
                            dir.filePath(QStringLiteral("bank-%1.pdf").arg(n))});
            failed = failed || one == 0;
            singles += one;
        }
        if (failed) {
            state.SkipWithError("vpt64 sheet failed");
            return;
        }
        state.SetIterationTime(folder);
        folderSeconds.push_back(folder);
        singleSeconds.push_back(singles);
    }
    const double folder = median(folderSeconds), singles = median(singleSeconds);
    state.counters["folder_ms"] = 1000 * folder;
    state.counters["128_single_runs_ms"] = 1000 * singles;
    state.counters["ratio"] = folder / singles;
}
BENCHMARK(Sheet_FolderAgainstOneRunPerBank)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace
