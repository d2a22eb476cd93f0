// LibraryPage: the "Library" page of the editor window: the 128 banks of a library folder in a
// table that follows the files on disk and the window's transfers, and the jobs that move them
// between the folder and the controller (backup, restore, upload of the changed banks, verify)
// over the window's MIDI ports, with their progress and a Cancel button. As a workbench it
// arranges the slots (copy, move, swap, rename, drag and drop, with an undo of its own), finds
// controls across the banks, compares two banks or two folders, opens a bank in the editor and
// prints the sheets of the chosen banks.
#pragma once

#include "bank_job_runner.h"
#include "deferred_page.h"
#include "job_focus.h"
#include "library_folder.h"
#include "library_search.h"
#include "library_slots.h"
#include "library_table.h"
#include "transfer_progress.h"

#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <optional>

class QFileSystemWatcher;
class QLabel;
class LiveStatus;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QTabWidget;
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
        // Opens a bank file in the editor, asking about unsaved edits first, and shows the
        // control of `at` when one is named; false when it cannot be opened now.
        std::function<bool(const QString& path, const library_search::Hit& at)> open;
    };
    explicit LibraryPage(Links links, QWidget* parent = nullptr);
    ~LibraryPage() override;

    QLabel* FolderPath = nullptr;
    QPushButton* ChooseFolder = nullptr;
    QTableWidget* BankTable = nullptr;
    QPushButton* BackupDevice = nullptr;
    QPushButton* RestoreDevice = nullptr;
    QPushButton* VerifyBanks = nullptr;
    QPushButton* UploadChanged = nullptr;
    QPushButton* OpenInEditor = nullptr;
    QPushButton* CompareBanks = nullptr;
    QPushButton* CompareFolder = nullptr;
    QPushButton* PrintSheets = nullptr;
    // The slots: each works on the folder's files, and the page's own Undo and Redo take it back.
    QPushButton* CopyBank = nullptr;
    QPushButton* MoveBank = nullptr;
    QPushButton* SwapBanks = nullptr;
    QPushButton* RenameBank = nullptr;
    QPushButton* UndoSlots = nullptr;
    QPushButton* RedoSlots = nullptr;
    QLineEdit* SearchField = nullptr;
    QTabWidget* Details = nullptr; // the differences and the lines found
    QListWidget* SearchResults = nullptr;
    QWidget* progressRow = nullptr; // shown while a job runs
    QProgressBar* JobProgressBar = nullptr;
    QLabel* JobTimeLeft = nullptr;
    QPushButton* CancelJob = nullptr;
    LiveStatus* JobResult = nullptr;       // how the last job ended, spoken as it ends
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
    // The slot operations of the page, on the open folder; false with a log line when refused.
    enum class SlotOperation { Copy, Move, Swap };
    bool arrange(SlotOperation operation, int from, int to);
    bool rename(int bank, const QString& name);
    bool undoSlots();
    bool redoSlots();
    // "Upload Changed Banks": the banks whose file differs from what the controller is known to
    // hold, after a question.
    void uploadChangedClick();
    // Every control and bank name of the folder's banks that holds all the words.
    void search(const QString& words);
    // The open folder against `other`, bank by bank, on the details pane.
    void compareFolder(const QString& other);
    // The print preview of the chosen banks' sheets.
    void printChosen();

protected:
    void build() override;

private:
    QWidget* makeFolderRow();
    QWidget* makeButtonRow();
    QWidget* makeProgressRow();
    QWidget* makeSlotRow();
    QWidget* makeDetails();
    void connectControls();
    void connectWorkbench();
    // A bank number asked for without blocking, then `then` with it.
    void askBank(const QString& title, const QString& label, int from,
                 std::function<void(int)> then);
    // Drops a row onto another: asks "Copy" or "Swap".
    bool eventFilter(QObject* watched, QEvent* event) override;
    void askCopyOrSwap(int from, int to);
    void slotsChanged(const std::vector<int>& banks);
    void showDetails(const QStringList& lines);
    // "3, 17, 90", for the questions.
    static QString bankList(const std::vector<int>& banks);
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
    std::optional<LibrarySlots> m_slots; // the folder's slot history, until another is opened
    bool m_portsReady = false;
    // The running job; the runner is gone between jobs.
    LibraryTable::Job m_job = LibraryTable::Job::Backup;
    std::vector<int> m_notSaved; // banks of the running job that arrived but were not written
    std::unique_ptr<QtTransferClock> m_clock;
    std::unique_ptr<BankJobRunner> m_runner;
    std::optional<JobProgressEstimate> m_estimate;
    QElapsedTimer m_jobClock;
    JobFocus m_jobFocus; // from the button that starts a job to Cancel and back
    QTimer* m_progressTimer = nullptr;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_rereadTimer = nullptr; // one reread for a burst of notices
};
