#include "transfer_page.h"

#include "built_in_skins.h"
#include "click_keys.h"
#include "live_status.h"
#include "page_controls.h"
#include "spin_edit.h"
#include "status_log.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using page_controls::pushButton;

namespace {

// Names as given: a caption label lends its text, padding and all, to the value it names.
template <typename W> W* named(W* widget, const char* objectName, const QString& accessible) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessible);
    return widget;
}

SpinEdit* spinEdit(int min, int max, int value, const char* objectName, const QString& caption) {
    return named(new SpinEdit(min, max, value), objectName, caption);
}

// A label that shows a value: screen readers announce the value it shows, with what it is as
// its description.
QLabel* valueLabel(const QString& text, const char* objectName, const QString& description) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setAccessibleDescription(description);
    return label;
}

QLabel* counterLabel(const char* objectName, const QString& caption) {
    QLabel* label = valueLabel(QStringLiteral("0"), objectName, caption);
    label->setMinimumWidth(60);
    return label;
}

} // namespace

bool PortSelector::droppedDown() const {
    return view()->window()->isVisible();
}

void PortSelector::showPopup() {
    QComboBox::showPopup();
    view()->window()->installEventFilter(this); // the popup's frame, made on first use
}

// The list may close by a choice, by Escape or by a click elsewhere: its hiding covers all.
bool PortSelector::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view()->window() && event->type() == QEvent::Hide) emit popupClosed();
    return QComboBox::eventFilter(watched, event);
}

QString TransferPage::webAddress() {
    return QStringLiteral("https://vpultron64.sourceforge.io/");
}

TransferPage::TransferPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FileSheet"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeHeader());
    auto* middle = new QHBoxLayout;
    middle->addWidget(makePortsGroup(), 2);
    middle->addWidget(makeTransferGroup(), 3);
    layout->addLayout(middle);
    layout->addWidget(makeProgressRow());
    ListBox = new StatusLog;
    layout->addWidget(ListBox);
}

QWidget* TransferPage::makeHeader() {
    auto* header = new QWidget;
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);

    // The two labels sit at free positions: the test knob slides them sideways.
    releaseArea = new QWidget;
    releaseArea->setMinimumSize(260, 40);
    TestReleaseLabel = valueLabel(QString(), "TestReleaseLabel", tr("Release"));
    TestReleaseLabel->setParent(releaseArea);
    KelmoURLLabel = valueLabel(webAddress(), "KelmoURLLabel", tr("Web site"));
    KelmoURLLabel->setParent(releaseArea);
    KelmoURLLabel->setCursor(Qt::PointingHandCursor);
    KelmoURLLabel->setFocusPolicy(Qt::StrongFocus); // opened with Return or Space as well
    QFont linkFont = KelmoURLLabel->font();
    linkFont.setUnderline(true);
    KelmoURLLabel->setFont(linkFont);
    KelmoURLLabel->setStyleSheet(QStringLiteral("color: blue"));
    KelmoURLLabel->installEventFilter(this);
    setReleaseLeft(16);
    makeSkinnedControls();
    row->addWidget(TestKnob);
    row->addWidget(TestButton);
    row->addWidget(releaseArea, 1);

    HintsButton = pushButton(tr("About/Hints ..."), "HintsButton");
    ShowFaderDesk = pushButton(tr("Virtual Box"), "ShowFaderDesk");
    ShowMidiMonitor = pushButton(tr("MIDI Monitor"), "ShowMidiMonitor");
    SelecCustomBox = pushButton(tr("Custom Box"), "SelecCustomBox");
    for (auto* b : {HintsButton, ShowFaderDesk, ShowMidiMonitor, SelecCustomBox})
        row->addWidget(b);
    return header;
}

