// Searching a library folder of 128 banks, against reading and checking its 128 files alone: what
// the search adds to the reads it cannot avoid.
#include "dump_codec.h"
#include "library_folder.h"
#include "library_search.h"
#include "side_by_side.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Banks that differ in every pot and button, so that no line is built twice alike.
BankRecord bankNumbered(int bank) {
    BankRecord record;
    record.setBankName("Bank " + std::to_string(bank));
    for (int n = 1; n <= 64; ++n) {
        const int channel = (bank + n) % 16;
        record.setPot(n, {std::uint8_t(0x30 + channel), std::uint8_t((bank + n) % 128), 0, 127});
        record.setPotLabel(n, "Pot " + std::to_string(bank) + "/" + std::to_string(n));
        record.setButton(
            n, {std::uint8_t(0x10 + channel), std::uint8_t(n + 20), 127, std::uint8_t(n % 3)});
    }
    return record;
}

bool writeFolder(const QString& folder) {
    for (int bank = 1; bank <= library_folder::kBankCount; ++bank) {
        std::vector<std::uint8_t> dump(2120);
        buildDump(bankNumbered(bank), dump);
        QFile file(library_folder::bankFilePath(folder, bank));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(dump.data()), qint64(dump.size())) != 2120)
            return false;
    }
    return true;
}

void BM_FindAgainstReadingTheFolder(benchmark::State& state) {
    QTemporaryDir dir;
    if (!writeFolder(dir.path())) return state.SkipWithError("cannot write the folder");
    const library_search::Query query({"cc", "74", "ch", "16"});
    std::size_t hits = 0, read = 0;
    timeSideBySide(
        state, "find",
        [&] {
            QString error;
            hits = library_search::searchFolder(dir.path(), query, &error)->hits.size();
        },
        [&] {
            read = 0;
            for (int bank = 1; bank <= library_folder::kBankCount; ++bank)
                read += library_folder::readBankFile(library_folder::bankFilePath(dir.path(), bank))
                            .has_value();
        },
        "read_128_files");
    if (hits == 0 || read != 128) state.SkipWithError("the search found nothing or a file failed");
}
BENCHMARK(BM_FindAgainstReadingTheFolder)->Unit(benchmark::kMillisecond);

} // namespace
