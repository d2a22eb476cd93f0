// LibraryPage: the "Library" page of the editor window: the 128 banks of a library folder in a
// table that follows the files on disk and the window's transfers, and the jobs that move them
// between the folder and the controller (backup, restore, verify) over the window's MIDI ports,
// with their progress and a Cancel button; a bank opened in the editor, and two banks compared
// field by field.
#pragma once

#include "bank_job_runner.h"
#include "deferred_page.h"
#include "library_folder.h"
#include "library_table.h"
#include "transfer_progress.h"

#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <optional>

class QFileSystemWatcher;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;
class BankDocument;
class QtTransferClock;
class TransferController;

class LibraryPage : public DeferredPage {
    Q_OBJECT
public:
    // What the page takes from the editor.
    struct Links {
        BankDocument& document;
        QString& folderSetting;     // the page's folder, kept between runs
        const QString& dialogStart; // where choosing a folder starts while none is chosen
        std::function<void(const QString&)> log;
        // Opens a bank file in the editor, asking about unsaved edits first; false when it
        // cannot be opened now.
        std::function<bool(const QString&)> open;
    };
    explicit LibraryPage(Links links, QWidget* parent = nullptr);
    ~LibraryPage() override;

    QLabel* FolderPath = nullptr;
    QPushButton* ChooseFolder = nullptr;
    QTableWidget* BankTable = nullptr;
    QPushButton* BackupDevice = nullptr;
    QPushButton* RestoreDevice = nullptr;
    QPushButton* VerifyBanks = nullptr;
    QPushButton* OpenInEditor = nullptr;
    QPushButton* CompareBanks = nullptr;
    QWidget* progressRow = nullptr; // shown while a job runs
    QProgressBar* JobProgressBar = nullptr;
    QLabel* JobTimeLeft = nullptr;
    QPushButton* CancelJob = nullptr;
    QLabel* JobResult = nullptr;           // how the last job ended
    QPlainTextEdit* Differences = nullptr; // a comparison, or what a verify found

    // The timing the jobs run with; the device id is the transfer page's.
    BankJobRunner::Settings jobSettings;

    // The window's transfers and MIDI ports, which the jobs use; before the page is built.
    void attach(TransferController& transfer) { m_transfer = &transfer; }
    const LibraryTable& table() const { return m_table; }
    // What the dialogs and buttons run, for a chosen folder and chosen banks.
    void openFolder(const QString& folder);
    // False when the job cannot start: no folder, a transfer or job runs, or nothing to do
    // (then the log says so). `fetchAgain`: a backup requests the banks in the folder too.
    bool startJob(LibraryTable::Job job, const std::vector<int>& banks, bool fetchAgain = false);
    void cancelJob();
    bool jobRunning() const { return m_runner != nullptr; }
    // The selected banks, 1..128, in table order.
    std::vector<int> selectedBanks() const;
    // The selected banks, or all 128 when none is selected.
    std::vector<int> chosenBanks() const;
    // Two banks: the first against the second; one bank: the editor's bank against it.
    void compare(const std::vector<int>& banks);
    bool openInEditor(int bank);

protected:
    void build() override;

private:
    QWidget* makeFolderRow();
    QWidget* makeButtonRow();
    QWidget* makeProgressRow();
    void connectControls();
    void chooseFolderClick();
    void backupClick();
    void restoreClick();
    // Opens a question that runs `yes` when answered with `yesText`, without blocking MIDI input.
    void ask(const char* objectName, const QString& title, const QString& text,
             const QString& yesText, std::function<void()> yes);
    // Watches the folder for banks added and the bank files for changes by other programs.
    void watchFolder();
    void rereadFolder();
    void transferEnded(TransferProgress::Kind kind, int bank, bool complete,
                       const BankRecord& moved);
    void showTable();
    void showRow(int bank);
    void updateButtons();
    void showProgress();
    void progressed(const JobProgress& progress);
    void showDifferencesFound(const std::vector<BankReport>& reports);
    void operationEnded(const BankReport& report);
    void jobFinished();

    Links m_links;
    TransferController* m_transfer = nullptr;
    LibraryTable m_table;
    bool m_portsReady = false;
    // The running job; the runner is gone between jobs.
    LibraryTable::Job m_job = LibraryTable::Job::Backup;
    std::vector<int> m_notSaved; // banks of the running job that arrived but were not written
    std::unique_ptr<QtTransferClock> m_clock;
    std::unique_ptr<BankJobRunner> m_runner;
    std::optional<JobProgressEstimate> m_estimate;
    QElapsedTimer m_jobClock;
    QTimer* m_progressTimer = nullptr;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_rereadTimer = nullptr; // one reread for a burst of notices
};
