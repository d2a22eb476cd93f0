#include "form_driver.h"

#include "built_in_dump.h"
#include "dump_codec.h"
#include "dump_file.h"
#include "midi_in.h"
#include "midi_out.h"
#include "simulator_backend.h"
#include "sysex_protocol.h"
#include "syx_file.h"
#include "transfer_controller.h"
#include "upload_close_guard.h"
#include "wait_for.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kTeal(0, 128, 128);
const QString kSimulator = QStringLiteral("vPultron64 Simulator");

Bytes builtInDump() {
    const auto dump = loadBuiltInDump();
    return Bytes(dump->begin(), dump->end());
}

Bytes blockOf(const Bytes& dump, int b, std::uint8_t deviceCommand) {
    Bytes block(dump.begin() + b * 265, dump.begin() + (b + 1) * 265);
    block[5] = deviceCommand;
    return block;
}

// The editor window with the built-in simulator as its only MIDI system.
class SimulatorTransfer : public ::testing::Test {
protected:
    SimulatorTransfer() {
        simulator().setDeviceId(3);
        simulator().setObserver(
            {[this](SimulatedController::Bytes m) { received.emplace_back(m.begin(), m.end()); },
             {},
             {}});
        page.SysexSendSpeed->setValue(10);
        page.DeviceID->setValue(3);
        page.PatternNumber->setValue(5);
    }

    SimulatedController& simulator() { return form.transfer().devices().simulator()->controller(); }
    void connectPorts() {
        ASSERT_TRUE(choose(page.MIDIOutComboBox, kSimulator));
        ASSERT_TRUE(choose(page.MIDIInComboBox, kSimulator));
    }
    QStringList log() const { return page.ListBox->lines(); }

    TForm1 form{TForm1::Options{QString(), QStringLiteral("sim")}};
    TransferPage& page = *form.FileSheet;
    std::vector<Bytes> received;
};

TEST_F(SimulatorTransfer, StatusAndButtonsFollowTheSelectedPorts) {
    EXPECT_EQ(page.MIDIInComboBox->count(), 2);
    EXPECT_EQ(page.MIDIOutComboBox->itemText(0), "None");
    EXPECT_EQ(page.MIDIOutComboBox->itemText(1), kSimulator);
    // The restored settings (none on a first run) have opened the ports and set the status.
    EXPECT_EQ(page.StatusLabel->text(), "No MIDI IN Port Selected");
    EXPECT_EQ(statusColour(page), kRed);

    choose(page.MIDIOutComboBox, kSimulator); // the output opens; the input is still missing
    EXPECT_EQ(page.StatusLabel->text(), "No MIDI IN Port Selected");
    EXPECT_TRUE(form.MidiOut1->ready());

    choose(page.MIDIInComboBox, kSimulator);
    EXPECT_TRUE(form.MidiIn1->ready());
    EXPECT_TRUE(form.MidiOut1->ready());
    EXPECT_EQ(pageState(page),
              (PageState{"2120", "8", "Ready for data transfer", kTeal, true, true, true}));

    choose(page.MIDIOutComboBox, QStringLiteral("None"));
    choose(page.MIDIInComboBox, QStringLiteral("None"));
    EXPECT_EQ(pageState(page),
              (PageState{"2120", "8", "No MIDI IN Port Selected", kRed, false, false, true}));
    EXPECT_FALSE(form.MidiIn1->Using());
    choose(page.MIDIInComboBox, kSimulator);
    EXPECT_EQ(page.StatusLabel->text(), "No MIDI OUT Port Selected");
    EXPECT_FALSE(page.SlowSendToPultron->isEnabled());
}

