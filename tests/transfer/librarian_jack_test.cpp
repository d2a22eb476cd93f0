#include "../files/read_only_folder.h"
#include "jack_peers.h"
#include "jack_server.h"
#include "qt_printers.h"
#include "sim_process.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

class JackLibrarian : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(server.start()) << server.error().toStdString();
    }
    QString bankFile(const char* folder, int bank) const {
        return dir.filePath(
            QStringLiteral("%1/bank-%2.syx").arg(folder).arg(bank, 3, 10, QChar('0')));
    }
    int vpt64(const QStringList& args, QString* errors) {
        QString output;
        const int code = runVpt64(
            QStringList{args.first(), "--api", "jack", "--in", "sim", "--out", "sim"} + args.mid(1),
            &output, errors, 60000);
        lastOutput = output;
        return code;
    }

    QTemporaryDir dir;
    JackServer server;
    SimProcess sim;
    QString lastOutput;
};

// A silent bank is named and the others kept; a second run fetches only what is missing.
TEST_F(JackLibrarian, BackupWritesEachBankOnceAndNamesTheBanksThatDidNotArrive) {
    ASSERT_TRUE(sim.start({"--device-id", "3", "--silent-banks", "3"}))
        << sim.error().toStdString();
    const QString folder = dir.filePath("backup");
    QString errors;
    EXPECT_EQ(
        vpt64({"backup", "--device-id", "3", "--banks", "1-4", "--timeout", "1500", "-o", folder},
              &errors),
        1)
        << lastOutput.toStdString();
    EXPECT_EQ(errors, "vpt64: bank 3 did not arrive\n");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              (QStringList{"bank-001.syx", "bank-002.syx", "bank-004.syx"}));
    for (const int bank : {1, 2, 4})
        EXPECT_EQ(readBytes(bankFile("backup", bank)), dumpOf(loadBuiltInBank(), 3)) << bank;

    struct Case {
        QStringList extra;
        const char* said;
    };
    for (const Case& c : {Case{{"--banks", "1,2,4"}, "0 of 3 banks to request"},
                          Case{{"--banks", "2", "--force"}, "1 of 1 banks to request"}}) {
        EXPECT_EQ(vpt64(QStringList{"backup", "--device-id", "3", "-o", folder} + c.extra, &errors),
                  0);
        EXPECT_TRUE(lastOutput.startsWith(c.said)) << lastOutput.toStdString();
    }
    EXPECT_EQ(sim.output().count("Received dump request"), 4);
}

TEST_F(JackLibrarian, RestoreWithVerifyCatchesABankStoredWrongly) {
    ASSERT_TRUE(sim.start({"--corrupt-banks", "7"})) << sim.error().toStdString();
    ASSERT_TRUE(QDir(dir.path()).mkpath("library"));
    for (const int bank : {5, 7}) {
        BankRecord record = loadBuiltInBank();
        record.setBankName(
            QStringLiteral("Restored %1").arg(bank, 3, 10, QChar('0')).toStdString());
        ASSERT_TRUE(writeBytes(bankFile("library", bank), dumpOf(record, 0)));
    }
    QString errors;
    EXPECT_EQ(vpt64({"restore", dir.filePath("library"), "--verify"}, &errors), 1)
        << lastOutput.toStdString();
    EXPECT_EQ(errors,
              "bank 7: verification failed: bank name \"Restored 007\" reads \"Sestored 007\"\n");
    EXPECT_TRUE(lastOutput.contains("Bank 5 verified: it reads back as uploaded\n"));
    EXPECT_TRUE(lastOutput.contains("Upload of bank 7 complete: 8 of 8 blocks acknowledged\n"));

    EXPECT_EQ(vpt64({"backup", "--banks", "5", "-o", dir.filePath("back")}, &errors), 0);
    EXPECT_EQ(readBytes(bankFile("back", 5)), readBytes(bankFile("library", 5)));
    EXPECT_EQ(vpt64({"restore", dir.filePath("library"), "--banks", "5", "--verify"}, &errors), 0);
    EXPECT_EQ(vpt64({"restore", dir.filePath("library"), "--banks", "6"}, &errors), 1);
    EXPECT_EQ(errors,
              QStringLiteral("bank 6: '%1' holds no valid dump\n").arg(bankFile("library", 6)));
}

