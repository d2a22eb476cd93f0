#include "../files/read_only_folder.h"
#include "form_driver.h"

#include "box_config_page.h"
#include "built_in_dump.h"
#include "dump_codec.h"
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
    EXPECT_EQ(
        (QStringList{cellText(2, 1), state(2), cellText(3, 1), state(3), state(1)}),
        (QStringList{"Sim 2", "in the controller", "Sim 3", "in the controller", "not read yet"}));
    for (const int bank : {2, 3})
        EXPECT_EQ(library_folder::readBankFile(library_folder::bankFilePath(dir.path(), bank))
                      ->bankName(),
                  "Sim " + std::to_string(bank));
    EXPECT_EQ(log().last(), "Backup of 2 banks complete");
    EXPECT_EQ(page.JobResult->text(), "Backup of 2 banks complete");
    EXPECT_FALSE(page.progressRow->isVisibleTo(&page));
    EXPECT_TRUE(form.FileSheet->SlowSendToPultron->isEnabled());

    // A fresh look at the folder finds them; a second backup has nothing left to fetch.
    page.openFolder(dir.path());
    EXPECT_EQ(state(2), "in the folder");
    EXPECT_FALSE(page.startJob(LibraryTable::Job::Backup, {2, 3}));

    // Banks that arrive but cannot be written are not called complete.
    const ReadOnlyFolder readOnly(dir.path());
    ASSERT_TRUE(page.startJob(LibraryTable::Job::Backup, {4, 5}));
    ASSERT_TRUE(jobEnded());
    EXPECT_EQ(page.JobResult->text(), "Backup of 2 banks: 2 not saved: bank 4, 5");
}

TEST_F(LibraryPageTest, CancelMidJobNamesTheBankAndKeepsWhatArrived) {
    simulator().silenceBank(3); // bank 4 never answers: the job waits on it
    ASSERT_TRUE(page.startJob(LibraryTable::Job::Backup, {3, 4, 5}));
    ASSERT_TRUE(waitFor([this] { return state(3) == "in the controller"; }));
    QTest::qWait(50);
    QTest::mouseClick(page.CancelJob, Qt::LeftButton);
    ASSERT_TRUE(jobEnded());
    EXPECT_TRUE(log().contains("Bank 4: cancelled"));
    EXPECT_EQ(log().last(), "Backup cancelled at bank 4: 1 of 3 banks done");
    EXPECT_EQ((QStringList{state(3), state(4), state(5)}),
              (QStringList{"in the controller", "not read yet", "not read yet"}));
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
    EXPECT_EQ((QStringList{state(1), state(2)}), (QStringList{"in the controller", "differs"}));
    EXPECT_EQ(log().last(), "Verify of 2 banks failed: 1 of 2 banks done; failed: bank 2");

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
    EXPECT_EQ(state(1), "in the controller");
    EXPECT_EQ(log().last(), "Restore of 1 bank complete");
}

} // namespace
