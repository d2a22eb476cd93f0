#include "cli_commands.h"

#include "built_in_dump.h"
#include "dump_codec.h"
#include "dump_file.h"
#include "midi_commands.h"

#include <QFile>
#include <memory>

namespace {

constexpr int kExitTaken = 0;
constexpr int kExitRejected = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: vpt64 COMMAND ...\n"
    "  decode FILE       decode a dump file and print the decoder's log lines\n"
    "                    (exit 0 taken, 1 rejected, 2 unreadable)\n"
    "  default OUT       write the built-in default bank dump to OUT\n"
    "  encode IN OUT     decode IN and write the record as a clean eight-block dump to OUT\n";

// The decoder with what the editor window holds: the record and the outgoing dump.
class Decoder {
public:
    explicit Decoder(const CliStreams& streams)
        : m_buffers(std::make_unique<Buffers>()),
          m_codec(m_buffers->outgoing, {[streams](const std::string& line) {
                                            std::fprintf(streams.out, "%s\n", line.c_str());
                                        },
                                        {},
                                        {},
                                        {}}) {}

    bool read(const QString& path) { return readDumpFile(path, m_buffers->message); }
    bool decode() { return m_codec.DumpToRecord(m_buffers->message, m_record) == 0; }
    std::optional<QByteArray> encode() {
        if (m_codec.RecordToDump(m_record, m_buffers->outgoing) != 0) return std::nullopt;
        const auto bytes = m_buffers->outgoing.used();
        return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qsizetype>(bytes.size()));
    }

private:
    struct Buffers {
        DumpBuffer message;
        DumpBuffer outgoing;
    };
    std::unique_ptr<Buffers> m_buffers;
    BankRecord m_record;
    DumpCodec m_codec;
};

int writeOutput(const QString& path, const QByteArray& bytes, const CliStreams& streams) {
    if (writeFileAtomically(path, bytes)) return kExitTaken;
    std::fputs("Cannot open output file.\n", streams.err);
    return kExitUnreadable;
}

int cannotRead(const QString& path, const CliStreams& streams) {
    std::fprintf(streams.err, "vpt64: cannot read '%s'\n", qPrintable(path));
    return kExitUnreadable;
}

int decodeCommand(const QString& path, const CliStreams& streams) {
    Decoder decoder(streams);
    if (!decoder.read(path)) return cannotRead(path, streams);
    return decoder.decode() ? kExitTaken : kExitRejected;
}

int defaultCommand(const QString& out, const CliStreams& streams) {
    const auto dump = loadBuiltInDump();
    if (!dump) {
        std::fputs("vpt64: the built-in dump is missing\n", streams.err);
        return kExitRejected;
    }
    return writeOutput(out, *dump, streams);
}

int encodeCommand(const QString& in, const QString& out, const CliStreams& streams) {
    Decoder decoder(streams);
    if (!decoder.read(in)) return cannotRead(in, streams);
    if (!decoder.decode()) return kExitRejected;
    const auto bytes = decoder.encode();
    if (!bytes) return kExitRejected;
    return writeOutput(out, *bytes, streams);
}

int usageError(const QString& message, const CliStreams& streams) {
    std::fprintf(streams.err, "vpt64: %s\n\n%s%s", qPrintable(message), kUsage, kMidiUsage);
    return kExitUsage;
}

} // namespace

int runCli(const QStringList& args, const CliStreams& streams) {
    if (args.isEmpty()) return usageError(QStringLiteral("no command given"), streams);
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("help")) {
        std::fputs(kUsage, streams.out);
        std::fputs(kMidiUsage, streams.out);
        return 0;
    }
    if (command == QLatin1String("decode") && rest.size() == 1)
        return decodeCommand(rest[0], streams);
    if (command == QLatin1String("default") && rest.size() == 1)
        return defaultCommand(rest[0], streams);
    if (command == QLatin1String("encode") && rest.size() == 2)
        return encodeCommand(rest[0], rest[1], streams);
    if (const auto code = runMidiCommand(command, rest, streams)) return *code;
    return usageError(QStringLiteral("bad command line: %1").arg(args.join(QLatin1Char(' '))),
                      streams);
}
