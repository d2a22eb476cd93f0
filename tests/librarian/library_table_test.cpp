#include "library_table.h"

#include "dump_codec.h"
#include "dump_file.h"
#include "library_folder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Job = LibraryTable::Job;
using Kind = BankOperation::Kind;
using Outcome = BankReport::Outcome;
using State = LibraryTable::State;

std::vector<std::uint8_t> dumpOf(const std::string& name) {
    BankRecord record;
    record.setBankName(name);
    std::vector<std::uint8_t> dump(2120);
    buildDump(record, dump);
    return dump;
}

BankRecord recordNamed(const std::string& name) {
    return scanDump(dumpOf(name), {})->record;
}

QByteArray bytesOf(const std::vector<std::uint8_t>& dump) {
    return QByteArray(reinterpret_cast<const char*>(dump.data()), qsizetype(dump.size()));
}

// A folder with a valid bank 2 ("Second") and a truncated bank 3.
class LibraryTableTest : public ::testing::Test {
protected:
    LibraryTableTest() {
        writeFileAtomically(path(2), bytesOf(dumpOf("Second")));
        writeFileAtomically(path(3), bytesOf(dumpOf("Third")).first(1000));
        table.load(dir.path());
    }
    QString path(int bank) const { return library_folder::bankFilePath(dir.path(), bank); }
    QString state(int bank) const { return LibraryTable::stateText(table.entry(bank)); }
    std::vector<std::pair<Kind, int>> operations(Job job, const std::vector<int>& banks,
                                                 bool fetchAgain = false) const {
        std::vector<std::pair<Kind, int>> kinds;
        for (const BankOperation& op : table.operations(job, banks, fetchAgain))
            kinds.emplace_back(op.kind, op.bank);
        return kinds;
    }

    QTemporaryDir dir;
    LibraryTable table;
};

TEST_F(LibraryTableTest, FolderGivesNamesAndStatesAndEachJobItsOperations) {
    EXPECT_EQ(table.entry(2).name, "Second");
    EXPECT_EQ(table.entry(2).state, State::InFolder);
    for (const int bank : {1, 3, 128}) {
        EXPECT_EQ(table.entry(bank).state, State::NotReadYet) << bank;
        EXPECT_EQ(table.entry(bank).name, "") << bank;
    }
    // A backup goes on where the folder ends; restore and verify need a valid file.
    EXPECT_EQ(operations(Job::Backup, {1, 2, 3}),
              (std::vector<std::pair<Kind, int>>{{Kind::Request, 1}, {Kind::Request, 3}}));
    EXPECT_EQ(operations(Job::Backup, {2, 3}, true),
              (std::vector<std::pair<Kind, int>>{{Kind::Request, 2}, {Kind::Request, 3}}));
    EXPECT_EQ(operations(Job::Restore, {1, 2, 3}),
              (std::vector<std::pair<Kind, int>>{{Kind::Upload, 2}}));
    EXPECT_EQ(operations(Job::Verify, {2, 3}),
              (std::vector<std::pair<Kind, int>>{{Kind::Verify, 2}}));
    EXPECT_EQ(table.operations(Job::Restore, {2}).front().record.bankName(), "Second");
}

TEST_F(LibraryTableTest, ReportsMoveTheStatesAndReceivedBanksGoIntoTheirFiles) {
    const QString same = "in the folder, same as the controller";
    struct Case {
        Kind kind;
        int bank;
        Outcome outcome;
        std::string reason;
        std::vector<std::uint8_t> dump;
        QString state;
        QString details = {};
    };
    const Case cases[] = {
        {Kind::Request, 1, Outcome::Done, "", dumpOf("Fetched"), same},
        {Kind::Request, 4, Outcome::Failed, "no answer", {}, "failed: no answer", "no answer"},
        {Kind::Upload, 2, Outcome::Done, "", {}, same},
        {Kind::Verify, 2, Outcome::Failed, "verification failed", dumpOf("Other"),
         "differs from the controller",
         "Bank 2 in the folder against the controller: 1 difference\n"
         "bank name: \"Second\" -> \"Other\""},
        {Kind::Verify, 2, Outcome::Done, "", dumpOf("Second"), same},
        {Kind::Verify, 2, Outcome::Cancelled, "cancelled", dumpOf("Other"), same},
        {Kind::Verify,
         2,
         Outcome::Failed,
         "nothing read back",
         {},
         "failed: nothing read back",
         "nothing read back"},
        // Half an upload: what the controller holds is not known any more.
        {Kind::Upload, 2, Outcome::Cancelled, "cancelled", {}, "in the folder"},
    };
    for (const Case& c : cases) {
        BankReport report{c.kind, c.bank, c.outcome, c.reason, c.dump};
        EXPECT_TRUE(table.take(report));
        EXPECT_EQ(state(c.bank), c.state) << int(c.kind) << " bank " << c.bank;
        EXPECT_EQ(table.entry(c.bank).details.join('\n'), c.details);
    }
    EXPECT_EQ(table.entry(1).name, "Fetched");
    EXPECT_EQ(library_folder::readBankFile(path(1))->bankName(), "Fetched");
    EXPECT_FALSE(QFile::exists(path(4)));

    // A received bank that cannot be written is said so.
    LibraryTable unwritable;
    unwritable.load(dir.filePath("missing/folder"));
    EXPECT_FALSE(unwritable.take({Kind::Request, 1, Outcome::Done, {}, dumpOf("Lost")}));
    EXPECT_EQ(LibraryTable::stateText(unwritable.entry(1)), "failed: not saved into the folder");
}

