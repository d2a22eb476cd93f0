#include "librarian_commands.h"

#include "bank_job_runner.h"
#include "cli_args.h"
#include "interrupt_watch.h"
#include "library_folder.h"
#include "library_state.h"
#include "midi_commands.h"
#include "midi_in.h"
#include "midi_out.h"
#include "port_loss.h"

#include <QDir>
#include <QEventLoop>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int fail(const CliStreams& streams, const QString& message, int code) {
    std::fprintf(streams.err, "vpt64: %s\n", qPrintable(message));
    return code;
}

void print(const CliStreams& streams, const std::string& line) {
    std::fprintf(streams.out, "%s\n", line.c_str());
    std::fflush(streams.out);
}

// The options both commands share: ports, device id and banks.
struct JobOptions {
    MidiApiChoice api = MidiApiChoice::All;
    QString in, out;
    BankJobRunner::Settings settings;
    std::vector<int> banks;
};

std::optional<JobOptions> jobOptions(const CliArgs& args, QString* error) {
    const auto api = apiOf(args, error);
    const auto deviceId = args.number(QStringLiteral("--device-id"), 0, 0, 7, error);
    const auto timeout = args.number(QStringLiteral("--timeout"), 5000, 1, 600000, error);
    if (!api || !deviceId || !timeout) return std::nullopt;
    const auto banks = library_folder::parseBankList(args.value(QStringLiteral("--banks")), error);
    if (!banks) return std::nullopt;
    JobOptions options{
        *api, args.value(QStringLiteral("--in")), args.value(QStringLiteral("--out")), {}, *banks};
    options.settings.deviceId = *deviceId;
    options.settings.requestTimeoutMs = *timeout;
    return options;
}

// The two open ports a job runs on.
class JobPorts {
public:
    // False, with `error` set, when a port cannot be found or opened.
    bool open(const JobOptions& options, QString* error) {
        m_devices = MidiDeviceList::create(options.api);
        const auto in = findPort(m_devices->inputs(), options.in, error);
        const auto out = in ? findPort(m_devices->outputs(), options.out, error) : std::nullopt;
        if (!out) return false;
        m_in = std::make_unique<TMidiIn>(*m_devices);
        m_out = std::make_unique<TMidiOut>(*m_devices);
        m_out->SetPort(*out);
        m_out->SetUsing(true);
        m_in->SetPort(*in);
        m_in->SetUsing(true);
        if (!m_out->ready()) *error = QStringLiteral("MIDI OUT Port not ready!");
        if (!m_in->ready()) *error = QStringLiteral("MIDI IN Port not ready!");
        return m_in->ready() && m_out->ready();
    }

    // Runs the operations to their end and returns their reports.
    std::vector<BankReport> run(const BankJobRunner::Settings& settings,
                                std::vector<BankOperation> operations,
                                const std::function<void(const BankReport&)>& operationEnded,
                                const CliStreams& streams) {
        QtTransferClock clock;
        QEventLoop loop;
        BankJobRunner runner(clock, settings,
                             {[&streams](const std::string& line) { print(streams, line); },
                              [this](std::span<const std::uint8_t> bytes) {
                                  return m_out->SysEx(bytes.data(), static_cast<int>(bytes.size()));
                              },
                              {},
                              operationEnded,
                              [&loop] { loop.quit(); }});
        m_in->OnSysEx = [&runner](TMidiIn*, const std::uint8_t* bytes, int size) {
            runner.receive({bytes, static_cast<std::size_t>(size)});
        };
        // A port that goes cancels the job: every bank still to come would wait out its
        // timeouts in vain.
        PortLoss loss([&streams](const std::string& line) { print(streams, line); },
                      [&runner] { runner.cancel(); });
        loss.use(*m_in, PortLoss::Direction::In);
        loss.use(*m_out, PortLoss::Direction::Out);
        loss.watch(*m_devices);
        // Ctrl+C cancels, so that the log names a bank left half-written.
        const InterruptWatch interrupt([&runner] { runner.cancel(); });
        runner.start(std::move(operations));
        if (runner.running()) loop.exec();
        m_in->OnSysEx = nullptr;
        return runner.reports();
    }

private:
    std::unique_ptr<MidiDeviceList> m_devices;
    std::unique_ptr<TMidiIn> m_in;
    std::unique_ptr<TMidiOut> m_out;
};

