#include "form_driver.h"

#include "bank_history.h"
#include "jack_peers.h"
#include "jack_server.h"
#include "rtmidi_backend.h"
#include "sim_process.h"
#include "transfer_controller.h"
#include "wait_for.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <random>

namespace {

const QColor kRed(255, 0, 0);

// Sends through a peer's output, waiting for room in its 16 KB ring buffer instead of dropping,
// at about 4,000 bytes a JACK period: a period that comes late on a busy machine would otherwise
// take more than its port buffer holds, and the peer's output drops the rest without a word.
// Short messages go many to a period, so that a flood of them takes seconds, not minutes.
template <typename Output> void sendPaced(Output& output, const Bytes& bytes) {
    while (!output.sendSysEx(bytes))
        QThread::usleep(200);
    QThread::usleep(100 + static_cast<unsigned long>(bytes.size()) * 5 / 4);
}

class JackGui : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(server.start()) << server.error().toStdString();
    }

    void startSimulator(const QStringList& args) {
        ASSERT_TRUE(sim.start(args)) << sim.error().toStdString();
        form = std::make_unique<TForm1>(TForm1::Options{QString(), QStringLiteral("jack")});
    }
    void connectToSimulator() {
        TransferPage& page = *form->FileSheet;
        ASSERT_TRUE(
            choose(page.MIDIOutComboBox, itemContaining(page.MIDIOutComboBox, "vpt64 sim In")));
        ASSERT_TRUE(
            choose(page.MIDIInComboBox, itemContaining(page.MIDIInComboBox, "vpt64 sim Out")));
        ASSERT_EQ(page.StatusLabel->text(), "Ready for data transfer");
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QStringList log() const { return form->FileSheet->ListBox->lines(); }

    QTemporaryDir dir;
    JackServer server;
    SimProcess sim;
    std::unique_ptr<TForm1> form;
};

TEST_F(JackGui, RequestAndUploadAgainstTheSimulatorAreByteExact) {
    BankRecord controllerBank = loadBuiltInBank();
    controllerBank.setPotLabel(2, "JACK BANK");
    ASSERT_TRUE(writeBytes(path("bank.syx"), dumpOf(controllerBank, 0)));
    startSimulator(
        {"--device-id", "2", "--bank-file", path("bank.syx"), "--record", path("received.syx")});
    connectToSimulator();
    TransferPage& page = *form->FileSheet;
    page.DeviceID->setValue(2);
    page.PatternNumber->setValue(3);
    page.SysexSendSpeed->setValue(10);

    QSignalSpy decoded(&form->transfer(), &TransferController::receivedBankDecoded);
    QTest::mouseClick(page.RequestSysexDump, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return decoded.count() == 1; }));
    EXPECT_EQ(form->record, controllerBank);
    EXPECT_EQ(bytesOf(form->IncomingDump), dumpOf(controllerBank, 2));
    EXPECT_EQ(log().mid(log().size() - 2),
              QStringList(
                  {"Copied SysEx Dump to Configuration Structure", "Request of bank 3 complete"}));

    form->record.setPotLabel(3, "SENT BACK");
    QTest::mouseClick(page.SlowSendToPultron, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] {
        return log().count(QStringLiteral("Received Acknowledge Code: 05 - block upload was successfull")) ==
               8;
    })) << log().join(QLatin1Char('\n')).toStdString()
        << "\nsimulator:\n"
        << sim.output().toStdString();
    EXPECT_TRUE(waitFor([&] {
        return log().last() == "Upload of bank 3 complete: 8 of 8 blocks acknowledged";
    })) << log().last().toStdString();
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_EQ(readBytes(path("received.syx")), joined({bankChange(2, 2), dumpRequest(2),
                                                       bankChange(2, 2), dumpOf(form->record, 2)}));
}