TEST_F(LibraryTableTest, FilesChangedOnDiskAndTransfersOutsideJobsMoveTheRow) {
    table.takeControllerBank(2, recordNamed("Second"));
    EXPECT_FALSE(table.reread(2)); // the same file: the controller still holds it
    EXPECT_EQ(state(2), "in the folder, same as the controller");
    writeFileAtomically(path(2), bytesOf(dumpOf("Rewritten")));
    EXPECT_TRUE(table.reread(2));
    EXPECT_EQ((QStringList{table.entry(2).name, state(2)}),
              (QStringList{"Rewritten", "in the folder"}));

    struct Case {
        int bank;
        std::optional<BankRecord> controller;
        QString state;
    };
    const Case cases[] = {
        {2, recordNamed("Rewritten"), "in the folder, same as the controller"},
        {2, recordNamed("Else"), "differs from the controller"},
        {2, std::nullopt, "in the folder"},
        {7, recordNamed("Else"), "not read yet"}, // no file to compare with
    };
    for (const Case& c : cases) {
        table.takeControllerBank(c.bank, c.controller);
        EXPECT_EQ(state(c.bank), c.state) << c.bank;
    }
}

TEST(LibraryTable, EndLineSaysHowTheJobEndedAndNamesTheBanks) {
    const auto report = [](int bank, Outcome outcome) {
        BankReport done;
        done.bank = bank;
        done.outcome = outcome;
        return done;
    };
    struct Case {
        Job job;
        std::vector<BankReport> reports;
        const char* line;
        std::vector<int> notSaved = {};
    };
    const Case cases[] = {
        {Job::Backup,
         {report(1, Outcome::Done), report(2, Outcome::Done)},
         "Backup of 2 banks complete"},
        {Job::Verify, {report(7, Outcome::Done)}, "Verify of 1 bank complete"},
        {Job::Backup,
         {report(1, Outcome::Done), report(5, Outcome::Cancelled), report(6, Outcome::NotRun)},
         "Backup cancelled at bank 5: 1 of 3 banks done"},
        {Job::Restore,
         {report(3, Outcome::Failed), report(4, Outcome::Done), report(9, Outcome::Failed)},
         "Restore of 3 banks failed: 1 of 3 banks done; failed: bank 3, 9"},
        {Job::Backup,
         {report(1, Outcome::Done), report(2, Outcome::Done), report(4, Outcome::Done)},
         "Backup of 3 banks: 2 not saved: bank 2, 4",
         {2, 4}},
        {Job::Backup,
         {report(1, Outcome::Failed), report(2, Outcome::Done)},
         "Backup of 2 banks failed: 0 of 2 banks done; failed: bank 1; 1 not saved: bank 2",
         {2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LibraryTable::endLine(c.job, c.reports, c.notSaved), c.line);
}

TEST(JobProgressEstimate, CountsBlocksOverTheJobAndTakesThePaceOfEndedBanks) {
    JobProgressEstimate estimate(Job::Backup, {7, 8, 9, 10}, 2000);
    estimate.setProgress({7, 4, 1060});
    EXPECT_EQ(estimate.percent(), 12);
    EXPECT_EQ(estimate.stateText(), "Backup: bank 7 (1 of 4), block 4 of 8");
    EXPECT_EQ(estimate.timeLeftText(1000), "about 7 s left"); // the plan: 4 x 2 s
    estimate.operationEnded(1000);
    // The last block of bank 7 told after bank 7 ended is still bank 7's.
    estimate.setProgress({7, 8, 2120});
    EXPECT_EQ(estimate.stateText(), "Backup: bank 7 (1 of 4), block 8 of 8");
    estimate.setProgress({8, 0, 0});
    EXPECT_EQ(estimate.percent(), 25);
    EXPECT_EQ(estimate.stateText(), "Backup: bank 8 (2 of 4), block 0 of 8");
    // 1 s a bank so far: 3 banks to go, 0.9 s of them under way.
    EXPECT_EQ(estimate.timeLeftText(1000), "about 3 s left");
    EXPECT_EQ(estimate.timeLeftText(1900), "about 3 s left");
    EXPECT_EQ(estimate.timeLeftText(2500), "about 2 s left"); // bank 8 is late, not the rest
}

} // namespace