// Each selector applies its choice at once, in either order, and leaves the other port as it is;
// the log says which port opened or closed.
TEST_F(SimulatorTransfer, OutPortChosenAfterTheInPortOpensAtOnce) {
    const auto line = [&](const QComboBox* selector, const char* what) {
        return QStringLiteral("MIDI %1 port \"%2\" %3")
            .arg(selector == page.MIDIInComboBox ? "IN" : "OUT", kSimulator, what);
    };
    for (const bool inFirst : {true, false}) {
        SCOPED_TRACE(inFirst ? "IN first" : "OUT first");
        QComboBox* first = inFirst ? page.MIDIInComboBox : page.MIDIOutComboBox;
        QComboBox* second = inFirst ? page.MIDIOutComboBox : page.MIDIInComboBox;
        page.ListBox->clear();
        ASSERT_TRUE(choose(first, kSimulator));
        ASSERT_TRUE(choose(second, kSimulator));
        EXPECT_EQ(pageState(page),
                  (PageState{"2120", "8", "Ready for data transfer", kTeal, true, true, true}));
        choose(first, QStringLiteral("None"));
        choose(second, QStringLiteral("None"));
        EXPECT_EQ(log(), QStringList({line(first, "opened"), line(second, "opened"),
                                      line(first, "closed"), line(second, "closed")}));
    }
}

TEST_F(SimulatorTransfer, UploadSendsTheBankChangeThenEveryBlockWithTheDeviceId) {
    connectPorts();
    std::vector<PageState> ticks;
    QObject::connect(form.SysexHeadTimer, &QTimer::timeout,
                     [&] { ticks.push_back(pageState(page)); });
    PageState waiting{};
    QTimer::singleShot(300, [&] { waiting = pageState(page); });

    QTest::mouseClick(page.SlowSendToPultron, Qt::LeftButton);

    // The upload encodes the record as the form left it: showing and saving the settings
    // moves the built-in bank's morph bank 0 into the editor's range 1..128.
    EXPECT_EQ(form.record.morphBank(), 1);
    Bytes dump(2120);
    ASSERT_EQ(buildDump(form.record, dump), 2120);
    ASSERT_EQ(received.size(), 9u);
    EXPECT_EQ(received[0], (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x43, 0x38, 0x04, 0xF7}));
    for (int b = 0; b < 8; ++b)
        EXPECT_EQ(received[b + 1], blockOf(dump, b, 0x34)) << "block " << b;
    EXPECT_EQ(simulator().bank(4), form.record);

    EXPECT_EQ(waiting,
              (PageState{"2120", "8", "Ready for data transfer", kTeal, false, false, false}));
    ASSERT_EQ(ticks.size(), 8u);
    for (int t = 0; t < 7; ++t)
        EXPECT_EQ(ticks[t],
                  (PageState{QString::number(2120 - 265 * (t + 1)), QString::number(7 - t),
                             "Sending SysEx Data", kBlue, false, false, false}))
            << "tick " << t + 1;
    EXPECT_EQ(ticks[7].bytesToSend, "2120");
    EXPECT_EQ(ticks[7].blocksToSend, "8");
    EXPECT_EQ(ticks[7].status, "Ready for data transfer");
    EXPECT_EQ(pageState(page),
              (PageState{"2120", "8", "Ready for data transfer", kTeal, true, true, true}));

    ASSERT_TRUE(waitFor([&] {
        return log().count(QStringLiteral("Received Acknowledge Code: 05 - block upload was successfull")) ==
               8;
    }));
    const QStringList lines = log();
    EXPECT_EQ(lines.mid(1, 3),
              QStringList({R"(MIDI OUT port "vPultron64 Simulator" opened)",
                           R"(MIDI IN port "vPultron64 Simulator" opened)",
                           "Requested Pultron64 Bank Change to #5 from Device ID 03"}));
    EXPECT_TRUE(lines.contains("Sent 265 bytes to Pultron64 with device ID 03 (@0x0000)"));
    EXPECT_TRUE(lines.contains("Sent 265 bytes to Pultron64 with device ID 03 (@0x0100)"));
    EXPECT_TRUE(lines.contains("Sent 265 bytes to Pultron64 with device ID 03 (@0x0700)"));
}

