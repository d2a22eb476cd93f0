// The "Library" page as a workbench: the slots arranged on the folder's files with an undo of
// their own, the upload of the changed banks, the search over every bank, the comparison with
// another folder and the print preview of the chosen banks.
#include "bank_document.h"
#include "focus_quiet_view.h"
#include "library_compare.h"
#include "library_page.h"
#include "library_state.h"
#include "live_status.h"
#include "page_controls.h"
#include "sheet_print.h"

#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

using page_controls::named;
using page_controls::pushButton;
using page_controls::widgetRow;

namespace {

constexpr int kSearchDelayMs = 150; // typing on: one search after the last key

// Where a found line sits, kept on its list item.
enum HitRole { BankRole = Qt::UserRole, PlaceRole, ControlRole };

} // namespace

QWidget* LibraryPage::makeSlotRow() {
    CopyBank = pushButton(tr("Copy To…"), "CopyBank");
    MoveBank = pushButton(tr("Move To…"), "MoveBank");
    SwapBanks = pushButton(tr("Swap…"), "SwapBanks");
    RenameBank = pushButton(tr("Rename…"), "RenameBank");
    UndoSlots = pushButton(tr("Undo"), "UndoSlots");
    RedoSlots = pushButton(tr("Redo"), "RedoSlots");
    return widgetRow({CopyBank, MoveBank, SwapBanks, RenameBank, UndoSlots, RedoSlots});
}

QWidget* LibraryPage::makeDetails() {
    Details = named(new QTabWidget, "LibraryDetails", tr("Library details"));
    Differences = named(new QPlainTextEdit, "Differences", tr("Differences"));
    Differences->setReadOnly(true);
    SearchResults = named(new FocusQuietView<QListWidget>, "SearchResults", tr("Found"));
    SearchResults->setAccessibleDescription(
        tr("Every control that holds the words searched for; Enter opens its bank on it"));
    Details->addTab(Differences, tr("Differences"));
    Details->addTab(SearchResults, tr("Found"));
    Details->setMaximumHeight(150);
    return Details;
}

void LibraryPage::connectWorkbench() {
    connect(UploadChanged, &QPushButton::clicked, this, &LibraryPage::uploadChangedClick);
    connect(CompareFolder, &QPushButton::clicked, this, [this] {
        const QString other =
            QFileDialog::getExistingDirectory(this, tr("Compare With Folder"), m_table.folder());
        if (!other.isEmpty()) compareFolder(other);
    });
    connect(PrintSheets, &QPushButton::clicked, this, &LibraryPage::printChosen);
    const auto arrangeClick = [this](SlotOperation operation, const QString& title) {
        const auto banks = selectedBanks();
        if (banks.size() != 1) return;
        askBank(title, tr("Bank %1 to bank:").arg(banks.front()), banks.front(),
                [this, operation, from = banks.front()](int to) { arrange(operation, from, to); });
    };
    connect(CopyBank, &QPushButton::clicked, this,
            [=] { arrangeClick(SlotOperation::Copy, tr("Copy Bank")); });
    connect(MoveBank, &QPushButton::clicked, this,
            [=] { arrangeClick(SlotOperation::Move, tr("Move Bank")); });
    connect(SwapBanks, &QPushButton::clicked, this,
            [=] { arrangeClick(SlotOperation::Swap, tr("Swap Banks")); });
    connect(RenameBank, &QPushButton::clicked, this, [this] {
        const auto banks = selectedBanks();
        if (banks.size() != 1) return;
        auto* dialog = new QInputDialog(this);
        dialog->setObjectName(QStringLiteral("RenameBankDialog"));
        dialog->setWindowTitle(tr("Rename Bank"));
        dialog->setLabelText(tr("Name of bank %1:").arg(banks.front()));
        dialog->setTextValue(m_table.entry(banks.front()).name);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QInputDialog::textValueSelected, this,
                [this, bank = banks.front()](const QString& name) { rename(bank, name); });
        dialog->open();
    });
    connect(UndoSlots, &QPushButton::clicked, this, &LibraryPage::undoSlots);
    connect(RedoSlots, &QPushButton::clicked, this, &LibraryPage::redoSlots);
    auto* searchTimer = new QTimer(this);
    searchTimer->setSingleShot(true);
    searchTimer->setInterval(kSearchDelayMs);
    connect(SearchField, &QLineEdit::textEdited, searchTimer, qOverload<>(&QTimer::start));
    connect(SearchField, &QLineEdit::returnPressed, this, [this, searchTimer] {
        searchTimer->stop();
        search(SearchField->text());
    });
    connect(searchTimer, &QTimer::timeout, this, [this] { search(SearchField->text()); });
    connect(SearchResults, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        library_search::Hit at;
        at.bank = item->data(BankRole).toInt();
        if (at.bank == 0) return; // "Nothing found"
        at.place = library_search::Place(item->data(PlaceRole).toInt());
        at.control = item->data(ControlRole).toInt();
        m_links.open(library_folder::bankFilePath(m_table.folder(), at.bank), at);
    });
    BankTable->viewport()->installEventFilter(this);
    BankTable->setDragEnabled(true);
    BankTable->setDragDropMode(QAbstractItemView::DragDrop);
    BankTable->setDropIndicatorShown(true);
    BankTable->viewport()->setAcceptDrops(true); // drops reach the filter above, not the view
}

