// TForm1: the editor window. Owns the bank, the dump buffers, the transfer timers and the
// pages, and runs the start-up sequence.
#pragma once

#include "bank_document.h"
#include "bank_record.h"
#include "deferred_page.h"
#include "dump_buffer.h"
#include "dump_codec.h"
#include "pot_page.h"
#include "program_folders.h"
#include "window_places.h"

#include <QMessageBox>
#include <QWidget>
#include <functional>
#include <memory>

class BoxConfigPage;
class DeskLink;
class ButtonPage;
class HelpPage;
class LibraryPage;
class MidiMonitorWindow;
class OverviewPage;
class QAction;
class QCloseEvent;
class QFileDialog;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QTabWidget;
class QTimer;
class RecordPatch;
class StatusLog;
class TMidiIn;
class TMidiOut;
class TransferController;
class TransferPage;
class TVrBitmapList;
class UnsavedEditsQuestion;
class VirtualBox;
namespace library_search {
struct Hit;
}

class TForm1 : public QWidget {
    Q_OBJECT
    // Declared first: the buffer references below are bound to it during construction.
    struct Buffers;
    std::unique_ptr<Buffers> m_buffers;
    std::unique_ptr<BankDocument> m_document; // before `record`, which is its record

public:
    struct Options {
        QString settingsFile; // settings file named on the command line, empty for the default
        QString midiApi = QStringLiteral("all"); // MIDI systems offered: alsa, jack, sim or all
        // A SysEx dump named on the command line: the bank to start with, instead of the one
        // the settings file names.
        QString startupBankFile = {};
        // Where the shipped files and the user's settings are; the running program's when empty.
        std::optional<ProgramFolders> folders = {};
    };

    explicit TForm1(const Options& options, QWidget* parent = nullptr);
    ~TForm1() override;

    // The bank as a document: its record, undo history, origin and unsaved state. Code that
    // changes the record tells the document (recordEdited, commit); after undo or redo
    // recordRestored follows.
    BankDocument& document() const { return *m_document; }
    // The document's record and the three dump buffers live as long as the window.
    BankRecord& record;
    DumpBuffer& OutgoingDump;
    DumpBuffer& IncomingDump;
    DumpBuffer& MessageBuffer;

    QTabWidget* PageControl = nullptr;
    TransferPage* FileSheet = nullptr;
    // The other pages are built when first shown or reached for.
    PageRef<BoxConfigPage> BoxSettingsTabsheet;
    PageRef<PotPage> PotSettings;
    PageRef<ButtonPage> ButtSettings;
    PageRef<OverviewPage> Overview;
    PageRef<LibraryPage> LibrarySheet;
    PageRef<HelpPage> HelpTabSheet;

    QString PresetFileName;      // the settings file's path
    QString CustomDeskFile;      // full path of the custom desk description
    QString CustomSysexFileName; // full path of the bank to start with
    QString VPTOpenDialogDir;    // where choosing a custom desk starts
    QString SysexOpenDialogDir;  // where the SysEx file dialogs start; kept between runs
    QString SysexSaveDialogDir;
    QString LibraryFolder; // the "Library" page's folder; kept between runs

    // The bank as it was when OutgoingDump was taken: storing writes that dump's bytes only while
    // the bank still equals it.
    BankRecord OutgoingRecord;

    // What CopyPot took last; all zero until then.
    PotCopy PotCopyBuffer;
    ButtonEntry ButtCopyBuffer;

    QTimer* WaitTimer = nullptr;
    QTimer* SysexHeadTimer = nullptr;
    QTimer* StartupTimer = nullptr;

    // Custom desk actions; their shortcuts work from the desk windows too.
    QAction* NewFormFromINI = nullptr; // Shift+Ctrl+F11
    QAction* DumpFormToINI = nullptr;  // Shift+Ctrl+F10

    // The menu bar; its shortcuts that make sense there work from the desk windows too.
    QMenuBar* MainMenu = nullptr;
    QMenu* RecentMenu = nullptr; // File > Open Recent
    QAction* UndoAction = nullptr;
    QAction* RedoAction = nullptr;

    // Skin lists: knob skins start with the built-in strip at index 0, button skins start
    // empty so that a custom desk's first button skin is index 0. The transfer page's test
    // button has a list of its own holding the built-in button strip.
    TVrBitmapList* VrKnobBitmapList = nullptr;
    TVrBitmapList* VrButtonBitmapList = nullptr;
    TVrBitmapList* TestButtonBitmapList = nullptr;

    // The MIDI ports; they live in the transfer controller, as long as the window.
    TMidiIn* MidiIn1 = nullptr;
    TMidiOut* MidiOut1 = nullptr;
    TransferController& transfer() const { return *m_transfer; }
    // The virtual box that plays the bank; its window is built when first shown.
    VirtualBox& FaderDesk() const;
    // The "MIDI Monitor" window, built and fed from its first showing on.
    MidiMonitorWindow& midiMonitor();
    void UpdateMIDIPorts();
    void UpdateButtonStatus();

    void WriteMsg(const QString& text);
    // Shows a result on the transfer page and has screen readers speak it: the end of a
    // transfer, an undone step.
    void announce(const QString& text);
    // Undoes (back) or redoes one step of the bank's history and says which.
    void stepHistory(bool back);
    StatusLog& statusLog() const;

    int DumpToRecord(const DumpBuffer& source, BankRecord& target);
    int RecordToDump(BankRecord& source, DumpBuffer& target);