// The simulator answers as its protocol's example does, with 00 where a block number could be;
// a lost acknowledge and a dump block lost on its way back cost a resend and a second request.
TEST_F(JackLibrarian, RestoreWithVerifyRidesOverALostReplyAndALostDumpBlock) {
    ASSERT_TRUE(sim.start({"--lose-replies", "5:3", "--lose-dump-blocks", "7:8"}))
        << sim.error().toStdString();
    ASSERT_TRUE(QDir(dir.path()).mkpath("library"));
    for (const int bank : {5, 7})
        ASSERT_TRUE(writeBytes(bankFile("library", bank), dumpOf(loadBuiltInBank(), 0)));
    QString errors;
    EXPECT_EQ(vpt64({"restore", dir.filePath("library"), "--verify"}, &errors), 0)
        << lastOutput.toStdString() << errors.toStdString();
    for (const char* line :
         {"Block #3 of bank 5 not acknowledged within 2000 ms - sending it again (try 2 of 3)\n",
          "Bank 7: block #8 of the dump is missing - requesting the bank again (try 2 of 2)\n",
          "Bank 5 verified: it reads back as uploaded\n",
          "Bank 7 verified: it reads back as uploaded\n"})
        EXPECT_TRUE(lastOutput.contains(line)) << line << lastOutput.toStdString();
    EXPECT_TRUE(sim.output().contains("its acknowledge is lost as told"));
}

// Only the banks whose file differs from what the controller was last known to hold go up (the
// record of that kept by backup and restore, a differing verify forgetting it); a folder with no
// such record sends nothing.
TEST_F(JackLibrarian, RestoreChangedUploadsOnlyTheBanksThatDifferFromTheController) {
    ASSERT_TRUE(sim.start({"--corrupt-banks", "3", "--record", dir.filePath("received.syx")}))
        << sim.error().toStdString();
    ASSERT_TRUE(QDir(dir.path()).mkpath("library"));
    const QString folder = dir.filePath("library");
    ASSERT_TRUE(writeBytes(bankFile("library", 1), dumpOf(loadBuiltInBank(), 0)));
    QString errors;
    EXPECT_EQ(vpt64({"restore", folder, "--changed"}, &errors), 1);
    EXPECT_EQ(errors, "vpt64: no record of what the controller holds: run a backup first, or "
                      "restore without --changed\n");
    ASSERT_EQ(vpt64({"backup", "--banks", "1-3", "--force", "-o", folder}, &errors), 0);

    std::map<int, BankRecord> edited;
    for (const int bank : {2, 3}) {
        edited[bank] = loadBuiltInBank();
        edited[bank].setBankName(QStringLiteral("Edited %1").arg(bank).toStdString());
        ASSERT_TRUE(writeBytes(bankFile("library", bank), dumpOf(edited[bank], 0)));
    }
    struct Case {
        QStringList extra;
        int exitCode;
        const char* said;
    };
    const Case cases[] = {
        // Bank 3 reads back wrongly: what the controller holds there is not known any more.
        {{"--verify"}, 1, "Changed banks: 2, 3\n"},
        {{}, 0, "Changed banks: 3\n"},
        {{}, 0, "No bank has changed: the controller holds the folder's banks\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vpt64(QStringList{"restore", folder, "--changed"} + c.extra, &errors), c.exitCode)
            << c.said << errors.toStdString();
        EXPECT_TRUE(lastOutput.startsWith(c.said)) << lastOutput.toStdString();
    }

    EXPECT_EQ(sim.stop(), 0);
    const Bytes uploads =
        joined({bankChange(0, 1), dumpOf(edited[2], 0), bankChange(0, 1), dumpRequest(0),
                bankChange(0, 2), dumpOf(edited[3], 0), bankChange(0, 2), dumpRequest(0),
                bankChange(0, 2), dumpOf(edited[3], 0)});
    const Bytes backup = joined({bankChange(0, 0), dumpRequest(0), bankChange(0, 1), dumpRequest(0),
                                 bankChange(0, 2), dumpRequest(0)});
    EXPECT_EQ(readBytes(dir.filePath("received.syx")), joined({backup, uploads}));
}

// Interrupted, a restore says once where it stopped; the banks it did not reach are not listed
// as failed. A bank that arrived but could not be written is "not saved".
TEST_F(JackLibrarian, EndingsSayWhatHappenedOnce) {
    ASSERT_TRUE(sim.start({})) << sim.error().toStdString();
    ASSERT_TRUE(QDir(dir.path()).mkpath("library"));
    for (const int bank : {1, 2, 3})
        ASSERT_TRUE(writeBytes(bankFile("library", bank), dumpOf(loadBuiltInBank(), 0)));
    QProcess restore;
    restore.start(SimProcess::program(), {"restore", dir.filePath("library"), "--api", "jack",
                                           "--in", "sim", "--out", "sim"});
    QByteArray output;
    while (!output.contains("Bank Change to #2") && restore.waitForReadyRead(10000))
        output += restore.readAllStandardOutput();
    restore.terminate(); // within the wait after the bank change, as Ctrl+C would
    ASSERT_TRUE(restore.waitForFinished(10000));
    EXPECT_EQ(restore.exitCode(), 1);
    EXPECT_EQ(restore.readAllStandardError(), "vpt64: cancelled before bank 2\n");

    const ReadOnlyFolder readOnly(dir.filePath("library"));
    QString errors;
    EXPECT_EQ(vpt64({"backup", "--banks", "2", "--force", "-o", dir.filePath("library")}, &errors),
              1);
    EXPECT_TRUE(errors.endsWith("vpt64: bank 2 not saved\n")) << errors.toStdString();
}

} // namespace
