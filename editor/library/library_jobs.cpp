// The jobs of the "Library" page: a BankJobRunner on the window's MIDI ports, its progress on the
// page and its reports taken into the table.
#include "library_page.h"
#include "live_status.h"
#include "midi_out.h"
#include "transfer_controller.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace {

constexpr int kProgressRefresh = 200; // ms between updates of the time left
constexpr int kBankTransferMs = 700;  // 2120 bytes at MIDI speed (3125 bytes a second)

} // namespace

bool LibraryPage::startJob(LibraryTable::Job job, const std::vector<int>& banks, bool fetchAgain) {
    ensureBuilt();
    if (m_table.folder().isEmpty() || jobRunning() || m_transfer->transferRunning()) {
        m_links.log(tr("ERROR: no library job started - no folder chosen, or a transfer runs"));
        return false;
    }
    if (job == LibraryTable::Job::Backup && !QDir().mkpath(m_table.folder())) {
        m_links.log(tr("ERROR: cannot create the folder '%1'").arg(m_table.folder()));
        return false;
    }
    watchFolder(); // the folder may be new
    std::vector<BankOperation> operations = m_table.operations(job, banks, fetchAgain);
    if (operations.empty()) {
        JobResult->announce(job == LibraryTable::Job::Backup
                               ? tr("Nothing to back up: every bank is in the folder already")
                               : tr("Nothing to do: no chosen bank has a file in the folder"));
        m_links.log(JobResult->text());
        return false;
    }
    BankJobRunner::Settings settings = jobSettings;
    settings.deviceId = m_transfer->deviceId();
    m_job = job;
    m_notSaved.clear();
    std::vector<int> jobBanks;
    for (const BankOperation& operation : operations)
        jobBanks.push_back(operation.bank);
    m_estimate.emplace(job, std::move(jobBanks), settings.bankChangeWaitMs + kBankTransferMs);
    m_estimate->setProgress({0, 0, 0});
    m_clock = std::make_unique<QtTransferClock>();
    m_runner = std::make_unique<BankJobRunner>(
        *m_clock, settings,
        BankJobRunner::Hooks{
            [this](const std::string& line) { m_links.log(QString::fromStdString(line)); },
            [this](std::span<const std::uint8_t> bytes) {
                return m_transfer->midiOut().SysEx(bytes.data(), static_cast<int>(bytes.size()));
            },
            [this](const JobProgress& progress) { progressed(progress); },
            [this](const BankReport& report) { operationEnded(report); },
            // After the runner's own last step, which must not see it gone.
            [this] {
                QMetaObject::invokeMethod(this, &LibraryPage::jobFinished, Qt::QueuedConnection);
            }});
    // Before the job's buttons are disabled (taking the transfer's input disables them).
    progressRow->show();
    const QString what = job == LibraryTable::Job::Backup    ? tr("backup")
                         : job == LibraryTable::Job::Restore ? tr("restore")
                                                             : tr("verify");
    m_jobFocus.started({BackupDevice, RestoreDevice, UploadChanged, VerifyBanks},
                       operations.size() == 1
                           ? tr("%1 of 1 bank").arg(what)
                           : tr("%1 of %2 banks").arg(what).arg(operations.size()));
    m_transfer->setJobInput(
        [this](std::span<const std::uint8_t> bytes) { m_runner->receive(bytes); });
    m_jobClock.start();
    if (!m_progressTimer) {
        m_progressTimer = new QTimer(this);
        m_progressTimer->setInterval(kProgressRefresh);
        connect(m_progressTimer, &QTimer::timeout, this, &LibraryPage::showProgress);
    }
    m_progressTimer->start();
    JobResult->clear();
    updateButtons();
    progressed({operations.front().bank, 0, 0});
    m_runner->start(std::move(operations));
    return true;
}

void LibraryPage::cancelJob() {
    if (m_runner) m_runner->cancel();
}

void LibraryPage::showProgress() {
    if (!m_estimate) return;
    const QString state = m_estimate->stateText();
    JobProgressBar->setValue(m_estimate->percent());
    JobProgressBar->setFormat(state);
    JobProgressBar->setAccessibleDescription(state);
    JobTimeLeft->setText(m_estimate->timeLeftText(m_jobClock.elapsed()));
}

// The table follows the bank in progress, and leaves the user's scrolling alone within a bank.
void LibraryPage::progressed(const JobProgress& progress) {
    if (progress.bank != m_estimate->bank())
        BankTable->scrollTo(BankTable->model()->index(progress.bank - 1, 0));
    m_estimate->setProgress(progress);
    showProgress();
}

void LibraryPage::operationEnded(const BankReport& report) {
    if (!m_table.take(report)) {
        m_notSaved.push_back(report.bank);
        m_links.log(tr("ERROR: bank %1 not saved into '%2'")
                            .arg(report.bank)
                            .arg(QDir::toNativeSeparators(m_table.folder())));
    }
    m_estimate->operationEnded(m_jobClock.elapsed());
    showRow(report.bank);
    showProgress();
}

void LibraryPage::jobFinished() {
    if (!m_runner) return;
    const QString line =
        LibraryTable::endLine(m_job, m_runner->reports(), std::exchange(m_notSaved, {}));
    if (m_job == LibraryTable::Job::Verify) showDifferencesFound(m_runner->reports());
    m_transfer->setJobInput(nullptr);
    m_progressTimer->stop();
    m_runner.reset();
    m_clock.reset();
    m_estimate.reset();
    JobResult->announce(line);
    m_links.log(line);
    updateButtons();
    m_jobFocus.ended(); // before Cancel hides and hands the focus on
    progressRow->hide();
}

void LibraryPage::showDifferencesFound(const std::vector<BankReport>& reports) {
    QStringList lines;
    for (const BankReport& report : reports)
        if (const auto& entry = m_table.entry(report.bank);
            entry.state == LibraryTable::State::Differs)
            lines << entry.details;
    if (!lines.isEmpty()) showDetails(lines);
}