// Keeps the folder's state file (what the controller holds) up to date with each ended
// operation, and says once when it could not.
class StateKeeper {
public:
    explicit StateKeeper(QString folder) : m_folder(std::move(folder)) {}

    void take(const BankReport& report) {
        QString error;
        if (!updateLibraryState(
                m_folder, [&report](LibraryState& state) { state.take(report); }, &error) &&
            m_error.isEmpty())
            m_error = error;
    }
    void sayIfNotKept(const CliStreams& streams) const {
        if (!m_error.isEmpty())
            fail(streams, m_error + QStringLiteral(" (restore --changed cannot tell these banks)"),
                 kExitFailed);
    }

private:
    QString m_folder;
    QString m_error;
};

// "banks 3, 17" or "bank 3".
QString banksText(const std::vector<int>& banks) {
    QStringList numbers;
    for (const int bank : banks)
        numbers << QString::number(bank);
    return (banks.size() == 1 ? QStringLiteral("bank ") : QStringLiteral("banks ")) +
           numbers.join(QStringLiteral(", "));
}

// "cancelled before bank 5", once for a cancelled job (Ctrl+C or a port that went), with an
// upload left half-written named; the banks after it were not run and are not listed. True when
// the job was cancelled.
bool sayWhereCancelled(const std::vector<BankReport>& reports, const CliStreams& streams) {
    const auto cancelled = std::find_if(reports.begin(), reports.end(), [](const BankReport& r) {
        return r.outcome == BankReport::Outcome::Cancelled;
    });
    if (cancelled == reports.end()) return false;
    QString line = QStringLiteral("cancelled before bank %1").arg(cancelled->bank);
    if (cancelled->kind == BankOperation::Kind::Upload && cancelled->blocksAcknowledged > 0)
        line += QStringLiteral(": it is left half-written (%1 of 8 blocks acknowledged)")
                    .arg(cancelled->blocksAcknowledged);
    fail(streams, line, kExitFailed);
    return true;
}

int backupCommand(QStringList rawArgs, const CliStreams& streams) {
    const bool force = rawArgs.removeAll(QStringLiteral("--force")) > 0;
    QString error;
    const auto args = CliArgs::parse(
        rawArgs, {"--api", "--in", "--out", "--device-id", "--banks", "--timeout", "-o"}, &error);
    if (args && (!args->positional.isEmpty() || !args->has(QStringLiteral("--in")) ||
                 !args->has(QStringLiteral("--out")) || !args->has(QStringLiteral("-o"))))
        error = QStringLiteral("backup needs --in PORT, --out PORT and -o DIR");
    const auto options = error.isEmpty() ? jobOptions(*args, &error) : std::nullopt;
    JobPorts ports;
    if (!options || !ports.open(*options, &error)) return fail(streams, error, kExitUsage);
    const QString folder = args->value(QStringLiteral("-o"));
    if (!QDir().mkpath(folder))
        return fail(streams, QStringLiteral("cannot create the folder '%1'").arg(folder),
                    kExitFailed);

    std::vector<BankOperation> requests;
    for (const int bank : options->banks)
        if (force || !library_folder::readBankFile(library_folder::bankFilePath(folder, bank)))
            requests.push_back({BankOperation::Kind::Request, bank, {}});
    print(streams, QStringLiteral("%1 of %2 banks to request; the others are in '%3' already")
                       .arg(requests.size())
                       .arg(options->banks.size())
                       .arg(folder)
                       .toStdString());
    // Each bank is written as soon as it arrives, so that an interrupted backup goes on from there.
    std::vector<int> missing, notSaved;
    StateKeeper state(folder);
    const auto keep = [&](const BankReport& report) {
        state.take(report);
        const QByteArray bytes(reinterpret_cast<const char*>(report.dump.data()),
                               static_cast<qsizetype>(report.dump.size()));
        if (report.outcome == BankReport::Outcome::Failed)
            missing.push_back(report.bank);
        else if (report.outcome == BankReport::Outcome::Done &&
                 !writeOutputFile(library_folder::bankFilePath(folder, report.bank), bytes,
                                  streams))
            notSaved.push_back(report.bank);
    };
    const auto reports = ports.run(options->settings, requests, keep, streams);
    state.sayIfNotKept(streams);
    if (!missing.empty())
        fail(streams, banksText(missing) + QStringLiteral(" did not arrive"), kExitFailed);
    if (!notSaved.empty())
        fail(streams, banksText(notSaved) + QStringLiteral(" not saved"), kExitFailed);
    const bool cancelled = sayWhereCancelled(reports, streams);
    return missing.empty() && notSaved.empty() && !cancelled ? kExitOk : kExitFailed;
}

