#include "editor_window.h"

#include "accessible_controls.h"
#include "live_status.h"
#include "bank_history.h"
#include "box_config_page.h"
#include "build_info.h"
#include "built_in_dump.h"
#include "built_in_skins.h"
#include "button_page.h"
#include "desk_link.h"
#include "edit_combo.h"
#include "help_page.h"
#include "hex_byte_edit.h"
#include "key_preview.h"
#include "library_page.h"
#include "midi_in.h"
#include "midi_monitor_window.h"
#include "midi_out.h"
#include "overview_page.h"
#include "spin_edit.h"
#include "status_log.h"
#include "transfer_controller.h"
#include "transfer_page.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"
#include "vr_bitmap_list.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <future>

namespace {

// The start-up timer's delay: the editor window is on screen before the desk shows itself.
constexpr int kStartupDelayMs = 100;

} // namespace

// The three buffers live as long as the window; the references to them are bound first.
struct TForm1::Buffers {
    DumpBuffer outgoing;
    DumpBuffer incoming;
    DumpBuffer message;
};

TForm1::TForm1(const Options& options, QWidget* parent)
    : QWidget(parent), m_buffers(std::make_unique<Buffers>()),
      m_document(std::make_unique<BankDocument>()), record(m_document->record()),
      OutgoingDump(m_buffers->outgoing),
      IncomingDump(m_buffers->incoming), MessageBuffer(m_buffers->message),
      m_folders(options.folders.value_or(ProgramFolders::current())),
      m_codec(OutgoingDump,
              {[this](const std::string& line) { WriteMsg(QString::fromStdString(line)); },
               [this] { LoadSettingsToForm(); }, [this] { SaveSettingsFromForm(); },
               [this] {
                   rememberOutgoingBank();
                   showOutgoingDump();
               }}) {
    setObjectName(QStringLiteral("Form1"));
    installAccessibleControls(); // the window is a frame whose name follows its title
    // Asking the MIDI systems for their ports takes a while (a JACK client tries to reach its
    // server); it runs beside the building of the pages.
    auto devices =
        std::async(std::launch::async, &MidiDeviceList::create,
                   parseMidiApi(options.midiApi.toStdString()).value_or(MidiApiChoice::All));
    createPages();
    createDocument();
    createTimers();
    createSkinLists();
    m_transfer = std::make_unique<TransferController>(*this, devices.get());
    LibrarySheet.page()->attach(*m_transfer);
    connectControls();
    m_desk = new DeskLink(*this);
    createDeskActions();
    createMenus();
    FormCreate(options);
    document().history().reset(); // the bank the window starts with is no edit
}

TForm1::~TForm1() {
    // Pages going away move the focus: that is no edit any more.
    disconnect(qApp, nullptr, this, nullptr);
}

void TForm1::createPages() {
    PageControl = new QTabWidget;
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setAccessibleName(tr("Pages"));
    FileSheet = new TransferPage;
    BoxSettingsTabsheet = PageRef(new BoxConfigPage(record));
    PotSettings = PageRef(new PotPage(record));
    ButtSettings = PageRef(new ButtonPage(record));
    Overview = PageRef(new OverviewPage(record));
    LibrarySheet = PageRef(new LibraryPage(
        {document(), LibraryFolder, SysexSaveDialogDir,
         [this](const QString& line) { WriteMsg(line); },
         [this](const QString& path, const library_search::Hit& at) {
             return requestOpen(path, [this, at] { showControl(at); });
         }}));
    HelpTabSheet = PageRef(new HelpPage);
    PageControl->addTab(FileSheet, tr("MIDI Transfer"));
    PageControl->addTab(BoxSettingsTabsheet.page(), tr("Box Config"));
    PageControl->addTab(PotSettings.page(), tr("Pots"));
    PageControl->addTab(ButtSettings.page(), tr("Buttons"));
    PageControl->addTab(Overview.page(), tr("Overview"));
    PageControl->addTab(LibrarySheet.page(), tr("Library"));
    PageControl->addTab(HelpTabSheet.page(), tr("Help"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(PageControl);
    resize(577, 452);
}

void TForm1::createTimers() {
    auto makeTimer = [this](const char* name) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(name));
        return timer;
    };
    WaitTimer = makeTimer("WaitTimer");
    SysexHeadTimer = makeTimer("SysexHeadTimer");
    StartupTimer = makeTimer("StartupTimer");
    connect(StartupTimer, &QTimer::timeout, this, &TForm1::StartupTimerTimer);
}

