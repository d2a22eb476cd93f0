#include "sim_command.h"

#include "built_in_dump.h"
#include "dump_codec.h"
#include "dump_file.h"
#include "input_hand_over.h"
#include "interrupt_watch.h"
#include "library_folder.h"
#include "port_loss.h"
#include "rtmidi_backend.h"
#include "simulated_controller.h"

#include <QByteArray>
#include <QCoreApplication>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Input waiting to be answered. Each dump request costs 2 KB of replies, which JACK takes at a
// few hundred banks a second: a backlog as long as the window's would keep the simulator busy
// for many seconds after a flood.
constexpr int kMaxPendingInput = 1000;

struct SimOptions {
    RtMidiBackend::Api api = RtMidiBackend::Api::Jack;
    bool apiGiven = false;
    QString name = QStringLiteral("vpt64 sim");
    int deviceId = 0;
    int minBlockGap = 0;
    QString bankFile;
    QString recordFile;
    bool numberedReplies = false;
    std::vector<int> silentBanks;  // 1..128
    std::vector<int> corruptBanks; // stored with the first character of the bank name raised
    std::vector<std::tuple<SimulatedController::Fault, int, int>> faults; // bank, block from 0
};

// "3:2,5:8": block 2 of bank 3 and block 8 of bank 5, as (bank, block) counted from 0.
std::optional<std::vector<std::pair<int, int>>> blockList(const QString& text, QString* error) {
    std::vector<std::pair<int, int>> blocks;
    for (const QString& item : text.split(QLatin1Char(','))) {
        const QStringList parts = item.split(QLatin1Char(':'));
        bool bankOk = false, blockOk = false;
        const int bank = parts.value(0).toInt(&bankOk);
        const int block = parts.value(1).toInt(&blockOk);
        if (parts.size() != 2 || !bankOk || !blockOk || bank < 1 || bank > 128 || block < 1 ||
            block > 8) {
            *error = QStringLiteral("'%1' is not BANK:BLOCK (1..128:1..8)").arg(item);
            return std::nullopt;
        }
        blocks.emplace_back(bank - 1, block - 1);
    }
    return blocks;
}

// The fault options' blocks, in the order of the options.
bool readFaults(const CliArgs& args, SimOptions& options, QString* error) {
    using Fault = SimulatedController::Fault;
    const std::pair<const char*, Fault> kinds[] = {{"--refuse-blocks", Fault::RefuseBlock},
                                                   {"--lose-blocks", Fault::LoseBlock},
                                                   {"--lose-replies", Fault::LoseReply},
                                                   {"--lose-dump-blocks", Fault::LoseDumpBlock}};
    for (const auto& [name, fault] : kinds) {
        if (!args.has(QLatin1String(name))) continue;
        const auto blocks = blockList(args.value(QLatin1String(name)), error);
        if (!blocks) return false;
        for (const auto& [bank, block] : *blocks)
            options.faults.emplace_back(fault, bank, block);
    }
    return true;
}

// A fault option's banks, none when it is absent.
std::optional<std::vector<int>> faultBanks(const CliArgs& args, const QString& name,
                                           QString* error) {
    if (!args.has(name)) return std::vector<int>{};
    return library_folder::parseBankList(args.value(name), error);
}

std::optional<SimOptions> readOptions(const CliArgs& args, QString* error) {
    SimOptions options;
    if (!args.positional.isEmpty()) {
        *error = QStringLiteral("sim takes no arguments besides its options");
        return std::nullopt;
    }
    if (args.has(QStringLiteral("--api"))) {
        const QString api = args.value(QStringLiteral("--api"));
        if (api != QLatin1String("jack") && api != QLatin1String("alsa")) {
            *error = QStringLiteral("sim runs on --api jack or --api alsa");
            return std::nullopt;
        }
        options.api =
            api == QLatin1String("alsa") ? RtMidiBackend::Api::Alsa : RtMidiBackend::Api::Jack;
        options.apiGiven = true;
    }
    if (args.has(QStringLiteral("--name"))) options.name = args.value(QStringLiteral("--name"));
    const auto deviceId = args.number(QStringLiteral("--device-id"), 0, 0, 7, error);
    const auto gap = args.number(QStringLiteral("--min-block-gap"), 0, 0, 60000, error);
    if (!deviceId || !gap || options.name.isEmpty()) {
        if (options.name.isEmpty()) *error = QStringLiteral("--name must not be empty");
        return std::nullopt;
    }
    options.deviceId = *deviceId;
    options.minBlockGap = *gap;
    options.bankFile = args.value(QStringLiteral("--bank-file"));
    options.recordFile = args.value(QStringLiteral("--record"));
    const auto silent = faultBanks(args, QStringLiteral("--silent-banks"), error);
    const auto corrupt = faultBanks(args, QStringLiteral("--corrupt-banks"), error);
    if (!silent || !corrupt || !readFaults(args, options, error)) return std::nullopt;
    options.silentBanks = *silent;
    options.corruptBanks = *corrupt;
    options.numberedReplies = args.has(QStringLiteral("--numbered-replies"));
    return options;
}

// ALSA when it is there, else JACK, unless the user chose one.
std::unique_ptr<RtMidiBackend> openBackend(const SimOptions& options) {
    if (options.apiGiven) return RtMidiBackend::create(options.api);
    if (auto alsa = RtMidiBackend::create(RtMidiBackend::Api::Alsa)) return alsa;
    return RtMidiBackend::create(RtMidiBackend::Api::Jack);
}

int fail(const CliStreams& streams, const QString& message, int code) {
    std::fprintf(streams.err, "vpt64: %s\n", qPrintable(message));
    return code;
}

