// The editor window's menu bar: File, Edit, View and Help, over the actions the window's buttons
// and keys already run. Shortcuts that concern the bank work from the desk windows too.
#include "bank_history.h"
#include "build_info.h"
#include "button_page.h"
#include "editor_window.h"
#include "transfer_page.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QUndoStack>

namespace {

// An action of the window, named for tests and screen readers.
template <typename Run>
QAction* addItem(QMenu* menu, const QString& text, const char* name, Run run,
                 const QList<QKeySequence>& keys = {},
                 Qt::ShortcutContext context = Qt::ApplicationShortcut) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    action->setShortcutContext(context);
    QObject::connect(action, &QAction::triggered, menu, run);
    return action;
}

QKeySequence keys(QKeyCombination combination) {
    return QKeySequence(combination);
}

} // namespace

void TForm1::createMenus() {
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    MainMenu->setAccessibleName(tr("Menu"));
    layout()->setMenuBar(MainMenu);

    QMenu* file = MainMenu->addMenu(tr("&File"));
    addItem(file, tr("&Open…"), "OpenAction", [this] { OpenSysexClick(); },
            {keys(Qt::CTRL | Qt::Key_O)});
    RecentMenu = file->addMenu(tr("Open &Recent"));
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    addItem(file, tr("&Store…"), "StoreAction", [this] { storeBank(); },
            {keys(Qt::CTRL | Qt::Key_S)});
    addItem(file, tr("Store &As…"), "StoreAsAction", [this] { storeBankAs(); },
            {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    addItem(file, tr("Bank S&heet…"), "BankSheetAction", [this] { BankSheetClick(); });
    QAction* print = addItem(file, tr("&Print Bank Sheet…"), "PrintSheetAction",
                             [this] { printBankSheet(); }, {keys(Qt::CTRL | Qt::Key_P)});
    connect(FileSheet->PrintSheet, &QPushButton::clicked, print, &QAction::trigger);
    file->addSeparator();
    addItem(file, tr("&Quit"), "QuitAction", [this] { close(); }, {keys(Qt::CTRL | Qt::Key_Q)});

    QMenu* edit = MainMenu->addMenu(tr("&Edit"));
    // What is typed counts before the items say what they would undo.
    connect(edit, &QMenu::aboutToShow, this, [this] { document().commit(); });
    UndoAction = addItem(edit, tr("&Undo"), "UndoAction", [this] { stepHistory(true); },
                         {keys(Qt::CTRL | Qt::Key_Z)});
    RedoAction = addItem(edit, tr("&Redo"), "RedoAction", [this] { stepHistory(false); },
                         {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), keys(Qt::CTRL | Qt::Key_Y)});
    QUndoStack& stack = document().history().stack();
    const auto showSteps = [this, &stack] {
        UndoAction->setEnabled(stack.canUndo());
        UndoAction->setText(stack.canUndo() ? tr("&Undo %1").arg(stack.undoText()) : tr("&Undo"));
        RedoAction->setEnabled(stack.canRedo());
        RedoAction->setText(stack.canRedo() ? tr("&Redo %1").arg(stack.redoText()) : tr("&Redo"));
    };
    connect(&stack, &QUndoStack::indexChanged, this, showSteps);
    showSteps();
    edit->addSeparator();
    // In a text field of its own these keys copy and paste text; the key preview sees to that.
    QAction* copy = addItem(
        edit, tr("&Copy Pot/Button"), "CopyPotAction", [this] { CopyPot(); },
        {keys(Qt::CTRL | Qt::Key_C)}, Qt::WindowShortcut);
    QAction* paste = addItem(
        edit, tr("&Paste Pot/Button"), "PastePotAction", [this] { PastePot(); },
        {keys(Qt::CTRL | Qt::Key_V)}, Qt::WindowShortcut);
    // Only there: elsewhere the keys stay with the focused control (the log, the library table).
    const auto entryPageShown = [this, copy, paste] {
        QWidget* page = PageControl->currentWidget();
        const bool entries = page == PotSettings.page() || page == ButtSettings.page();
        copy->setEnabled(entries);
        paste->setEnabled(entries);
    };
    connect(PageControl, &QTabWidget::currentChanged, this, entryPageShown);
    entryPageShown();

    QMenu* view = MainMenu->addMenu(tr("&View"));
    addItem(view, tr("&Virtual Box"), "VirtualBoxAction",
            [this] { FileSheet->ShowFaderDesk->click(); });
    addItem(view, tr("&Custom Box…"), "CustomBoxAction", [this] { SelecCustomBoxClick(); });
    addItem(view, tr("&MIDI Monitor"), "MidiMonitorAction", [this] { showMidiMonitor(); });
    view->addSeparator();
    // Here, not in the tab widget: a combo box or text field that has the focus takes the keys
    // before the tab widget would see them.
    const auto turnPage = [this](int step) {
        const int count = PageControl->count();
        PageControl->setCurrentIndex((PageControl->currentIndex() + step + count) % count);
    };
    addItem(
        view, tr("&Next Page"), "NextPageAction", [turnPage] { turnPage(1); },
        {keys(Qt::CTRL | Qt::Key_Tab)}, Qt::WindowShortcut);
    addItem(
        view, tr("P&revious Page"), "PreviousPageAction", [turnPage] { turnPage(-1); },
        {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)}, Qt::WindowShortcut);

    QMenu* help = MainMenu->addMenu(tr("&Help"));
    addItem(help, tr("&Hints"), "HintsAction", [this] { HintsButtonClick(); });
    addItem(help, tr("&About"), "AboutAction", [this] {
        auto* about = new QMessageBox(
            QMessageBox::Information, tr("About vPultron64"),
            tr("vPultron64: editor and virtual box for the Pultron64 MIDI controller.\n%1\n%2")
                .arg(FileSheet->TestReleaseLabel->text(), TransferPage::webAddress()),
            QMessageBox::Ok, this);
        about->setObjectName(QStringLiteral("AboutBox"));
        about->setAttribute(Qt::WA_DeleteOnClose);
        about->open();
    });
}

// Each file with its folder, as two of the same name may be in different folders; files that
// have gone are dropped.
void TForm1::fillRecentMenu() {
    RecentMenu->clear();
    RecentFiles.removeIf([](const QString& path) { return !QFileInfo::exists(path); });
    for (const QString& path : RecentFiles) {
        const QFileInfo file(path);
        QAction* item = RecentMenu->addAction(
            QStringLiteral("%1  (%2)").arg(file.fileName(),
                                           QDir::toNativeSeparators(file.absolutePath())));
        item->setToolTip(path);
        item->setStatusTip(path);
        connect(item, &QAction::triggered, this, [this, path] { requestOpen(path); });
    }
    RecentMenu->setEnabled(!RecentFiles.isEmpty());
}