TEST_F(SimulatorTransfer, DeviceIdChangedDuringTheUploadAppliesToTheBlocksStillToCome) {
    connectPorts();
    int ticks = 0;
    QObject::connect(form.SysexHeadTimer, &QTimer::timeout, [&] {
        if (++ticks == 3) page.DeviceID->setValue(5);
    });
    QTest::mouseClick(page.SlowSendToPultron, Qt::LeftButton);
    ASSERT_EQ(received.size(), 9u);
    for (int b = 0; b < 8; ++b)
        EXPECT_EQ(received[b + 1][5], b < 3 ? 0x34 : 0x54) << "block " << b;
    EXPECT_EQ(form.OutgoingDump.data[7 * 265 + 5], 0x54); // the dump keeps the last device id
    EXPECT_TRUE(log().contains("Sent 265 bytes to Pultron64 with device ID 05 (@0x0300)"));
    // The simulated controller answers to device 3 only.
    EXPECT_TRUE(waitFor([&] {
        return log().count(QStringLiteral("Received Acknowledge Code: 05 - block upload was successfull")) ==
               3;
    }));
}

// A bank opened during an upload would end it half-way: "Open Sysex File" is disabled while it
// runs, a dropped file is refused with a line in the log, and the whole bank goes out.
TEST_F(SimulatorTransfer, NoFileOpensDuringAnUploadToStopItHalfWay) {
    connectPorts();
    QTemporaryDir dir;
    BankRecord other;
    other.setBankName("OTHER");
    const QString path = dir.filePath("other.syx");
    ASSERT_TRUE(writeFileAtomically(path, encodeBank(other, 0)));
    const auto drop = [&] {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter); // the drop goes where the drag entered
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &event);
        return event.isAccepted();
    };
    bool openEnabled = true, dropAccepted = true;
    int ticks = 0;
    QObject::connect(form.SysexHeadTimer, &QTimer::timeout, [&] {
        if (++ticks != 3) return;
        openEnabled = page.OpenSysex->isEnabled();
        dropAccepted = drop();
    });
    QTest::mouseClick(page.SlowSendToPultron, Qt::LeftButton);

    EXPECT_FALSE(openEnabled);
    EXPECT_FALSE(dropAccepted);
    EXPECT_EQ(received.size(), 9u);
    EXPECT_EQ(simulator().bank(4), form.record);
    EXPECT_NE(form.record.bankName(), "OTHER");
    EXPECT_TRUE(log().contains(
        QStringLiteral("ERROR: '%1' not opened - a bank upload is running").arg(path)));
    EXPECT_TRUE(page.OpenSysex->isEnabled());
    EXPECT_TRUE(drop()); // once the upload is over
    EXPECT_EQ(form.record.bankName(), "OTHER");
}

// Starting a transfer disables its button: the focus goes to Cancel, which says what it stops,
// and comes back to the button when the transfer is over, visiting nothing else (Qt would send
// it on to the next button, disabled next, and so to the delay field, where typing changes it).
TEST_F(SimulatorTransfer, ATransferTakesTheFocusFromItsButtonToCancelAndBack) {
    connectPorts();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    std::vector<QWidget*> focused;
    QString cancelSays;
    QObject::connect(qApp, &QApplication::focusChanged, &form, [&](QWidget*, QWidget* now) {
        focused.push_back(now);
        if (now == page.CancelTransfer) cancelSays = now->accessibleDescription();
    });
    const std::pair<QPushButton*, const char*> transfers[] = {
        {page.SlowSendToPultron, "Stops the running upload of bank 5"},
        {page.RequestSysexDump, "Stops the running request of bank 5"}};
    for (const auto& [button, says] : transfers) {
        button->setFocus();
        focused.clear();
        QTest::keyClick(button, Qt::Key_Space);
        ASSERT_TRUE(waitFor([&] { return button->isEnabled() && !page.progressRow->isVisible(); }));
        EXPECT_EQ(focused, (std::vector<QWidget*>{page.CancelTransfer, button})) << says;
        EXPECT_EQ(cancelSays, says);
        EXPECT_TRUE(button->hasFocus()) << says;
    }
    // Started elsewhere (a menu's key), a transfer leaves the focus where it is.
    page.DeviceID->setFocus();
    focused.clear();
    page.RequestSysexDump->click();
    ASSERT_TRUE(waitFor([&] { return page.RequestSysexDump->isEnabled(); }));
    EXPECT_TRUE(focused.empty());
}