void TForm1::createSkinLists() {
    auto makeList = [this](const char* name) {
        auto* list = new TVrBitmapList(this);
        list->setObjectName(QString::fromLatin1(name));
        return list;
    };
    VrKnobBitmapList = makeList("VrKnobBitmapList");
    VrKnobBitmapList->Add(builtInKnobSkin());
    VrButtonBitmapList = makeList("VrButtonBitmapList");
    TestButtonBitmapList = makeList("TestButtonBitmapList");
    TestButtonBitmapList->Add(builtInButtonSkin());
    FileSheet->TestKnob->SetBitmapList(VrKnobBitmapList);
    FileSheet->TestButton->SetBitmapList(TestButtonBitmapList);
}

void TForm1::createDeskActions() {
    auto makeAction = [this](const char* name, const QKeySequence& keys, void (TForm1::*run)()) {
        auto* action = new QAction(QString::fromLatin1(name), this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::ApplicationShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
        return action;
    };
    NewFormFromINI = makeAction("NewFormFromINI", QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F11),
                                &TForm1::NewFormFromINIExecute);
    DumpFormToINI = makeAction("DumpFormToINI", QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F10),
                               &TForm1::DumpFormToINIExecute);
    connect(FileSheet->SelecCustomBox, &QPushButton::clicked, this, &TForm1::SelecCustomBoxClick);
}

