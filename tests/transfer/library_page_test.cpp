#include "../files/read_only_folder.h"
#include "form_driver.h"

#include "box_config_page.h"
#include "built_in_dump.h"
#include "dump_codec.h"
#include "dump_file.h"
#include "library_folder.h"
#include "library_page.h"
#include "midi_in.h"
#include "midi_out.h"
#include "simulator_backend.h"
#include "transfer_controller.h"
#include "wait_for.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kSimulator = QStringLiteral("vPultron64 Simulator");

// The built-in bank under another name, with values the editor's fields hold as they are.
BankRecord namedBank(const std::string& name) {
    const auto dump = loadBuiltInDump();
    BankRecord record = scanDump(std::span(reinterpret_cast<const std::uint8_t*>(dump->constData()),
                                           std::size_t(dump->size())),
                                 {})
                            ->record;
    record.setBankName(name);
    record.setMorphBank(1);
    return record;
}

// The editor window on the built-in simulator, its "Library" page shown on an empty folder.
class LibraryPageTest : public ::testing::Test {
protected:
    LibraryPageTest() {
        for (int bank = 0; bank < 6; ++bank)
            simulator().setBank(bank, namedBank("Sim " + std::to_string(bank + 1)));
        choose(form.FileSheet->MIDIOutComboBox, kSimulator);
        choose(form.FileSheet->MIDIInComboBox, kSimulator);
        form.PageControl->setCurrentWidget(form.LibrarySheet.page());
        page.jobSettings.bankChangeWaitMs = 20;
        page.openFolder(dir.path());
    }

    SimulatedController& simulator() { return form.transfer().devices().simulator()->controller(); }
    QString cellText(int bank, int column) const {
        return page.BankTable->item(bank - 1, column)->text();
    }
    QString state(int bank) const { return cellText(bank, 2); }
    QString details(int bank) const { return page.BankTable->item(bank - 1, 2)->toolTip(); }
    bool rowVisible(int bank) const {
        const QRect row = page.BankTable->visualRect(page.BankTable->model()->index(bank - 1, 0));
        return page.BankTable->viewport()->rect().contains(row);
    }
    // Another program writes a bank file: replacing it whole, or rewriting it in place.
    void writeBank(int bank, const std::string& name, bool inPlace) {
        std::vector<std::uint8_t> dump(2120);
        buildDump(namedBank(name), dump);
        const QByteArray bytes(reinterpret_cast<const char*>(dump.data()), qsizetype(dump.size()));
        QFile file(library_folder::bankFilePath(dir.path(), bank));
        if (!inPlace) ASSERT_TRUE(writeFileAtomically(file.fileName(), bytes));
        if (inPlace) ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.write(bytes) == 2120);
    }
    void selectBanks(const std::vector<int>& banks) {
        page.BankTable->clearSelection();
        for (const int bank : banks)
            page.BankTable->selectionModel()->select(page.BankTable->model()->index(bank - 1, 0),
                                                     QItemSelectionModel::Select |
                                                         QItemSelectionModel::Rows);
    }
    bool jobEnded() {
        return waitFor([this] { return !page.jobRunning(); });
    }
    QStringList log() const { return form.FileSheet->ListBox->lines(); }

    QTemporaryDir dir;
    TForm1 form{TForm1::Options{QString(), QStringLiteral("sim")}};
    LibraryPage& page = *form.LibrarySheet;
};

