// Where the bank in the editor came from, and how the title, Store, "Bank Number:", the bank
// sheet and Send follow it, on the editor window with the built-in simulator.
#include "bank_history.h"
#include "bank_origin.h"
#include "file_bytes.h"
#include "form_driver.h"
#include "simulator_backend.h"
#include "syx_file.h"
#include "transfer_controller.h"
#include "wait_for.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kSimulator = QStringLiteral("vPultron64 Simulator");

BankRecord namedBank(const std::string& name) {
    BankRecord bank;
    bank.setBankName(name);
    return bank;
}

class BankOriginTest : public ::testing::Test {
protected:
    BankOriginTest() {
        EXPECT_TRUE(choose(page.MIDIOutComboBox, kSimulator));
        EXPECT_TRUE(choose(page.MIDIInComboBox, kSimulator));
        page.SysexSendSpeed->setValue(1);
        form.LibraryFolder = dir.filePath("library");
        QDir().mkpath(form.LibraryFolder);
        simulator().setBank(11, namedBank("TWELVE"));
    }
    SimulatedController& simulator() { return form.transfer().devices().simulator()->controller(); }
    QString bankFile(const QString& path, const char* name) {
        EXPECT_TRUE(writeFileBytes(path, encodeBank(namedBank(name), 0)));
        return path;
    }
    // Clicks `button` and waits for the transfer's closing line.
    void transfer(QPushButton* button) {
        const qsizetype lines = log().size();
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return log().size() > lines && log().last().contains("complete"); },
                            10000));
    }
    QStringList log() const { return page.ListBox->lines(); }
    QMessageBox* sendQuestion() const {
        return form.findChild<QMessageBox*>(QStringLiteral("SendToOtherBankQuestion"));
    }

    QTemporaryDir dir;
    TForm1 form{TForm1::Options{QString(), QStringLiteral("sim")}};
    TransferPage& page = *form.FileSheet;
};

// What the window makes of the bank's origin after each step.
struct Seen {
    QString title;
    QString storeTarget; // the file Ctrl+S writes; empty when it asks for a name
    int bankNumber;
    int sheetBank;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
    return out << seen.title.toStdString() << " | " << seen.storeTarget.toStdString() << " | "
               << seen.bankNumber << " | " << seen.sheetBank;
}

TEST_F(BankOriginTest, TitleStoreBankNumberAndSheetFollowEveryOpenReceiveStoreAndUndo) {
    const QString plain = bankFile(dir.filePath("plain.syx"), "PLAIN");
    const QString third = bankFile(form.LibraryFolder + "/bank-003.syx", "THIRD");
    const QString twelfth = form.LibraryFolder + "/bank-012.syx";
    const QString edited = dir.filePath("edited12.syx");
    const auto seen = [this] {
        return Seen{form.windowTitle(), form.document().history().origin().file,
                    page.PatternNumber->value(), form.originBank()};
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        Seen expected;
    };
    const Step steps[] = {
        {"open a file", [&] { form.openSysexFile(plain); },
         {"SysexBox : plain.syx[*]", plain, 1, 1}},
        {"open a library bank", [&] { form.openSysexFile(third); },
         {"SysexBox : bank-003.syx (bank 3)[*]", third, 3, 3}},
        {"receive bank 12",
         [&] {
             page.PatternNumber->setValue(12);
             transfer(page.RequestSysexDump);
         },
         {"bank 12 from the controller[*]", "", 12, 12}},
        {"store", [&] { form.storeSysexFile(twelfth, 1); },
         {"SysexBox : bank-012.syx (bank 12)[*]", twelfth, 12, 12}},
        {"store as", [&] { form.storeSysexFile(edited, 1); },
         {"SysexBox : edited12.syx (bank 12)[*]", edited, 12, 12}},
        {"undo the receive", [&] { form.document().undo(); },
         {"SysexBox : bank-003.syx (bank 3)[*]", third, 12, 3}},
        {"undo the library open", [&] { form.document().undo(); },
         {"SysexBox : plain.syx[*]", plain, 12, 12}},
        {"redo both", [&] { form.document().redo(), form.document().redo(); },
         {"bank 12 from the controller[*]", "", 12, 12}},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(seen(), step.expected) << step.what;
    }
    // A bank of the controller without a file is offered its library name in the library folder.
    const std::unique_ptr<QFileDialog> dialog(form.makeSysexSaveDialog());
    EXPECT_EQ(QFileInfo(dialog->selectedFiles().value(0)).fileName(), "bank-012.syx");
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(form.LibraryFolder).absolutePath());
}

// A bank that came from bank 3 goes to bank 5 only when the user says so.
TEST_F(BankOriginTest, SendingABankToAnotherBankAsksFirst) {
    form.openSysexFile(bankFile(form.LibraryFolder + "/bank-003.syx", "THIRD"));
    struct Case {
        const char* answer; // the button's text; empty: Cancel
        int sentTo;         // 0: nothing sent
    };
    for (const Case& c : {Case{"", 0}, Case{"Send to bank 3", 3}, Case{"Send to bank 5", 5}}) {
        page.PatternNumber->setValue(5);
        const BankRecord fifthBefore = simulator().bank(4);
        const qsizetype lines = log().size();
        QTest::mouseClick(page.SlowSendToPultron, Qt::LeftButton);
        QMessageBox* question = sendQuestion();
        ASSERT_TRUE(question && question->isVisible()) << c.answer;
        EXPECT_EQ(question->text(), "This bank came from bank 3. Send it to bank 5?");
        QAbstractButton* answer = question->button(QMessageBox::Cancel);
        for (QAbstractButton* button : question->buttons())
            if (button->text() == c.answer) answer = button;
        answer->click();
        if (c.sentTo == 0) {
            QTest::qWait(50);
            EXPECT_EQ(log().size(), lines);
            EXPECT_EQ(simulator().bank(4), fifthBefore);
            continue;
        }
        // The upload starts once the question has gone.
        ASSERT_TRUE(waitFor(
            [&] { return log().size() > lines && log().last().startsWith("Upload of bank"); },
            10000));
        EXPECT_EQ(page.PatternNumber->value(), c.sentTo);
        EXPECT_EQ(simulator().bank(c.sentTo - 1).bankName(), "THIRD");
        if (c.sentTo == 3) EXPECT_EQ(simulator().bank(4), fifthBefore);
    }
    EXPECT_TRUE(form.windowTitle().endsWith("(bank 5)[*]")); // it is bank 5's now
}

} // namespace
