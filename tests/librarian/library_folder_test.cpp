#include "library_folder.h"

#include "dump_codec.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

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
    BankRecord record;
    record.setBankName("In the folder");
    std::vector<std::uint8_t> dump(2120);
    buildDump(record, dump);
    const auto write = [&](const char* name, std::span<const std::uint8_t> bytes) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    };
    write("bank-001.syx", dump);
    write("bank-002.syx", std::span(dump).first(2000));
    const auto read = library_folder::readBankFile(library_folder::bankFilePath(dir.path(), 1));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->bankName(), "In the folder");
    EXPECT_FALSE(library_folder::readBankFile(library_folder::bankFilePath(dir.path(), 2)));
    EXPECT_FALSE(library_folder::readBankFile(library_folder::bankFilePath(dir.path(), 3)));
}

} // namespace
