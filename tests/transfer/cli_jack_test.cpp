#include "jack_peers.h"
#include "jack_server.h"
#include "qt_printers.h"
#include "rtmidi_backend.h"
#include "sim_process.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

QStringList linesOf(const QString& output) {
    return output.split('\n', Qt::SkipEmptyParts);
}

class JackCli : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(server.start()) << server.error().toStdString();
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    JackServer server;
    SimProcess sim;
};

TEST_F(JackCli, SendAndRequestAgainstTheSimulatorAreByteExact) {
    ASSERT_TRUE(sim.start({"--device-id", "3", "--record", path("received.syx")}))
        << sim.error().toStdString();
    QString output;
    ASSERT_EQ(runVpt64({"ports", "--api", "jack"}, &output), 0);
    EXPECT_EQ(linesOf(output),
              (QStringList{"MIDI IN ports:", "  1: vpt64 sim Out:MIDI Out (JACK)",
                           "MIDI OUT ports:", "  1: vpt64 sim In:MIDI In (JACK)"}));

    BankRecord bank = loadBuiltInBank();
    bank.setPotLabel(5, "FROM THE SHELL");
    ASSERT_TRUE(writeBytes(path("bank.syx"), dumpOf(bank, 0)));
    // The simulator's JACK port and the built-in simulator both match: the refusal lists them.
    QString errors;
    EXPECT_EQ(
        runVpt64({"send", path("bank.syx"), "--api", "all", "--out", "sim"}, &output, &errors), 2);
    EXPECT_TRUE(errors.startsWith("vpt64: 'sim' matches more than one port: "))
        << errors.toStdString();
    EXPECT_TRUE(errors.contains(": vpt64 sim In:MIDI In (JACK), ")) << errors.toStdString();
    EXPECT_TRUE(errors.endsWith(": vPultron64 Simulator (Simulator)\n")) << errors.toStdString();
    ASSERT_EQ(runVpt64({"send", path("bank.syx"), "--api", "jack", "--out", "SIM IN", "--in", "1",
                        "--delay", "5", "--device-id", "3", "--bank", "5"},
                       &output),
              0)
        << output.toStdString();
    const QStringList lines = linesOf(output);
    QStringList ownLines = lines;
    ownLines.removeAll("Received Acknowledge Code: 05 - block upload was successfull");
    QStringList expected = {"Copied SysEx Dump to Configuration Structure",
                            "Requested Pultron64 Bank Change to #5 from Device ID 03"};
    for (int b = 0; b < 8; ++b)
        expected << QStringLiteral("Sent 265 bytes to Pultron64 with device ID 03 (@0x0%1").arg(b) +
                        "00)";
    EXPECT_EQ(ownLines, expected);
    EXPECT_EQ(lines.count("Received Acknowledge Code: 05 - block upload was successfull"), 8);

    ASSERT_EQ(runVpt64({"request", "--api", "jack", "--in", "sim out", "--out", "sim in",
                        "--device-id", "3", "--bank", "5", "-o", path("requested.syx")},
                       &output),
              0)
        << output.toStdString();
    EXPECT_EQ(linesOf(output).first(), "Requested Pultron64 Bank Change to #5 from Device ID 03");
    EXPECT_EQ(linesOf(output).last(), "Copied SysEx Dump to Configuration Structure");
    EXPECT_EQ(readBytes(path("requested.syx")), dumpOf(bank, 3));

    EXPECT_EQ(sim.stop(), 0);
    Bytes expectedReceived =
        joined({bankChange(3, 4), dumpOf(bank, 3), bankChange(3, 4), dumpRequest(3)});
    EXPECT_EQ(readBytes(path("received.syx")), expectedReceived);
}

TEST_F(JackCli, RequestToADeviceThatDoesNotAnswerFailsAfterItsTimeout) {
    ASSERT_TRUE(sim.start({"--device-id", "1"})) << sim.error().toStdString();
    QString output, errors;
    EXPECT_EQ(runVpt64({"request", "--api", "jack", "--in", "sim", "--out", "sim", "--device-id",
                        "2", "--timeout", "300", "-o", path("nothing.syx")},
                       &output, &errors),
              1);
    EXPECT_EQ(errors, "vpt64: no valid bank arrived within 300 ms\n");
    EXPECT_FALSE(QFile::exists(path("nothing.syx")));
    EXPECT_TRUE(sim.output().contains("Ignored a message for device 02 (command 05)"));
}

