#include "midi_commands.h"

#include "cli_args.h"
#include "dump_file.h"
#include "headless_transfer.h"
#include "interrupt_watch.h"
#include "midi_device_list.h"
#include "monitor_command.h"
#include "port_matching.h"
#include "port_watch.h"
#include "sim_command.h"
#include "sysex_protocol.h"

#include <QCoreApplication>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kDefaultRequestTimeout = 5000;
// After the last block, how long `send --in` waits for the controller's last replies.
constexpr int kReplyGrace = 1500;

void printLine(const CliStreams& streams, const QString& line) {
    std::fprintf(streams.out, "%s\n", qPrintable(line));
    std::fflush(streams.out);
}

int fail(const CliStreams& streams, const QString& message, int code = kExitFailed) {
    std::fprintf(streams.err, "vpt64: %s\n", qPrintable(message));
    return code;
}

LogSink printer(const CliStreams& streams) {
    return [streams](const std::string& line) {
        std::fprintf(streams.out, "%s\n", line.c_str());
        std::fflush(streams.out);
    };
}

// A port as `vpt64 ports` lists it: the number that --in and --out take, its name and its API.
QString portLine(int index, const MidiDevice& device) {
    return QStringLiteral("%1: %2 (%3)")
        .arg(index + 1)
        .arg(QString::fromStdString(device.name),
             QString::fromStdString(device.backend->apiName()));
}

// "None", the first item of the port selectors, is no choice for --in and --out: not listed.
void listPorts(const CliStreams& streams, const char* title, const std::vector<MidiDevice>& list) {
    printLine(streams, QString::fromLatin1(title));
    for (std::size_t i = 0; i < list.size(); ++i)
        printLine(streams, QStringLiteral("  ") + portLine(int(i), list[i]));
}

void printChanges(const CliStreams& streams, const std::string& direction,
                  const std::vector<std::string>& before, const std::vector<std::string>& after) {
    const auto changes = port_matching::changes(before, after);
    for (const auto& name : changes.disappeared)
        printLine(streams,
                  QString::fromStdString(port_matching::changeLine(direction, name, false)));
    for (const auto& name : changes.appeared)
        printLine(streams,
                  QString::fromStdString(port_matching::changeLine(direction, name, true)));
}

// One line for every port that appears or disappears, as the MIDI systems announce them, until
// SIGINT or SIGTERM. Every port counts, so that one beyond the listed twelve neither pushes
// another off nor goes unsaid.
int watchPorts(MidiDeviceList& devices, const CliStreams& streams) {
    PortWatch watch(devices);
    auto inputs = MidiDeviceList::names(devices.everyInput());
    auto outputs = MidiDeviceList::names(devices.everyOutput());
    QObject::connect(&watch, &PortWatch::portsChanged, [&] {
        auto nowIn = MidiDeviceList::names(devices.everyInput());
        auto nowOut = MidiDeviceList::names(devices.everyOutput());
        printChanges(streams, "IN", inputs, nowIn);
        printChanges(streams, "OUT", outputs, nowOut);
        inputs = std::move(nowIn);
        outputs = std::move(nowOut);
    });
    const InterruptWatch interrupt([] { QCoreApplication::exit(kExitOk); });
    std::fputs("Watching the MIDI ports until Ctrl+C\n", streams.err);
    return QCoreApplication::exec();
}

int portsCommand(const CliArgs& args, const CliStreams& streams) {
    QString error;
    const auto api = apiOf(args, &error);
    if (!api || !args.positional.isEmpty())
        return fail(streams, api ? QStringLiteral("ports takes no arguments") : error, kExitUsage);
    const auto devices = MidiDeviceList::create(*api);
    listPorts(streams, "MIDI IN ports:", devices->inputs());
    listPorts(streams, "MIDI OUT ports:", devices->outputs());
    return args.has(QStringLiteral("--watch")) ? watchPorts(*devices, streams) : kExitOk;
}

// What send and request share: the device list, the transfer settings and the open ports.
struct Session {
    std::unique_ptr<MidiDeviceList> devices;
    std::unique_ptr<HeadlessTransfer> transfer;
};