void LibraryPage::askBank(const QString& title, const QString& label, int from,
                          std::function<void(int)> then) {
    auto* dialog = new QInputDialog(this);
    dialog->setObjectName(QStringLiteral("TargetBankDialog"));
    dialog->setWindowTitle(title);
    dialog->setLabelText(label);
    dialog->setIntRange(1, library_folder::kBankCount);
    dialog->setIntValue(from % library_folder::kBankCount + 1);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QInputDialog::intValueSelected, this, std::move(then));
    dialog->open();
}

bool LibraryPage::arrange(SlotOperation operation, int from, int to) {
    if (!m_slots || jobRunning() || from == to) return false;
    QString error;
    const bool done = operation == SlotOperation::Copy   ? m_slots->copy(from, to, &error)
                      : operation == SlotOperation::Move ? m_slots->move(from, to, &error)
                                                         : m_slots->swap(from, to, &error);
    if (!done) {
        m_links.log(tr("ERROR: %1").arg(error));
        JobResult->announce(error);
        return false;
    }
    JobResult->announce(m_slots->undoText());
    slotsChanged({from, to});
    return true;
}

bool LibraryPage::rename(int bank, const QString& name) {
    if (!m_slots || jobRunning()) return false;
    QString error;
    if (!m_slots->rename(bank, name, &error)) {
        m_links.log(tr("ERROR: %1").arg(error));
        JobResult->announce(error);
        return false;
    }
    JobResult->announce(m_slots->undoText());
    slotsChanged({bank});
    return true;
}

bool LibraryPage::undoSlots() {
    if (!m_slots || !m_slots->canUndo() || jobRunning()) return false;
    const QString text = m_slots->undoText();
    QString error;
    if (!m_slots->undo(&error)) {
        m_links.log(tr("ERROR: %1 not undone - %2").arg(text, error));
        JobResult->announce(error);
        return false;
    }
    JobResult->announce(tr("Undone: %1").arg(text));
    slotsChanged(library_folder::allBanks());
    return true;
}

bool LibraryPage::redoSlots() {
    if (!m_slots || !m_slots->canRedo() || jobRunning()) return false;
    QString error;
    if (!m_slots->redo(&error)) {
        m_links.log(tr("ERROR: %1").arg(error));
        JobResult->announce(error);
        return false;
    }
    JobResult->announce(tr("Redone: %1").arg(m_slots->undoText()));
    slotsChanged(library_folder::allBanks());
    return true;
}

// The table shows the files at once, without waiting for the folder's change notices.
void LibraryPage::slotsChanged(const std::vector<int>& banks) {
    for (const int bank : banks)
        if (m_table.reread(bank)) showRow(bank);
    watchFolder();
    updateButtons();
}

bool LibraryPage::eventFilter(QObject* watched, QEvent* event) {
    if (BankTable == nullptr || watched != BankTable->viewport()) return false;
    // Rows of the table itself carry the item views' own format; files dropped from elsewhere
    // are not slots.
    const auto ownRow = [this](QDropEvent* drop) {
        const bool rows =
            drop->mimeData()->hasFormat(QStringLiteral("application/x-qabstractitemmodeldatalist"));
        return rows ? BankTable->indexAt(drop->position().toPoint()).row() : -1;
    };
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        drag->setAccepted(ownRow(drag) >= 0 && !jobRunning());
        if (drag->isAccepted()) drag->setDropAction(Qt::CopyAction);
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const int to = ownRow(drop) + 1;
        const auto from = selectedBanks();
        drop->setDropAction(Qt::IgnoreAction); // the table's own drop would move its cells
        drop->accept();
        if (to >= 1 && from.size() == 1 && from.front() != to) askCopyOrSwap(from.front(), to);
        return true;
    }
    default:
        return false;
    }
}

