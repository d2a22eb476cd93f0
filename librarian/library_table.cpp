#include "library_table.h"

#include "dump_file.h"
#include "library_folder.h"

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
    for (int bank = 1; bank <= library_folder::kBankCount; ++bank) {
        const auto stored = record(bank);
        m_entries[bank - 1] =
            stored ? Entry{QString::fromStdString(stored->bankName()), State::InFolder} : Entry{};
    }
}

QString LibraryTable::stateText(State state) {
    switch (state) {
    case State::NotReadYet:
        return QStringLiteral("not read yet");
    case State::InFolder:
        return QStringLiteral("in the folder");
    case State::InController:
        return QStringLiteral("in the controller");
    case State::Differs:
        return QStringLiteral("differs");
    }
    return {};
}

std::optional<BankRecord> LibraryTable::record(int bank) const {
    if (m_folder.isEmpty()) return std::nullopt;
    return library_folder::readBankFile(library_folder::bankFilePath(m_folder, bank));
}

std::vector<BankOperation> LibraryTable::operations(Job job, const std::vector<int>& banks) const {
    std::vector<BankOperation> operations;
    for (const int bank : banks) {
        const auto stored = record(bank);
        if (job == Job::Backup && !stored)
            operations.push_back({BankOperation::Kind::Request, bank, {}});
        if (job == Job::Restore && stored)
            operations.push_back({BankOperation::Kind::Upload, bank, *stored});
        if (job == Job::Verify && stored)
            operations.push_back({BankOperation::Kind::Verify, bank, *stored});
    }
    return operations;
}

bool LibraryTable::take(const BankReport& report) {
    Entry& entry = m_entries.at(report.bank - 1);
    const bool done = report.outcome == BankReport::Outcome::Done;
    if (report.kind == BankOperation::Kind::Request && done) {
        const auto received = recordOf(report.dump);
        const QByteArray bytes(reinterpret_cast<const char*>(report.dump.data()),
                               static_cast<qsizetype>(report.dump.size()));
        if (!received ||
            !writeFileAtomically(library_folder::bankFilePath(m_folder, report.bank), bytes))
            return false;
        entry = {QString::fromStdString(received->bankName()), State::InController};
    } else if (report.kind == BankOperation::Kind::Upload && done) {
        entry.state = State::InController;
    } else if (report.kind == BankOperation::Kind::Verify &&
               report.outcome != BankReport::Outcome::Cancelled) {
        // A verify that read nothing back says nothing about the bank.
        if (done || !report.dump.empty()) entry.state = done ? State::InController : State::Differs;
    }
    return true;
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

JobProgressEstimate::JobProgressEstimate(LibraryTable::Job job, int operations,
                                         int plannedMsPerBank)
    : m_job(job), m_operations(std::max(1, operations)), m_plannedMsPerBank(plannedMsPerBank) {}

int JobProgressEstimate::percent() const {
    constexpr int kBlocks = 8;
    const int blocks = m_ended * kBlocks + std::clamp(m_progress.block, 0, kBlocks);
    return std::min(100, blocks * 100 / (m_operations * kBlocks));
}

QString JobProgressEstimate::stateText() const {
    return QStringLiteral("%1: bank %2 (%3 of %4), block %5 of 8")
        .arg(jobName(m_job))
        .arg(m_progress.bank)
        .arg(std::min(m_ended + 1, m_operations))
        .arg(m_operations)
        .arg(m_progress.block);
}

QString JobProgressEstimate::timeLeftText(long long elapsedMs) const {
    // Once banks have ended, their pace says more than the plan.
    const long long perBank = m_ended > 0 ? elapsedMs / m_ended : m_plannedMsPerBank;
    const long long left = std::max(0LL, perBank * m_operations - elapsedMs);
    return QStringLiteral("about %1 s left").arg((left + 999) / 1000);
}