void TForm1::connectControls() {
    connect(FileSheet->HintsButton, &QPushButton::clicked, this, &TForm1::HintsButtonClick);
    connect(FileSheet->ShowMidiMonitor, &QPushButton::clicked, this, &TForm1::showMidiMonitor);
    connect(FileSheet, &TransferPage::webLinkClicked, this,
            [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
    connect(FileSheet->TestKnob, &TVrBitmapDial::OnChange, this, &TForm1::TestKnobChange);
    new KeyPreview(this, [this](const QKeyEvent& event) { return FormKeyDown(event); });
    connectFileActions();
    connectOverview();
    announceRefusals();
}

// A typed value a field refuses or clamps is said when the field is left: the focus has moved on
// by then, and the field alone would change without a word.
void TForm1::announceRefusals() {
    const auto connectFields = [this](QWidget& page) {
        for (SpinEdit* field : page.findChildren<SpinEdit*>())
            connect(field, &SpinEdit::refused, this, &TForm1::announce);
        for (HexByteEdit* field : page.findChildren<HexByteEdit*>())
            connect(field, &HexByteEdit::refused, this, &TForm1::announce);
    };
    connectFields(*FileSheet);
    onceBuilt(BoxSettingsTabsheet.page(), this, connectFields);
    onceBuilt(PotSettings.page(), this, connectFields);
    onceBuilt(ButtSettings.page(), this, connectFields);
}

// The overview and the pot and button pages follow each other's edits and chosen controls.
void TForm1::connectOverview() {
    OverviewPage* overview = Overview.page();
    connect(overview, &OverviewPage::potChosen, this, [this](int n) { PotSettings->selectPot(n); });
    connect(overview, &OverviewPage::buttonChosen, this,
            [this](int n) { ButtSettings->selectButton(n); });
    connect(PotSettings.page(), &PotPage::potSelected, overview, &OverviewPage::showPot);
    connect(ButtSettings.page(), &ButtonPage::buttonSelected, overview, &OverviewPage::showButton);
    connect(overview, &OverviewPage::entriesChanged, this, [this] {
        PotSettings.page()->UpdatePotProps();
        ButtSettings.page()->UpdateButtProps();
    });
    connect(overview, &OverviewPage::logLine, this, &TForm1::WriteMsg);
    connect(overview, &OverviewPage::recordEdited,
            &document(), &BankDocument::recordEdited);
}

void TForm1::FormCreate(const Options& options) {
    PageControl->setTabVisible(PageControl->indexOf(HelpTabSheet.page()), false);
    PageControl->setCurrentWidget(FileSheet);

    FileSheet->TestReleaseLabel->setText(tr("Release : ") + buildDate());
    FileSheet->TestReleaseLabel->adjustSize();
    showOrigin();

    m_transfer->fillPortSelectors();
    m_transfer->resetReceiver();
    RestoreRegistry();

    // The settings file, before the first bank arrives.
    const QString customFiles = QDir(m_folders.shipped).filePath(QStringLiteral("customfiles"));
    VPTOpenDialogDir = QDir(customFiles).exists() ? customFiles : m_folders.shipped;
    ReadPresetFile(options.settingsFile);
    restoreDeskChoice();
    // A dump given on the command line is the bank to start with, whatever the settings say.
    if (!options.startupBankFile.isEmpty()) CustomSysexFileName = options.startupBankFile;

    if (!readStartupBank()) decodeBuiltInDump();
}

void TForm1::startUpDone() {
    StartupTimer->setInterval(kStartupDelayMs);
    StartupTimer->start();
}

void TForm1::decodeBuiltInDump() {
    const auto dump = loadBuiltInDump();
    if (!dump) // the program still runs, with an all-zero record and an empty log
        return;
    MessageBuffer.assign(std::span(reinterpret_cast<const std::uint8_t*>(dump->constData()),
                                   static_cast<std::size_t>(dump->size())));
    DumpToRecord(MessageBuffer, record);
}

void TForm1::StartupTimerTimer() {
    StartupTimer->stop();
    if (BoxSettingsTabsheet.page()->autoShowDesk()) FaderDesk().GenerateFaderDeskExecute();
}

void TForm1::NewFormFromINIExecute() {
    FaderDesk().NewFormFromINIExecute();
}

void TForm1::DumpFormToINIExecute() {
    if (const QWidget* active = QApplication::activeWindow())
        FaderDesk().DumpFormToINI(*active, QCoreApplication::applicationDirPath());
}

void TForm1::SelecCustomBoxClick() {
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Pultron Custom Faderdesk"),
        QDir(VPTOpenDialogDir).filePath(QStringLiteral("customdesk.vpt")),
        tr("Virtual Pultron File (*.VPT* *.vpt*);;INI Files (*.INI *.ini);;Any File (*)"));
    if (!path.isEmpty()) selectCustomDesk(path);
}

bool TForm1::selectCustomDesk(const QString& path) {
    const QFileInfo chosen(path);
    if (!chosen.isFile()) return false;
    CustomDeskFile = chosen.absoluteFilePath();
    FaderDesk().GenerateFaderDeskExecute();
    VPTOpenDialogDir = chosen.absolutePath();
    return true;
}

void TForm1::showStandardDesk() {
    CustomDeskFile.clear();
    FaderDesk().GenerateFaderDeskExecute();
}

VirtualBox& TForm1::FaderDesk() const {
    return m_desk->box();
}

StatusLog& TForm1::statusLog() const {
    return *FileSheet->ListBox;
}

void TForm1::WriteMsg(const QString& text) {
    statusLog().WriteMsg(text);
}

void TForm1::announce(const QString& text) {
    FileSheet->ResultLine->announce(text);
}

void TForm1::stepHistory(bool back) {
    QUndoStack& stack = document().history().stack();
    document().commit(); // a value being typed is a step of its own
    const int before = stack.index();
    back ? document().undo() : document().redo();
    if (stack.index() == before) return;
    announce(back ? tr("Undo %1").arg(stack.redoText()) : tr("Redo %1").arg(stack.undoText()));
}

int TForm1::DumpToRecord(const DumpBuffer& source, BankRecord& target) {
    return m_codec.DumpToRecord(source, target);
}

int TForm1::RecordToDump(BankRecord& source, DumpBuffer& target) {
    const int result = m_codec.RecordToDump(source, target);
    if (result == 0 && &target == &OutgoingDump) OutgoingRecord = source;
    return result;
}

// The pages give a bank back with their own normalisation (the global flags are rewritten whole);
// remembering the bank as they give it back keeps that from counting as an edit when storing.
void TForm1::rememberOutgoingBank() {
    const BankRecord taken = record;
    SaveSettingsFromForm();
    OutgoingRecord = record;
    record = taken;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!m_transfer->FormCloseQuery()) {
        event->ignore();
        return;
    }
    if (!m_closeAnswered && document().hasUnsavedEdits()) {
        event->ignore();
        askAboutUnsavedEdits(tr("closing"), [this] {
            m_closeAnswered = true;
            close();
        });
        return;
    }
    FormClose();
    // A library job stops here and says which bank it leaves as it is.
    if (LibraryPage* library = LibrarySheet.ifBuilt()) library->cancelJob();
    // The program ends with this window: no desk window may keep it running.
    FaderDesk().closeDeskWindows();
    QWidget::closeEvent(event);
}