TEST_F(SimulatorTransfer, RequestReceivesDecodesAndTakesTheControllersBank) {
    connectPorts();
    BankRecord bank = form.record;
    bank.setPotLabel(1, "FROM THE BOX");
    simulator().setBank(5, bank);
    page.PatternNumber->setValue(6);
    QSignalSpy decoded(&form.transfer(), &TransferController::receivedBankDecoded);

    QTest::mouseClick(page.RequestSysexDump, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return decoded.count() == 1; }));

    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x43, 0x38, 0x05, 0xF7}));
    EXPECT_EQ(received[1], (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x43, 0x35, 0xF7}));
    EXPECT_EQ(form.record.potLabel(1), bank.potLabel(1));
    EXPECT_EQ(form.record, bank);
    EXPECT_EQ(page.BytesReceived->text(), "2120");
    EXPECT_EQ(page.BlocksReceived->text(), "8");
    EXPECT_EQ(bytesOf(form.OutgoingDump), bytesOf(form.IncomingDump));
    const QStringList lines = log();
    const int request = lines.indexOf("Requested Pultron64 Bank from Device ID 03");
    ASSERT_GT(request, 0);
    EXPECT_EQ(lines[request - 1], "Requested Pultron64 Bank Change to #6 from Device ID 03");
    EXPECT_EQ(lines[request + 1], "Received SysEx block #1 from device 03 with 265 bytes in "
                                  "Pultron64 format (@0x0000)");
    EXPECT_EQ(lines[request + 8], "Received SysEx block #8 from device 03 with 265 bytes in "
                                  "Pultron64 format (@0x0700)");
    EXPECT_EQ(lines.mid(lines.size() - 2),
              QStringList(
                  {"Copied SysEx Dump to Configuration Structure", "Request of bank 6 complete"}));
}

// What the progress row shows at one moment of a transfer.
struct ProgressView {
    bool visible;
    QString state, timeLeft;
    int percent;
};

ProgressView progressView(const TransferPage& page) {
    return {page.progressRow->isVisible(), page.TransferProgressBar->format(),
            page.TimeLeft->text(), page.TransferProgressBar->value()};
}

// Every upload ends with one line saying how: acknowledged blocks counted as the receiver saw
// them, or where the Cancel button stopped it.
TEST_F(SimulatorTransfer, UploadShowsItsProgressAndEndsWithALineSayingHow) {
    const struct {
        int cancelAtTick; // 0: never
        int controllerDeviceId;
        std::size_t blocks; // blocks that reach the controller
        const char* ending;
    } cases[] = {
        {0, 3, 8, "Upload of bank 5 complete: 8 of 8 blocks acknowledged"},
        {0, 2, 8, "Upload of bank 5 complete: 0 of 8 blocks acknowledged"},
        {3, 3, 3,
         "Upload of bank 5 cancelled after block 3 of 8: the bank in the controller is "
         "incomplete"},
    };
    connectPorts();
    form.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ending);
        received.clear();
        simulator().setDeviceId(c.controllerDeviceId);
        std::vector<ProgressView> views;
        const auto tick = QObject::connect(form.SysexHeadTimer, &QTimer::timeout, [&] {
            views.push_back(progressView(page));
            if (int(views.size()) == c.cancelAtTick)
                QTimer::singleShot(0, page.CancelTransfer, &QPushButton::click);
        });
        ProgressView waiting{};
        QTimer::singleShot(300, [&] { waiting = progressView(page); });
        QTest::mouseClick(page.SlowSendToPultron, Qt::LeftButton);
        QObject::disconnect(tick);

        EXPECT_EQ(received.size(), 1 + c.blocks);
        ASSERT_TRUE(waitFor([&] { return log().last() == c.ending; }, 3000))
            << log().last().toStdString();
        EXPECT_FALSE(page.progressRow->isVisible());
        EXPECT_TRUE(waiting.visible);
        EXPECT_EQ(waiting.state, "Upload of bank 5: changing the bank");
        EXPECT_EQ(waiting.timeLeft, "about 1 s left"); // 1 s + 8 x 10 ms planned, 300 ms gone
        ASSERT_GE(views.size(), 2u);
        EXPECT_TRUE(views[1].visible);
        EXPECT_EQ(views[1].state, "Upload of bank 5: block 2 of 8"); // as the second tick left it
        EXPECT_EQ(views[1].percent, 25);
    }
    EXPECT_EQ(page.CancelTransfer->accessibleName(), "Cancel transfer");
    EXPECT_EQ(page.TransferProgressBar->accessibleName(), "Transfer progress");
}