    // Moves the global settings between the record and the pages.
    void LoadSettingsToForm();
    void SaveSettingsFromForm();

    void HintsButtonClick();
    void TestKnobChange();

    // The preset library and the actions on whole entries.
    void ReadPresetFile(const QString& settingsFileArgument);
    const ProgramFolders& folders() const { return m_folders; }
    void CopyPot();
    void PastePot();
    void StoreAppSettings();
    // Sees every key meant for a control of this window first; returns true when it took it.
    bool FormKeyDown(const QKeyEvent& event);

    // Files. The two buttons show their dialogs; the functions that take a path are what the
    // dialogs, a dropped file and the start-up bank run.
    void OpenSysexClick();
    void StoreSysexClick();
    QFileDialog* makeSysexOpenDialog();
    QFileDialog* makeSysexSaveDialog();
    // False when nothing was opened: no such file, or an upload runs (then the log says so).
    bool openSysexFile(const QString& path);
    // `filterEntry` counts the save dialog's filter entries from 1. True when the file was
    // written; a SysEx dump written is the bank's saved state.
    bool storeSysexFile(const QString& path, int filterEntry);
    // True when the file's bank was taken into the record.
    bool ReadDumpFile(const QString& path);
    bool WriteSyxFile(const QString& path);
    bool WriteMidiFile(const QString& path);
    bool WriteSysexMidiFile(const QString& path);
    bool ExportConverterIni(const QString& path);
    // "Bank Sheet…": the bank drawn for printing, as PDF, PNG or SVG by the file's extension;
    // "Print Bank Sheet…": its print preview.
    void BankSheetClick();
    QFileDialog* makeBankSheetDialog();
    bool writeBankSheet(const QString& path);
    void printBankSheet();

    // The transfer settings, the desk chosen last and the windows' places, kept between runs.
    void RestoreRegistry();
    void SaveRegistry();
    void FormClose();
    WindowPlaces& windowPlaces() { return m_places; }

    // The custom desk: built from CustomDeskFile, the active window dumped, a desk file chosen
    // (the dialog, and the step after it that takes the chosen path), the desk shown once after
    // start-up when "autoshow desk" is ticked.
    void NewFormFromINIExecute();
    void DumpFormToINIExecute();
    void SelecCustomBoxClick();
    bool selectCustomDesk(const QString& path);
    // "Virtual Box": the standard desk is the chosen one again, rebuilt and shown.
    void showStandardDesk();
    void StartupTimerTimer();
    // The window is up: the start-up timer runs once, for the desk to show itself when the
    // settings file asked for that.
    void startUpDone();

    // The controller bank the bank belongs to: its origin's, else "Bank Number:".
    int originBank() const;
    // Runs `action` at once when the bank has no unsaved edits; otherwise asks "Save", "Discard"
    // or "Cancel" first, without blocking. `what` finishes "Save them before ...".
    void askAboutUnsavedEdits(const QString& what, std::function<void()> action,
                              std::function<void()> cancelled = {});
    UnsavedEditsQuestion& unsavedEditsQuestion() const { return *m_unsavedQuestion; }
    // Store: into the .syx file the bank came from or went to last, else through the save
    // dialog. Store As: through the save dialog. True when the bank was written.
    bool storeBank();
    bool storeBankAs();
    // Opens `path` after asking about unsaved edits, then runs `opened`: Open Recent, dropped
    // files and the Library page. False when it cannot be opened now (no such file, an upload
    // runs).
    bool requestOpen(const QString& path, std::function<void()> opened = {});
    // The .syx files opened or stored last, newest first, at most kRecentFiles.
    static constexpr int kRecentFiles = 10;
    QStringList RecentFiles;
    void showMidiMonitor();

signals:
    // A new bank is in the record, opened from a file or received from the controller: the
    // virtual box is rebuilt from it here.
    void bankReplaced();
    // Undo or redo put bytes back into the record; the pages and the desk show them already.
    void recordRestored();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const Options& options);
    void createPages();
    void connectOverview();
    void announceRefusals();
    void createTimers();
    void createSkinLists();
    void connectControls();
    void showOutgoingDump();
    void decodeBuiltInDump();
    bool readStartupBank();
    void rememberOutgoingBank();
    void connectFileActions();
    QByteArray currentBankBytes();
    bool writeBankFile(const QString& path, const QByteArray& bytes);
    void showFileMessage(const QString& objectName, const QString& text,
                         QMessageBox::StandardButtons buttons);
    void createDeskActions();
    void createDocument();
    void createMenus();
    void fillRecentMenu();
    void rememberRecentFile(const QString& path);
    void showRestored(const RecordPatch& patch);
    // The page of the pot or button found at `at`; nothing for a bank name.
    void showControl(const library_search::Hit& at);
    // The window title: the caption of the bank's origin, with the unsaved mark's place holder.
    void showOrigin();
    void restoreDeskChoice();

    ProgramFolders m_folders;
    DumpCodec m_codec;
    std::unique_ptr<TransferController> m_transfer;
    DeskLink* m_desk = nullptr;
    MidiMonitorWindow* m_monitor = nullptr;
    UnsavedEditsQuestion* m_unsavedQuestion = nullptr;
    bool m_closeAnswered = false; // the user let the unsaved edits go on closing
    QString m_settingsDesk;       // the desk the settings file names; CustomDeskFile may differ
    WindowPlaces m_places;
};
