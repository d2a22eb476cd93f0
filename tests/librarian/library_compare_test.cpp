#include "library_compare.h"

#include "library_files.h"

#include <gtest/gtest.h>

namespace {

// The banks that differ, for the library to list; a bank file of either folder without a valid
// dump is named and left out.
TEST(LibraryCompare, BanksThatDifferAndFilesThatHoldNoBank) {
    LibraryFolder a, b;
    for (const LibraryFolder* folder : {&a, &b}) {
        ASSERT_TRUE(folder->write(1, dumpOf("Same")));
        ASSERT_TRUE(folder->write(2, dumpOf("Equal")));
    }
    ASSERT_TRUE(a.write(3, dumpOf("Old")));
    ASSERT_TRUE(b.write(3, dumpOf("New")));
    ASSERT_TRUE(a.write(4, dumpOf("Gone")));
    ASSERT_TRUE(b.write(5, dumpOf("Added")));
    ASSERT_TRUE(b.write(2, "no dump"));
    QString error;
    const auto comparison = library_compare::compareFolders(a.path(), b.path(), &error);
    ASSERT_TRUE(comparison) << error.toStdString();
    std::vector<int> banks;
    for (const library_compare::BankDifference& bank : comparison->banks)
        banks.push_back(bank.bank);
    EXPECT_EQ(banks, (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(
        comparison->lines(),
        (std::vector<std::string>{"bank 3: \"Old\" -> \"New\"", "bank name: \"Old\" -> \"New\"",
                                  "bank 4: only in A", "bank 5: only in B"}));
    EXPECT_EQ(comparison->unreadable,
              std::vector<std::string>{"bank 2: '" + b.bankPath(2).toStdString() +
                                       "' holds no valid dump"});
    EXPECT_FALSE(library_compare::compareFolders(a.path(), b.path() + "/none", &error));
    EXPECT_EQ(error, "there is no folder '" + b.path() + "/none'");
}

} // namespace
