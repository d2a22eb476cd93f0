// The editor window's preset library, its copy and paste of whole entries, and its keys.
#include "box_config_page.h"
#include "button_page.h"
#include "editor_window.h"
#include "overview_page.h"
#include "plain_title.h"
#include "preset_library.h"
#include "preset_selector.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>

namespace {

// The focused control when it is a text field of its own, not the text of a number or a list.
QLineEdit* focusedTextField() {
    auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!field || qobject_cast<QAbstractSpinBox*>(field->parentWidget()) ||
        qobject_cast<QComboBox*>(field->parentWidget()))
        return nullptr;
    return field;
}

bool isUndoKey(Qt::KeyboardModifiers modifiers, int key) {
    return modifiers == Qt::ControlModifier && key == Qt::Key_Z;
}

bool isRedoKey(Qt::KeyboardModifiers modifiers, int key) {
    return (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_Z) ||
           (modifiers == Qt::ControlModifier && key == Qt::Key_Y);
}

} // namespace

void TForm1::ReadPresetFile(const QString& settingsFileArgument) {
    PresetFileName = preset_file::settingsFilePath(settingsFileArgument, m_folders.settingsDir());
    const PresetLibrary library = preset_file::read(PresetFileName, m_folders.shipped);
    PotSettings.page()->setMetaCaptions(library.metaCaptions);
    CustomDeskFile = library.customDeskFile;
    BoxSettingsTabsheet.page()->setDeskOptions(library.autoShowDesk, library.hideEditor);
    CustomSysexFileName = library.customSysexFileName;
    ButtSettings.page()->setPresets(library.buttPresetKeys, library.buttPresetNames);
    PotSettings.page()->setPresets(library.potPresetKeys, library.potPresetNames);
    Overview.page()->setPresets(library.potPresetKeys, library.potPresetNames,
                                library.buttPresetKeys, library.buttPresetNames);
}

void TForm1::CopyPot() {
    if (PageControl->currentWidget() == PotSettings.page())
        PotCopyBuffer = PotSettings->copySelected();
    else if (PageControl->currentWidget() == ButtSettings.page())
        ButtCopyBuffer = ButtSettings->copySelected();
}

void TForm1::PastePot() {
    document().commit();
    if (PageControl->currentWidget() == PotSettings.page()) {
        PotSettings->pasteSelected(PotCopyBuffer);
        document().commit(tr("paste onto pot %1").arg(PotSettings->selectedPot()));
    } else if (PageControl->currentWidget() == ButtSettings.page()) {
        ButtSettings->pasteSelected(ButtCopyBuffer);
        document().commit(tr("paste onto button %1").arg(ButtSettings->selectedButton()));
    }
}

void TForm1::StoreAppSettings() {
    // An installed program writes the user's copy of its settings file, never the shipped one.
    const QString target = m_folders.writableSettingsFile(PresetFileName);
    if (!target.isEmpty()) {
        PresetFileName = target;
        QStringList log;
        const bool written = preset_file::storeAppSettings(
            PresetFileName, CustomDeskFile, BoxSettingsTabsheet.page()->autoShowDesk(),
            BoxSettingsTabsheet.page()->hideEditorWithDesk(), log);
        for (const QString& line : log)
            WriteMsg(line);
        if (written) return;
    }
    const QString failed = target.isEmpty() ? m_folders.userSettingsFile() : target;
    auto* message = new QMessageBox(QMessageBox::Warning, plainTitle(*this),
                                    tr("Unable to write to %1").arg(failed), QMessageBox::Ok, this);
    message->setObjectName(QStringLiteral("StoreAppSettingsMessage"));
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->open();
}

bool TForm1::FormKeyDown(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const int key = event.key();
    if (modifiers == (Qt::ControlModifier | Qt::AltModifier) && key == Qt::Key_S) {
        StoreAppSettings();
        return true;
    }
    QWidget* page = PageControl->currentWidget();
    const bool bankPage = page == PotSettings.page() || page == ButtSettings.page() ||
                          page == BoxSettingsTabsheet.page();
    // Text fields of the other pages keep their own undo and redo.
    if ((isUndoKey(modifiers, key) || isRedoKey(modifiers, key)) &&
        (bankPage || !focusedTextField())) {
        stepHistory(isUndoKey(modifiers, key));
        return true;
    }
    // Enter ends typing: the typed value counts, after the field has taken the key.
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        QMetaObject::invokeMethod(
            this, [this] { document().commit(); }, Qt::QueuedConnection);
    // Elsewhere these keys keep their usual meaning for the focused control.
    if (page != PotSettings.page() && page != ButtSettings.page()) return false;
    if (modifiers == Qt::ControlModifier && (key == Qt::Key_C || key == Qt::Key_V) &&
        !focusedTextField()) {
        key == Qt::Key_C ? CopyPot() : PastePot();
        return true;
    }
    if (modifiers == Qt::NoModifier && (key == Qt::Key_PageUp || key == Qt::Key_PageDown)) {
        document().commit(); // what was typed belongs to the entry shown so far
        const int step = key == Qt::Key_PageUp ? 1 : -1;
        if (page == PotSettings.page())
            PotSettings->stepPot(step);
        else
            ButtSettings->stepButton(step);
        return true;
    }
    return false;
}