// The output port chosen after the input port opens at once on JACK ports as well.
TEST_F(JackGui, OutPortChosenAfterTheInPortOpensAtOnce) {
    startSimulator({});
    TransferPage& page = *form->FileSheet;
    const QString in = itemContaining(page.MIDIInComboBox, "vpt64 sim Out");
    const QString out = itemContaining(page.MIDIOutComboBox, "vpt64 sim In");
    ASSERT_TRUE(choose(page.MIDIInComboBox, in));
    ASSERT_TRUE(choose(page.MIDIOutComboBox, out));
    EXPECT_EQ(page.StatusLabel->text(), "Ready for data transfer");
    EXPECT_EQ(log().mid(log().size() - 2),
              QStringList({QStringLiteral("MIDI IN port \"%1\" opened").arg(in),
                           QStringLiteral("MIDI OUT port \"%1\" opened").arg(out)}));
}

TEST_F(JackGui, ServerStoppedDuringAnUploadLeavesTheProgramRunningWithAClearStatus) {
    startSimulator({});
    connectToSimulator();
    TransferPage& page = *form->FileSheet;
    page.SysexSendSpeed->setValue(150);
    int ticks = 0;
    QObject::connect(form->SysexHeadTimer, &QTimer::timeout, [&] {
        if (++ticks == 2) server.stop();
    });
    QTest::mouseClick(page.SlowSendToPultron, Qt::LeftButton);

    const QStringList lines = log();
    EXPECT_TRUE(lines.contains(
        R"(Lost MIDI OUT Port "vpt64 sim In:MIDI In" - the JACK server has stopped!)"));
    EXPECT_TRUE(lines.contains(
        R"(Lost MIDI IN Port "vpt64 sim Out:MIDI Out" - the JACK server has stopped!)"));
    EXPECT_EQ(lines.filter(QStringLiteral("Upload aborted after ")).size(), 1);
    EXPECT_LT(lines.filter(QStringLiteral("Sent 265 bytes")).size(), 8);
    EXPECT_EQ(pageState(page),
              (PageState{"2120", "8", "MIDI IN Port not ready!", kRed, false, false, true}));
    EXPECT_FALSE(form->SysexHeadTimer->isActive());
    // The window still answers.
    bool ticked = false;
    QTimer::singleShot(10, [&] { ticked = true; });
    EXPECT_TRUE(waitFor([&] { return ticked; }));
    EXPECT_TRUE(waitFor([&] {
        return sim.output().contains(QRegularExpression(
            R"re(Lost MIDI (IN|OUT) Port "vpt64 sim (In|Out):MIDI (In|Out)" - the JACK )re"));
    }));
}

TEST_F(JackGui, BadInputNeverCrashesOrHangsTheWindowNorChangesTheRecord) {
    auto peer = RtMidiBackend::create(RtMidiBackend::Api::Jack);
    ASSERT_NE(peer, nullptr);
    auto source = peer->openVirtualOutput("vpt64 flood", "out");
    ASSERT_TRUE(source.connection);
    form = std::make_unique<TForm1>(TForm1::Options{QString(), QStringLiteral("jack")});
    TransferPage& page = *form->FileSheet;
    ASSERT_TRUE(choose(page.MIDIInComboBox, itemContaining(page.MIDIInComboBox, "vpt64 flood")));
    const BankRecord before = form->record;
    const Bytes outgoingBefore = bytesOf(form->OutgoingDump);

    const auto send = [&](const Bytes& bytes) { sendPaced(*source.connection, bytes); };
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255), length(1, 64);
    for (int i = 0; i < 2000; ++i) {
        Bytes noise(std::size_t(length(random)));
        for (auto& b : noise)
            b = std::uint8_t(byte(random));
        send(noise);
    }
    send({0xF0, 0x00, 0x00, 0x7E, 0x43, 0x04, 0x00}); // a SysEx that does not end
    for (int i = 0; i < 300; ++i)
        send(Bytes(4000, std::uint8_t(i & 0x7F)));
    send({0xF7});
    for (int i = 0; i < 50000; ++i)
        send({0x90, std::uint8_t(i & 0x7F), 0x40});

    const Bytes bankEleven = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x07, 0x0A, 0xF7};
    bool arrived = false;
    for (int attempt = 0; attempt < 10 && !arrived; ++attempt) {
        send(bankEleven);
        arrived = waitFor([&] { return page.PatternNumber->value() == 11; }, 3000);
    }
    EXPECT_TRUE(arrived) << "the window no longer takes input";
    EXPECT_EQ(form->record, before);
    EXPECT_EQ(bytesOf(form->OutgoingDump), outgoingBefore);
    EXPECT_TRUE(log().contains(QStringLiteral("Received invalid status byte during SysEx transfer "
                                              "--- receiver has been reset!")));
}

