// `vpt64 backup` and `vpt64 restore` against `vpt64 sim` on a private JACK server, each beside the
// protocol's floor: the one-second wait after each bank change plus the transfer itself, measured
// by a plain peer that requests dumps and uploads acknowledged blocks with no waits of its own.
// Clean runs and runs with a lost or refused message side by side; reports the time, the floor,
// their ratio and the share of the goal's budget taken. `restore --changed` on a folder of 128
// banks with 3 changed runs side by side with a restore of the same 3 banks named by --banks.
#include "built_in_dump.h"
#include "dump_codec.h"
#include "dump_file.h"
#include "jack_server.h"
#include "library_state.h"
#include "rtmidi_backend.h"
#include "sim_process.h"
#include "sysex_protocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

QString bankFile(const QString& folder, int bank) {
    return QDir(folder).filePath(QStringLiteral("bank-%1.syx").arg(bank, 3, 10, QChar('0')));
}

enum Job { Backup, Restore, RestoreAndVerify };

// A private JACK server with `vpt64 sim` on it and the plain peer on the simulator's ports.
struct SimRig {
    bool start(const QStringList& simArgs) {
        return server.start() && sim.start(simArgs, dir.filePath("sim.log")) && peer.open();
    }

    JackServer server;
    SimProcess sim;
    QTemporaryDir dir;
    PlainPeer peer;
};

// The simulator's faults of a run with faults: a refused block and a lost acknowledge for a
// restore, a dump block lost on its way back for a backup.
QStringList faultsOf(Job job) {
    if (job == Backup) return {"--lose-dump-blocks", "9:4"};
    return {"--refuse-blocks", "3:2", "--lose-replies", "6:5"};
}

// state.range(0): the job; state.range(1): banks; state.range(2): 1 with the faults above.
// The budget is what the goals allow: 1.1 times the floor for a backup, 1.2 times for a restore;
// with faults, the floor plus one bank's time for a backup, 1.2 times the floor plus the one
// acknowledge timeout for a restore.
void BM_LibrarianAgainstTheFloor(benchmark::State& state) {
    constexpr double kAcknowledgeTimeoutS = 2.0;
    const auto job = Job(state.range(0));
    const int banks = int(state.range(1));
    const bool faults = state.range(2) == 1;
    SimRig rig;
    if (!rig.start(faults ? faultsOf(job) : QStringList{})) {
        state.SkipWithError("cannot start JACK, the simulator or the plain peer");
        return;
    }
    const double dump = meanOf([&] { return rig.peer.dumpTransfer(); });
    const double upload = job == Backup ? 0 : meanOf([&] { return rig.peer.acknowledgedUpload(); });
    const double perBank = job == Backup    ? kBankChangeWaitS + dump
                           : job == Restore ? kBankChangeWaitS + upload
                                            : 2 * kBankChangeWaitS + upload + dump;
    const double floor = banks * perBank;
    const double budget = !faults          ? (job == Backup ? 1.1 : 1.2) * floor
                          : job == Backup ? floor + perBank
                                          : 1.2 * floor + kAcknowledgeTimeoutS;
    const QString folder = rig.dir.filePath("library");
    const QString list = QStringLiteral("1-%1").arg(banks);
    const Bytes bytes = bankDump();
    const QByteArray expected(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    if (job != Backup) {
        QDir().mkpath(folder);
        for (int bank = 1; bank <= banks; ++bank)
            writeFileAtomically(bankFile(folder, bank), expected);
    }
    QStringList args = job == Backup
                           ? QStringList{"backup", "--banks", list, "--force", "-o", folder}
                           : QStringList{"restore", folder, "--banks", list};
    if (job == RestoreAndVerify) args << "--verify";
    double seconds = 0;
    for (auto _ : state)
        seconds = secondsOf(args, state);
    for (int bank = 1; job == Backup && bank <= banks; ++bank) {
        QFile file(bankFile(folder, bank));
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != expected)
            state.SkipWithError(QStringLiteral("bank %1 is not byte-exact").arg(bank).toUtf8());
    }
    state.counters["vpt64_s"] = seconds;
    state.counters["floor_s"] = floor;
    state.counters["ratio"] = seconds / floor;
    state.counters["budget_s"] = budget;
    state.counters["of_budget"] = seconds / budget;
    state.counters["per_bank_ms"] = 1000 * seconds / banks;
    state.counters["transfer_ms"] = 1000 * (job == Backup ? dump : upload);
    if (job == Restore) // what "Send Sysex" takes per bank at its default block delay
        state.counters["fixed_delay_s"] = banks * (kBankChangeWaitS + 8 * 0.750);
}

