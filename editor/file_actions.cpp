// The editor window's files: opening and storing banks, the converter export, the start-up bank,
// dropped files, and the settings kept between runs.
#include "bank_history.h"
#include "box_config_page.h"
#include "button_page.h"
#include "converter_ini.h"
#include "dump_file.h"
#include "edit_combo.h"
#include "editor_window.h"
#include "midi_file.h"
#include "page_controls.h"
#include "preset_library.h"
#include "preset_selector.h"
#include "registry_settings.h"
#include "spin_edit.h"
#include "sysex_protocol.h"
#include "syx_file.h"
#include "transfer_control.h"
#include "transfer_controller.h"
#include "transfer_page.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <cstdio>
#include <exception>

namespace {

// Save dialog filter entries, counted from 1; the first three keep their numbers.
enum SaveFilterEntry { kSyxEntry = 1, kIniEntry = 2, kMidiEntry = 3, kSysexMidiEntry = 4 };

const QStringList& openFilters() {
    // "Any File" takes every file, as "*.*" does on Windows.
    static const QStringList filters{QStringLiteral("PULTRON 64 sysex file (*.syx)"),
                                     QStringLiteral("Any File (*)")};
    return filters;
}

const QStringList& saveFilters() {
    static const QStringList filters{QStringLiteral("PULTRON 64 sysex file (*.syx)"),
                                     QStringLiteral("dumpkit INI file (*.INI)"),
                                     QStringLiteral("Midi file (*.mid)"),
                                     QStringLiteral("Standard MIDI File with SysEx (*.mid)")};
    return filters;
}

// The one local .syx file of a drag, or nothing.
QString droppedSyxFile(const QMimeData* mime) {
    if (!mime || mime->urls().size() != 1) return {};
    const QUrl url = mime->urls().first();
    if (!url.isLocalFile()) return {};
    const QString path = url.toLocalFile();
    return QFileInfo(path).suffix().compare(QLatin1String("syx"), Qt::CaseInsensitive) == 0
               ? path
               : QString();
}

// Opens a .syx file dropped anywhere on the window; refuses every other drop.
class SyxFileDrop : public QObject {
public:
    SyxFileDrop(TForm1* form) : QObject(form), m_form(form) {
        form->setAcceptDrops(true);
        form->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            drag->setAccepted(!droppedSyxFile(drag->mimeData()).isEmpty());
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = droppedSyxFile(drop->mimeData());
            drop->setAccepted(!path.isEmpty() && m_form->requestOpen(path));
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    TForm1* m_form;
};

QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

// The port selector's devices: every item after "None".
QStringList selectorDevices(const QComboBox* selector) {
    QStringList devices;
    for (int i = 1; i < selector->count(); ++i)
        devices << selector->itemText(i);
    return devices;
}

void selectPort(QComboBox* selector, int storedIndex, const QString& storedName) {
    selector->setCurrentIndex(
        registry_settings::portSelectorIndex(storedIndex, storedName, selectorDevices(selector)));
}

// The port behind the item, also while it shows as gone.
QString selectedPortName(const QComboBox* selector) {
    return selector->currentIndex() > 0 ? selector->currentData().toString() : QString();
}

} // namespace

void TForm1::connectFileActions() {
    connect(FileSheet->OpenSysex, &QPushButton::clicked, this, &TForm1::OpenSysexClick);
    connect(FileSheet->StoreSysex, &QPushButton::clicked, this, &TForm1::StoreSysexClick);
    connect(FileSheet->BankSheet, &QPushButton::clicked, this, &TForm1::BankSheetClick);
    connect(&transfer(), &TransferController::receivedBankDecoded, this, &TForm1::bankReplaced);
    new SyxFileDrop(this);
}

QFileDialog* TForm1::makeSysexOpenDialog() {
    auto* dialog = new QFileDialog(this, tr("Open Sysex File"), SysexOpenDialogDir);
    dialog->setObjectName(QStringLiteral("SysexOpenDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters(openFilters());
    dialog->setDefaultSuffix(QStringLiteral("syx"));
    // A name that is not there would only disable the Open button.
    const QString usual = QStringLiteral("pultron64.syx");
    if (QFileInfo(QDir(SysexOpenDialogDir).filePath(usual)).isFile()) dialog->selectFile(usual);
    return dialog;
}

// Starts beside the bank's file, or in the library folder for a bank of the controller, and
// proposes the file's name or the library's name for the bank.
QFileDialog* TForm1::makeSysexSaveDialog() {
    const BankOrigin& origin = document().origin();
    const QString folder = !origin.file.isEmpty()                       ? folderOf(origin.file)
                           : origin.bank != 0 && !LibraryFolder.isEmpty() ? LibraryFolder
                                                                         : SysexSaveDialogDir;
    return page_controls::saveDialog(this, "SysexSaveDialog", tr("Save Sysex File To ..."), folder,
                                     saveFilters(),
                                     origin.proposedName(QStringLiteral("custom.syx")));
}

void TForm1::OpenSysexClick() {
    askAboutUnsavedEdits(tr("opening another bank"), [this] {
        const std::unique_ptr<QFileDialog> dialog(makeSysexOpenDialog());
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return;
        openSysexFile(dialog->selectedFiles().first());
    });
}

void TForm1::StoreSysexClick() {
    storeBankAs();
}

bool TForm1::storeBankAs() {
    SaveSettingsFromForm();
    const std::unique_ptr<QFileDialog> dialog(makeSysexSaveDialog());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return false;
    return storeSysexFile(dialog->selectedFiles().first(),
                          static_cast<int>(saveFilters().indexOf(dialog->selectedNameFilter())) +
                              1);
}

bool TForm1::openSysexFile(const QString& path) {
    if (!preset_file::fileExists(path)) return false;
    if (transfer().transfer().uploading()) { // a new bank would end the upload half-way
        WriteMsg(tr("ERROR: '%1' not opened - a bank upload is running").arg(path));
        return false;
    }
    const QString name = QFileInfo(path).fileName();
    const BankOrigin origin = BankOrigin::ofFile(path);
    if (document().replaceBank(tr("open %1").arg(name), [&] { return ReadDumpFile(path); }, origin)) {
        rememberRecentFile(path);
        // A library file's bank goes back to its own slot.
        if (origin.bank != 0) FileSheet->PatternNumber->setValue(origin.bank);
    }
    SysexOpenDialogDir = folderOf(path);
    return true;
}

bool TForm1::storeSysexFile(const QString& path, int filterEntry) {
    // What is typed counts; the bank is the saved state only as a dump that opens again.
    document().commit();
    switch (filterEntry) {
    case kIniEntry:
        return ExportConverterIni(path);
    case kMidiEntry:
        return WriteMidiFile(path);
    case kSysexMidiEntry:
        return WriteSysexMidiFile(path);
    default:
        if (!WriteSyxFile(path)) return false;
        document().storedTo(path);
        rememberRecentFile(path);
        return true;
    }
}

bool TForm1::ReadDumpFile(const QString& path) {
    bool taken = false;
    try {
        readDumpFile(path, MessageBuffer); // an unreadable file reads as empty
        taken = DumpToRecord(MessageBuffer, record) == 0;
        if (taken) {
            FileSheet->SendType->setText(tr("unknown SysEx format"));
            QString format = QStringLiteral("unknown format");
            if (OutgoingDump.length >= 7) {
                format = QString::fromLatin1(
                             sysex::ModelName(OutgoingDump.data[sysex::kModelIndex]).data()) +
                         QStringLiteral(" format");
                FileSheet->SendType->setText(format);
            }
            WriteMsg(QStringLiteral("'%1' loaded (%2)").arg(path, format));
            emit bankReplaced();
        }
    } catch (const std::exception&) { // from whatever rebuilds the desk
        showFileMessage(QStringLiteral("FileReadError"), tr("Can't perform Sysex File Read..."),
                        QMessageBox::Ok | QMessageBox::Cancel);
    }
    UpdateButtonStatus();
    return taken;
}

bool TForm1::readStartupBank() {
    if (!preset_file::fileExists(CustomSysexFileName)) return false;
    if (ReadDumpFile(CustomSysexFileName))
        document().history().setOrigin(
            BankOrigin::ofFile(CustomSysexFileName, BankOrigin::Source::StartUpFile));
    SysexOpenDialogDir = folderOf(CustomSysexFileName);
    LoadSettingsToForm();
    return true;
}

QByteArray TForm1::currentBankBytes() {
    SaveSettingsFromForm();
    return syxFileBytes(OutgoingDump.used(), OutgoingRecord, record,
                        FileSheet->DeviceID->clampedValue());
}

bool TForm1::WriteSyxFile(const QString& path) {
    if (!writeBankFile(path, currentBankBytes())) return false;
    WriteMsg(QStringLiteral("'%1' saved.").arg(path));
    return true;
}

bool TForm1::WriteMidiFile(const QString& path) {
    SaveSettingsFromForm();
    return writeBankFile(path, recordMidiFile(record));
}

bool TForm1::WriteSysexMidiFile(const QString& path) {
    SaveSettingsFromForm();
    const QByteArray dump = encodeBank(record, FileSheet->DeviceID->clampedValue());
    if (!writeBankFile(path, sysexMidiFile(dump, FileSheet->SysexSendSpeed->clampedValue())))
        return false;
    WriteMsg(QStringLiteral("'%1' saved.").arg(path));
    return true;
}

bool TForm1::ExportConverterIni(const QString& path) {
    SaveSettingsFromForm();
    std::vector<ConverterIniPot> pots;
    const int pot = PotSettings->selectedPot();
    for (int n = 1; n <= bank_layout::kEntryCount; ++n) {
        PotSettings->selectPot(n);
        pots.push_back({PotSettings->PotByte0HEX->text(), PotSettings->PotByte1HEX->text(),
                        PotSettings->PotMinHEX->text(), PotSettings->PotMaxHEX->text(),
                        record.initialValue(n), PotSettings->PotLabel->text(),
                        record.potLabelModeChar(n)});
    }
    PotSettings->selectPot(pot);

    std::vector<ConverterIniButton> buttons;
    const int button = ButtSettings->selectedButton();
    for (int n = 1; n <= bank_layout::kEntryCount; ++n) {
        ButtSettings->selectButton(n);
        const int preset = ButtSettings->ButtPresetName->currentIndex();
        buttons.push_back(
            {ButtSettings->ButtByte0HEX->text(), ButtSettings->ButtByte1HEX->text(),
             ButtSettings->ButtByte2HEX->text(), ButtSettings->ButtMode->currentIndex(),
             preset >= 0 ? ButtSettings->ButtPresetName->itemText(preset) : QString()});
    }
    ButtSettings->selectButton(button);

    const ConverterIniHeader header{FileSheet->TestReleaseLabel->text(), TransferPage::webAddress(),
                                    converterIniTime()};
    if (!writeBankFile(path, converterIniText(header, record, pots, buttons))) return false;
    WriteMsg(QStringLiteral("'%1' saved in dump_kit '.ini' format.").arg(path));
    return true;
}

bool TForm1::writeBankFile(const QString& path, const QByteArray& bytes) {
    const bool earlierFile = QFileInfo(path).isFile();
    QString reason;
    if (writeFileAtomically(path, bytes, &reason)) {
        SysexSaveDialogDir = folderOf(path); // the next store starts where this one went
        return true;
    }
    std::fputs("Cannot open output file.\n", stderr);
    WriteMsg(tr("ERROR: '%1' not saved - %2").arg(path, reason));
    QString text = tr("Can't write '%1':\n%2").arg(path, reason);
    if (earlierFile) text += tr("\nAn earlier file of that name is unchanged.");
    showFileMessage(QStringLiteral("FileWriteError"), text, QMessageBox::Ok);
    return false;
}

// Shown without blocking, so that MIDI input keeps running while the user reads it.
void TForm1::showFileMessage(const QString& objectName, const QString& text,
                             QMessageBox::StandardButtons buttons) {
    auto* message = new QMessageBox(QMessageBox::Warning, tr("File Error"), text, buttons, this);
    message->setObjectName(objectName);
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->open();
}

void TForm1::RestoreRegistry() {
    const auto settings = registry_settings::open();
    const registry_settings::TransferSettings stored = registry_settings::read(*settings);
    selectPort(FileSheet->MIDIInComboBox, stored.midiInPort, stored.midiInPortName);
    selectPort(FileSheet->MIDIOutComboBox, stored.midiOutPort, stored.midiOutPortName);
    UpdateMIDIPorts();
    FileSheet->SysexSendSpeed->setValue(stored.blockDelay);
    FileSheet->DeviceID->setValue(stored.deviceId);
    FileSheet->PatternNumber->setValue(stored.patternNumber);
    const QString folder = registry_settings::defaultFolder(QCoreApplication::applicationDirPath());
    SysexSaveDialogDir = stored.savePath.isEmpty() ? folder : stored.savePath;
    SysexOpenDialogDir = stored.openPath.isEmpty() ? folder : stored.openPath;
    LibraryFolder = stored.libraryPath;
    RecentFiles = stored.recentFiles.mid(0, kRecentFiles);
    fillRecentMenu();
    m_places.read(*settings);
    m_places.place(*this, WindowPlaces::Window::Editor);
}

// A desk chosen in an earlier run holds while the settings file names the desk it named then.
void TForm1::restoreDeskChoice() {
    m_settingsDesk = CustomDeskFile;
    const auto choice = registry_settings::readDeskChoice(*registry_settings::open());
    if (choice && choice->instead == m_settingsDesk) CustomDeskFile = choice->deskFile;
}

void TForm1::SaveRegistry() {
    const registry_settings::TransferSettings values{FileSheet->MIDIInComboBox->currentIndex(),
                                                     FileSheet->MIDIOutComboBox->currentIndex(),
                                                     selectedPortName(FileSheet->MIDIInComboBox),
                                                     selectedPortName(FileSheet->MIDIOutComboBox),
                                                     FileSheet->SysexSendSpeed->value(),
                                                     FileSheet->DeviceID->value(),
                                                     FileSheet->PatternNumber->value(),
                                                     SysexSaveDialogDir,
                                                     SysexOpenDialogDir,
                                                     LibraryFolder,
                                                     RecentFiles};
    const auto settings = registry_settings::open();
    // Settings that are kept already are not written again: a write locks and syncs the file.
    if (registry_settings::read(*settings) != values) registry_settings::write(*settings, values);
    using registry_settings::DeskChoice;
    const std::optional<DeskChoice> choice =
        CustomDeskFile == m_settingsDesk
            ? std::nullopt
            : std::optional(DeskChoice{CustomDeskFile, m_settingsDesk});
    if (registry_settings::readDeskChoice(*settings) != choice)
        registry_settings::writeDeskChoice(*settings, choice);
    m_places.write(*settings);
}

void TForm1::FormClose() {
    SaveRegistry();
}