TEST_F(LibraryPageTest, BackupOfSelectedBanksFillsTheFolderAndTheTableFollows) {
    EXPECT_EQ(page.FolderPath->text(), QDir::toNativeSeparators(dir.path()));
    EXPECT_EQ(form.LibraryFolder, dir.path()); // kept with the transfer settings
    EXPECT_EQ(state(1), "not read yet");
    selectBanks({2, 3});
    ASSERT_TRUE(page.BackupDevice->isEnabled());
    QTest::mouseClick(page.BackupDevice, Qt::LeftButton);
    // While the job runs, nothing else may use the ports.
    EXPECT_TRUE(page.progressRow->isVisibleTo(&page));
    EXPECT_FALSE(page.BackupDevice->isEnabled());
    EXPECT_FALSE(page.ChooseFolder->isEnabled());
    EXPECT_FALSE(form.FileSheet->SlowSendToPultron->isEnabled());
    EXPECT_FALSE(form.FileSheet->RequestSysexDump->isEnabled());
    EXPECT_FALSE(form.FileSheet->MIDIInComboBox->isEnabled());
    EXPECT_TRUE(page.JobProgressBar->format().startsWith("Backup: bank 2 (1 of 2)"));

    ASSERT_TRUE(jobEnded());
    const QString same = "in the folder, same as the controller";
    EXPECT_EQ((QStringList{cellText(2, 1), state(2), cellText(3, 1), state(3), state(1)}),
              (QStringList{"Sim 2", same, "Sim 3", same, "not read yet"}));
    for (const int bank : {2, 3})
        EXPECT_EQ(library_folder::readBankFile(library_folder::bankFilePath(dir.path(), bank))
                      ->bankName(),
                  "Sim " + std::to_string(bank));
    EXPECT_EQ(log().last(), "Backup of 2 banks complete");
    EXPECT_EQ(page.JobResult->text(), "Backup of 2 banks complete");
    EXPECT_FALSE(page.progressRow->isVisibleTo(&page));
    EXPECT_TRUE(form.FileSheet->SlowSendToPultron->isEnabled());

    // A fresh look at the folder finds them; a second backup offers to fetch them again.
    page.openFolder(dir.path());
    EXPECT_EQ(state(2), "in the folder");
    EXPECT_FALSE(page.startJob(LibraryTable::Job::Backup, {2, 3}));
    simulator().setBank(2, namedBank("Sim 3 again"));
    QTest::mouseClick(page.BackupDevice, Qt::LeftButton);
    auto* question = page.findChild<QMessageBox*>("FetchAgainQuestion");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), "All 2 chosen banks are in the folder already. Fetch again from "
                                "the controller and replace the files?");
    question->button(QMessageBox::Yes)->click();
    ASSERT_TRUE(waitFor([this] { return cellText(3, 1) == "Sim 3 again"; }));
    ASSERT_TRUE(jobEnded());
    EXPECT_EQ(state(3), same);

    // Banks that arrive but cannot be written are not called complete; the table follows them.
    const ReadOnlyFolder readOnly(dir.path());
    ASSERT_TRUE(page.startJob(LibraryTable::Job::Backup, {100, 101}));
    EXPECT_TRUE(page.JobProgressBar->format().startsWith("Backup: bank 100 (1 of 2)"));
    ASSERT_TRUE(jobEnded());
    EXPECT_TRUE(rowVisible(101));
    EXPECT_EQ(page.JobResult->text(), "Backup of 2 banks: 2 not saved: bank 100, 101");
    EXPECT_EQ(state(100), "failed: not saved into the folder");
}

TEST_F(LibraryPageTest, CancelMidJobNamesTheBankAndKeepsWhatArrived) {
    simulator().silenceBank(3); // bank 4 never answers: the job waits on it
    ASSERT_TRUE(page.startJob(LibraryTable::Job::Backup, {3, 4, 5}));
    const QString same = "in the folder, same as the controller";
    ASSERT_TRUE(waitFor([&] { return state(3) == same; }));
    QTest::qWait(50);
    QTest::mouseClick(page.CancelJob, Qt::LeftButton);
    ASSERT_TRUE(jobEnded());
    EXPECT_TRUE(log().contains("Bank 4: cancelled"));
    EXPECT_EQ(log().last(), "Backup cancelled at bank 4: 1 of 3 banks done");
    EXPECT_EQ((QStringList{state(3), state(4), state(5)}),
              (QStringList{same, "not read yet", "not read yet"}));
    EXPECT_FALSE(QFile::exists(library_folder::bankFilePath(dir.path(), 4)));
    EXPECT_TRUE(form.FileSheet->RequestSysexDump->isEnabled());

    // A port lost mid-job, or the window closed, ends it the same way.
    for (const auto& end : std::initializer_list<std::function<void()>>{
             [&] { emit form.MidiIn1->portLost(QStringLiteral("device unplugged")); },
             [&] { form.close(); }}) {
        ASSERT_TRUE(page.startJob(LibraryTable::Job::Backup, {4, 5}));
        QTest::qWait(50);
        end();
        ASSERT_TRUE(jobEnded());
        EXPECT_EQ(log().last(), "Backup cancelled at bank 4: 0 of 2 banks done");
    }
}