// A folder of 128 banks that the controller holds, but for the 3 banks of `changed` edited
// since; gives the state file's bytes, written again before each --changed run (a restore
// records the banks it uploads).
QByteArray changedLibrary(const QString& folder, const std::vector<int>& changed) {
    QDir().mkpath(folder);
    const BankRecord held = loadBuiltInBank();
    LibraryState known;
    for (int bank = 1; bank <= 128; ++bank) {
        BankRecord record = held;
        known.set(bank, held);
        if (std::find(changed.begin(), changed.end(), bank) != changed.end())
            record.setBankName("Changed " + std::to_string(bank));
        Bytes dump(sysex::kDumpSize);
        buildDump(record, dump);
        writeFileAtomically(
            bankFile(folder, bank),
            QByteArray(reinterpret_cast<const char*>(dump.data()), qsizetype(dump.size())));
    }
    QString error;
    known.write(folder, &error);
    QFile file(LibraryState::filePath(folder));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// `restore --changed` with 3 of 128 banks changed against `restore --banks` of the same 3, taken
// in turn in each iteration, and the floor of 3 uploads. The goal: 3 restores' time, at most 1.2
// times their floor.
void BM_RestoreChangedAgainstTheSameBanks(benchmark::State& state) {
    const std::vector<int> changed{3, 17, 90};
    SimRig rig;
    if (!rig.start({})) {
        state.SkipWithError("cannot start JACK, the simulator or the plain peer");
        return;
    }
    const double upload = meanOf([&] { return rig.peer.acknowledgedUpload(); });
    const double floor = double(changed.size()) * (kBankChangeWaitS + upload);
    const QString folder = rig.dir.filePath("library");
    const QByteArray known = changedLibrary(folder, changed);
    if (known.isEmpty()) {
        state.SkipWithError("cannot write the library folder");
        return;
    }
    double changedSeconds = 0, sameSeconds = 0;
    for (auto _ : state) {
        writeFileAtomically(LibraryState::filePath(folder), known);
        changedSeconds += secondsOf({"restore", folder, "--changed"}, state);
        sameSeconds += secondsOf({"restore", folder, "--banks", "3,17,90"}, state);
    }
    const double n = double(state.iterations());
    state.counters["changed_s"] = changedSeconds / n;
    state.counters["same_banks_s"] = sameSeconds / n;
    state.counters["ratio"] = changedSeconds / sameSeconds;
    state.counters["floor_s"] = floor;
    state.counters["of_floor"] = changedSeconds / n / floor;
    state.counters["of_budget"] = changedSeconds / n / (1.2 * floor);
}

} // namespace

BENCHMARK(BM_RestoreChangedAgainstTheSameBanks)
    ->Name("restore --changed, 3 of 128")
    ->Iterations(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

BENCHMARK(BM_LibrarianAgainstTheFloor)
    ->ArgNames({"job", "banks", "faults"})
    ->Args({Backup, 128, 0})
    ->Args({Restore, 8, 0})
    ->Args({RestoreAndVerify, 8, 0})
    ->Args({RestoreAndVerify, 8, 1})
    ->Args({Backup, 16, 0})
    ->Args({Backup, 16, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
