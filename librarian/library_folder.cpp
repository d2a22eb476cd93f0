#include "library_folder.h"

#include "dump_buffer.h"
#include "dump_codec.h"
#include "dump_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <numeric>

namespace library_folder {

QString bankFileName(int bank) {
    return QStringLiteral("bank-%1.syx").arg(bank, 3, 10, QLatin1Char('0'));
}

std::vector<int> allBanks() {
    std::vector<int> banks(kBankCount);
    std::iota(banks.begin(), banks.end(), 1);
    return banks;
}

QString bankFilePath(const QString& folder, int bank) {
    return QDir(folder).filePath(bankFileName(bank));
}

int bankOfFileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    constexpr qsizetype kLength = 12; // bank-NNN.syx
    if (name.size() != kLength || !name.startsWith(QLatin1String("bank-"), Qt::CaseInsensitive) ||
        !name.endsWith(QLatin1String(".syx"), Qt::CaseInsensitive))
        return 0;
    const QStringView digits = QStringView(name).sliced(5, 3);
    if (!std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return 0;
    const int bank = digits.toInt();
    return bank >= 1 && bank <= kBankCount ? bank : 0;
}

namespace {

std::optional<int> bankNumber(const QString& text) {
    bool ok = false;
    const int bank = text.trimmed().toInt(&ok);
    if (!ok || bank < 1 || bank > kBankCount) return std::nullopt;
    return bank;
}

} // namespace

std::optional<std::vector<int>> parseBankList(const QString& text, QString* error) {
    std::vector<int> banks;
    const auto add = [&banks](int bank) {
        if (std::find(banks.begin(), banks.end(), bank) == banks.end()) banks.push_back(bank);
    };
    if (text.trimmed().isEmpty()) {
        for (int bank = 1; bank <= kBankCount; ++bank)
            add(bank);
        return banks;
    }
    for (const QString& item : text.split(QLatin1Char(','))) {
        const QStringList ends = item.split(QLatin1Char('-'));
        const auto first = bankNumber(ends.first());
        const auto last = bankNumber(ends.last());
        if (ends.size() > 2 || !first || !last || *first > *last) {
            *error = QStringLiteral("'%1' is no bank or range of banks 1..128").arg(item);
            return std::nullopt;
        }
        for (int bank = *first; bank <= *last; ++bank)
            add(bank);
    }
    return banks;
}

bool isReadableFolder(const QString& folder, QString* error) {
    const QFileInfo info(folder);
    if (!info.exists())
        *error = QStringLiteral("there is no folder '%1'").arg(folder);
    else if (!info.isDir())
        *error = QStringLiteral("'%1' is no folder").arg(folder);
    else if (!info.isReadable() || !info.isExecutable())
        *error = QStringLiteral("cannot read the folder '%1'").arg(folder);
    else
        return true;
    return false;
}

std::optional<BankRecord> readBankFile(const QString& path) {
    auto buffer = std::make_unique<DumpBuffer>();
    if (!readDumpFile(path, *buffer)) return std::nullopt;
    const auto scanned = scanDump(buffer->used(), {});
    if (!scanned) return std::nullopt;
    return scanned->record;
}

std::vector<FolderBank> readValidBanks(const QString& folder,
                                       const std::function<void(int, const QString&)>& invalid) {
    std::vector<FolderBank> banks;
    for (int bank = 1; bank <= kBankCount; ++bank) {
        const QString path = bankFilePath(folder, bank);
        if (!QFileInfo::exists(path)) continue;
        if (const auto record = readBankFile(path))
            banks.push_back({bank, *record});
        else
            invalid(bank, path);
    }
    return banks;
}

} // namespace library_folder