// A request cancelled in its wait after the bank change sends no dump request; one that gets no
// answer gives up after its timeout.
TEST_F(SimulatorTransfer, RequestEndsWithALineSayingHow) {
    connectPorts();
    form.show();
    QTimer::singleShot(300, page.CancelTransfer, &QPushButton::click);
    QTest::mouseClick(page.RequestSysexDump, Qt::LeftButton);
    EXPECT_EQ(received.size(), 1u); // the bank change request only
    EXPECT_EQ(log().last(), "Request of bank 5 cancelled");
    EXPECT_FALSE(page.progressRow->isVisible());

    received.clear();
    simulator().setDeviceId(2);
    ProgressView waiting{};
    QTimer::singleShot(2000, [&] { waiting = progressView(page); });
    QTest::mouseClick(page.RequestSysexDump, Qt::LeftButton);
    EXPECT_EQ(received.size(), 2u);
    EXPECT_FALSE(page.RequestSysexDump->isEnabled()) << "the answer is still awaited";
    ASSERT_TRUE(waitFor([&] { return !page.progressRow->isVisible(); }, 7000));
    EXPECT_EQ(log().last(), "Request of bank 5: no answer within 5 s");
    EXPECT_TRUE(waiting.visible);
    EXPECT_EQ(waiting.state, "Request of bank 5: 0 of 8 blocks");
    // 2 s into 1 s of bank change and 5 s of waiting, shown at most 200 ms ago.
    EXPECT_TRUE(waiting.timeLeft == "at most 4 s left" || waiting.timeLeft == "at most 5 s left")
        << waiting.timeLeft.toStdString();
    EXPECT_TRUE(page.RequestSysexDump->isEnabled());
}

TEST_F(SimulatorTransfer, AnyOfTheFourCounterLabelsEmptiesTheReceiveBuffer) {
    for (QLabel* label : {page.BytesReceived, page.BlocksReceived, page.Label24, page.Label2}) {
        const Bytes dump = builtInDump();
        form.transfer().MidiIn1SysEx(form.MidiIn1, dump.data(), 265);
        ASSERT_EQ(page.BlocksReceived->text(), "1");
        QTest::mouseClick(label, Qt::LeftButton);
        EXPECT_EQ(page.BytesReceived->text(), "0") << label->objectName().toStdString();
        EXPECT_EQ(page.BlocksReceived->text(), "0");
        EXPECT_EQ(form.IncomingDump.length, 0);
    }
    EXPECT_EQ(page.Label24->text(), "Bytes received: ");
    EXPECT_EQ(page.Label2->text(), "Blocks received:");
}

TEST_F(SimulatorTransfer, BankNumberMessageSetsTheBankNumberField) {
    const Bytes message = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x07, 0x09, 0xF7};
    form.transfer().MidiIn1SysEx(form.MidiIn1, message.data(), int(message.size()));
    EXPECT_EQ(page.PatternNumber->value(), 10);
    EXPECT_EQ(page.BlocksReceived->text(), "1");
}