void LibraryPage::askCopyOrSwap(int from, int to) {
    auto* question =
        new QMessageBox(QMessageBox::Question, tr("Arrange Banks"),
                        tr("Copy bank %1 onto bank %2, or swap the two banks?").arg(from).arg(to),
                        QMessageBox::Cancel, this);
    question->setObjectName(QStringLiteral("CopyOrSwapQuestion"));
    QPushButton* copy = question->addButton(tr("Copy"), QMessageBox::AcceptRole);
    QPushButton* swap = question->addButton(tr("Swap"), QMessageBox::AcceptRole);
    question->setDefaultButton(QMessageBox::Cancel);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::buttonClicked, this, [=, this](QAbstractButton* clicked) {
        if (clicked == copy) arrange(SlotOperation::Copy, from, to);
        if (clicked == swap) arrange(SlotOperation::Swap, from, to);
    });
    question->open();
}

void LibraryPage::uploadChangedClick() {
    QString why;
    const auto changed = changedBanks(m_table.folder(), library_folder::allBanks(), &why);
    if (!changed) {
        ask("UploadAllQuestion", tr("Upload Changed Banks"),
            tr("The folder has no record of what the controller holds (%1), so the changed banks "
               "are not known. Upload every bank of the folder?")
                .arg(why),
            tr("Upload All"),
            [this] { startJob(LibraryTable::Job::Restore, library_folder::allBanks()); });
        return;
    }
    if (changed->empty()) {
        JobResult->announce(tr("No bank changed: the controller holds every bank of the folder"));
        m_links.log(JobResult->text());
        return;
    }
    ask("UploadChangedQuestion", tr("Upload Changed Banks"),
        tr("Changed banks: %1. Overwrite them in the controller with the folder's files?")
            .arg(bankList(*changed)),
        tr("Upload"), [this, banks = *changed] { startJob(LibraryTable::Job::Restore, banks); });
}

void LibraryPage::search(const QString& words) {
    SearchResults->clear();
    const library_search::Query query(words.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    if (query.empty() || m_table.folder().isEmpty()) return;
    QString error;
    const auto found = library_search::searchFolder(m_table.folder(), query, &error);
    if (!found) {
        new QListWidgetItem(tr("Not searched: %1").arg(error), SearchResults);
        return;
    }
    for (const library_search::Hit& hit : found->hits) {
        auto* item = new QListWidgetItem(QString::fromStdString(hit.line), SearchResults);
        item->setData(BankRole, hit.bank);
        item->setData(PlaceRole, int(hit.place));
        item->setData(ControlRole, hit.control);
    }
    const auto count = found->hits.size();
    SearchField->setAccessibleDescription(count == 0   ? tr("Nothing found")
                                          : count == 1 ? tr("1 line found")
                                                       : tr("%1 lines found").arg(count));
    if (count == 0) new QListWidgetItem(tr("Nothing found for \"%1\"").arg(words), SearchResults);
    Details->setCurrentWidget(SearchResults);
}

void LibraryPage::compareFolder(const QString& other) {
    QString error;
    const auto comparison = library_compare::compareFolders(m_table.folder(), other, &error);
    if (!comparison) {
        showDetails({tr("Not compared: %1").arg(error)});
        return;
    }
    const auto differing = comparison->banks.size();
    QStringList lines{
        tr("'%1' against '%2': %3")
            .arg(QDir::toNativeSeparators(m_table.folder()), QDir::toNativeSeparators(other),
                 differing == 1 ? tr("1 bank differs") : tr("%1 banks differ").arg(differing))};
    for (const std::string& line : comparison->unreadable)
        lines << QString::fromStdString(line);
    for (const std::string& line : comparison->lines())
        lines << QString::fromStdString(line);
    showDetails(lines);
}

void LibraryPage::showDetails(const QStringList& lines) {
    Differences->setPlainText(lines.join(QLatin1Char('\n')));
    Details->setCurrentWidget(Differences);
}

void LibraryPage::printChosen() {
    std::vector<bank_sheet::Content> sheets;
    for (const int bank : chosenBanks())
        if (const auto record = m_table.record(bank)) sheets.push_back({*record, bank});
    if (sheets.empty()) {
        JobResult->announce(tr("Nothing to print: no chosen bank has a file in the folder"));
        return;
    }
    sheet_print::openPreview(this, std::move(sheets));
}