TEST_F(JackCli, ASlowControllerAnswersBlocksSentTooFastWithErrors) {
    ASSERT_TRUE(sim.start({"--min-block-gap", "40"})) << sim.error().toStdString();
    QString output;
    ASSERT_EQ(runVpt64({"default", path("default.syx")}, &output), 0);
    EXPECT_EQ(runVpt64({"send", path("default.syx"), "--api", "jack", "--out", "sim", "--in", "sim",
                        "--delay", "0"},
                       &output),
              1);
    EXPECT_GE(output.count("Received Error Code: 02"), 1) << output.toStdString();
    EXPECT_EQ(output.count("Received Error Code: 02") +
                  output.count("Received Acknowledge Code: 05 - block upload was successfull"),
              8);
}

TEST_F(JackCli, ServerStoppedDuringASendEndsItWithAClearMessage) {
    ASSERT_TRUE(sim.start({})) << sim.error().toStdString();
    QString output;
    ASSERT_EQ(runVpt64({"default", path("default.syx")}, &output), 0);
    QProcess send;
    send.setProcessChannelMode(QProcess::MergedChannels);
    send.start(SimProcess::program(), {"send", path("default.syx"), "--api", "jack", "--out", "sim",
                                       "--in", "sim", "--delay", "200"});
    ASSERT_TRUE(send.waitForStarted());
    QThread::msleep(1500); // the bank change wait and a block or two
    server.stop();
    ASSERT_TRUE(send.waitForFinished(10000));
    output = QString::fromLocal8Bit(send.readAll());
    EXPECT_EQ(send.exitCode(), 1);
    // Both ports go with the server: said once, for the one heard of first.
    EXPECT_EQ(output.count(QRegularExpression(
                  R"re(Lost MIDI (OUT|IN) Port "vpt64 sim (In|Out):MIDI (In|Out)" - )re"
                  "the JACK server has stopped!")),
              1)
        << output.toStdString();
    EXPECT_TRUE(output.contains(QRegularExpression("Upload (stopped|aborted) after ")))
        << output.toStdString();
}