std::optional<Session> openSession(const CliArgs& args, bool needsInput, const CliStreams& streams,
                                   QString* error) {
    const auto api = apiOf(args, error);
    const auto deviceId = args.number(QStringLiteral("--device-id"), 0, 0, 7, error);
    const auto bank = args.number(QStringLiteral("--bank"), 1, 1, 128, error);
    const auto delay = args.number(QStringLiteral("--delay"), 750, 0, 1000, error);
    if (!api || !deviceId || !bank || !delay) return std::nullopt;
    Session session;
    session.devices = MidiDeviceList::create(*api);
    const auto out =
        findPort(session.devices->outputs(), args.value(QStringLiteral("--out")), error);
    if (!out) return std::nullopt;
    std::optional<int> in;
    if (needsInput &&
        !(in = findPort(session.devices->inputs(), args.value(QStringLiteral("--in")), error)))
        return std::nullopt;
    session.transfer = std::make_unique<HeadlessTransfer>(
        *session.devices, HeadlessTransfer::Settings{*deviceId, *bank, *delay}, printer(streams));
    if (!session.transfer->openOutput(*out)) {
        *error = QStringLiteral("MIDI OUT Port not ready!");
        return std::nullopt;
    }
    if (in && !session.transfer->openInput(*in)) {
        *error = QStringLiteral("MIDI IN Port not ready!");
        return std::nullopt;
    }
    return session;
}

int sendCommand(const CliArgs& args, const CliStreams& streams) {
    if (args.positional.size() != 1 || !args.has(QStringLiteral("--out")))
        return fail(streams, QStringLiteral("send needs FILE and --out PORT"), kExitUsage);
    QString error;
    auto session = openSession(args, args.has(QStringLiteral("--in")), streams, &error);
    if (!session) return fail(streams, error, kExitUsage);
    bool unreadable = false;
    if (!session->transfer->decodeFile(args.positional[0], &unreadable))
        return unreadable
                   ? fail(streams, QStringLiteral("cannot read '%1'").arg(args.positional[0]),
                          kExitUsage)
                   : kExitFailed;
    if (!session->transfer->upload()) return kExitFailed;
    if (!args.has(QStringLiteral("--in"))) return kExitOk;
    // With the controller's replies in view, success means every block acknowledged.
    session->transfer->waitForReplies(sysex::kBlockCount, kReplyGrace);
    if (session->transfer->portLost()) return kExitFailed;
    const QList<int> missing = session->transfer->unacknowledgedBlocks();
    if (missing.isEmpty()) return kExitOk;
    QStringList numbers;
    for (const int block : missing)
        numbers << QStringLiteral("#%1").arg(block + 1);
    return fail(streams, QStringLiteral("blocks %1 of %2 were not acknowledged")
                             .arg(numbers.join(QStringLiteral(", ")))
                             .arg(sysex::kBlockCount));
}

int requestCommand(const CliArgs& args, const CliStreams& streams) {
    if (!args.positional.isEmpty() || !args.has(QStringLiteral("--in")) ||
        !args.has(QStringLiteral("--out")) || !args.has(QStringLiteral("-o")))
        return fail(streams, QStringLiteral("request needs --in PORT, --out PORT and -o FILE"),
                    kExitUsage);
    QString error;
    const auto timeout =
        args.number(QStringLiteral("--timeout"), kDefaultRequestTimeout, 1, 600000, &error);
    if (!timeout) return fail(streams, error, kExitUsage);
    auto session = openSession(args, true, streams, &error);
    if (!session) return fail(streams, error, kExitUsage);
    if (!session->transfer->request(*timeout))
        return session->transfer->portLost()
                   ? kExitFailed
                   : fail(streams,
                          QStringLiteral("no valid bank arrived within %1 ms").arg(*timeout));
    return writeOutputFile(args.value(QStringLiteral("-o")), session->transfer->receivedBytes(),
                           streams)
               ? kExitOk
               : kExitFailed;
}

} // namespace

std::optional<MidiApiChoice> apiOf(const CliArgs& args, QString* error) {
    const QString text = args.has(QStringLiteral("--api")) ? args.value(QStringLiteral("--api"))
                                                           : QStringLiteral("all");
    const auto api = parseMidiApi(text.toStdString());
    if (!api) *error = QStringLiteral("unknown MIDI API '%1' (alsa, jack, sim or all)").arg(text);
    return api;
}

std::optional<int> findPort(const std::vector<MidiDevice>& devices, const QString& portText,
                            QString* error) {
    bool isNumber = false;
    const int number = portText.toInt(&isNumber);
    if (isNumber) {
        if (number >= 1 && number <= static_cast<int>(devices.size())) return number - 1;
        *error = QStringLiteral("no port number %1 (see 'vpt64 ports')").arg(portText);
        return std::nullopt;
    }
    std::vector<int> matches;
    for (int i = 0; i < static_cast<int>(devices.size()); ++i) {
        const QString name = QString::fromStdString(devices[i].name);
        if (name.compare(portText, Qt::CaseInsensitive) == 0) return i;
        if (name.contains(portText, Qt::CaseInsensitive)) matches.push_back(i);
    }
    if (matches.size() == 1) return matches.front();
    QStringList matched;
    for (const int i : matches)
        matched << portLine(i, devices[std::size_t(i)]);
    *error = matches.empty()
                 ? QStringLiteral("no port matches '%1' (see 'vpt64 ports')").arg(portText)
                 : QStringLiteral("'%1' matches more than one port: %2")
                       .arg(portText, matched.join(QStringLiteral(", ")));
    return std::nullopt;
}