// The bank files of the folder: the listed banks, else every bank whose file is there.
std::vector<int> banksToRestore(const QString& folder, const CliArgs& args,
                                const std::vector<int>& listed) {
    if (args.has(QStringLiteral("--banks"))) return listed;
    std::vector<int> present;
    for (const int bank : listed)
        if (QFileInfo::exists(library_folder::bankFilePath(folder, bank))) present.push_back(bank);
    return present;
}

// "3, 17, 20-90": runs of three or more banks as ranges.
QString bankRangesText(const std::vector<int>& banks) {
    QStringList parts;
    for (std::size_t first = 0, last = 0; first < banks.size(); first = last + 1) {
        last = first;
        while (last + 1 < banks.size() && banks[last + 1] == banks[last] + 1)
            ++last;
        if (last - first >= 2)
            parts << QStringLiteral("%1-%2").arg(banks[first]).arg(banks[last]);
        else
            for (std::size_t i = first; i <= last; ++i)
                parts << QString::number(banks[i]);
    }
    return parts.join(QStringLiteral(", "));
}

// --changed: the banks among `banks` whose file differs from what the controller holds, said
// first; nothing when the folder has no record of that (said as an error).
std::optional<std::vector<int>>
changedBanksSaid(const QString& folder, const std::vector<int>& banks, const CliStreams& streams) {
    QString why;
    const auto changed = changedBanks(folder, banks, &why);
    if (!changed) {
        fail(streams, why + QStringLiteral(": run a backup first, or restore without --changed"),
             kExitFailed);
        return std::nullopt;
    }
    if (changed->empty())
        print(streams, "No bank has changed: the controller holds the folder's banks");
    else
        print(streams,
              (QStringLiteral("Changed banks: ") + bankRangesText(*changed)).toStdString());
    return changed;
}

// An upload (and a verify) of each bank whose file holds a valid dump; each other is named.
std::vector<BankOperation> restoreOperations(const QString& folder, const std::vector<int>& banks,
                                             bool verify, bool* failed, const CliStreams& streams) {
    std::vector<BankOperation> operations;
    for (const int bank : banks) {
        const QString path = library_folder::bankFilePath(folder, bank);
        const auto record = library_folder::readBankFile(path);
        if (!record) {
            std::fprintf(streams.err, "bank %d: '%s' holds no valid dump\n", bank,
                         qPrintable(path));
            *failed = true;
            continue;
        }
        operations.push_back({BankOperation::Kind::Upload, bank, *record});
        if (verify) operations.push_back({BankOperation::Kind::Verify, bank, *record});
    }
    return operations;
}

