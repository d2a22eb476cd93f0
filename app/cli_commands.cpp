#include "cli_commands.h"

#include "build_info.h"
#include "built_in_dump.h"
#include "cli_args.h"
#include "converter_ini.h"
#include "diff_command.h"
#include "dump_codec.h"
#include "dump_file.h"
#include "find_command.h"
#include "librarian_commands.h"
#include "library_folder.h"
#include "midi_commands.h"
#include "midi_file.h"
#include "preset_library.h"
#include "sheet_files.h"
#include "syx_file.h"
#include "transfer_page.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace {

constexpr int kExitTaken = 0;
constexpr int kExitRejected = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: vpt64 COMMAND ...\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "  decode FILE       decode a dump file and print the decoder's log lines\n"
    "                    (exit 0 taken, 1 rejected, 2 unreadable)\n"
    "  default OUT       write the built-in default bank dump to OUT\n"
    "  diff A.syx B.syx  print each field in which the banks of A and B differ\n"
    "                    (exit 0 equal, 1 different, 2 unreadable or no valid bank)\n"
    "  diff DIR_A DIR_B  compare two library folders bank by bank: a heading for each bank\n"
    "                    that differs (its names, or only in A/B), then its fields as above\n"
    "  encode IN OUT     decode IN and write the record as a clean eight-block dump to OUT\n"
    "  export-ini IN.syx OUT.ini\n"
    "                    write the bank in IN as the text for the dumpkit converter; button\n"
    "                    presets come from the settings file beside the program\n"
    "  export-mid IN.syx OUT.mid [--smf-sysex] [--delay MS]\n"
    "                    write the bank in IN as the 2071-byte MIDI file; with --smf-sysex as a\n"
    "                    Standard MIDI File playing the eight dump blocks MS apart (default 750)\n"
    "  find DIR WORDS... print the bank names, pots and buttons of the library folder DIR\n"
    "                    whose line holds every word, in any case, a number as a whole number;\n"
    "                    a word may also be in the bank's name, but one must be in the line\n"
    "                    itself; a file holding no valid dump is skipped with a note\n"
    "                    (exit 0 found, 1 nothing found, 2 unreadable folder)\n"
    "  sheet IN.syx OUT.pdf|OUT.png|OUT.svg [--bank N]\n"
    "        DIR OUT.pdf draw the bank in IN as a sheet to lay over the controller: labels and\n"
    "                    events of every pot and button, bank name and LED map; an A4 landscape\n"
    "                    PDF, a PNG or an SVG by the extension of OUT; --bank N shows the bank's\n"
    "                    number (1..128, default from a library file name bank-NNN.syx); for a\n"
    "                    library folder DIR, a page for each bank-NNN.syx in bank order, in one\n"
    "                    PDF (files without a valid dump are skipped with a note; exit 2 when\n"
    "                    none is left)\n";

constexpr int kDefaultBlockDelay = 750;
constexpr int kMaxBlockDelay = 1000;

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
    const BankRecord& record() const { return m_record; }
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
    return writeOutputFile(path, bytes, streams) ? kExitTaken : kExitUnreadable;
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

// Reads and decodes IN, printing the decoder's lines; nothing when that fails (the exit code is
// then in `failure`).
std::optional<BankRecord> decodedBank(Decoder& decoder, const QString& in,
                                      const CliStreams& streams, int& failure) {
    if (!decoder.read(in)) {
        failure = cannotRead(in, streams);
        return std::nullopt;
    }
    if (!decoder.decode()) {
        failure = kExitRejected;
        return std::nullopt;
    }
    return decoder.record();
}

int writeAndSay(const QString& path, const QByteArray& bytes, const QString& line,
                const CliStreams& streams) {
    const int code = writeOutput(path, bytes, streams);
    if (code == kExitTaken && !line.isEmpty())
        std::fprintf(streams.out, "%s\n", qPrintable(line.arg(path)));
    return code;
}

int exportIniCommand(const QString& in, const QString& out, const CliStreams& streams) {
    Decoder decoder(streams);
    int failure = kExitTaken;
    const auto record = decodedBank(decoder, in, streams, failure);
    if (!record) return failure;
    const QString programDir = QCoreApplication::applicationDirPath();
    const PresetLibrary presets =
        preset_file::read(preset_file::settingsFilePath({}, programDir), programDir);
    const ConverterIniHeader header{QStringLiteral("Release : ") + buildDate(),
                                    TransferPage::webAddress(), converterIniTime()};
    const QByteArray text =
        converterIniTextOfBank(header, *record, presets.buttPresetKeys, presets.buttPresetNames);
    return writeAndSay(out, text, QStringLiteral("'%1' saved in dump_kit '.ini' format."), streams);
}

int exportMidCommand(QStringList args, const CliStreams& streams);
int sheetCommand(const QStringList& args, const CliStreams& streams);

int usageError(const QString& message, const CliStreams& streams) {
    std::fprintf(streams.err, "vpt64: %s\n\n%s%s%s%s", qPrintable(message), kUsage, kMidiUsage,
                 kLibrarianUsage, kPortNotes);
    return kExitUsage;
}

} // namespace

bool writeOutputFile(const QString& path, const QByteArray& bytes, const CliStreams& streams) {
    QString reason;
    if (writeFileAtomically(path, bytes, &reason)) return true;
    std::fprintf(streams.err, "Cannot open output file '%s': %s\n", qPrintable(path),
                 qPrintable(reason));
    return false;
}