void TForm1::LoadSettingsToForm() {
    BoxSettingsTabsheet.page()->loadFromRecord();
    PotSettings.page()->UpdatePotProps();
    ButtSettings.page()->UpdateButtProps();
    Overview.page()->reload();
}

void TForm1::SaveSettingsFromForm() {
    BoxConfigPage* box = BoxSettingsTabsheet.page();
    if (box->editedSinceLoad()) { // the user's edit: a step at the next commit
        box->saveToRecord();
        return;
    }
    // Giving the bank back as the page shows it is no edit of the user's.
    document().history().commit();
    box->saveToRecord();
    document().history().absorb();
}

void TForm1::showOutgoingDump() {
    FileSheet->BytesToSend->setText(QString::number(OutgoingDump.length));
    FileSheet->BlocksToSend->setText(QString::number(OutgoingDump.blockCount));
    FileSheet->SendType->setText(tr("Editor Dump"));
}

void TForm1::UpdateMIDIPorts() {
    m_transfer->UpdateMIDIPorts();
}

void TForm1::UpdateButtonStatus() {
    m_transfer->UpdateButtonStatus();
}

void TForm1::HintsButtonClick() {
    PageControl->setCurrentWidget(HelpTabSheet);
}

void TForm1::TestKnobChange() {
    FileSheet->setReleaseLeft(FileSheet->TestKnob->Position() + 16);
}

void TForm1::showMidiMonitor() {
    MidiMonitorWindow& monitor = midiMonitor();
    monitor.show();
    monitor.raise();
    monitor.activateWindow();
}

// The ports feed the monitor from the moment it exists; it lives as long as this window.
MidiMonitorWindow& TForm1::midiMonitor() {
    if (m_monitor) return *m_monitor;
    m_monitor = new MidiMonitorWindow(record, this);
    m_places.place(*m_monitor, WindowPlaces::Window::MidiMonitor);
    const auto tap = [this](MidiPort* port, midi_meaning::Direction direction) {
        port->OnTraffic = [this, port, direction](std::span<const std::uint8_t> message) {
            const int index = port->Port();
            m_monitor->record(direction, index < port->NumDevs() ? port->deviceName(index) : "",
                              message);
        };
        const auto cutOff = [this, direction] { m_monitor->cutOff(direction); };
        connect(port, &MidiPort::closed, m_monitor, cutOff);
        connect(port, &MidiPort::portLost, m_monitor, cutOff);
    };
    tap(MidiIn1, midi_meaning::Direction::In);
    connect(MidiIn1, &TMidiIn::inputDropped, m_monitor,
            [this] { m_monitor->cutOff(midi_meaning::Direction::In); });
    tap(MidiOut1, midi_meaning::Direction::Out);
    return *m_monitor;
}
