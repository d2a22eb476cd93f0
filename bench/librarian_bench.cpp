// `vpt64 backup` of 128 banks and `vpt64 restore` of 8 banks against `vpt64 sim` on a private JACK
// server, each beside the protocol's floor: the one-second wait after each bank change plus the
// transfer itself, measured by a plain peer that requests dumps and uploads acknowledged blocks
// with no waits of its own. Reports both and their ratio.
#include "built_in_dump.h"
#include "dump_codec.h"
#include "dump_file.h"
#include "jack_server.h"
#include "rtmidi_backend.h"
#include "sim_process.h"
#include "sysex_protocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <benchmark/benchmark.h>
#include <thread>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr double kBankChangeWaitS = 1.0;
constexpr int kSamples = 16;

Bytes dumpRequest() {
    return {0xF0, 0x00, 0x00, 0x7E, 0x43, sysex::deviceCommandByte(0, sysex::DumpRequest), 0xF7};
}

Bytes bankDump() {
    Bytes dump(sysex::kDumpSize);
    buildDump(loadBuiltInBank(), dump);
    return dump;
}

// The floor's own transfers: a peer on the simulator's ports that counts what comes back.
class PlainPeer {
public:
    bool open() {
        m_backend = RtMidiBackend::create(RtMidiBackend::Api::Jack);
        if (!m_backend) return false;
        m_out = m_backend->openOutput("vpt64 sim In:MIDI In", {});
        m_in = m_backend->openInput("vpt64 sim Out:MIDI Out",
                                    [this](std::span<const std::uint8_t> bytes) {
                                        m_bytes += int(bytes.size());
                                        if (!bytes.empty() && bytes.back() == sysex::kEnd)
                                            ++m_messages;
                                    },
                                    {});
        return m_out.connection && m_in.connection;
    }

    // Seconds from a dump request to the last byte of the bank.
    double dumpTransfer() {
        return timed([this] { m_out.connection->sendSysEx(dumpRequest()); },
                     [this] { return m_bytes >= sysex::kDumpSize; });
    }

    // Seconds for eight blocks, each sent as the one before is acknowledged.
    double acknowledgedUpload() {
        const Bytes dump = bankDump();
        QElapsedTimer timer;
        timer.start();
        for (int b = 0; b < sysex::kBlockCount; ++b) {
            const auto block =
                std::span(dump).subspan(std::size_t(b * sysex::kBlockSize), sysex::kBlockSize);
            timed([&] { m_out.connection->sendSysEx(block); }, [this] { return m_messages >= 1; });
        }
        return double(timer.nsecsElapsed()) / 1e9;
    }

private:
    template <typename Send, typename Done> double timed(Send send, Done done) {
        m_bytes = 0;
        m_messages = 0;
        QElapsedTimer timer;
        timer.start();
        send();
        while (!done())
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        return double(timer.nsecsElapsed()) / 1e9;
    }

    std::unique_ptr<RtMidiBackend> m_backend;
    Opened<MidiOutputConnection> m_out;
    Opened<MidiInputConnection> m_in;
    std::atomic<int> m_bytes{0};
    std::atomic<int> m_messages{0};
};

template <typename Measure> double meanOf(Measure measure) {
    double sum = 0;
    for (int i = 0; i < kSamples; ++i)
        sum += measure();
    return sum / kSamples;
}

double secondsOf(const QStringList& args, benchmark::State& state) {
    QElapsedTimer timer;
    timer.start();
    QString output, errors;
    if (runVpt64(QStringList{args.first(), "--api", "jack", "--in", "sim", "--out", "sim"} +
                     args.mid(1),
                 &output, &errors, 600000) != 0)
        state.SkipWithError(("vpt64 failed: " + errors).toStdString().c_str());
    return double(timer.nsecsElapsed()) / 1e9;
}

// state.range(0): 0 backup, 1 restore; state.range(1): banks.
void BM_LibrarianAgainstTheFloor(benchmark::State& state) {
    const bool restore = state.range(0) == 1;
    const int banks = int(state.range(1));
    JackServer server;
    SimProcess sim;
    QTemporaryDir dir;
    PlainPeer peer;
    if (!server.start() || !sim.start({}, dir.filePath("sim.log")) || !peer.open()) {
        state.SkipWithError("cannot start JACK, the simulator or the plain peer");
        return;
    }
    const double transfer = restore ? meanOf([&] { return peer.acknowledgedUpload(); })
                                    : meanOf([&] { return peer.dumpTransfer(); });
    const double floor = banks * (kBankChangeWaitS + transfer);
    const QString folder = dir.filePath("library");
    const QString list = QStringLiteral("1-%1").arg(banks);
    if (restore) {
        QDir().mkpath(folder);
        const Bytes dump = bankDump();
        for (int bank = 1; bank <= banks; ++bank)
            writeFileAtomically(
                QDir(folder).filePath(QStringLiteral("bank-%1.syx").arg(bank, 3, 10, QChar('0'))),
                QByteArray(reinterpret_cast<const char*>(dump.data()), qsizetype(dump.size())));
    }
    double seconds = 0;
    for (auto _ : state)
        seconds = restore ? secondsOf({"restore", folder, "--banks", list}, state)
                          : secondsOf({"backup", "--banks", list, "--force", "-o", folder}, state);
    state.counters["vpt64_s"] = seconds;
    state.counters["floor_s"] = floor;
    state.counters["ratio"] = seconds / floor;
    state.counters["per_bank_ms"] = 1000 * seconds / banks;
    state.counters["transfer_ms"] = 1000 * transfer;
    if (restore) // what "Send Sysex" takes per bank at its default block delay
        state.counters["fixed_delay_s"] = banks * (kBankChangeWaitS + 8 * 0.750);
}

} // namespace

BENCHMARK(BM_LibrarianAgainstTheFloor)
    ->ArgNames({"restore", "banks"})
    ->Args({0, 128})
    ->Args({1, 8})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
