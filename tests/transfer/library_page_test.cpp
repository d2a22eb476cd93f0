#include "../files/read_only_folder.h"
#include "form_driver.h"

#include "box_config_page.h"
#include "live_status.h"
#include "built_in_dump.h"
#include "dump_codec.h"
#include "dump_file.h"
#include "library_folder.h"
#include "library_page.h"
#include "library_search.h"
#include "pot_page.h"
#include "midi_in.h"
#include "midi_out.h"
#include "simulator_backend.h"
#include "transfer_controller.h"
#include "wait_for.h"

#include <QAbstractButton>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
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

// Each job takes the focus from the button that started it to Cancel, which says what it stops,
// and back when it ends; a question about the job comes and goes on the way.
TEST_F(LibraryPageTest, EachJobTakesTheFocusFromItsButtonToCancelAndBack) {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    selectBanks({2});
    const auto run = [this](QPushButton* button, const char* question, const char* says) {
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        if (question) {
            auto* box = page.findChild<QMessageBox*>(question);
            ASSERT_NE(box, nullptr) << question;
            box->button(QMessageBox::Yes)->click();
        }
        ASSERT_TRUE(page.jobRunning()) << says;
        EXPECT_EQ(form.focusWidget(), page.CancelJob) << says;
        EXPECT_EQ(page.CancelJob->accessibleDescription(), says);
        ASSERT_TRUE(jobEnded());
        EXPECT_EQ(form.focusWidget(), button) << says;
    };
    run(page.BackupDevice, nullptr, "Stops the running backup of 1 bank");
    run(page.VerifyBanks, nullptr, "Stops the running verify of 1 bank");
    run(page.RestoreDevice, "RestoreConfirmation", "Stops the running restore of 1 bank");
    writeBank(2, "Other", false);
    run(page.UploadChanged, "UploadChangedQuestion", "Stops the running restore of 1 bank");
    EXPECT_EQ(simulator().bank(1).bankName(), "Other");
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

// The page as a workbench: slots arranged by their buttons and by a drop, with the page's own
// undo; only the changed banks uploaded; the search opening the bank on its control; another
// folder compared; the chosen banks' sheets in a print preview.
TEST_F(LibraryPageTest, SlotsSearchCompareAndUploadOfTheChangedBanks) {
    ASSERT_TRUE(page.startJob(LibraryTable::Job::Backup, {1, 2, 3}));
    ASSERT_TRUE(jobEnded());
    const auto answerDialog = [this](const char* name, const std::function<void(QDialog&)>& answer) {
        ASSERT_TRUE(waitFor([&] { return page.findChild<QDialog*>(name) != nullptr; })) << name;
        answer(*page.findChild<QDialog*>(name));
        EXPECT_TRUE(waitFor([&] { return page.findChild<QDialog*>(name) == nullptr; })) << name;
    };
    selectBanks({1});
    QTest::mouseClick(page.CopyBank, Qt::LeftButton);
    answerDialog("TargetBankDialog", [](QDialog& dialog) {
        static_cast<QInputDialog&>(dialog).setIntValue(5);
        dialog.accept();
    });
    selectBanks({2});
    QTest::mouseClick(page.RenameBank, Qt::LeftButton);
    answerDialog("RenameBankDialog", [](QDialog& dialog) {
        static_cast<QInputDialog&>(dialog).setTextValue(QStringLiteral("Renamed"));
        dialog.accept();
    });
    // A row dropped onto another asks; Swap exchanges the two files.
    selectBanks({3});
    QMimeData* rows = page.BankTable->model()->mimeData({page.BankTable->model()->index(2, 0)});
    const QPoint onBank6 = page.BankTable->visualRect(page.BankTable->model()->index(5, 0)).center();
    ASSERT_NE(rows, nullptr);
    QDropEvent drop(onBank6, Qt::CopyAction, rows, Qt::LeftButton, Qt::NoModifier);
    // Qt hands a drop only to a drag in progress: the page's filter takes it as Qt would give it.
    static_cast<QObject&>(page).eventFilter(page.BankTable->viewport(), &drop);
    answerDialog("CopyOrSwapQuestion", [](QDialog& dialog) {
        for (QAbstractButton* button : static_cast<QMessageBox&>(dialog).buttons())
            if (button->text() == "Swap") button->click();
    });
    delete rows;
    EXPECT_EQ((QStringList{cellText(2, 1), cellText(3, 1), cellText(5, 1), cellText(6, 1)}),
              (QStringList{"Renamed", "", "Sim 1", "Sim 3"}));
    EXPECT_EQ(page.UndoSlots->toolTip(), "Undo Swap banks 3 and 6");
    ASSERT_TRUE(page.undoSlots());
    EXPECT_EQ((QStringList{cellText(3, 1), cellText(6, 1)}), (QStringList{"Sim 3", ""}));

    // Banks 2 and 5 differ from what the controller holds; bank 3 is back as it was.
    QTest::mouseClick(page.UploadChanged, Qt::LeftButton);
    answerDialog("UploadChangedQuestion", [](QDialog& dialog) {
        EXPECT_TRUE(static_cast<QMessageBox&>(dialog).text().startsWith("Changed banks: 2, 5."));
        static_cast<QMessageBox&>(dialog).button(QMessageBox::Yes)->click();
    });
    ASSERT_TRUE(jobEnded());
    EXPECT_EQ((std::vector<std::string>{simulator().bank(1).bankName(), simulator().bank(4).bankName()}),
              (std::vector<std::string>{"Renamed", "Sim 1"}));
    QTest::mouseClick(page.UploadChanged, Qt::LeftButton);
    EXPECT_EQ(page.JobResult->text(), "No bank changed: the controller holds every bank of the folder");

    // Every bank holds the built-in pots: the search finds pot 1 in each, and Enter opens one.
    QTest::keyClicks(page.SearchField, "renamed");
    QTest::keyClick(page.SearchField, Qt::Key_Return);
    ASSERT_EQ(page.SearchResults->count(), 1);
    EXPECT_EQ(page.SearchResults->item(0)->text(), "bank-002.syx name \"Renamed\"");
    const QString potLine = QString::fromStdString(
        library_search::searchBank(5, *page.table().record(5), library_search::Query({"pot 7"}))
            .front()
            .line);
    page.SearchField->setText(potLine.section(' ', 1)); // the line without its file name
    QTest::keyClick(page.SearchField, Qt::Key_Return);
    ASSERT_GE(page.SearchResults->count(), 1);
    emit page.SearchResults->itemActivated(page.SearchResults->item(0));
    EXPECT_EQ(form.windowTitle(), "SysexBox : bank-001.syx (bank 1)[*]");
    EXPECT_EQ(form.PageControl->currentWidget(), form.PotSettings.page());
    EXPECT_EQ(form.PotSettings->selectedPot(), 7);

    // The folder against an empty one: every bank of it is only in A.
    QTemporaryDir other;
    page.compareFolder(other.path());
    EXPECT_TRUE(page.Differences->toPlainText().contains("4 banks differ\nbank 1: only in A"));

    page.BankTable->clearSelection();
    page.printChosen();
    auto* preview = page.findChild<QPrintPreviewDialog*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->findChild<QPrintPreviewWidget*>()->pageCount(), 4);
    preview->close();
}