// With the controller's replies in view, `send` succeeds only when every block is acknowledged;
// its waits keep every gap a slow controller needs.
TEST_F(JackCli, SendWithItsRepliesInViewSucceedsOnlyWhenEveryBlockIsAcknowledged) {
    QString output, errors;
    ASSERT_EQ(runVpt64({"default", path("default.syx")}, &output), 0);
    const struct {
        const char* name;
        QStringList simArgs, sendArgs;
        int exitCode;
        QString errors;
    } cases[] = {
        // A gap 12 ms short of the delay leaves room for the JACK period, none for early timers.
        {"every gap whole", {"--min-block-gap", "388"}, {"--delay", "400"}, 0, ""},
        {"no acknowledge at all",
         {"--device-id", "1"},
         {"--delay", "5", "--device-id", "2"},
         1,
         "vpt64: blocks #1, #2, #3, #4, #5, #6, #7, #8 of 8 were not acknowledged\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(sim.start(c.simArgs)) << sim.error().toStdString();
        EXPECT_EQ(runVpt64(QStringList{"send", path("default.syx"), "--api", "jack", "--out", "sim",
                                       "--in", "sim"} +
                               c.sendArgs,
                           &output, &errors),
                  c.exitCode)
            << output.toStdString() << "\nsimulator:\n"
            << sim.output().toStdString();
        EXPECT_EQ(errors, c.errors);
        EXPECT_EQ(sim.stop(), 0);
    }
}

// The simulator takes input as the window does: a flood is cut at a bounded queue, said once
// per gap, and the simulator answers again right after it.
TEST_F(JackCli, AFloodOfRequestsIsCutAtABoundedQueueAndTheSimulatorAnswersRightAfter) {
    ASSERT_TRUE(sim.start({}, path("sim.log"))) << sim.error().toStdString();
    auto peer = RtMidiBackend::create(RtMidiBackend::Api::Jack);
    ASSERT_NE(peer, nullptr);
    auto flood = peer->openOutput("vpt64 sim In:MIDI In", {});
    ASSERT_TRUE(flood.connection);
    // Each request makes the simulator build and send a bank: slower than they come. A host that
    // stalls the sender more than the simulator gets more rounds.
    const QRegularExpression overflow(R"(\nMIDI input overflow - \d+ messages dropped!\n)");
    for (int round = 0; round < 4 && !sim.output().contains(overflow); ++round)
        for (int i = 0; i < 5000; ++i)
            while (!flood.connection->sendSysEx(dumpRequest(0)))
                QThread::usleep(100);
    flood.connection.reset();
    // The replies to what got through must not mix with the answer to the request below.
    qsizetype size = -1;
    while (sim.output().size() != size) {
        size = sim.output().size();
        QThread::msleep(300);
    }

    QString output;
    EXPECT_EQ(runVpt64({"request", "--api", "jack", "--in", "sim", "--out", "sim", "--timeout",
                        "3000", "-o", path("bank.syx")},
                       &output),
              0)
        << output.toStdString();
    const QString log = sim.output();
    EXPECT_TRUE(log.contains(overflow)) << log.right(2000).toStdString();
}

// A running vpt64 command, its output and error lines merged.
struct Command {
    QProcess process;
    explicit Command(const QStringList& args) {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(SimProcess::program(), args);
    }
    QString output = {};
    // Waits until its output holds `text`.
    bool says(const QString& text, int timeoutMs = 10000) {
        QDeadlineTimer deadline(timeoutMs);
        while (!output.contains(text) && !deadline.hasExpired()) {
            process.waitForReadyRead(50);
            output += QString::fromLocal8Bit(process.readAll());
        }
        return output.contains(text);
    }
};

TEST_F(JackCli, PortsWatchPrintsEveryPortThatAppearsOrDisappearsUntilInterrupted) {
    Command watch({"ports", "--api", "jack", "--watch"});
    ASSERT_TRUE(watch.says("Watching the MIDI ports until Ctrl+C")) << watch.output.toStdString();
    ASSERT_TRUE(sim.start({})) << sim.error().toStdString();
    const QStringList lines = {R"(MIDI IN port "vpt64 sim Out:MIDI Out" appeared)",
                               R"(MIDI OUT port "vpt64 sim In:MIDI In" appeared)"};
    for (const QString& line : lines)
        EXPECT_TRUE(watch.says(line)) << watch.output.toStdString();
    EXPECT_EQ(sim.stop(), 0);
    for (QString line : lines)
        EXPECT_TRUE(watch.says(line.replace("appeared", "disappeared")))
            << watch.output.toStdString();
    watch.process.terminate();
    ASSERT_TRUE(watch.process.waitForFinished(10000));
    EXPECT_EQ(watch.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(watch.process.exitCode(), 0);
    EXPECT_EQ(watch.output.count(" appeared"), 2) << "the watch's own ports are not listed";
}

// A controller that answers nothing: two JACK ports of its own, each unplugged on its own.
struct SilentPeer {
    std::unique_ptr<RtMidiBackend> system = RtMidiBackend::create(RtMidiBackend::Api::Jack);
    Opened<MidiOutputConnection> out = system->openVirtualOutput("vpt64 peer out", "out", {});
    Opened<MidiInputConnection> in =
        system->openVirtualInput("vpt64 peer in", "in", [](std::span<const std::uint8_t>) {}, {});
};

// The controller unplugged while a command talks to it, either of its ports: every command ends
// at once with the one line of a lost port and exit code 1; none waits out the minute-long
// timeouts it was given.
TEST_F(JackCli, APortThatGoesEndsEveryCommandThatUsesItWithItsMessage) {
    QString output;
    ASSERT_EQ(runVpt64({"default", path("default.syx")}, &output), 0);
    ASSERT_TRUE(QDir().mkpath(path("library")));
    ASSERT_TRUE(QFile::copy(path("default.syx"), path("library/bank-001.syx")));
    const QString lostIn = R"(Lost MIDI IN Port "vpt64 peer out:out" - the port has gone away!)";
    const QString lostOut = R"(Lost MIDI OUT Port "vpt64 peer in:in" - the port has gone away!)";
    const QStringList ports = {"--in", "peer out", "--out", "peer in"};
    const struct {
        QStringList args;
        QString running; // shown once it talks to the controller
        bool inputGoes;
    } cases[] = {
        {QStringList{"send", path("default.syx"), "--delay", "300"} + ports, "Sent 265 bytes",
         true},
        {QStringList{"request", "--timeout", "60000", "-o", path("r.syx")} + ports,
         "Requested Pultron64 Bank from", false},
        {{"monitor", "--in", "peer out"}, "Monitoring vpt64 peer out:out", true},
        {QStringList{"backup", "--timeout", "60000", "-o", path("backup")} + ports,
         "Requested Pultron64 Bank from", false},
        {QStringList{"restore", path("library")} + ports, "Sent 265 bytes", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        SilentPeer peer;
        ASSERT_TRUE(peer.out.connection && peer.in.connection);
        Command command(c.args + QStringList{"--api", "jack"});
        ASSERT_TRUE(command.says(c.running)) << command.output.toStdString();
        if (c.inputGoes)
            peer.out = {};
        else
            peer.in = {};
        ASSERT_TRUE(command.process.waitForFinished(5000)) << command.output.toStdString();
        command.output += QString::fromLocal8Bit(command.process.readAll());
        EXPECT_EQ(command.process.exitCode(), 1) << command.output.toStdString();
        EXPECT_EQ(command.output.count(c.inputGoes ? lostIn : lostOut), 1)
            << command.output.toStdString();
        EXPECT_EQ(command.output.count("Lost MIDI "), 1) << command.output.toStdString();
    }
}

} // namespace