int runCli(const QStringList& args, const CliStreams& streams) {
    if (args.isEmpty()) return usageError(QStringLiteral("no command given"), streams);
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("help")) {
        std::fputs(kUsage, streams.out);
        std::fputs(kMidiUsage, streams.out);
        std::fputs(kLibrarianUsage, streams.out);
        std::fputs(kPortNotes, streams.out);
        return 0;
    }
    if (command == QLatin1String("--version") && rest.isEmpty()) {
        std::fprintf(streams.out, "vpt64 %s (built %s)\n", VPT64_VERSION, qPrintable(buildDate()));
        return 0;
    }
    if (command == QLatin1String("decode") && rest.size() == 1)
        return decodeCommand(rest[0], streams);
    if (command == QLatin1String("diff") && rest.size() == 2)
        return diffCommand(rest[0], rest[1], streams);
    if (command == QLatin1String("default") && rest.size() == 1)
        return defaultCommand(rest[0], streams);
    if (command == QLatin1String("encode") && rest.size() == 2)
        return encodeCommand(rest[0], rest[1], streams);
    if (command == QLatin1String("export-ini") && rest.size() == 2)
        return exportIniCommand(rest[0], rest[1], streams);
    if (command == QLatin1String("export-mid")) return exportMidCommand(rest, streams);
    if (command == QLatin1String("find") && rest.size() >= 2)
        return findCommand(rest.first(), rest.mid(1), streams);
    if (command == QLatin1String("sheet")) return sheetCommand(rest, streams);
    if (const auto code = runMidiCommand(command, rest, streams)) return *code;
    if (const auto code = runLibrarianCommand(command, rest, streams)) return *code;
    return usageError(QStringLiteral("bad command line: %1").arg(args.join(QLatin1Char(' '))),
                      streams);
}

namespace {

int exportMidCommand(QStringList args, const CliStreams& streams) {
    const bool smfSysex = args.removeAll(QStringLiteral("--smf-sysex")) > 0;
    QString error;
    const auto parsed = CliArgs::parse(args, {QStringLiteral("--delay")}, &error);
    const auto delay = parsed ? parsed->number(QStringLiteral("--delay"), kDefaultBlockDelay, 0,
                                               kMaxBlockDelay, &error)
                              : std::nullopt;
    if (!delay || parsed->positional.size() != 2)
        return usageError(error.isEmpty() ? QStringLiteral("export-mid needs IN and OUT") : error,
                          streams);
    const QString& in = parsed->positional[0];
    const QString& out = parsed->positional[1];
    Decoder decoder(streams);
    int failure = kExitTaken;
    const auto record = decodedBank(decoder, in, streams, failure);
    if (!record) return failure;
    if (!smfSysex) return writeAndSay(out, recordMidiFile(*record), {}, streams);
    return writeAndSay(out, sysexMidiFile(encodeBank(*record, 0), *delay),
                       QStringLiteral("'%1' saved."), streams);
}

// A page for each valid bank file of a library folder, numbered by the file names, in one PDF.
int folderSheetCommand(const QString& folder, const CliArgs& args, const CliStreams& streams) {
    const QString& out = args.positional[1];
    if (bank_sheet::formatOfPath(out) != bank_sheet::Format::Pdf)
        return usageError(QStringLiteral("the sheets of a folder go into one PDF: '%1' must end "
                                         "in .pdf")
                              .arg(out),
                          streams);
    if (args.has(QStringLiteral("--bank")))
        return usageError(QStringLiteral("--bank is for one file: the banks of a folder take "
                                         "their numbers from their file names"),
                          streams);
    QString error;
    if (!library_folder::isReadableFolder(folder, &error)) {
        std::fprintf(streams.err, "vpt64: %s\n", qPrintable(error));
        return kExitUnreadable;
    }
    std::vector<bank_sheet::Content> pages;
    const auto skip = [&streams](int bank, const QString& path) {
        std::fprintf(streams.err, "vpt64: bank %d skipped: '%s' holds no valid dump\n", bank,
                     qPrintable(path));
    };
    for (const auto& [bank, record] : library_folder::readValidBanks(folder, skip))
        pages.push_back({record, bank});
    if (pages.empty()) {
        std::fprintf(streams.err, "vpt64: no valid bank-001.syx .. bank-128.syx in '%s'\n",
                     qPrintable(folder));
        return kExitUnreadable;
    }
    return writeAndSay(out, bank_sheet::pdfFile(pages, bank_sheet::sourceDateEpoch()),
                       QStringLiteral("'%1' saved."), streams);
}

int sheetCommand(const QStringList& args, const CliStreams& streams) {
    QString error;
    const auto parsed = CliArgs::parse(args, {QStringLiteral("--bank")}, &error);
    if (!parsed || parsed->positional.size() != 2)
        return usageError(error.isEmpty() ? QStringLiteral("sheet needs IN and OUT") : error,
                          streams);
    const QString& in = parsed->positional[0];
    const QString& out = parsed->positional[1];
    if (QFileInfo(in).isDir()) return folderSheetCommand(in, *parsed, streams);
    const auto format = bank_sheet::formatOfPath(out);
    if (!format)
        return usageError(
            QStringLiteral("'%1' is no sheet file: the name must end in .pdf, .png or .svg")
                .arg(out),
            streams);
    const auto bank = parsed->number(QStringLiteral("--bank"), library_folder::bankOfFileName(in), 1,
                                     library_folder::kBankCount, &error);
    if (!bank) return usageError(error, streams);
    Decoder decoder(streams);
    int failure = kExitTaken;
    const auto record = decodedBank(decoder, in, streams, failure);
    if (!record) return failure;
    const QByteArray bytes =
        bank_sheet::fileBytes(*format, {*record, *bank}, bank_sheet::sourceDateEpoch());
    return writeAndSay(out, bytes, QStringLiteral("'%1' saved."), streams);
}

} // namespace
