#include "library_page.h"

#include "bank_document.h"
#include "focus_quiet_view.h"
#include "live_status.h"
#include "midi_in.h"
#include "midi_out.h"
#include "page_controls.h"
#include "transfer_controller.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <set>

using page_controls::named;
using page_controls::pushButton;
using page_controls::widgetRow;

namespace {

enum Column { BankColumn, NameColumn, StateColumn };

constexpr int kRereadDelayMs = 100; // quiet after the last change notice

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
    return item;
}

} // namespace

QString LibraryPage::bankList(const std::vector<int>& banks) {
    QStringList numbers;
    for (const int bank : banks)
        numbers << QString::number(bank);
    return numbers.join(QStringLiteral(", "));
}

LibraryPage::LibraryPage(Links links, QWidget* parent)
    : DeferredPage(parent), m_links(std::move(links)) {
    setObjectName(QStringLiteral("LibrarySheet"));
}

LibraryPage::~LibraryPage() = default;

void LibraryPage::build() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeFolderRow());
    BankTable = named(new FocusQuietView<QTableWidget>(library_folder::kBankCount, 3), "BankTable",
                      tr("Banks"));
    BankTable->setHorizontalHeaderLabels({tr("Bank"), tr("Name"), tr("State")});
    BankTable->verticalHeader()->hide();
    // The corner button selects every bank, as Ctrl+A does.
    if (auto* corner = BankTable->findChild<QAbstractButton*>())
        corner->setAccessibleName(tr("Select all banks"));
    BankTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    BankTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    BankTable->setTabKeyNavigation(false); // Tab leaves the table for the buttons
    BankTable->setWordWrap(false);
    BankTable->verticalHeader()->setDefaultSectionSize(BankTable->fontMetrics().height() + 6);
    BankTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    BankTable->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    layout->addWidget(BankTable, 1);
    layout->addWidget(makeButtonRow());
    layout->addWidget(makeSlotRow());
    layout->addWidget(makeProgressRow());
    JobResult = new LiveStatus;
    JobResult->setObjectName(QStringLiteral("JobResult"));
    JobResult->setAccessibleDescription(tr("How the last job ended"));
    layout->addWidget(JobResult);
    layout->addWidget(makeDetails());
    m_watcher = new QFileSystemWatcher(this);
    m_rereadTimer = new QTimer(this);
    m_rereadTimer->setSingleShot(true);
    m_rereadTimer->setInterval(kRereadDelayMs);
    connectControls();
    openFolder(m_links.folderSetting);
}

QWidget* LibraryPage::makeFolderRow() {
    auto* rowWidget = new QWidget;
    auto* row = new QHBoxLayout(rowWidget);
    row->setContentsMargins(0, 0, 0, 0);
    FolderPath = new QLabel;
    FolderPath->setObjectName(QStringLiteral("FolderPath"));
    FolderPath->setAccessibleDescription(tr("Library folder"));
    FolderPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(new QLabel(tr("Folder:")));
    row->addWidget(FolderPath, 1);
    ChooseFolder = pushButton(tr("Choose Folder…"), "ChooseFolder");
    row->addWidget(ChooseFolder);
    SearchField = named(new QLineEdit, "SearchField", tr("Search the banks"));
    SearchField->setPlaceholderText(tr("Search: cc 74 ch 16"));
    SearchField->setClearButtonEnabled(true);
    for (QToolButton* clear : SearchField->findChildren<QToolButton*>())
        clear->setAccessibleName(tr("Clear search"));
    SearchField->setToolTip(tr("Finds every pot, button and bank name of the folder that holds all "
                               "the words, as the Overview words them"));
    row->addWidget(SearchField);
    return rowWidget;
}

QWidget* LibraryPage::makeButtonRow() {
    BackupDevice = pushButton(tr("Backup Device…"), "BackupDevice");
    RestoreDevice = pushButton(tr("Restore to Device…"), "RestoreDevice");
    UploadChanged = pushButton(tr("Upload Changed Banks"), "UploadChanged");
    UploadChanged->setToolTip(
        tr("Uploads the banks whose file differs from what the controller held after the last "
           "backup, restore or verify. A bank changed on the controller's own panel is not seen "
           "this way."));
    VerifyBanks = pushButton(tr("Verify"), "VerifyBanks");
    OpenInEditor = pushButton(tr("Open in Editor"), "OpenInEditor");
    CompareBanks = pushButton(tr("Compare"), "CompareBanks");
    CompareFolder = pushButton(tr("Compare Folder…"), "CompareFolder");
    PrintSheets = pushButton(tr("Print…"), "PrintSheets");
    return widgetRow({BackupDevice, RestoreDevice, UploadChanged, VerifyBanks, OpenInEditor,
                      CompareBanks, CompareFolder, PrintSheets});
}