// Closing the window during an upload asks first, without blocking: the answer lets the upload
// finish and then closes, stops it and closes, or keeps the window open and the upload going.
TEST_F(SimulatorTransfer, ClosingDuringAnUploadAsksWhetherToFinishOrStopIt) {
    const struct {
        const char* answer; // the button's text
        int closeAfter;     // blocks sent when the window is closed; -1: in the bank change wait
        std::size_t blocks; // blocks that reach the controller
        bool closed;
        const char* lastLine; // the last line of the upload's blocks in the log
        const char* ending;   // the line that says how the upload ended
    } cases[] = {
        {"Finish Upload, Then Close", 2, 8, true,
         "Sent 265 bytes to Pultron64 with device ID 03 (@0x0700)",
         "Upload of bank 5 complete: 8 of 8 blocks acknowledged"},
        {"Stop Upload and Close", 2, 2, true, "Upload stopped after 2 of 8 blocks",
         "Upload of bank 5 cancelled after block 2 of 8: the bank in the controller is "
         "incomplete"},
        {"Stop Upload and Close", -1, 0, true, "Upload stopped after 0 of 8 blocks",
         "Upload of bank 5 cancelled before the first block: the bank in the controller is "
         "unchanged"},
        {"Cancel", 2, 8, false, "Sent 265 bytes to Pultron64 with device ID 03 (@0x0700)",
         "Upload of bank 5 complete: 8 of 8 blocks acknowledged"},
    };
    connectPorts();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lastLine);
        form.show();
        received.clear();
        bool stillOpen = false;
        QMessageBox* question = nullptr;
        const auto closeAndAnswer = [&] {
            stillOpen = !form.close() && form.isVisible();
            question = form.transfer().closeGuard().question();
            ASSERT_NE(question, nullptr);
            for (QAbstractButton* button : question->buttons())
                if (button->text() == c.answer)
                    QTimer::singleShot(0, button, &QAbstractButton::click);
        };
        if (c.closeAfter < 0) QTimer::singleShot(300, closeAndAnswer);
        const auto tick = QObject::connect(form.SysexHeadTimer, &QTimer::timeout, [&] {
            if (int(received.size()) == 1 + c.closeAfter && !question) closeAndAnswer();
        });
        QTest::mouseClick(page.SlowSendToPultron, Qt::LeftButton);
        QObject::disconnect(tick);
        EXPECT_TRUE(stillOpen) << "the window closed without asking";
        EXPECT_EQ(received.size(), 1 + c.blocks);
        const QStringList lines = log().filter(QRegularExpression("^(Sent|Upload stopped)"));
        EXPECT_EQ(lines.last(), c.lastLine);
        EXPECT_TRUE(waitFor([&] { return log().last() == c.ending; }))
            << log().last().toStdString();
        EXPECT_TRUE(waitFor([&] { return form.isVisible() != c.closed; }));
        EXPECT_EQ(form.transfer().closeGuard().question(), nullptr);
        EXPECT_TRUE(form.close()) << "nothing runs any more";
    }
}

} // namespace

// Only a bank the controller got whole is the saved state; a cancelled upload leaves the mark.
TEST_F(SimulatorTransfer, TheUnsavedMarkGoesWithACompleteUploadOnly) {
    connectPorts();
    form.show();
    for (const bool cancel : {true, false}) {
        form.record.setPotLabel(3, cancel ? "CANCELLED" : "UPLOADED");
        form.document().commit();
        ASSERT_TRUE(form.isWindowModified());
        const auto tick = QObject::connect(form.SysexHeadTimer, &QTimer::timeout, [&] {
            if (cancel) QTimer::singleShot(0, page.CancelTransfer, &QPushButton::click);
        });
        QTest::mouseClick(page.SlowSendToPultron, Qt::LeftButton);
        QObject::disconnect(tick);
        ASSERT_TRUE(waitFor([&] { return !page.progressRow->isVisible(); }, 3000));
        EXPECT_EQ(form.isWindowModified(), cancel);
    }
}

// The question comes with the request; the bank that answers it is taken without another.
TEST_F(SimulatorTransfer, ARequestedBankIsAskedAboutOnceAtTheRequest) {
    connectPorts();
    BankRecord bank = form.record;
    bank.setPotLabel(1, "FROM THE BOX");
    simulator().setBank(4, bank);
    form.record.setPotLabel(2, "EDITED");
    form.document().commit();
    QSignalSpy decoded(&form.transfer(), &TransferController::receivedBankDecoded);
    QTest::mouseClick(page.RequestSysexDump, Qt::LeftButton);
    QMessageBox* question = form.findChild<QMessageBox*>("UnsavedEditsQuestion");
    ASSERT_TRUE(question && question->isVisible());
    EXPECT_TRUE(received.empty());
    question->button(QMessageBox::Discard)->click();
    ASSERT_TRUE(waitFor([&] { return decoded.count() == 1; }));
    EXPECT_EQ(form.record, bank);
    EXPECT_FALSE(form.isWindowModified());
    EXPECT_EQ(form.findChildren<QMessageBox*>("UnsavedEditsQuestion").size(), 0);
}
