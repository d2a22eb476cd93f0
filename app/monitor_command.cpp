#include "monitor_command.h"

#include "input_hand_over.h"
#include "interrupt_watch.h"
#include "midi_commands.h"
#include "midi_device_list.h"
#include "midi_meaning.h"
#include "port_loss.h"
#include "sim_command.h"
#include "sysex_joiner.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Printed lines wait at most for the end of one hand-over batch, or until this much is pending.
constexpr std::size_t kFlushBytes = 64 * 1024;

int fail(const CliStreams& streams, const QString& message, int code) {
    std::fprintf(streams.err, "vpt64: %s\n", qPrintable(message));
    return code;
}

// One message as it left the driver's thread: when it arrived and its bytes.
struct Arrival {
    std::int64_t ms;
    std::vector<std::uint8_t> bytes;
};

// The monitor's ports and printer. The driver's thread only passes a message on (the thru) and
// hands it over; the main thread words it and writes the lines of a whole batch at once, so a
// slow terminal or pipe never holds up the MIDI thread. What the hand-over cannot hold is
// dropped and counted in one line. A SysEx message that comes in pieces is one line, printed
// when it is whole.
class Monitor {
public:
    Monitor(const BankRecord& bank, std::string port, std::FILE* out)
        : m_bank(bank), m_port(std::move(port)), m_out(out),
          m_handOver(&m_context, [this](int count) {
              m_joiner.finish(); // a message with pieces dropped is shown cut
              append("MIDI input overflow - " + std::to_string(count) + " messages dropped!");
          }) {}

    ~Monitor() { flush(); }

    // Opens the ports; from then on, one of them leaving `devices` ends the monitor.
    bool open(MidiDeviceList& devices, const MidiDevice& input, const MidiDevice* output) {
        if (output) {
            m_output = output->backend->openOutput(
                output->name, m_loss.use(PortLoss::Direction::Out, output->name));
            if (!m_output.connection) return false;
        }
        m_input = input.backend->openInput(
            input.name, [this](std::span<const std::uint8_t> bytes) { received(bytes); },
            m_loss.use(PortLoss::Direction::In, input.name));
        m_loss.watch(devices);
        return m_input.connection != nullptr;
    }

    // Runs until the interrupt watch ends it (exit code 0) or until a port goes away (1).
    int run() {
        const int code = QCoreApplication::exec();
        m_input.connection.reset(); // no more input while the last lines go out
        m_arrivalMs = elapsedMs();
        m_joiner.finish();
        flush();
        return code;
    }

private:
    // Driver's thread.
    void received(std::span<const std::uint8_t> bytes) {
        if (m_output.connection) {
            const bool sysEx = !bytes.empty() && bytes.front() == 0xF0;
            sysEx ? m_output.connection->sendSysEx(bytes) : m_output.connection->sendShort(bytes);
        }
        Arrival arrival{elapsedMs(), {bytes.begin(), bytes.end()}};
        m_handOver.post([this, arrival = std::move(arrival)] {
            m_arrivalMs = arrival.ms;
            m_joiner.take(arrival.bytes);
        });
    }

    std::int64_t elapsedMs() const {
        const auto since = std::chrono::steady_clock::now() - m_start;
        return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    }

    // Main thread.
    void append(const std::string& line) {
        m_pending += line;
        m_pending += '\n';
        if (m_pending.size() >= kFlushBytes) flush();
        if (m_flushQueued) return;
        // Runs after the hand-over's batch, so that one write carries the whole batch.
        m_flushQueued = true;
        QTimer::singleShot(0, &m_context, [this] {
            m_flushQueued = false;
            flush();
        });
    }

    void flush() {
        if (m_pending.empty()) return;
        std::fwrite(m_pending.data(), 1, m_pending.size(), m_out);
        std::fflush(m_out);
        m_pending.clear();
    }

    const BankRecord& m_bank;
    const std::string m_port;
    std::FILE* m_out;
    std::int64_t m_arrivalMs = 0; // of the piece that made the message whole
    SysExJoiner m_joiner{[this](std::span<const std::uint8_t> message) {
        append(midi_meaning::monitorLine(m_arrivalMs, midi_meaning::Direction::In, m_port, message,
                                         &m_bank));
    }};
    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::string m_pending;
    bool m_flushQueued = false;
    PortLoss m_loss{[this](const std::string& line) { append(line); },
                    [] { QCoreApplication::exit(kExitFailed); }};
    // In this order, so that the input stops first and input still queued dies with m_context.
    Opened<MidiOutputConnection> m_output;
    InputHandOver m_handOver;
    QObject m_context;
    Opened<MidiInputConnection> m_input;
};

} // namespace

int monitorCommand(const CliArgs& args, const CliStreams& streams) {
    if (!args.positional.isEmpty() || !args.has(QStringLiteral("--in")))
        return fail(streams, QStringLiteral("monitor needs --in PORT"), kExitUsage);
    QString error;
    const auto api = apiOf(args, &error);
    if (!api) return fail(streams, error, kExitUsage);
    const auto devices = MidiDeviceList::create(*api);
    const auto in = findPort(devices->inputs(), args.value(QStringLiteral("--in")), &error);
    if (!in) return fail(streams, error, kExitUsage);
    std::optional<int> out;
    if (args.has(QStringLiteral("--out")) &&
        !(out = findPort(devices->outputs(), args.value(QStringLiteral("--out")), &error)))
        return fail(streams, error, kExitUsage);

    // The decoder's lines matter only when the bank is refused.
    std::string decoderLines;
    const QString bankFile = args.value(QStringLiteral("--bank"));
    const auto bank =
        bankOfFile(bankFile, [&](const std::string& line) { decoderLines += line + '\n'; });
    if (!bank) {
        std::fputs(decoderLines.c_str(), streams.err);
        return fail(streams, QStringLiteral("cannot take a bank from '%1'").arg(bankFile),
                    kExitFailed);
    }

    // Copies: the lists are read again while the monitor runs.
    const MidiDevice input = devices->inputs()[std::size_t(*in)];
    const std::optional<MidiDevice> outputDevice =
        out ? std::optional(devices->outputs()[std::size_t(*out)]) : std::nullopt;
    const MidiDevice* output = outputDevice ? &*outputDevice : nullptr;
    Monitor monitor(*bank, input.name, streams.out);
    if (!monitor.open(*devices, input, output))
        return fail(streams,
                    output ? QStringLiteral("MIDI IN or MIDI OUT Port not ready!")
                           : QStringLiteral("MIDI IN Port not ready!"),
                    kExitFailed);
    // Watched before the line that says so: a SIGTERM right after it must not kill the monitor.
    const InterruptWatch interrupt([] { QCoreApplication::exit(kExitOk); });
    std::fprintf(streams.err, "Monitoring %s%s%s until Ctrl+C\n", input.name.c_str(),
                 output ? ", passing every message on to " : "",
                 output ? output->name.c_str() : "");
    return monitor.run();
}