QWidget* LibraryPage::makeProgressRow() {
    progressRow = new QWidget;
    auto* row = new QHBoxLayout(progressRow);
    row->setContentsMargins(0, 0, 0, 0);
    JobProgressBar = named(new QProgressBar, "JobProgressBar", tr("Job progress"));
    JobProgressBar->setRange(0, 100);
    JobTimeLeft = new QLabel;
    JobTimeLeft->setObjectName(QStringLiteral("JobTimeLeft"));
    JobTimeLeft->setAccessibleDescription(tr("Time left"));
    JobTimeLeft->setMinimumWidth(110);
    CancelJob = pushButton(tr("Cancel"), "CancelJob");
    m_jobFocus.setCancel(CancelJob);
    row->addWidget(JobProgressBar, 1);
    row->addWidget(JobTimeLeft);
    row->addWidget(CancelJob);
    progressRow->hide();
    return progressRow;
}

void LibraryPage::connectControls() {
    connect(ChooseFolder, &QPushButton::clicked, this, &LibraryPage::chooseFolderClick);
    connect(BackupDevice, &QPushButton::clicked, this, &LibraryPage::backupClick);
    connect(RestoreDevice, &QPushButton::clicked, this, &LibraryPage::restoreClick);
    connect(VerifyBanks, &QPushButton::clicked, this,
            [this] { startJob(LibraryTable::Job::Verify, chosenBanks()); });
    connect(OpenInEditor, &QPushButton::clicked, this, [this] {
        if (const auto banks = selectedBanks(); !banks.empty()) openInEditor(banks.front());
    });
    connect(CompareBanks, &QPushButton::clicked, this, [this] { compare(selectedBanks()); });
    connect(CancelJob, &QPushButton::clicked, this, &LibraryPage::cancelJob);
    // Without its ports every bank still to come would wait out its timeout in vain.
    for (MidiPort* port :
         std::initializer_list<MidiPort*>{&m_transfer->midiIn(), &m_transfer->midiOut()})
        connect(port, &MidiPort::portLost, this, &LibraryPage::cancelJob);
    connect(BankTable, &QTableWidget::itemSelectionChanged, this, &LibraryPage::updateButtons);
    connect(m_transfer, &TransferController::transferStateChanged, this, [this](bool portsReady) {
        m_portsReady = portsReady;
        updateButtons();
    });
    connect(m_transfer, &TransferController::bankTransferEnded, this, &LibraryPage::transferEnded);
    // A backup writes a file a bank and each write makes notices: the folder is read once after
    // them, not 128 files for each.
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_rereadTimer,
            qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_rereadTimer,
            qOverload<>(&QTimer::start));
    connect(m_rereadTimer, &QTimer::timeout, this, &LibraryPage::rereadFolder);
    connectWorkbench();
    m_transfer->UpdateButtonStatus(); // brings m_portsReady up to date
}

void LibraryPage::chooseFolderClick() {
    const QString start = m_table.folder().isEmpty() ? m_links.dialogStart : m_table.folder();
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Library Folder"), start);
    if (!folder.isEmpty()) openFolder(folder);
}

void LibraryPage::openFolder(const QString& folder) {
    ensureBuilt();
    if (jobRunning()) return; // the job's banks go into the folder it started with
    m_table.load(folder);
    m_slots.emplace(folder); // the slot history belongs to the folder it was made in
    m_links.folderSetting = folder;
    FolderPath->setText(folder.isEmpty() ? tr("No folder chosen")
                                         : QDir::toNativeSeparators(folder));
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    if (!watched.isEmpty()) m_watcher->removePaths(watched);
    watchFolder();
    showTable();
}

void LibraryPage::watchFolder() {
    if (m_table.folder().isEmpty()) return;
    // A file replaced whole is a new file, and its watch has gone with the old one.
    QStringList paths{m_table.folder()};
    for (int bank = 1; bank <= library_folder::kBankCount; ++bank)
        paths << library_folder::bankFilePath(m_table.folder(), bank);
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    paths.removeIf([&watched](const QString& path) {
        return watched.contains(path) || !QFileInfo::exists(path);
    });
    if (!paths.isEmpty()) m_watcher->addPaths(paths);
}

void LibraryPage::rereadFolder() {
    for (int bank = 1; bank <= library_folder::kBankCount; ++bank)
        if (m_table.reread(bank)) showRow(bank);
    watchFolder();
}

void LibraryPage::transferEnded(TransferProgress::Kind kind, int bank, bool complete,
                                const BankRecord& moved) {
    const bool upload = kind == TransferProgress::Kind::Upload;
    // A request that did not come whole changed nothing in the controller.
    if (bank < 1 || bank > library_folder::kBankCount || (!upload && !complete)) return;
    m_table.takeControllerBank(bank, complete ? std::optional(moved) : std::nullopt);
    showRow(bank);
}

void LibraryPage::showTable() {
    for (int bank = 1; bank <= library_folder::kBankCount; ++bank)
        showRow(bank);
    updateButtons();
}

