#include "library_table.h"

#include "dump_file.h"
#include "library_folder.h"
#include "library_state.h"
#include "record_diff.h"

#include <QStringList>
#include <algorithm>

namespace {

QString jobName(LibraryTable::Job job) {
    switch (job) {
    case LibraryTable::Job::Backup:
        return QStringLiteral("Backup");
    case LibraryTable::Job::Restore:
        return QStringLiteral("Restore");
    case LibraryTable::Job::Verify:
        return QStringLiteral("Verify");
    }
    return {};
}

QString banksText(int count) {
    return count == 1 ? QStringLiteral("1 bank") : QStringLiteral("%1 banks").arg(count);
}

std::optional<BankRecord> recordOf(const std::vector<std::uint8_t>& dump) {
    const auto scanned = scanDump(dump, {});
    if (!scanned) return std::nullopt;
    return scanned->record;
}

} // namespace

void LibraryTable::load(const QString& folder) {
    m_folder = folder;
    for (int bank = 1; bank <= library_folder::kBankCount; ++bank)
        m_entries[bank - 1] = entryOf(record(bank));
}

LibraryTable::Entry LibraryTable::entryOf(const std::optional<BankRecord>& stored) {
    if (!stored) return {};
    return {QString::fromStdString(stored->bankName()), State::InFolder, {}, stored};
}

bool LibraryTable::reread(int bank) {
    const auto stored = record(bank);
    Entry& entry = m_entries.at(bank - 1);
    if (stored == entry.stored) return false;
    entry = entryOf(stored);
    return true;
}

QString LibraryTable::stateText(const Entry& entry) {
    switch (entry.state) {
    case State::NotReadYet:
        return QStringLiteral("not read yet");
    case State::InFolder:
        return QStringLiteral("in the folder");
    case State::SameAsController:
        return QStringLiteral("in the folder, same as the controller");
    case State::Differs:
        return QStringLiteral("differs from the controller");
    case State::Failed:
        return QStringLiteral("failed: ") + entry.details.value(0);
    }
    return {};
}

QStringList LibraryTable::differenceLines(const QString& title, const BankRecord& a,
                                          const BankRecord& b) {
    const auto differences = recordDifferences(a, b);
    const QString count = differences.size() == 1
                              ? QStringLiteral("1 difference")
                              : QStringLiteral("%1 differences").arg(differences.size());
    QStringList lines{title + QStringLiteral(": ") + count};
    for (const FieldDifference& difference : differences)
        lines << QString::fromStdString(difference.line());
    return lines;
}

std::optional<BankRecord> LibraryTable::record(int bank) const {
    if (m_folder.isEmpty()) return std::nullopt;
    return library_folder::readBankFile(library_folder::bankFilePath(m_folder, bank));
}

std::vector<BankOperation> LibraryTable::operations(Job job, const std::vector<int>& banks,
                                                    bool fetchAgain) const {
    std::vector<BankOperation> operations;
    for (const int bank : banks) {
        const auto stored = record(bank);
        if (job == Job::Backup && (fetchAgain || !stored))
            operations.push_back({BankOperation::Kind::Request, bank, {}});
        if (job == Job::Restore && stored)
            operations.push_back({BankOperation::Kind::Upload, bank, *stored});
        if (job == Job::Verify && stored)
            operations.push_back({BankOperation::Kind::Verify, bank, *stored});
    }
    return operations;
}

bool LibraryTable::take(const BankReport& report) {
    using Outcome = BankReport::Outcome;
    using Kind = BankOperation::Kind;
    updateState([&report](LibraryState& state) { state.take(report); });
    Entry& entry = m_entries.at(report.bank - 1);
    switch (report.outcome) {
    case Outcome::Done:
        if (report.kind == Kind::Request) return keepReceived(report);
        // The controller holds the file's bank now.
        showControllerBank(report.bank, std::optional<BankRecord>(entry.stored));
        break;
    case Outcome::Failed:
        // A verify that read the bank back failed on its differences.
        if (report.kind == Kind::Verify && !report.dump.empty()) {
            showControllerBank(report.bank, recordOf(report.dump));
        } else {
            entry.state = State::Failed;
            entry.details = QStringList{QString::fromStdString(report.reason)};
        }
        break;
    case Outcome::Cancelled:
        // Half an upload leaves the controller's bank unknown.
        if (report.kind == Kind::Upload) showControllerBank(report.bank, std::nullopt);
        break;
    case Outcome::NotRun:
        break;
    }
    return true;
}

