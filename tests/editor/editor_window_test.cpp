#include "build_info.h"
#include "built_in_dump.h"
#include "editor_window.h"
#include "help_page.h"
#include "spin_edit.h"
#include "status_log.h"
#include "transfer_page.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct EditorWindow : ::testing::Test {
    TForm1 form{TForm1::Options{}};
    TransferPage& page = *form.FileSheet;
    StatusLog& log = form.statusLog();

    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
};

} // namespace

TEST(BuiltInDump, ResourceHoldsTheDefaultBank) {
    QFile source(QStringLiteral(VPT64_DEFAULT_DUMP));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const auto dump = loadBuiltInDump();
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->size(), 2120);
    EXPECT_EQ(*dump, source.readAll());
}

TEST_F(EditorWindow, StartsWithTheBuiltInBankAndOneLogLine) {
    EXPECT_EQ(log.lines(), QStringList{"Copied SysEx Dump to Configuration Structure"});
    EXPECT_EQ(page.SendType->text(), "Editor Dump");
    EXPECT_EQ(page.BytesToSend->text(), "2120");
    EXPECT_EQ(page.BlocksToSend->text(), "8");
    EXPECT_EQ(page.BytesReceived->text(), "0");
    EXPECT_EQ(page.BlocksReceived->text(), "0");
    EXPECT_EQ(form.OutgoingDump.length, 2120);
    EXPECT_EQ(form.record.bankName(), "Sample Bank");
    EXPECT_EQ(form.record.potLabel(64), "Volume #16");
}

TEST_F(EditorWindow, ShowsReleaseCaptionPagesAndTransferControls) {
    const QRegularExpression date(QStringLiteral("^[A-Z][a-z]{2} [1-9][0-9]? [0-9]{4}$"));
    EXPECT_TRUE(date.match(buildDate()).hasMatch()) << buildDate().toStdString();
    EXPECT_EQ(page.TestReleaseLabel->text(), "Release : " + buildDate());
    EXPECT_EQ(form.windowTitle(), "Pultron64 Editor : Version Compiled on " + buildDate());

    QStringList tabs;
    for (int i = 0; i < form.PageControl->count(); ++i)
        tabs << form.PageControl->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"MIDI Transfer", "Box Config", "Pots", "Buttons", "Overview",
                                 "Library", "Help"}));
    EXPECT_EQ(form.PageControl->currentWidget(), form.FileSheet);
    EXPECT_FALSE(form.PageControl->isTabVisible(form.PageControl->indexOf(form.HelpTabSheet)));

    EXPECT_FALSE(page.SlowSendToPultron->isEnabled());
    EXPECT_FALSE(page.RequestSysexDump->isEnabled());
    EXPECT_EQ(page.SlowSendToPultron->text(), "Send Sysex");
    EXPECT_EQ(page.RequestSysexDump->text(), "Request Sysex Dump");
    EXPECT_EQ(page.SendType->text(), "Editor Dump");
    EXPECT_EQ(page.MIDIInComboBox->itemText(0), "None");
    EXPECT_EQ(page.MIDIOutComboBox->currentIndex(), 0);
    // The first run's settings select no port; opening them set the status.
    EXPECT_EQ(page.StatusLabel->text(), "No MIDI IN Port Selected");
    EXPECT_EQ(page.StatusLabel->palette().color(QPalette::WindowText), QColor(Qt::red));

    EXPECT_EQ(std::make_pair(page.SysexSendSpeed->minimum(), page.SysexSendSpeed->maximum()),
              std::make_pair(0, 1000));
    EXPECT_EQ(page.SysexSendSpeed->value(), 750);
    EXPECT_EQ(std::make_pair(page.DeviceID->minimum(), page.DeviceID->maximum()),
              std::make_pair(0, 7));
    EXPECT_EQ(page.DeviceID->value(), 0);
    EXPECT_EQ(std::make_pair(page.PatternNumber->minimum(), page.PatternNumber->maximum()),
              std::make_pair(1, 128));
    EXPECT_EQ(page.PatternNumber->value(), 1);

    for (const char* timer : {"WaitTimer", "SysexHeadTimer", "StartupTimer"}) {
        const auto* t = form.findChild<QTimer*>(QString::fromLatin1(timer));
        ASSERT_NE(t, nullptr) << timer;
        EXPECT_FALSE(t->isActive()) << timer;
    }
}

TEST_F(EditorWindow, HintsButtonBringsUpTheHelpPageWithItsTabHidden) {
    QTest::mouseClick(page.HintsButton, Qt::LeftButton);
    EXPECT_EQ(form.PageControl->currentWidget(), form.HelpTabSheet);
    EXPECT_FALSE(form.PageControl->isTabVisible(form.PageControl->indexOf(form.HelpTabSheet)));
    const QString help = form.HelpTabSheet->HelpMemo->toPlainText();
    EXPECT_TRUE(form.HelpTabSheet->HelpMemo->isReadOnly());
    for (const char* line :
         {"vPultron64 Editor and Emulator", "In SysEx page:", "In Virtual FaderDesk:", "In Editor:",
          "Edit customdesk.vpt to create you own faderdesk configuration !!!!",
          "  - settings will be saved in regristry when exiting the editor",
          "  - click on the message window to delete the logs",
          "  - configuration can be saved in a .syx and in a dump_kit compatible .ini file",
          "  - Right-Click on Pots To Edit Faders", "  - click on LCD to switch display modes",
          "  - use PAGE UP/PAGE DOWN keys to increase / decrease pot or button number",
          "  - use CTRL-C   and CTRL-V   to copy and paste pot or button properties"})
        EXPECT_TRUE(help.split('\n').contains(QString::fromLatin1(line))) << line;
}

TEST_F(EditorWindow, EighthLogLineScrollsAndAClickEmptiesTheLog) {
    QTest::mouseClick(log.viewport(), Qt::LeftButton);
    EXPECT_EQ(log.count(), 0);
    for (int i = 1; i <= 7; ++i)
        form.WriteMsg(QStringLiteral("line %1").arg(i));
    QApplication::processEvents();
    EXPECT_EQ(log.topIndex(), 0);
    form.WriteMsg(QStringLiteral("line 8"));
    QApplication::processEvents();
    EXPECT_EQ(log.topIndex(), 1); // lines 2..8 visible
    EXPECT_EQ(log.indexAt(QPoint(2, 2)).row(), 1);
    const QRect lastRow = log.visualItemRect(log.item(7));
    EXPECT_TRUE(log.viewport()->rect().contains(lastRow)) << "line 8 fully visible";
    for (int i = 9; i <= 30; ++i)
        form.WriteMsg(QStringLiteral("line %1").arg(i));
    QApplication::processEvents();
    EXPECT_EQ(log.topIndex(), 23);

    QTest::mouseClick(log.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(log.count(), 0);
    form.WriteMsg(QStringLiteral("only line"));
    EXPECT_EQ(log.lines(), QStringList{"only line"});
}
