#include "library_folder.h"

#include "dump_codec.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> dumpOf(const char* bankName) {
    BankRecord record;
    record.setBankName(bankName);
    std::vector<std::uint8_t> dump(2120);
    buildDump(record, dump);
    return dump;
}

void write(const QTemporaryDir& dir, const char* name, std::span<const std::uint8_t> bytes) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

TEST(LibraryFolder, BankListsAndFileNames) {
    struct Case {
        const char* text;
        std::vector<int> banks; // empty: refused
    };
    const Case cases[] = {
        {"1-4,126-128", {1, 2, 3, 4, 126, 127, 128}},
        {"7", {7}},
        {" 9 , 3-4,3", {9, 3, 4}},
        {"0", {}},
        {"129", {}},
        {"5-2", {}},
        {"1-2-3", {}},
        {"x", {}},
        {"1,,2", {}},
    };
    for (const Case& c : cases) {
        QString error;
        const auto banks = library_folder::parseBankList(QString::fromLatin1(c.text), &error);
        EXPECT_EQ(banks.value_or(std::vector<int>{}), c.banks) << c.text;
        EXPECT_EQ(error.isEmpty(), banks.has_value()) << c.text;
    }
    QString error;
    EXPECT_EQ(library_folder::parseBankList({}, &error)->size(), 128u);
    EXPECT_EQ(library_folder::bankFileName(7), "bank-007.syx");
    EXPECT_EQ(library_folder::bankFileName(128), "bank-128.syx");
}

TEST(LibraryFolder, OnlyFilesWithAValidDumpGiveABank) {
    QTemporaryDir dir;
    const auto dump = dumpOf("In the folder");
    write(dir, "bank-001.syx", dump);
    write(dir, "bank-002.syx", std::span(dump).first(2000));
    const auto read = library_folder::readBankFile(library_folder::bankFilePath(dir.path(), 1));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->bankName(), "In the folder");
    EXPECT_FALSE(library_folder::readBankFile(library_folder::bankFilePath(dir.path(), 2)));
    EXPECT_FALSE(library_folder::readBankFile(library_folder::bankFilePath(dir.path(), 3)));
}

// Other files of the folder are not banks; a bank file without a valid dump is named.
TEST(LibraryFolder, ValidBanksComeInBankOrderAndInvalidOnesAreNamed) {
    QTemporaryDir dir;
    write(dir, "bank-128.syx", dumpOf("Last"));
    write(dir, "bank-007.syx", dumpOf("Seventh"));
    const auto cut = dumpOf("Cut");
    write(dir, "bank-003.syx", std::span(cut).first(1000));
    write(dir, "bank-9.syx", dumpOf("Not a library name"));
    write(dir, "notes.syx", dumpOf("Notes"));
    std::vector<std::pair<int, QString>> invalid;
    const auto banks = library_folder::readValidBanks(
        dir.path(), [&](int bank, const QString& path) { invalid.emplace_back(bank, path); });
    std::vector<std::pair<int, std::string>> read;
    for (const auto& [bank, record] : banks)
        read.emplace_back(bank, record.bankName());
    EXPECT_EQ(read, (std::vector<std::pair<int, std::string>>{{7, "Seventh"}, {128, "Last"}}));
    EXPECT_EQ(invalid, (std::vector<std::pair<int, QString>>{
                           {3, library_folder::bankFilePath(dir.path(), 3)}}));
}

} // namespace

TEST(LibraryFolderNames, OnlyALibraryFileNameGivesItsBank) {
    const std::vector<std::pair<const char*, int>> cases{
        {"bank-003.syx", 3},      {"/any/folder/BANK-128.SYX", 128}, {"bank-129.syx", 0},
        {"bank-000.syx", 0},      {"bank-12.syx", 0},                {"bank-0a1.syx", 0},
        {"mybank-003.syx", 0},    {"bank-003.syx.bak", 0}};
    for (const auto& [name, bank] : cases)
        EXPECT_EQ(library_folder::bankOfFileName(QString::fromLatin1(name)), bank) << name;
}