void LibraryPage::showRow(int bank) {
    const LibraryTable::Entry& entry = m_table.entry(bank);
    const int row = bank - 1;
    BankTable->setItem(row, BankColumn, cell(QString::number(bank)));
    BankTable->setItem(row, NameColumn, cell(entry.name));
    QTableWidgetItem* state = cell(LibraryTable::stateText(entry));
    state->setToolTip(entry.details.join(QLatin1Char('\n')));
    BankTable->setItem(row, StateColumn, state);
}

std::vector<int> LibraryPage::selectedBanks() const {
    std::set<int> banks;
    for (const QModelIndex& index : BankTable->selectionModel()->selectedRows())
        banks.insert(index.row() + 1);
    return {banks.begin(), banks.end()};
}

void LibraryPage::updateButtons() {
    const bool haveFolder = !m_table.folder().isEmpty();
    const bool mayStart = haveFolder && m_portsReady && !jobRunning();
    ChooseFolder->setEnabled(!jobRunning());
    BackupDevice->setEnabled(mayStart);
    RestoreDevice->setEnabled(mayStart && !selectedBanks().empty());
    VerifyBanks->setEnabled(mayStart);
    const auto selected = selectedBanks().size();
    UploadChanged->setEnabled(mayStart);
    OpenInEditor->setEnabled(haveFolder && selected == 1);
    CompareBanks->setEnabled(haveFolder && (selected == 1 || selected == 2));
    CompareFolder->setEnabled(haveFolder);
    PrintSheets->setEnabled(haveFolder);
    const bool mayArrange = haveFolder && !jobRunning();
    for (QPushButton* each : {CopyBank, MoveBank, SwapBanks, RenameBank})
        each->setEnabled(mayArrange && selected == 1);
    UndoSlots->setEnabled(mayArrange && m_slots && m_slots->canUndo());
    RedoSlots->setEnabled(mayArrange && m_slots && m_slots->canRedo());
    UndoSlots->setToolTip(m_slots && m_slots->canUndo() ? tr("Undo %1").arg(m_slots->undoText())
                                                        : QString());
    RedoSlots->setToolTip(m_slots && m_slots->canRedo() ? tr("Redo %1").arg(m_slots->redoText())
                                                        : QString());
}

std::vector<int> LibraryPage::chosenBanks() const {
    const std::vector<int> banks = selectedBanks();
    return banks.empty() ? library_folder::allBanks() : banks;
}

void LibraryPage::backupClick() {
    const std::vector<int> banks = chosenBanks();
    if (!m_table.operations(LibraryTable::Job::Backup, banks).empty()) {
        startJob(LibraryTable::Job::Backup, banks);
        return;
    }
    const QString where =
        banks.size() == 1 ? tr("Bank %1 is in the folder already.").arg(banks.front())
                          : tr("All %1 chosen banks are in the folder already.").arg(banks.size());
    ask("FetchAgainQuestion", tr("Backup Device"),
        where + tr(" Fetch again from the controller and replace the files?"), tr("Fetch again"),
        [this, banks] { startJob(LibraryTable::Job::Backup, banks, true); });
}

void LibraryPage::restoreClick() {
    const std::vector<int> banks = selectedBanks();
    ask("RestoreConfirmation", tr("Restore to Device"),
        tr("Overwrite bank %1 in the controller with the files of the library folder?")
            .arg(bankList(banks)),
        tr("Restore"), [this, banks] { startJob(LibraryTable::Job::Restore, banks); });
}

void LibraryPage::ask(const char* objectName, const QString& title, const QString& text,
                      const QString& yesText, std::function<void()> yes) {
    // Shown without blocking, so that MIDI input keeps running while the user reads it.
    auto* question = new QMessageBox(QMessageBox::Question, title, text,
                                     QMessageBox::Yes | QMessageBox::No, this);
    question->setObjectName(QString::fromLatin1(objectName));
    question->button(QMessageBox::Yes)->setText(yesText);
    question->setDefaultButton(QMessageBox::No);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::finished, this, [yes = std::move(yes)](int result) {
        if (result == QMessageBox::Yes) yes();
    });
    question->open();
}

bool LibraryPage::openInEditor(int bank) {
    library_search::Hit bankName;
    bankName.bank = bank; // opened on no control of its own
    return m_links.open(library_folder::bankFilePath(m_table.folder(), bank), bankName);
}

void LibraryPage::compare(const std::vector<int>& banks) {
    if (banks.empty() || banks.size() > 2) return;
    m_links.document.commit(); // what the pages hold counts
    const auto against = m_table.record(banks.back());
    const auto first = banks.size() == 2 ? m_table.record(banks.front())
                                         : std::optional<BankRecord>(m_links.document.record());
    const QString firstName =
        banks.size() == 2 ? tr("Bank %1").arg(banks.front()) : tr("The editor's bank");
    const QStringList lines =
        first && against
            ? LibraryTable::differenceLines(
                  tr("%1 against bank %2").arg(firstName).arg(banks.back()), *first, *against)
            : QStringList{tr("No valid dump in the folder for bank %1").arg(bankList(banks))};
    showDetails(lines);
}
