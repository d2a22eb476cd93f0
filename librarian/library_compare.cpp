#include "library_compare.h"

#include "library_folder.h"
#include "text_format.h"

#include <QFileInfo>

namespace library_compare {
namespace {

using library_folder::bankFilePath;

std::string quoted(const std::string& text) {
    return '"' + text + '"';
}

std::string headingOf(int bank, const BankRecord& a, const BankRecord& b) {
    const std::string names = a.bankName() == b.bankName()
                                  ? quoted(a.bankName())
                                  : quoted(a.bankName()) + " -> " + quoted(b.bankName());
    return formatText("bank %d: %s", bank, names.c_str());
}

std::string unreadableLine(int bank, const QString& path) {
    return formatText("bank %d: '%s' holds no valid dump", bank, qPrintable(path));
}

// Compares the two files of a bank that both folders hold.
void compareFiles(int bank, const QString& pathA, const QString& pathB,
                  FolderComparison& comparison) {
    const auto a = library_folder::readBankFile(pathA);
    const auto b = library_folder::readBankFile(pathB);
    if (!a) comparison.unreadable.push_back(unreadableLine(bank, pathA));
    if (!b) comparison.unreadable.push_back(unreadableLine(bank, pathB));
    if (!a || !b) return;
    if (auto difference = compareBanks(bank, *a, *b))
        comparison.banks.push_back(std::move(*difference));
}

} // namespace

std::optional<BankDifference> compareBanks(int bank, const BankRecord& a, const BankRecord& b) {
    auto fields = recordDifferences(a, b);
    if (fields.empty()) return std::nullopt;
    return BankDifference{bank, headingOf(bank, a, b), std::move(fields)};
}

std::vector<std::string> FolderComparison::lines() const {
    std::vector<std::string> lines;
    for (const BankDifference& bank : banks) {
        lines.push_back(bank.heading);
        for (const FieldDifference& field : bank.fields)
            lines.push_back(field.line());
    }
    return lines;
}

std::optional<FolderComparison> compareFolders(const QString& folderA, const QString& folderB,
                                               QString* error) {
    if (!library_folder::isReadableFolder(folderA, error) ||
        !library_folder::isReadableFolder(folderB, error))
        return std::nullopt;
    FolderComparison comparison;
    for (int bank = 1; bank <= library_folder::kBankCount; ++bank) {
        const QString pathA = bankFilePath(folderA, bank);
        const QString pathB = bankFilePath(folderB, bank);
        const bool inA = QFileInfo::exists(pathA);
        const bool inB = QFileInfo::exists(pathB);
        if (inA && inB)
            compareFiles(bank, pathA, pathB, comparison);
        else if (inA || inB)
            comparison.banks.push_back(
                {bank, formatText("bank %d: only in %s", bank, inA ? "A" : "B"), {}});
    }
    return comparison;
}

} // namespace library_compare