TEST_F(LibraryPageTest, VerifyFindsTheBankThatDiffersAndCompareNamesTheFields) {
    ASSERT_TRUE(page.startJob(LibraryTable::Job::Backup, {1, 2}));
    ASSERT_TRUE(jobEnded());
    simulator().setBank(1, namedBank("Changed"));
    page.BankTable->clearSelection(); // nothing selected: every bank of the folder
    QTest::mouseClick(page.VerifyBanks, Qt::LeftButton);
    ASSERT_TRUE(jobEnded());
    EXPECT_EQ(
        (QStringList{state(1), state(2)}),
        (QStringList{"in the folder, same as the controller", "differs from the controller"}));
    EXPECT_EQ(log().last(), "Verify of 2 banks failed: 1 of 2 banks done; failed: bank 2");
    // What differs is on the page, in the row and below the table.
    const QString found = "Bank 2 in the folder against the controller: 1 difference\n"
                          "bank name: \"Sim 2\" -> \"Changed\"";
    EXPECT_EQ(details(2), found);
    EXPECT_EQ(page.Differences->toPlainText(), found);

    selectBanks({1, 2});
    ASSERT_TRUE(page.CompareBanks->isEnabled());
    QTest::mouseClick(page.CompareBanks, Qt::LeftButton);
    EXPECT_EQ(page.Differences->toPlainText(),
              "Bank 1 against bank 2: 1 difference\nbank name: \"Sim 1\" -> \"Sim 2\"");
    // One bank: the editor's bank against it, and then that bank opened in the editor.
    selectBanks({2});
    QTest::mouseClick(page.CompareBanks, Qt::LeftButton);
    EXPECT_TRUE(page.Differences->toPlainText().startsWith("The editor's bank against bank 2: "));
    QTest::mouseClick(page.OpenInEditor, Qt::LeftButton);
    EXPECT_EQ(form.record.bankName(), "Sim 2");
    QTest::mouseClick(page.CompareBanks, Qt::LeftButton);
    EXPECT_EQ(page.Differences->toPlainText(), "The editor's bank against bank 2: 0 differences");
    // An edit on the "Box Config" page counts before it is stored anywhere.
    form.BoxSettingsTabsheet->BankLabel->setText(QStringLiteral("Edited"));
    QTest::mouseClick(page.CompareBanks, Qt::LeftButton);
    EXPECT_EQ(page.Differences->toPlainText(),
              "The editor's bank against bank 2: 1 difference\nbank name: \"Edited\" -> \"Sim 2\"");
}

TEST_F(LibraryPageTest, RestoreAsksFirstThenUploadsTheSelectedBanks) {
    ASSERT_TRUE(page.startJob(LibraryTable::Job::Backup, {1}));
    ASSERT_TRUE(jobEnded());
    simulator().setBank(0, namedBank("Changed"));
    selectBanks({1});
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QTest::mouseClick(page.RestoreDevice, Qt::LeftButton);
        auto* question = page.findChild<QMessageBox*>("RestoreConfirmation");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->text(),
                  "Overwrite bank 1 in the controller with the files of the library folder?");
        question->button(answer)->click();
        EXPECT_TRUE(waitFor([&] { return !page.findChild<QMessageBox*>("RestoreConfirmation"); }));
        ASSERT_TRUE(jobEnded());
        EXPECT_EQ(simulator().bank(0).bankName(), answer == QMessageBox::Yes ? "Sim 1" : "Changed");
    }
    EXPECT_EQ(state(1), "in the folder, same as the controller");
    EXPECT_EQ(log().last(), "Restore of 1 bank complete");
}

TEST_F(LibraryPageTest, TransfersOfTheTransferPageAndOtherProgramsMoveTheRows) {
    ASSERT_TRUE(page.startJob(LibraryTable::Job::Backup, {1, 2}));
    ASSERT_TRUE(jobEnded());
    page.openFolder(dir.path()); // a fresh look: the controller is not known to agree
    form.FileSheet->PatternNumber->setValue(2);
    QTest::mouseClick(form.FileSheet->RequestSysexDump, Qt::LeftButton);
    ASSERT_TRUE(waitFor([this] { return state(2) != "in the folder"; }));
    EXPECT_EQ(state(2), "in the folder, same as the controller");

    ASSERT_TRUE(page.openInEditor(1));
    form.BoxSettingsTabsheet->BankLabel->setText(QStringLiteral("Edited"));
    form.FileSheet->PatternNumber->setValue(1);
    form.FileSheet->SysexSendSpeed->setValue(10);
    QTest::mouseClick(form.FileSheet->SlowSendToPultron, Qt::LeftButton);
    ASSERT_TRUE(waitFor([this] { return state(1) != "in the folder"; }));
    EXPECT_EQ(state(1), "differs from the controller");
    EXPECT_EQ(details(1), "Bank 1 in the folder against the controller: 1 difference\n"
                          "bank name: \"Sim 1\" -> \"Edited\"");

    writeBank(1, "Outside 1", true);
    writeBank(2, "Outside 2", false);
    writeBank(3, "Outside 3", false);
    ASSERT_TRUE(waitFor([this] {
        return cellText(1, 1) == "Outside 1" && cellText(2, 1) == "Outside 2" &&
               cellText(3, 1) == "Outside 3";
    }));
    for (const int bank : {1, 2, 3})
        EXPECT_EQ(state(bank), "in the folder") << bank;
    // Replaced files are watched again.
    writeBank(2, "Outside 2 again", true);
    EXPECT_TRUE(waitFor([this] { return cellText(2, 1) == "Outside 2 again"; }));
}

} // namespace