// The simulated controller on MIDI ports of its own. Input is handed from the driver's thread
// to the main thread, where the controller answers it; as in the editor window, no more than
// a bounded amount of input waits, and what comes beyond is dropped and reported once.
class SimulatorPeer {
public:
    SimulatorPeer(RtMidiBackend& backend, SimulatedController& controller, LogSink print)
        : m_backend(backend), m_controller(controller), m_print(std::move(print)),
          m_handOver(
              &m_context,
              [this](int count) {
                  m_print("MIDI input overflow - " + std::to_string(count) + " messages dropped!");
              },
              kMaxPendingInput) {}

    bool open(const std::string& name) {
        m_output = m_backend.openVirtualOutput(
            name + " Out", "MIDI Out",
            m_loss.use(PortLoss::Direction::Out, name + " Out:MIDI Out"));
        m_input = m_backend.openVirtualInput(
            name + " In", "MIDI In",
            [this](std::span<const std::uint8_t> bytes) {
                QByteArray copy(reinterpret_cast<const char*>(bytes.data()),
                                static_cast<qsizetype>(bytes.size()));
                m_handOver.post([this, copy = std::move(copy)] { received(copy); });
            },
            m_loss.use(PortLoss::Direction::In, name + " In:MIDI In"));
        return m_output.connection && m_input.connection;
    }

    // Runs until the interrupt watch ends it (exit code 0) or until the MIDI system goes away
    // (1).
    int run() { return QCoreApplication::exec(); }

private:
    void received(const QByteArray& bytes) {
        const auto data = std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size()));
        for (const auto& reply : m_controller.receive(data, SimulatedController::Clock::now())) {
            const bool sent = m_output.connection->sendSysEx(reply);
            // Said once for each run of replies that did not fit the output.
            if (!sent && !m_outputFull)
                m_print("Could not send a reply of " + std::to_string(reply.size()) + " bytes");
            m_outputFull = !sent;
        }
    }

    RtMidiBackend& m_backend;
    SimulatedController& m_controller;
    LogSink m_print;
    bool m_outputFull = false;
    PortLoss m_loss{m_print, [] { QCoreApplication::exit(kExitFailed); }};
    // In this order, so that the input stops first and input still queued dies with m_context.
    Opened<MidiOutputConnection> m_output;
    InputHandOver m_handOver;
    QObject m_context;
    Opened<MidiInputConnection> m_input;
};

} // namespace

std::optional<BankRecord> bankOfFile(const QString& file, const LogSink& log) {
    auto buffer = std::make_unique<DumpBuffer>();
    if (!file.isEmpty()) {
        if (!readDumpFile(file, *buffer)) return std::nullopt;
    } else if (const auto dump = loadBuiltInDump()) {
        buffer->assign(std::span(reinterpret_cast<const std::uint8_t*>(dump->constData()),
                                 static_cast<std::size_t>(dump->size())));
    }
    const auto scanned = scanDump(buffer->used(), log);
    if (!scanned) return std::nullopt;
    return scanned->record;
}

int simCommand(const CliArgs& args, const CliStreams& streams) {
    QString error;
    const auto options = readOptions(args, &error);
    if (!options) return fail(streams, error, kExitUsage);
    const LogSink print = [out = streams.out](const std::string& line) {
        std::fprintf(out, "%s\n", line.c_str());
        std::fflush(out);
    };
    auto backend = openBackend(*options);
    if (!backend)
        return fail(streams,
                    QStringLiteral("no MIDI system to run on (no ALSA sequencer, and no "
                                   "JACK server answers)"),
                    kExitFailed);
    const auto bank = bankOfFile(options->bankFile, print);
    if (!bank)
        return fail(streams, QStringLiteral("cannot take a bank from '%1'").arg(options->bankFile),
                    kExitFailed);

    SimulatedController controller(*bank,
                                   {options->deviceId,
                                    std::chrono::milliseconds(options->minBlockGap),
                                    options->numberedReplies});
    for (const auto& [fault, faultBank, block] : options->faults)
        controller.inject(fault, faultBank, block);
    for (const int bank : options->silentBanks)
        controller.silenceBank(bank - 1);
    for (const int bank : options->corruptBanks)
        controller.corruptStoredByte(bank - 1, bank_layout::kBankLabel);
    QByteArray received;
    if (!options->recordFile.isEmpty())
        controller.setObserver({[&](SimulatedController::Bytes message) {
                                    received.append(reinterpret_cast<const char*>(message.data()),
                                                    static_cast<qsizetype>(message.size()));
                                },
                                {},
                                print});
    else
        controller.setObserver({{}, {}, print});

    const std::string name = options->name.toStdString();
    SimulatorPeer peer(*backend, controller, print);
    if (!peer.open(name))
        return fail(streams, QStringLiteral("cannot open the simulator's MIDI ports"), kExitFailed);
    // Watched before the ready line: a SIGTERM right after it must not kill the simulator.
    const InterruptWatch interrupt([] { QCoreApplication::exit(kExitOk); });
    char ready[300];
    std::snprintf(ready, sizeof ready,
                  "Simulated controller \"%s\" ready on %s: input \"%s In:MIDI In\", output "
                  "\"%s Out:MIDI Out\", device ID %02X, minimum block gap %d ms, %s replies",
                  name.c_str(), backend->apiName().c_str(), name.c_str(), name.c_str(),
                  options->deviceId, options->minBlockGap,
                  options->numberedReplies ? "numbered" : "unnumbered");
    print(ready);
    const int code = peer.run();
    if (!options->recordFile.isEmpty() && !writeFileAtomically(options->recordFile, received)) {
        std::fputs("Cannot open output file.\n", streams.err);
        return kExitFailed;
    }
    print("Simulated controller stopped");
    return code;
}
