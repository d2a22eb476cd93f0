// The editor window's bank as a document: its undo history, the unsaved mark in the title and
// the question before unsaved edits are lost.
#include "bank_history.h"
#include "box_config_page.h"
#include "build_info.h"
#include "button_page.h"
#include "editor_window.h"
#include "preset_library.h"
#include "spin_edit.h"
#include "transfer_control.h"
#include "transfer_controller.h"
#include "transfer_page.h"
#include "unsaved_edits_question.h"
#include "virtual_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QTabWidget>

void TForm1::createHistory() {
    m_history = new BankHistory(record, this);
    connect(m_history, &BankHistory::restored, this, &TForm1::showRestored);
    connect(m_history, &BankHistory::modifiedChanged, this, &QWidget::setWindowModified);
    connect(m_history, &BankHistory::originChanged, this, &TForm1::showOrigin);
    m_unsavedQuestion = new UnsavedEditsQuestion(
        *this, [this] { return hasUnsavedEdits(); }, [this] { return storeBank(); });
    // A typed value counts once its field is left.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old) {
        if (old && isAncestorOf(old)) commitPageEdits();
    });
    // A choice from a list or a click counts at once; these run after the page's own handlers.
    const auto commitOnChoices = [this](QWidget& page) {
        for (QComboBox* list : page.findChildren<QComboBox*>())
            connect(list, &QComboBox::activated, this, [this] { commitPageEdits(); });
        for (QAbstractButton* box : page.findChildren<QAbstractButton*>())
            connect(box, &QAbstractButton::clicked, this, [this] { commitPageEdits(); });
    };
    onceBuilt(BoxSettingsTabsheet.page(), this, commitOnChoices);
    onceBuilt(PotSettings.page(), this, commitOnChoices);
    onceBuilt(ButtSettings.page(), this, commitOnChoices);
}

void TForm1::recordEdited(const BankRecord& before, const QString& text) {
    m_history->recordEdited(before, text);
}

void TForm1::commitPageEdits(const QString& text) {
    // The box configuration page gives its values to the record only when asked.
    if (BoxConfigPage* box = BoxSettingsTabsheet.ifBuilt(); box && box->editedSinceLoad())
        SaveSettingsFromForm();
    m_history->commit(text);
}

void TForm1::undoEdit() {
    commitPageEdits();
    m_history->stack().undo();
}

void TForm1::redoEdit() {
    commitPageEdits();
    m_history->stack().redo();
}

bool TForm1::replaceBank(const QString& text, const std::function<bool()>& load,
                         const BankOrigin& origin) {
    commitPageEdits();
    return m_history->loadBank(text, load, origin);
}

// The pages and the desk show the restored bank, and the page shows the field that changed.
void TForm1::showRestored(const RecordPatch& patch) {
    LoadSettingsToForm();
    FaderDesk().FillDeskFromBank();
    if (patch.withinOnePlace()) {
        const RecordPlace place = patch.place();
        switch (place.area) {
        case RecordPlace::Area::Pot:
            PageControl->setCurrentWidget(PotSettings);
            PotSettings->selectPot(place.entry);
            break;
        case RecordPlace::Area::Button:
            PageControl->setCurrentWidget(ButtSettings);
            ButtSettings->selectButton(place.entry);
            break;
        case RecordPlace::Area::Global:
            PageControl->setCurrentWidget(BoxSettingsTabsheet);
            break;
        }
    }
    emit recordRestored();
}

// The caption names what is open; "[*]" is the unsaved mark's place.
void TForm1::showOrigin() {
    const QString builtIn = tr("Pultron64 Editor : Version Compiled on ") + buildDate();
    setWindowTitle(m_history->origin().caption(builtIn) + QStringLiteral("[*]"));
}

int TForm1::originBank() const {
    const int bank = m_history->origin().bank;
    return bank != 0 ? bank : FileSheet->PatternNumber->clampedValue();
}

bool TForm1::hasUnsavedEdits() {
    commitPageEdits();
    return m_history->modified();
}

void TForm1::askAboutUnsavedEdits(const QString& what, std::function<void()> action,
                                  std::function<void()> cancelled) {
    m_unsavedQuestion->askThen(what, std::move(action), std::move(cancelled));
}

// A bank without a file of its own (built in, received) asks for a name: it must never go
// into the file of the bank it replaced.
bool TForm1::storeBank() {
    const QString& file = m_history->origin().file;
    if (file.isEmpty()) return storeBankAs();
    return storeSysexFile(file, 1);
}

bool TForm1::requestOpen(const QString& path) {
    // A file that cannot be opened now says so without a question first.
    if (!preset_file::fileExists(path) || transfer().transfer().uploading())
        return openSysexFile(path);
    askAboutUnsavedEdits(tr("opening '%1'").arg(QFileInfo(path).fileName()),
                         [this, path] { openSysexFile(path); });
    return true;
}

void TForm1::rememberRecentFile(const QString& path) {
    RecentFiles.removeAll(path);
    RecentFiles.prepend(path);
    while (RecentFiles.size() > kRecentFiles)
        RecentFiles.removeLast();
    fillRecentMenu();
}