int restoreCommand(QStringList rawArgs, const CliStreams& streams) {
    const bool verify = rawArgs.removeAll(QStringLiteral("--verify")) > 0;
    const bool changedOnly = rawArgs.removeAll(QStringLiteral("--changed")) > 0;
    QString error;
    const auto args =
        CliArgs::parse(rawArgs, {"--api", "--in", "--out", "--device-id", "--banks"}, &error);
    if (args && (args->positional.size() != 1 || !args->has(QStringLiteral("--in")) ||
                 !args->has(QStringLiteral("--out"))))
        error = QStringLiteral("restore needs DIR, --in PORT and --out PORT");
    const auto options = error.isEmpty() ? jobOptions(*args, &error) : std::nullopt;
    if (!options) return fail(streams, error, kExitUsage);
    const QString folder = args->positional[0];
    std::vector<int> banks = banksToRestore(folder, *args, options->banks);
    if (banks.empty())
        return fail(streams, QStringLiteral("no bank-NNN.syx files in '%1'").arg(folder),
                    kExitUsage);
    if (changedOnly) {
        const auto changed = changedBanksSaid(folder, banks, streams);
        if (!changed) return kExitFailed;
        if (changed->empty()) return kExitOk; // nothing to send: the ports are not even opened
        banks = *changed;
    }
    JobPorts ports;
    if (!ports.open(*options, &error)) return fail(streams, error, kExitUsage);

    bool failed = false;
    const auto operations = restoreOperations(folder, banks, verify, &failed, streams);
    // One line for each failed bank: the first of its operations that failed. A verify not run
    // after its upload failed adds nothing to the upload's line.
    std::vector<int> named;
    StateKeeper state(folder);
    const auto reportFailure = [&](const BankReport& report) {
        state.take(report);
        if (report.outcome != BankReport::Outcome::Failed ||
            std::find(named.begin(), named.end(), report.bank) != named.end())
            return;
        named.push_back(report.bank);
        std::fprintf(streams.err, "bank %d: %s\n", report.bank, report.reason.c_str());
    };
    const auto reports = ports.run(options->settings, operations, reportFailure, streams);
    state.sayIfNotKept(streams);
    const bool cancelled = sayWhereCancelled(reports, streams);
    return failed || cancelled || !named.empty() ? kExitFailed : kExitOk;
}

} // namespace

const char* const kLibrarianUsage =
    "  backup --in PORT --out PORT [--device-id D] [--banks LIST] [--timeout MS] [--force]\n"
    "         -o DIR     request each listed bank (default all 128) and write it to\n"
    "                    DIR/bank-001.syx .. bank-128.syx; banks whose file holds a valid dump\n"
    "                    are not requested again unless --force; a bank that does not come\n"
    "                    whole is requested once more (exit 1 naming the banks that did not\n"
    "                    arrive within MS, default 5000, per bank, or could not be saved)\n"
    "  restore DIR --in PORT --out PORT [--device-id D] [--banks LIST] [--verify]\n"
    "          [--changed]\n"
    "                    upload each bank-NNN.syx of DIR (or the listed banks) to its bank,\n"
    "                    each block as soon as the one before is acknowledged, a block refused\n"
    "                    or not acknowledged within 2 s sent again up to 3 tries; --verify\n"
    "                    reads each bank back (exit 1 naming each bank that failed and why);\n"
    "                    --changed uploads only the banks whose file differs from what the\n"
    "                    controller last held as far as DIR/.vpultron64-library knows (kept by\n"
    "                    backup and restore; without it, exit 1 and nothing sent); a bank\n"
    "                    changed on the controller's own panel is not seen this way\n"
    "  LIST is like 1-4,126-128.\n";

std::optional<int> runLibrarianCommand(const QString& command, const QStringList& args,
                                       const CliStreams& streams) {
    if (command == QLatin1String("backup")) return backupCommand(args, streams);
    if (command == QLatin1String("restore")) return restoreCommand(args, streams);
    return std::nullopt;
}