// A SysEx message longer than the receiver holds, ended or not, costs no more than its own
// bytes: it is said once, memory stays bounded, and the next bank arrives whole.
TEST_F(JackGui, LongAndEndlessSysExCostNoLaterBank) {
    BankRecord controllerBank = loadBuiltInBank();
    controllerBank.setPotLabel(1, "AFTER THE FLOOD");
    ASSERT_TRUE(writeBytes(path("bank.syx"), dumpOf(controllerBank, 0)));
    startSimulator({"--bank-file", path("bank.syx")});
    connectToSimulator();
    auto peer = RtMidiBackend::create(RtMidiBackend::Api::Jack);
    ASSERT_NE(peer, nullptr);
    std::string ourInput;
    for (const std::string& name : peer->outputNames())
        if (name.starts_with("vPultron64") && name.ends_with(":MIDI In")) ourInput = name;
    auto source = peer->openOutput(ourInput, {});
    ASSERT_TRUE(source.connection) << ourInput;
    const auto send = [&](const Bytes& bytes) { sendPaced(*source.connection, bytes); };
    TransferPage& page = *form->FileSheet;
    const QRegularExpression cutLine(
        R"(^Received SysEx message longer than 256000 bytes - \d+ more bytes dropped!$)");
    for (const bool ended : {true, false}) {
        SCOPED_TRACE(ended ? "ended by F7" : "never ended");
        const qsizetype start = log().size();
        send({0xF0, 0x00, 0x00, 0x7E, 0x43, 0x04, 0x00});
        for (int i = 0; i < 150; ++i) // 600 KB
            send(Bytes(4000, 0x11));
        if (ended) { // the whole message is in once its cut is reported
            send({0xF7});
            ASSERT_TRUE(
                waitFor([&] { return !log().mid(start).filter(cutLine).isEmpty(); }, 15'000));
        }
        form->record = BankRecord{};
        form->document().history().markSaved(); // a blank bank with nothing to ask about at the request
        QSignalSpy decoded(&form->transfer(), &TransferController::receivedBankDecoded);
        QTest::mouseClick(page.RequestSysexDump, Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return decoded.count() == 1; }))
            << log().join('\n').toStdString();
        EXPECT_EQ(form->record, controllerBank);
        EXPECT_EQ(log().mid(start).filter(cutLine).size(), 1) << log().join('\n').toStdString();
    }
}

// A peer whose port goes away while the server stays up is reported as a lost port, as a
// stopped server is, and an upload to it ends instead of going out into nothing.
TEST_F(JackGui, AVanishedPeerIsReportedAsALostPort) {
    for (const bool uploading : {false, true}) {
        SCOPED_TRACE(uploading ? "during an upload" : "while idle");
        startSimulator({});
        connectToSimulator();
        TransferPage& page = *form->FileSheet;
        page.SysexSendSpeed->setValue(150);
        if (uploading) {
            const auto tick =
                QObject::connect(form->SysexHeadTimer, &QTimer::timeout, [&] { sim.stop(); });
            QTest::mouseClick(page.SlowSendToPultron, Qt::LeftButton);
            QObject::disconnect(tick);
        } else {
            sim.stop();
        }
        ASSERT_TRUE(waitFor([&] { return page.StatusLabel->text() != "Ready for data transfer"; }));
        const QStringList lines = log();
        EXPECT_EQ(
            lines.count(R"(Lost MIDI OUT Port "vpt64 sim In:MIDI In" - the port has gone away!)"),
            1)
            << lines.join('\n').toStdString();
        EXPECT_EQ(
            lines.count(R"(Lost MIDI IN Port "vpt64 sim Out:MIDI Out" - the port has gone away!)"),
            1);
        EXPECT_EQ(lines.filter("Upload aborted after ").size(), uploading ? 1 : 0);
        EXPECT_EQ(page.StatusLabel->text(), "MIDI IN Port not ready!");
        EXPECT_FALSE(page.SlowSendToPultron->isEnabled());
    }
}

} // namespace
