// The editor window's side of the bank's document: the views follow its undo and redo, the title
// its origin and unsaved mark, and the question before unsaved edits are lost.
#include "box_config_page.h"
#include "build_info.h"
#include "library_search.h"
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

void TForm1::createDocument() {
    BankDocument& bank = document();
    connect(&bank, &BankDocument::restored, this, &TForm1::showRestored);
    connect(&bank, &BankDocument::modifiedChanged, this, &QWidget::setWindowModified);
    connect(&bank, &BankDocument::originChanged, this, &TForm1::showOrigin);
    // The box configuration page gives its values to the record only when asked.
    bank.setPendingEdits([this] {
        if (BoxConfigPage* box = BoxSettingsTabsheet.ifBuilt(); box && box->editedSinceLoad())
            SaveSettingsFromForm();
    });
    m_unsavedQuestion = new UnsavedEditsQuestion(
        *this, [&bank] { return bank.hasUnsavedEdits(); }, [this] { return storeBank(); });
    // A typed value counts once its field is left.
    connect(qApp, &QApplication::focusChanged, this, [this, &bank](QWidget* old) {
        if (old && isAncestorOf(old)) bank.commit();
    });
    // A choice from a list or a click counts at once; these run after the page's own handlers.
    const auto commitOnChoices = [this, &bank](QWidget& page) {
        for (QComboBox* list : page.findChildren<QComboBox*>())
            connect(list, &QComboBox::activated, this, [&bank] { bank.commit(); });
        for (QAbstractButton* box : page.findChildren<QAbstractButton*>())
            connect(box, &QAbstractButton::clicked, this, [&bank] { bank.commit(); });
    };
    onceBuilt(BoxSettingsTabsheet.page(), this, commitOnChoices);
    onceBuilt(PotSettings.page(), this, commitOnChoices);
    onceBuilt(ButtSettings.page(), this, commitOnChoices);
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
    setWindowTitle(document().origin().caption(builtIn) + QStringLiteral("[*]"));
}

int TForm1::originBank() const {
    const int bank = document().origin().bank;
    return bank != 0 ? bank : FileSheet->PatternNumber->clampedValue();
}

void TForm1::askAboutUnsavedEdits(const QString& what, std::function<void()> action,
                                  std::function<void()> cancelled) {
    m_unsavedQuestion->askThen(what, std::move(action), std::move(cancelled));
}

// A bank without a file of its own (built in, received) asks for a name: it must never go
// into the file of the bank it replaced.
bool TForm1::storeBank() {
    const QString& file = document().origin().file;
    if (file.isEmpty()) return storeBankAs();
    return storeSysexFile(file, 1);
}

bool TForm1::requestOpen(const QString& path, std::function<void()> opened) {
    const auto open = [this, path, opened = std::move(opened)] {
        const bool done = openSysexFile(path);
        if (done && opened) opened();
        return done;
    };
    // A file that cannot be opened now says so without a question first.
    if (!preset_file::fileExists(path) || transfer().transfer().uploading()) return open();
    askAboutUnsavedEdits(tr("opening '%1'").arg(QFileInfo(path).fileName()), open);
    return true;
}

void TForm1::showControl(const library_search::Hit& at) {
    if (at.place == library_search::Place::Pot) {
        PageControl->setCurrentWidget(PotSettings);
        PotSettings->PotNumber->setValue(at.control);
    } else if (at.place == library_search::Place::Button) {
        PageControl->setCurrentWidget(ButtSettings);
        ButtSettings->ButtNumber->setValue(at.control);
    }
}

void TForm1::rememberRecentFile(const QString& path) {
    RecentFiles.removeAll(path);
    RecentFiles.prepend(path);
    while (RecentFiles.size() > kRecentFiles)
        RecentFiles.removeLast();
    fillRecentMenu();
}
