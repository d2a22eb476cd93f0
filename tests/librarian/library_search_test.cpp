#include "library_search.h"

#include "library_files.h"

#include <gtest/gtest.h>

namespace {

using library_search::Place;

// What the library needs to open a bank on the control found: the bank, pot or button, number.
TEST(LibrarySearch, EachHitSaysWhereItIs) {
    LibraryFolder folder;
    BankRecord live = recordNamed("Live Set");
    live.setPot(33, {0x3F, 74, 0, 127});
    live.setButton(5, {0x10, 60, 127, 2});
    ASSERT_TRUE(folder.write(1, dumpOf(live)));
    ASSERT_TRUE(folder.write(7, dumpOf("Live Too")));
    ASSERT_TRUE(folder.write(9, "no dump"));
    const struct {
        const char* words;
        std::vector<std::tuple<int, Place, int>> hits;
    } cases[] = {
        {"cc 74", {{1, Place::Pot, 33}}},
        {"Toggle", {{1, Place::Button, 5}}},
        {"live", {{1, Place::Name, 0}, {7, Place::Name, 0}}},
        {"set cc", {{1, Place::Pot, 33}}},
        {"pot 64 c-1", {{1, Place::Pot, 64}, {7, Place::Pot, 64}}},
    };
    for (const auto& c : cases) {
        QString error;
        const auto search = library_search::searchFolder(
            folder.path(), library_search::Query({QString::fromLatin1(c.words)}), &error);
        ASSERT_TRUE(search) << error.toStdString();
        std::vector<std::tuple<int, Place, int>> hits;
        for (const library_search::Hit& hit : search->hits)
            hits.emplace_back(hit.bank, hit.place, hit.control);
        EXPECT_EQ(hits, c.hits) << c.words;
        EXPECT_EQ(search->skipped,
                  std::vector<std::string>{"bank 9 skipped: '" + folder.bankPath(9).toStdString() +
                                           "' holds no valid dump"});
    }
    QString error;
    EXPECT_FALSE(library_search::searchFolder(folder.path() + "/none",
                                              library_search::Query({"cc"}), &error));
    EXPECT_EQ(error, "there is no folder '" + folder.path() + "/none'");
}

} // namespace
