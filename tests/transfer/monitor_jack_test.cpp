#include "jack_peers.h"
#include "jack_server.h"
#include "qt_printers.h"
#include "rtmidi_backend.h"
#include "sim_process.h"
#include "sysex_protocol.h"
#include "wait_for.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <mutex>

namespace {

// A JACK client that sends to the monitor and takes what its thru passes on.
struct Peer {
    std::unique_ptr<RtMidiBackend> backend = RtMidiBackend::create(RtMidiBackend::Api::Jack);
    Opened<MidiOutputConnection> out;
    Opened<MidiInputConnection> in;
    std::mutex mutex;
    std::vector<Bytes> received;

    bool open() {
        if (!backend) return false;
        out = backend->openVirtualOutput("monpeer", "out");
        in = backend->openVirtualInput("monpeer", "in", [this](std::span<const std::uint8_t> b) {
            const std::lock_guard lock(mutex);
            received.emplace_back(b.begin(), b.end());
        });
        return out.connection && in.connection;
    }
    std::size_t receivedCount() {
        const std::lock_guard lock(mutex);
        return received.size();
    }
};

// Pot 1 is "Reverb # 1" on CC 91 of channel 1, button 6 plays C4 on channel 6; no other pot or
// button sends on those channels.
BankRecord monitoredBank() {
    BankRecord bank = loadBuiltInBank();
    for (int n = 1; n <= 64; ++n) {
        bank.setPot(n, {storedStatus(0xB2), std::uint8_t(n), 0, 127});
        bank.setButton(n, {storedStatus(0x93), std::uint8_t(n), 127, 0});
    }
    bank.setPot(1, {storedStatus(0xB0), 91, 0, 127});
    bank.setPotLabel(1, "Reverb # 1");
    bank.setButton(6, {storedStatus(0x95), 60, 127, 0});
    return bank;
}

} // namespace

TEST(JackMonitor, PrintsEachMessageInWordsAndPassesItOn) {
    QTemporaryDir dir;
    JackServer server;
    ASSERT_TRUE(server.start()) << server.error().toStdString();
    Peer peer;
    ASSERT_TRUE(peer.open());
    const QString bankFile = dir.filePath("bank.syx");
    ASSERT_TRUE(writeBytes(bankFile, dumpOf(monitoredBank(), 0)));

    QProcess monitor;
    monitor.start(SimProcess::program(), {"monitor", "--api", "jack", "--in", "monpeer", "--out",
                                          "monpeer", "--bank", bankFile});
    QByteArray errors;
    ASSERT_TRUE(waitFor(
        [&] {
            errors += monitor.readAllStandardError();
            return errors.contains("Monitoring ") || monitor.state() == QProcess::NotRunning;
        },
        10000));
    ASSERT_EQ(monitor.state(), QProcess::Running) << errors.toStdString();

    // A whole dump in two JACK events is one line.
    Bytes dumpHead(sysex::kHeader.begin(), sysex::kHeader.end());
    dumpHead.push_back(sysex::WholeDump);
    dumpHead.resize(1000, 0x11);
    Bytes dumpTail(sysex::kWholeDumpSize - dumpHead.size() - 1, 0x11);
    dumpTail.push_back(sysex::kEnd);
    const std::vector<Bytes> sent = {{0xB0, 91, 100},  {0x95, 60, 127}, {0x95, 60, 0}, {0xF8},
                                     bankChange(0, 4), dumpHead,        dumpTail};
    for (const Bytes& message : sent)
        message.front() == 0xF0 ? peer.out.connection->sendSysEx(message)
                                : peer.out.connection->sendShort(message);
    ASSERT_TRUE(waitFor([&] { return peer.receivedCount() == sent.size(); }));
    {
        const std::lock_guard lock(peer.mutex);
        EXPECT_EQ(peer.received, sent);
    }
    ASSERT_TRUE(
        waitFor([&] { return monitor.peek(4096).count('\n') == qsizetype(sent.size()) - 1; }));
    monitor.terminate();
    ASSERT_TRUE(monitor.waitForFinished(5000));
    EXPECT_EQ(monitor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(monitor.exitCode(), 0);

    QStringList lines =
        QString::fromUtf8(monitor.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (QString& line : lines) {
        EXPECT_TRUE(line.contains(QRegularExpression("^ *\\d+ in  "))) << line.toStdString();
        line.remove(QRegularExpression("^ *\\d+ in  "));
    }
    EXPECT_EQ(
        lines,
        (QStringList{
            "monpeer:out  B0 5B 64  Control Change ch 1 cc 91 = 100, pot 1 \"Reverb # 1\" = 100",
            "monpeer:out  95 3C 7F  Note On ch 6 C4 vel 127, button 6 pressed",
            "monpeer:out  95 3C 00  Note On ch 6 C4 vel 0 (note off), button 6 released",
            "monpeer:out  F8  Timing Clock",
            "monpeer:out  F0 00 00 7E 43 08 04 F7  bank change request to bank 5 (device 0)",
            "monpeer:out  F0 00 00 7E 43 02 11 11 ... (2055 bytes)  whole dump (device 0, 2055 "
            "bytes)",
        }));
}