// The skins come from the window's bitmap lists, linked when the window is built.
void TransferPage::makeSkinnedControls() {
    TestKnob = named(new TVrBitmapDial, "TestKnob", tr("Test knob"));
    TestKnob->SetMaxValue(127);
    TestKnob->SetColor(QColor::fromRgb(kSkinKeyColour));
    TestKnob->SetTransparent(true);
    TestKnob->SetAutoSize(true);
    TestKnob->SetImageCount(kBuiltInKnobFrames);
    TestKnob->SetBitmapIndex(0);

    TestButton = named(new TVrAniButton, "TestButton", tr("Test button"));
    TestButton->SetThreaded(true);
    TestButton->SetInterval(200);
    TestButton->SetColor(QColor::fromRgb(kSkinKeyColour));
    TestButton->SetTransparent(true);
    TestButton->SetAutoSize(true);
    TestButton->SetImageCount(kBuiltInButtonFrames);
    TestButton->SetBitmapIndex(0);
    for (QWidget* control : {static_cast<QWidget*>(TestKnob), static_cast<QWidget*>(TestButton)})
        control->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QWidget* TransferPage::makePortsGroup() {
    auto* group = new QGroupBox(tr("MIDI Ports"));
    auto* grid = new QVBoxLayout(group);
    auto* inCaption = new QLabel(tr("MIDI IN Port:"));
    MIDIInComboBox = named(new PortSelector, "MIDIInComboBox", inCaption->text());
    inCaption->setBuddy(MIDIInComboBox);
    auto* outCaption = new QLabel(tr("MIDI OUT Port:"));
    MIDIOutComboBox = named(new PortSelector, "MIDIOutComboBox", outCaption->text());
    outCaption->setBuddy(MIDIOutComboBox);
    MIDIInComboBox->setToolTip(tr("The port the controller's messages arrive on."));
    MIDIOutComboBox->setToolTip(tr("The port the editor and the virtual box send on."));
    StatusLabel = valueLabel(QString(), "StatusLabel", tr("Transfer status"));
    StatusLabel->setWordWrap(true);
    ResultLine = new LiveStatus;
    ResultLine->setObjectName(QStringLiteral("ResultLine"));
    ResultLine->setWordWrap(true);
    ResultLine->setAccessibleDescription(tr("How the last transfer ended"));
    for (QWidget* w : {static_cast<QWidget*>(inCaption), static_cast<QWidget*>(MIDIInComboBox),
                       static_cast<QWidget*>(outCaption), static_cast<QWidget*>(MIDIOutComboBox),
                       static_cast<QWidget*>(StatusLabel), static_cast<QWidget*>(ResultLine)})
        grid->addWidget(w);
    grid->addStretch();
    return group;
}

QWidget* TransferPage::makeTransferGroup() {
    auto* group = new QGroupBox(tr("SysEx Transfer"));
    auto* grid = new QGridLayout(group);

    OpenSysex = pushButton(tr("Open Sysex File"), "OpenSysex");
    StoreSysex = pushButton(tr("Store Sysex File"), "StoreSysex");
    BankSheet = pushButton(tr("Bank Sheet…"), "BankSheet");
    PrintSheet = pushButton(tr("Print Sheet…"), "PrintSheet");
    SlowSendToPultron = pushButton(tr("Send Sysex"), "SlowSendToPultron");
    RequestSysexDump = pushButton(tr("Request Sysex Dump"), "RequestSysexDump");
    SlowSendToPultron->setEnabled(false);
    RequestSysexDump->setEnabled(false);
    grid->addWidget(OpenSysex, 0, 0);
    grid->addWidget(StoreSysex, 0, 1);
    grid->addWidget(BankSheet, 0, 2);
    grid->addWidget(SlowSendToPultron, 1, 0);
    grid->addWidget(RequestSysexDump, 1, 1);
    grid->addWidget(PrintSheet, 1, 2);

    BytesToSend = counterLabel("BytesToSend", tr("Bytes to send:"));
    BlocksToSend = counterLabel("BlocksToSend", tr("Blocks to send:"));
    BytesReceived = counterLabel("BytesReceived", tr("Bytes received: "));
    BlocksReceived = counterLabel("BlocksReceived", tr("Blocks received:"));
    SendType = valueLabel(tr("no file loaded"), "SendType", tr("Dump kind"));
    int row = 2;
    QList<QLabel*> captions;
    for (QLabel* value : {BytesToSend, BlocksToSend, BytesReceived, BlocksReceived}) {
        captions << new QLabel(value->accessibleDescription());
        grid->addWidget(captions.last(), row, 0);
        grid->addWidget(value, row++, 1);
    }
    Label24 = named(captions[2], "Label24", captions[2]->text());
    Label2 = named(captions[3], "Label2", captions[3]->text());
    grid->addWidget(SendType, row++, 0, 1, 2);

    SysexSendSpeed = spinEdit(0, 1000, 750, "SysexSendSpeed", tr("Delay between SysEx Blocks:"));
    SysexSendSpeed->setSuffix(tr(" ms"));
    DeviceID = spinEdit(0, 7, 0, "DeviceID", tr("Device ID:"));
    PatternNumber = spinEdit(1, 128, 1, "PatternNumber", tr("Bank Number:"));
    page_controls::describe(SysexSendSpeed, tr("The pause between two blocks of a bank sent "
                                               "to the controller, in milliseconds."));
    page_controls::describe(DeviceID, tr("The device number of the controller addressed."));
    page_controls::describe(PatternNumber, tr("The controller's bank that a request or a send "
                                              "is for."));
    grid->addWidget(new QLabel(tr("Delay between\nSysEx Blocks:")), row, 0);
    grid->addWidget(SysexSendSpeed, row++, 1);
    for (SpinEdit* box : {DeviceID, PatternNumber}) {
        grid->addWidget(new QLabel(box->accessibleName()), row, 0);
        grid->addWidget(box, row++, 1);
    }
    return group;
}

QWidget* TransferPage::makeProgressRow() {
    progressRow = new QWidget;
    auto* row = new QHBoxLayout(progressRow);
    row->setContentsMargins(0, 0, 0, 0);
    TransferProgressBar = named(new QProgressBar, "TransferProgressBar", tr("Transfer progress"));
    TransferProgressBar->setRange(0, 100);
    TimeLeft = valueLabel(QString(), "TimeLeft", tr("Time left"));
    TimeLeft->setMinimumWidth(110);
    CancelTransfer = named(new QPushButton(tr("Cancel")), "CancelTransfer", tr("Cancel transfer"));
    row->addWidget(TransferProgressBar, 1);
    row->addWidget(TimeLeft);
    row->addWidget(CancelTransfer);
    progressRow->hide();
    return progressRow;
}

void TransferPage::setReleaseLeft(int x) {
    TestReleaseLabel->move(x, 2);
    KelmoURLLabel->move(x, 2 + TestReleaseLabel->sizeHint().height() + 2);
}

void TransferPage::setStatus(const QString& text, const QColor& colour) {
    StatusLabel->setText(text);
    QPalette palette = StatusLabel->palette();
    palette.setColor(QPalette::WindowText, colour);
    StatusLabel->setPalette(palette);
}

bool TransferPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == KelmoURLLabel && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) emit webLinkClicked(KelmoURLLabel->text());
        return true;
    }
    if (watched == KelmoURLLabel && event->type() == QEvent::KeyPress) {
        if (!isClickKey(*static_cast<QKeyEvent*>(event))) return false;
        emit webLinkClicked(KelmoURLLabel->text());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
