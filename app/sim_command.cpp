#include "sim_command.h"

#include "built_in_dump.h"
#include "dump_codec.h"
#include "dump_file.h"
#include "rtmidi_backend.h"
#include "simulated_controller.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <csignal>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kStopPollMs = 50;

std::atomic<bool> g_stopRequested{false};

void requestStop(int) {
    g_stopRequested = true;
}

struct SimOptions {
    RtMidiBackend::Api api = RtMidiBackend::Api::Jack;
    bool apiGiven = false;
    QString name = QStringLiteral("vpt64 sim");
    int deviceId = 0;
    int minBlockGap = 0;
    QString bankFile;
    QString recordFile;
};

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
    return options;
}

// ALSA when it is there, else JACK, unless the user chose one.
std::unique_ptr<RtMidiBackend> openBackend(const SimOptions& options) {
    if (options.apiGiven) return RtMidiBackend::create(options.api);
    if (auto alsa = RtMidiBackend::create(RtMidiBackend::Api::Alsa)) return alsa;
    return RtMidiBackend::create(RtMidiBackend::Api::Jack);
}

// The bank every one of the 128 banks starts with: the file's, else the built-in one.
std::optional<BankRecord> initialBank(const QString& file, const LogSink& log) {
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

int fail(const CliStreams& streams, const QString& message, int code) {
    std::fprintf(streams.err, "vpt64: %s\n", qPrintable(message));
    return code;
}

} // namespace

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
    const auto bank = initialBank(options->bankFile, print);
    if (!bank)
        return fail(streams, QStringLiteral("cannot take a bank from '%1'").arg(options->bankFile),
                    kExitFailed);

    SimulatedController controller(
        *bank, {options->deviceId, std::chrono::milliseconds(options->minBlockGap)});
    QByteArray received;
    controller.setObserver({[&](SimulatedController::Bytes message) {
                                if (!options->recordFile.isEmpty())
                                    received.append(reinterpret_cast<const char*>(message.data()),
                                                    static_cast<qsizetype>(message.size()));
                            },
                            {},
                            print});
    const std::string name = options->name.toStdString();
    // Declared in this order so that the input stops first and queued input dies with `context`.
    Opened<MidiOutputConnection> output;
    QObject context;
    const auto lost = [&context, &print](const std::string& reason) {
        QMetaObject::invokeMethod(
            &context,
            [&print, reason] {
                print("Lost the MIDI ports - " + reason + "!");
                QCoreApplication::exit(kExitFailed);
            },
            Qt::QueuedConnection);
    };
    output = backend->openVirtualOutput(name + " Out", "MIDI Out", lost);
    const auto input = backend->openVirtualInput(
        name + " In", "MIDI In",
        [&](std::span<const std::uint8_t> bytes) {
            QByteArray copy(reinterpret_cast<const char*>(bytes.data()),
                            static_cast<qsizetype>(bytes.size()));
            QMetaObject::invokeMethod(
                &context,
                [&, copy] {
                    const auto data =
                        std::span(reinterpret_cast<const std::uint8_t*>(copy.constData()),
                                  static_cast<std::size_t>(copy.size()));
                    for (const auto& reply :
                         controller.receive(data, SimulatedController::Clock::now()))
                        if (!output.connection->sendSysEx(reply))
                            print("Could not send a reply of " + std::to_string(reply.size()) +
                                  " bytes");
                },
                Qt::QueuedConnection);
        },
        lost);
    if (!output.connection || !input.connection)
        return fail(streams, QStringLiteral("cannot open the simulator's MIDI ports"), kExitFailed);

    print("Simulated controller \"" + name + "\" ready on " + backend->apiName() + ": input \"" +
          name + " In:MIDI In\", output \"" + name + " Out:MIDI Out\", device ID " +
          QStringLiteral("%1")
              .arg(options->deviceId, 2, 16, QLatin1Char('0'))
              .toUpper()
              .toStdString() +
          ", minimum block gap " + std::to_string(options->minBlockGap) + " ms");
    g_stopRequested = false;
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, [] {
        if (g_stopRequested) QCoreApplication::exit(kExitOk);
    });
    stopPoll.start(kStopPollMs);
    const int code = QCoreApplication::exec();
    if (!options->recordFile.isEmpty() && !writeFileAtomically(options->recordFile, received)) {
        std::fputs("Cannot open output file.\n", streams.err);
        return kExitFailed;
    }
    print("Simulated controller stopped");
    return code;
}
