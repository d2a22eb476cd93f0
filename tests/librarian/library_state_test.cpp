#include "library_state.h"

#include "../files/read_only_folder.h"
#include "library_files.h"
#include "library_table.h"

#include <gtest/gtest.h>

namespace {

using Kind = BankOperation::Kind;
using Outcome = BankReport::Outcome;
using Source = LibraryState::Source;

std::vector<std::uint8_t> bytesOf(const QByteArray& dump) {
    return {dump.begin(), dump.end()};
}

QByteArray stateFile(const QString& banks, const QString& format = "vPultron64 library state",
                     int version = 1) {
    return QStringLiteral(R"({"format": "%1", "version": %2, "banks": %3})")
        .arg(format)
        .arg(version)
        .arg(banks)
        .toUtf8();
}

class LibraryStateTest : public ::testing::Test {
protected:
    bool writeState(const QByteArray& bytes) const {
        QFile file(LibraryState::filePath(folder.path()));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    LibraryState read() const { return LibraryState::read(folder.path()); }
    // Records that the controller holds `record` in each of `banks`.
    void held(const std::vector<int>& banks, const BankRecord& record) const {
        QString error;
        ASSERT_TRUE(updateLibraryState(
            folder.path(),
            [&](LibraryState& state) {
                for (const int bank : banks)
                    state.set(bank, record);
            },
            &error))
            << error.toStdString();
    }

    LibraryFolder folder;
};

TEST_F(LibraryStateTest, AMissingCorruptOrForeignFileIsNoKnownState) {
    const QString checksum = QString::fromLatin1(LibraryState::checksum(recordNamed("Third")));
    struct Case {
        const char* name;
        std::optional<QByteArray> file;
        Source source;
    };
    const Case cases[] = {
        {"no file", std::nullopt, Source::NoFile},
        {"empty", "", Source::Corrupt},
        {"not JSON", "[banks]\n3=abc\n", Source::Corrupt},
        {"a JSON array", "[1, 2]", Source::Corrupt},
        {"banks not a table", stateFile("[]"), Source::Corrupt},
        {"bank out of range", stateFile(QStringLiteral(R"({"129": "%1"})").arg(checksum)),
         Source::Corrupt},
        {"checksum cut short", stateFile(R"({"3": "0123abcd"})"), Source::Corrupt},
        {"another program's", stateFile("{}", "library of something else"), Source::Foreign},
        {"a newer version's", stateFile("{}", "vPultron64 library state", 2), Source::Foreign},
        {"no bank known yet", stateFile("{}"), Source::Read},
        {"bank 3 known", stateFile(QStringLiteral(R"({"3": "%1"})").arg(checksum)), Source::Read},
    };
    ASSERT_TRUE(folder.write(3, dumpOf("Third")));
    for (const Case& c : cases) {
        QFile::remove(LibraryState::filePath(folder.path()));
        if (c.file) {
            ASSERT_TRUE(writeState(*c.file));
        }
        const LibraryState state = read();
        EXPECT_EQ(state.source(), c.source) << c.name;
        EXPECT_EQ(state.known(), c.source == Source::Read) << c.name;
        QString why;
        const auto changed = changedBanks(folder.path(), {1, 2, 3}, &why);
        EXPECT_EQ(changed.has_value(), state.known()) << c.name;
        EXPECT_EQ(why, state.unknownReason()) << c.name;
        EXPECT_EQ(state.bankKnown(3), c.name == std::string("bank 3 known")) << c.name;
    }
    EXPECT_EQ(LibraryState{}.unknownReason(), "no record of what the controller holds");
}

TEST_F(LibraryStateTest, WritingReplacesADamagedFileKeepsAForeignOneAndFailsWithoutHarm) {
    const QByteArray foreign = stateFile("{}", "library of something else");
    struct Case {
        QByteArray file;
        bool written;
    };
    for (const Case& c : {Case{"{damaged", true}, Case{foreign, false}}) {
        ASSERT_TRUE(writeState(c.file));
        QString error;
        const bool written = updateLibraryState(
            folder.path(), [](LibraryState& state) { state.set(7, recordNamed("Seventh")); },
            &error);
        EXPECT_EQ(written, c.written) << error.toStdString();
        EXPECT_EQ(read().holds(7, recordNamed("Seventh")), c.written);
        EXPECT_EQ(error.isEmpty(), c.written);
    }
    ASSERT_TRUE(writeState(stateFile("{}")));
    const auto files = folder.files();
    const ReadOnlyFolder readOnly(folder.path());
    if (!readOnly.effective()) GTEST_SKIP() << "cannot make the folder read-only";
    QString error;
    EXPECT_FALSE(updateLibraryState(
        folder.path(), [](LibraryState& state) { state.set(7, recordNamed("Seventh")); }, &error));
    EXPECT_TRUE(error.startsWith("cannot write the state file ")) << error.toStdString();
    EXPECT_EQ(folder.files(), files);
}

// What each ended operation says of the controller's bank, which held "Old" before.
TEST_F(LibraryStateTest, EndedOperationsSetOrForgetWhatTheControllerHolds) {
    struct Case {
        Kind kind;
        Outcome outcome;
        QByteArray dump;
        std::optional<std::string> held; // nothing: unknown now
    };
    const Case cases[] = {
        {Kind::Request, Outcome::Done, dumpOf("Fetched", 3), "Fetched"},
        {Kind::Upload, Outcome::Done, dumpOf("Sent", 2), "Sent"},
        {Kind::Verify, Outcome::Done, dumpOf("Read back"), "Read back"},
        {Kind::Verify, Outcome::Failed, dumpOf("Other"), std::nullopt},
        {Kind::Upload, Outcome::Failed, dumpOf("Sent"), std::nullopt},
        {Kind::Upload, Outcome::Cancelled, dumpOf("Sent"), std::nullopt},
        // Nothing learnt: the controller still holds what it held.
        {Kind::Verify, Outcome::Failed, {}, "Old"},
        {Kind::Upload, Outcome::NotRun, {}, "Old"},
        {Kind::Request, Outcome::Failed, {}, "Old"},
        {Kind::Request, Outcome::Cancelled, {}, "Old"},
    };
    for (const Case& c : cases) {
        LibraryState state;
        state.set(4, recordNamed("Old"));
        state.take({c.kind, 4, c.outcome, "", bytesOf(c.dump)});
        EXPECT_EQ(state.bankKnown(4), c.held.has_value()) << int(c.kind) << int(c.outcome);
        if (c.held) {
            EXPECT_TRUE(state.holds(4, recordNamed(*c.held))) << *c.held;
        }
    }
}

// The same bank in a file with another device id is no change; banks without a file have
// nothing to upload.
TEST_F(LibraryStateTest, ChangedBanksAreThoseWhoseFileDiffersFromTheController) {
    for (int bank = 1; bank <= 6; ++bank)
        ASSERT_TRUE(folder.write(bank, dumpOf("Same")));
    held({1, 2, 3, 5, 7}, recordNamed("Same"));
    held({4}, recordNamed("Other"));
    ASSERT_TRUE(folder.write(2, dumpOf("Same", 5)));          // as a backup from device 5
    ASSERT_TRUE(folder.write(3, dumpOf("Edited")));           // changed in the folder
    ASSERT_TRUE(folder.write(5, dumpOf("Same").first(2000))); // no valid dump any more
    QString why;
    EXPECT_EQ(changedBanks(folder.path(), {1, 2, 3, 4, 5, 6, 7}, &why),
              (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(changedBanks(folder.path(), {6, 1, 3}, &why), (std::vector<int>{6, 3}));
}

// The Library page's jobs and its transfers outside them keep the state file through the table.
TEST_F(LibraryStateTest, LibraryTableKeepsTheStateFile) {
    ASSERT_TRUE(folder.write(2, dumpOf("Second")));
    LibraryTable table;
    table.load(folder.path());
    struct Case {
        std::function<void()> step;
        int bank;
        std::optional<std::string> held;
    };
    const Case cases[] = {
        {[&] {
             table.take({Kind::Request, 1, Outcome::Done, "", bytesOf(dumpOf("Fetched"))});
         },
         1, "Fetched"},
        {[&] {
             table.take({Kind::Upload, 2, Outcome::Done, "", bytesOf(dumpOf("Second"))});
         },
         2, "Second"},
        {[&] {
             table.take({Kind::Verify, 2, Outcome::Failed, "", bytesOf(dumpOf("Other"))});
         },
         2, std::nullopt},
        {[&] { table.takeControllerBank(5, recordNamed("Sent")); }, 5, "Sent"},
        {[&] { table.takeControllerBank(5, std::nullopt); }, 5, std::nullopt},
    };
    for (const Case& c : cases) {
        c.step();
        EXPECT_TRUE(table.stateError().isEmpty()) << table.stateError().toStdString();
        const LibraryState state = read();
        EXPECT_EQ(state.bankKnown(c.bank), c.held.has_value()) << c.bank;
        if (c.held) {
            EXPECT_TRUE(state.holds(c.bank, recordNamed(*c.held))) << *c.held;
        }
    }
    EXPECT_TRUE(read().holds(1, recordNamed("Fetched"))); // kept through the later steps

    const ReadOnlyFolder readOnly(folder.path());
    if (!readOnly.effective()) GTEST_SKIP() << "cannot make the folder read-only";
    table.takeControllerBank(2, recordNamed("Second"));
    EXPECT_TRUE(table.stateError().startsWith("cannot write the state file "));
}

} // namespace