const char* const kMidiUsage =
    "  ports [--api API] [--watch]\n"
    "                    list the MIDI ports with the numbers that --in and --out take, as\n"
    "                    the port selectors number them after their first item \"None\"; with\n"
    "                    --watch, then print a line for every port that appears or disappears\n"
    "                    until interrupted\n"
    "  sim [--api jack|alsa] [--name NAME] [--device-id D] [--min-block-gap MS]\n"
    "      [--bank-file FILE.syx] [--record FILE] [--numbered-replies] [--silent-banks LIST]\n"
    "      [--corrupt-banks LIST] [--refuse-blocks B:K,..] [--lose-blocks B:K,..]\n"
    "      [--lose-replies B:K,..] [--lose-dump-blocks B:K,..]\n"
    "                    run the simulated controller on its own MIDI ports until interrupted;\n"
    "                    --record writes every message it received to FILE when it stops;\n"
    "                    it answers a block with F0 00 00 7E 43 0F 00 05 F7, or with the block\n"
    "                    number after the command with --numbered-replies; for tests, it leaves\n"
    "                    the silent banks unanswered, stores uploads into the corrupt banks with\n"
    "                    their name's first character raised, and, once each, refuses block K\n"
    "                    (1..8) of bank B, loses it on its way in, loses its acknowledge, or\n"
    "                    loses it on its way out in a dump\n"
    "  monitor --in PORT [--bank FILE.syx] [--out PORT] [--api API]\n"
    "                    print one line per message arriving at PORT, in words that name the\n"
    "                    pots and buttons of the bank (the built-in one unless --bank), until\n"
    "                    interrupted; with --out, pass every message on to that port\n"
    "  send FILE --out PORT [--delay MS] [--device-id D] [--bank N] [--in PORT]\n"
    "                    upload the bank in FILE as \"Send Sysex\" does; with --in, show the\n"
    "                    controller's replies (exit 1 unless it acknowledges all 8 blocks)\n"
    "  request --in PORT --out PORT [--device-id D] [--bank N] [--timeout MS] -o FILE\n"
    "                    request a bank as \"Request Sysex Dump\" does and write it to FILE\n"
    "                    (exit 1 when no valid bank arrives in time, default 5000 ms)\n";

const char* const kPortNotes = "  PORT is a number from 'vpt64 ports' or a part of a port name.\n"
                               "  API is alsa, jack, sim or all (default all).\n";

std::optional<int> runMidiCommand(const QString& command, const QStringList& args,
                                  const CliStreams& streams) {
    using Command = int (*)(const CliArgs&, const CliStreams&);
    struct Entry {
        const char* name;
        QStringList options; // each with a value
        Command run;
        const char* flag = nullptr; // an option without a value
    };
    const Entry commands[] = {
        {"ports", {"--api"}, portsCommand, "--watch"},
        {"sim",
         {"--api", "--name", "--device-id", "--min-block-gap", "--bank-file", "--record",
          "--silent-banks", "--corrupt-banks", "--refuse-blocks", "--lose-blocks",
          "--lose-replies", "--lose-dump-blocks"},
         simCommand,
         "--numbered-replies"},
        {"monitor", {"--api", "--in", "--out", "--bank"}, monitorCommand},
        {"send", {"--api", "--out", "--in", "--delay", "--device-id", "--bank"}, sendCommand},
        {"request",
         {"--api", "--out", "--in", "--device-id", "--bank", "--timeout", "-o"},
         requestCommand},
    };
    for (const Entry& entry : commands) {
        if (command != QLatin1String(entry.name)) continue;
        QStringList rest = args;
        const bool flagged = entry.flag && rest.removeAll(QLatin1String(entry.flag)) > 0;
        QString error;
        auto parsed = CliArgs::parse(rest, entry.options, &error);
        if (!parsed) return fail(streams, error, kExitUsage);
        if (flagged) parsed->options.insert(QLatin1String(entry.flag), QString());
        return entry.run(*parsed, streams);
    }
    return std::nullopt;
}