bool LibraryTable::keepReceived(const BankReport& report) {
    Entry& entry = m_entries.at(report.bank - 1);
    const auto received = recordOf(report.dump);
    const QByteArray bytes(reinterpret_cast<const char*>(report.dump.data()),
                           static_cast<qsizetype>(report.dump.size()));
    if (!received ||
        !writeFileAtomically(library_folder::bankFilePath(m_folder, report.bank), bytes)) {
        entry.state = State::Failed;
        entry.details = QStringList{QStringLiteral("not saved into the folder")};
        return false;
    }
    entry = entryOf(received);
    entry.state = State::SameAsController;
    return true;
}

void LibraryTable::takeControllerBank(int bank, const std::optional<BankRecord>& controller) {
    updateState([bank, &controller](LibraryState& state) { state.set(bank, controller); });
    showControllerBank(bank, controller);
}

void LibraryTable::updateState(const std::function<void(LibraryState&)>& change) {
    if (m_folder.isEmpty()) return;
    m_stateError.clear();
    updateLibraryState(m_folder, change, &m_stateError);
}

void LibraryTable::showControllerBank(int bank, const std::optional<BankRecord>& controller) {
    Entry& entry = m_entries.at(bank - 1);
    const std::optional<BankRecord> stored = entry.stored;
    entry = entryOf(stored);
    if (!stored || !controller) return;
    if (*controller == *stored) {
        entry.state = State::SameAsController;
        return;
    }
    entry.state = State::Differs;
    entry.details =
        differenceLines(QStringLiteral("Bank %1 in the folder against the controller").arg(bank),
                        *stored, *controller);
}

QString LibraryTable::endLine(Job job, const std::vector<BankReport>& reports,
                              const std::vector<int>& notSaved) {
    const int total = static_cast<int>(reports.size());
    const auto doneCount =
        static_cast<int>(std::count_if(reports.begin(), reports.end(), [](const BankReport& r) {
            return r.outcome == BankReport::Outcome::Done;
        })) -
        static_cast<int>(notSaved.size());
    const auto cancelled = std::find_if(reports.begin(), reports.end(), [](const BankReport& r) {
        return r.outcome == BankReport::Outcome::Cancelled;
    });
    const QString name = jobName(job);
    if (cancelled != reports.end())
        return QStringLiteral("%1 cancelled at bank %2: %3 of %4 done")
            .arg(name)
            .arg(cancelled->bank)
            .arg(doneCount)
            .arg(banksText(total));
    if (doneCount == total) return QStringLiteral("%1 of %2 complete").arg(name, banksText(total));
    QStringList failed;
    for (const BankReport& report : reports)
        if (report.outcome != BankReport::Outcome::Done) failed << QString::number(report.bank);
    QStringList unsaved;
    for (const int bank : notSaved)
        unsaved << QString::number(bank);
    const QString unsavedText = QStringLiteral("%1 not saved: bank %2")
                                    .arg(notSaved.size())
                                    .arg(unsaved.join(QStringLiteral(", ")));
    if (failed.isEmpty())
        return QStringLiteral("%1 of %2: %3").arg(name, banksText(total), unsavedText);
    return QStringLiteral("%1 of %2 failed: %3 of %2 done; failed: bank %4%5")
        .arg(name, banksText(total))
        .arg(doneCount)
        .arg(failed.join(QStringLiteral(", ")))
        .arg(notSaved.empty() ? QString() : QStringLiteral("; ") + unsavedText);
}

JobProgressEstimate::JobProgressEstimate(LibraryTable::Job job, std::vector<int> banks,
                                         int plannedMsPerBank)
    : m_job(job), m_banks(std::move(banks)), m_plannedMsPerBank(plannedMsPerBank) {}

void JobProgressEstimate::operationEnded(long long elapsedMs) {
    ++m_ended;
    m_lastEndMs = elapsedMs;
}

int JobProgressEstimate::percent() const {
    constexpr int kBlocks = 8;
    const int blocks = m_ended * kBlocks + std::clamp(m_progress.block, 0, kBlocks);
    return std::min(100, blocks * 100 / (operations() * kBlocks));
}

QString JobProgressEstimate::stateText() const {
    // The last block of a bank may be reported after the bank has ended.
    const auto place = std::find(m_banks.begin(), m_banks.end(), m_progress.bank);
    return QStringLiteral("%1: bank %2 (%3 of %4), block %5 of 8")
        .arg(jobName(m_job))
        .arg(m_progress.bank)
        .arg(std::min(int(place - m_banks.begin()) + 1, operations()))
        .arg(operations())
        .arg(m_progress.block);
}

QString JobProgressEstimate::timeLeftText(long long elapsedMs) const {
    // Once banks have ended, their pace says more than the plan.
    const long long perBank = m_ended > 0 ? m_lastEndMs / m_ended : m_plannedMsPerBank;
    const long long intoRunningBank = std::min(elapsedMs - m_lastEndMs, perBank);
    const long long left = std::max(0LL, perBank * (operations() - m_ended) - intoRunningBank);
    return QStringLiteral("about %1 s left").arg((left + 999) / 1000);
}
