#include "transfer_controller.h"

#include "bank_history.h"
#include "click_keys.h"
#include "editor_window.h"
#include "midi_in.h"
#include "midi_out.h"
#include "port_watch.h"
#include "spin_edit.h"
#include "sysex_protocol.h"
#include "sysex_receiver.h"
#include "transfer_control.h"
#include "transfer_page.h"
#include "transfer_status.h"
#include "upload_close_guard.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

namespace {

constexpr int kProgressRefresh = 200; // ms between updates of the time left

} // namespace

TransferController::TransferController(TForm1& form, std::unique_ptr<MidiDeviceList> devices)
    : m_form(form), m_page(*form.FileSheet), m_devices(std::move(devices)),
      m_portWatch(std::make_unique<PortWatch>(*m_devices)),
      m_midiIn(std::make_unique<TMidiIn>(*m_devices)),
      m_midiOut(std::make_unique<TMidiOut>(*m_devices)), m_progressTimer(new QTimer(this)),
      m_answerTimer(new QTimer(this)), m_jobFocus(m_page.CancelTransfer) {
    m_progressTimer->setInterval(kProgressRefresh);
    connect(m_progressTimer, &QTimer::timeout, this, &TransferController::showProgress);
    m_answerTimer->setSingleShot(true);
    connect(m_answerTimer, &QTimer::timeout, this, &TransferController::answerTimeUp);
    m_form.MidiIn1 = m_midiIn.get();
    m_form.MidiOut1 = m_midiOut.get();
    createReceiver();
    createTransfer();
    connectPage();
    connect(m_portWatch.get(), &PortWatch::portsChanged, this, &TransferController::followPorts);
}

TransferController::~TransferController() = default;

int TransferController::deviceId() const {
    return m_page.DeviceID->value();
}

void TransferController::createReceiver() {
    m_receiver = std::make_unique<SysexReceiver>(
        m_form.MessageBuffer, m_form.IncomingDump,
        SysexReceiver::Hooks{
            [this](const std::string& line) { m_form.WriteMsg(QString::fromStdString(line)); },
            [this] { showReceived(); }, [this](int bank) { m_page.PatternNumber->setValue(bank); },
            [this] { receivedLastBlock(); },
            [this](bool acknowledge, int) { replyReceived(acknowledge); }});
    m_midiIn->OnSysEx = [this](TMidiIn* sender, const std::uint8_t* bytes, int size) {
        MidiIn1SysEx(sender, bytes, size);
    };
    connect(m_midiIn.get(), &TMidiIn::portLost, this, [this](const QString& reason) {
        portLost(m_midiIn->lostPortLine(QStringLiteral("IN"), reason));
    });
    logOpenAndClose(*m_midiIn, QStringLiteral("IN"));
    connect(m_midiIn.get(), &TMidiIn::inputDropped, this,
            [this](int count) { m_receiver->inputDropped(count); });
    connect(m_midiIn.get(), &TMidiIn::sysExCut, this,
            [this](long long bytes, bool restart) { m_receiver->sysExCut(bytes, restart); });
}

void TransferController::createTransfer() {
    m_transfer = std::make_unique<TransferControl>(
        m_form.OutgoingDump, *m_midiOut, *m_form.WaitTimer, *m_form.SysexHeadTimer,
        TransferControl::Hooks{
            [this](const std::string& line) { m_form.WriteMsg(QString::fromStdString(line)); },
            [this] { return m_page.DeviceID->value(); },
            [this] { return m_page.PatternNumber->value(); },
            [this] { return m_page.SysexSendSpeed->value(); },
            [this] { return m_form.RecordToDump(m_form.record, m_form.OutgoingDump); },
            [this] { ResetReceiverBuffer(); },
            [this](int bytes, int blocks) {
                m_page.BytesToSend->setText(QString::number(bytes));
                m_page.BlocksToSend->setText(QString::number(blocks));
                showProgress();
            },
            [this] { UpdateButtonStatus(); }});
    connect(m_midiOut.get(), &TMidiOut::portLost, this, [this](const QString& reason) {
        portLost(m_midiOut->lostPortLine(QStringLiteral("OUT"), reason));
    });
    logOpenAndClose(*m_midiOut, QStringLiteral("OUT"));
    m_closeGuard = new UploadCloseGuard(m_form, *m_transfer);
}

void TransferController::logOpenAndClose(MidiPort& port, const QString& direction) {
    connect(&port, &MidiPort::opened, this, [this, direction](const QString& device) {
        m_form.WriteMsg(MidiPort::openedOrClosedLine(direction, device, true));
    });
    connect(&port, &MidiPort::closed, this, [this, direction](const QString& device) {
        m_form.WriteMsg(MidiPort::openedOrClosedLine(direction, device, false));
    });
    connect(&port, &MidiPort::reopened, this, [this, direction](const QString& device) {
        m_form.WriteMsg(
            QStringLiteral("MIDI %1 port \"%2\" is back and open again").arg(direction, device));
    });
}

void TransferController::connectPage() {
    for (PortSelector* selector : {m_page.MIDIInComboBox, m_page.MIDIOutComboBox}) {
        connect(selector, &QComboBox::activated, this, &TransferController::UpdateMIDIPorts);
        // Queued: the list is still closing when it says so.
        connect(
            selector, &PortSelector::popupClosed, this,
            [this, selector] { fillSelector(selector); }, Qt::QueuedConnection);
    }
    connect(m_page.SlowSendToPultron, &QPushButton::clicked, this,
            &TransferController::SendSysexToPultronExecute);
    connect(m_page.RequestSysexDump, &QPushButton::clicked, this,
            &TransferController::RequestSysexDumpClick);
    connect(m_page.CancelTransfer, &QPushButton::clicked, this,
            &TransferController::cancelTransfer);
    for (QLabel* label :
         {m_page.BytesReceived, m_page.BlocksReceived, m_page.Label24, m_page.Label2}) {
        label->installEventFilter(this);
        label->setToolTip(tr("Click to empty the receive buffer"));
    }
    // The values take the focus, so that Enter or Space empties the buffer as a click does.
    for (QLabel* value : {m_page.BytesReceived, m_page.BlocksReceived})
        value->setFocusPolicy(Qt::StrongFocus);
}

void TransferController::fillPortSelectors() {
    fillSelector(m_page.MIDIOutComboBox);
    m_page.setStatus(tr("No MIDI Out Port Selected"), Qt::red);
    fillSelector(m_page.MIDIInComboBox);
}

void TransferController::fillSelector(PortSelector* selector) {
    if (selector->droppedDown()) return; // filled when the list closes
    const MidiPort& port =
        selector == m_page.MIDIInComboBox ? static_cast<MidiPort&>(*m_midiIn) : *m_midiOut;
    // The port's own table, which the choice is looked up in.
    const auto devices = port.table(*m_devices);
    const auto items = port_matching::selectorItems(
        MidiDeviceList::names(devices), m_devices->simulated(devices),
        selector->currentData().toString().toStdString(), tr("None").toStdString());
    port_matching::SelectorItems showing;
    for (int i = 0; i < selector->count(); ++i) {
        showing.texts.push_back(selector->itemText(i).toStdString());
        showing.names.push_back(selector->itemData(i).toString().toStdString());
    }
    showing.current = selector->currentIndex();
    if (items == showing) return;
    const QSignalBlocker quiet(selector);
    selector->clear();
    for (std::size_t i = 0; i < items.texts.size(); ++i)
        selector->addItem(QString::fromStdString(items.texts[i]),
                          QString::fromStdString(items.names[i]));
    selector->setCurrentIndex(items.current);
}

void TransferController::followPorts() {
    for (MidiPort* port :
         {static_cast<MidiPort*>(m_midiIn.get()), static_cast<MidiPort*>(m_midiOut.get())})
        if (port->setDevices(*m_devices) == port_matching::Follow::Reopen) port->reopen();
    fillSelector(m_page.MIDIInComboBox);
    fillSelector(m_page.MIDIOutComboBox);
    UpdateButtonStatus();
}

void TransferController::resetReceiver() {
    m_receiver->resetState();
    ResetReceiverBuffer();
}

void TransferController::UpdateMIDIPorts() {
    // A port already open on its selection stays open, so that choosing one port leaves the
    // other one alone; so does a lost one that waits for its device to come back. A failed
    // port is tried again whenever it is selected: that is how the user retries after starting
    // the MIDI system.
    const auto apply = [](QComboBox* selector, MidiPort& port) {
        const std::string name = selector->currentData().toString().toStdString();
        std::vector<std::string> names;
        for (int i = 0; i < port.NumDevs(); ++i)
            names.push_back(port.deviceName(i));
        const auto device = port_matching::indexOf(names, name);
        const bool waiting = port.PortOpenResult() == kPortLost && !device;
        if (!name.empty() && port.chosenName() == name && (port.ready() || waiting)) return;
        port.SetUsing(false);
        if (!device) return;
        port.SetPort(*device);
        port.SetUsing(true);
    };
    apply(m_page.MIDIInComboBox, *m_midiIn);
    apply(m_page.MIDIOutComboBox, *m_midiOut);
    UpdateButtonStatus();
}

void TransferController::UpdateButtonStatus() {
    const PortState in{m_page.MIDIInComboBox->currentIndex() > 0, m_midiIn->ready()};
    const PortState out{m_page.MIDIOutComboBox->currentIndex() > 0, m_midiOut->ready()};
    // A library job keeps the ports as they are, like a transfer of this page.
    const TransferStatus status = evaluateTransferStatus(
        in, out, m_transfer->sending(), m_transfer->busy() || m_awaitingAnswer || bool(m_jobInput));
    m_page.setStatus(QString::fromStdString(status.text),
                     QColor(status.colour.red, status.colour.green, status.colour.blue));
    enableKeepingFocus(m_page.SlowSendToPultron, status.transferButtonsEnabled);
    enableKeepingFocus(m_page.RequestSysexDump, status.transferButtonsEnabled);
    enableKeepingFocus(m_page.MIDIInComboBox, status.selectorsEnabled);
    enableKeepingFocus(m_page.MIDIOutComboBox, status.selectorsEnabled);
    // A bank opened during an upload would end it half-way.
    enableKeepingFocus(m_page.OpenSysex, !m_transfer->uploading());
    emit transferStateChanged(in.selected && in.ready && out.selected && out.ready);
}

void TransferController::enableKeepingFocus(QWidget* control, bool enabled) {
    if (control->isEnabled() == enabled) return;
    const bool hadFocus = control->hasFocus();
    control->setEnabled(enabled);
    if (!enabled && hadFocus) {
        // The focus that passes through a control disabled next still belongs to the first.
        if (!m_focusOwner || control != m_focusStandIn) m_focusOwner = control;
        m_focusStandIn = QApplication::focusWidget();
    } else if (enabled && control == m_focusOwner) {
        if (QApplication::focusWidget() == m_focusStandIn) control->setFocus(Qt::OtherFocusReason);
        m_focusOwner = nullptr;
    }
}

bool TransferController::transferRunning() const {
    return m_transfer->busy() || m_progress.has_value();
}

void TransferController::setJobInput(std::function<void(std::span<const std::uint8_t>)> input) {
    m_jobInput = std::move(input);
    UpdateButtonStatus();
}

void TransferController::ResetReceiverBuffer() {
    m_receiver->ResetReceiverBuffer();
}

void TransferController::showReceived() {
    m_page.BytesReceived->setText(QString::number(m_form.IncomingDump.length));
    m_page.BlocksReceived->setText(QString::number(m_form.IncomingDump.blockCount));
    if (m_awaitingAnswer) {
        m_progress->setDone(m_form.IncomingDump.blockCount, m_form.IncomingDump.length);
        showProgress();
    }
}

void TransferController::MidiIn1SysEx(TMidiIn*, const std::uint8_t* SysExAdd, int MsgSize) {
    if (m_jobInput) {
        m_jobInput({SysExAdd, static_cast<std::size_t>(MsgSize)});
        return;
    }
    m_receiver->MidiIn1SysEx(SysExAdd, MsgSize);
}

void TransferController::receivedLastBlock() {
    // A bank asked for was asked about with the request.
    if (m_awaitingAnswer || !m_form.document().hasUnsavedEdits()) {
        takeReceivedBank(m_form.IncomingDump);
        return;
    }
    // Kept aside: more may arrive while the user answers.
    const auto received = m_form.IncomingDump.used();
    const std::vector<std::uint8_t> dump(received.begin(), received.end());
    m_form.askAboutUnsavedEdits(
        tr("taking the bank received from the controller"),
        [this, dump] {
            m_form.MessageBuffer.assign(dump);
            takeReceivedBank(m_form.MessageBuffer);
        },
        [this] { m_form.WriteMsg(tr("Received bank not taken - the unsaved edits were kept")); });
}

// A bank asked for is that bank of the controller; one that came unasked is of no known bank.
void TransferController::takeReceivedBank(const DumpBuffer& dump) {
    const int bank = m_awaitingAnswer && m_progress ? m_progress->bank() : 0;
    const bool taken = m_form.document().replaceBank(
        tr("receive bank"),
        [&] {
            const bool decoded = m_form.DumpToRecord(dump, m_form.record) == 0;
            emit receivedBankDecoded();
            return decoded;
        },
        BankOrigin::received(bank));
    if (m_awaitingAnswer)
        finishTransfer(taken ? TransferProgress::Ending::Complete
                             : TransferProgress::Ending::NotTaken);
}

void TransferController::SendSysexToPultronExecute() {
    if (m_transfer->busy() || m_awaitingAnswer || m_jobInput) return;
    const int from = m_form.document().origin().bank;
    const int to = m_page.PatternNumber->value();
    if (from == 0 || from == to) {
        upload();
        return;
    }
    askWhichBank(from, to);
}

// A bank that came from another bank of the controller overwrites bank `to` only when the user
// says so; the question does not block the window.
void TransferController::askWhichBank(int from, int to) {
    auto* question = new QMessageBox(
        QMessageBox::Question, tr("Send Sysex"),
        tr("This bank came from bank %1. Send it to bank %2?").arg(from).arg(to),
        QMessageBox::NoButton, &m_form);
    question->setObjectName(QStringLiteral("SendToOtherBankQuestion"));
    question->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* toChosen = question->addButton(tr("Send to bank %1").arg(to),
                                                QMessageBox::AcceptRole);
    QPushButton* toOrigin = question->addButton(tr("Send to bank %1").arg(from),
                                                QMessageBox::AcceptRole);
    question->addButton(QMessageBox::Cancel);
    question->setDefaultButton(toOrigin);
    connect(question, &QMessageBox::buttonClicked, this,
            [this, toChosen, toOrigin, from](QAbstractButton* clicked) {
                if (clicked == toOrigin) m_page.PatternNumber->setValue(from);
                // Once the question has gone: it would keep the window, its Cancel button among
                // it, from the keys while the bank goes out.
                if (clicked == toChosen || clicked == toOrigin)
                    QMetaObject::invokeMethod(this, &TransferController::upload,
                                              Qt::QueuedConnection);
            });
    question->open();
}

void TransferController::upload() {
    if (m_transfer->busy() || m_awaitingAnswer || m_jobInput) return;
    m_form.document().commit(); // what is typed goes out and counts as a step
    const int blockInterval = std::max(1, m_page.SysexSendSpeed->value());
    beginProgress(TransferProgress::Kind::Upload,
                  TransferControl::kBankChangeWait + sysex::kBlockCount * blockInterval);
    if (!m_transfer->SendSysexToPultronExecute()) {
        finishTransfer(interruptedEnding());
        return;
    }
    showProgress();
    if (m_progress->allAcknowledged()) {
        finishTransfer(TransferProgress::Ending::Complete);
        return;
    }
    // The controller acknowledges a block after it has stored it: the last ones are still due.
    m_awaitingAcknowledges = true;
    m_answerTimer->start(kAcknowledgeGrace);
}

void TransferController::RequestSysexDumpClick() {
    if (m_transfer->busy() || m_awaitingAnswer || m_jobInput) return;
    m_form.askAboutUnsavedEdits(tr("requesting a bank from the controller"),
                                [this] { requestDump(); });
}

void TransferController::requestDump() {
    if (m_transfer->busy() || m_awaitingAnswer || m_jobInput) return;
    beginProgress(TransferProgress::Kind::Request,
                  TransferControl::kBankChangeWait + kRequestTimeout);
    m_awaitingAnswer = true;
    if (!m_transfer->RequestSysexDumpClick()) {
        if (m_progress) finishTransfer(interruptedEnding());
        return;
    }
    if (m_awaitingAnswer) m_answerTimer->start(kRequestTimeout);
}

void TransferController::beginProgress(TransferProgress::Kind kind, long long plannedMs) {
    // An upload still waiting for its last acknowledges ends before the next transfer starts.
    if (m_progress) finishTransfer(TransferProgress::Ending::Complete);
    m_progress.emplace(kind, m_page.PatternNumber->value(), sysex::kBlockCount, sysex::kDumpSize,
                       plannedMs);
    m_progressClock.start();
    m_progressTimer->start();
    m_page.progressRow->show();
    const bool upload = kind == TransferProgress::Kind::Upload;
    m_jobFocus.started({upload ? m_page.SlowSendToPultron : m_page.RequestSysexDump},
                       (upload ? tr("upload of bank %1") : tr("request of bank %1"))
                           .arg(m_progress->bank()));
    showProgress();
}

void TransferController::showProgress() {
    if (!m_progress) return;
    if (m_progress->kind() == TransferProgress::Kind::Upload)
        m_progress->setDone(m_transfer->blocksSent(), m_transfer->bytesSent());
    const QString state = QString::fromStdString(m_progress->stateText());
    m_page.TransferProgressBar->setValue(m_progress->percent());
    m_page.TransferProgressBar->setFormat(state);
    m_page.TransferProgressBar->setAccessibleDescription(state);
    m_page.TimeLeft->setText(
        QString::fromStdString(m_progress->timeLeftText(m_progressClock.elapsed())));
}

void TransferController::replyReceived(bool acknowledge) {
    if (!acknowledge || !m_progress || m_progress->kind() != TransferProgress::Kind::Upload) return;
    m_progress->acknowledged();
    // Queued, so that the receiver logs this acknowledge before the upload's closing line.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_awaitingAcknowledges && m_progress->allAcknowledged())
                finishTransfer(TransferProgress::Ending::Complete);
        },
        Qt::QueuedConnection);
}

void TransferController::answerTimeUp() {
    if (m_awaitingAcknowledges) finishTransfer(TransferProgress::Ending::Complete);
    if (m_awaitingAnswer) finishTransfer(TransferProgress::Ending::NoAnswer);
}

void TransferController::cancelTransfer() {
    if (m_transfer->busy()) {
        m_transfer->cancel(); // the running transfer returns and says how it ended
    } else if (m_awaitingAnswer) {
        // Blocks still under way then cannot make up a whole bank with those already here.
        ResetReceiverBuffer();
        finishTransfer(TransferProgress::Ending::Cancelled);
    } else if (m_awaitingAcknowledges) {
        finishTransfer(TransferProgress::Ending::Complete);
    }
}

TransferProgress::Ending TransferController::interruptedEnding() const {
    return m_transfer->cancelled() && !m_portLostInTransfer ? TransferProgress::Ending::Cancelled
                                                            : TransferProgress::Ending::Failed;
}

void TransferController::finishTransfer(TransferProgress::Ending ending) {
    m_portLostInTransfer = false;
    if (!m_progress) return;
    const TransferProgress progress = *m_progress;
    m_progress.reset();
    // A bank sent whole is now that bank's; not edited since, it is the saved state.
    const bool sentWhole = progress.kind() == TransferProgress::Kind::Upload &&
                           ending == TransferProgress::Ending::Complete;
    if (sentWhole) m_form.document().sentTo(progress.bank(), m_form.record == m_form.OutgoingRecord);
    m_awaitingAnswer = m_awaitingAcknowledges = false;
    m_answerTimer->stop();
    m_progressTimer->stop();
    const QString endLine = QString::fromStdString(progress.endLine(ending, kRequestTimeout / 1000));
    m_form.WriteMsg(endLine);
    m_form.announce(endLine);
    const bool upload = progress.kind() == TransferProgress::Kind::Upload;
    emit bankTransferEnded(progress.kind(), progress.bank(),
                           ending == TransferProgress::Ending::Complete,
                           upload ? m_form.OutgoingRecord : m_form.record);
    UpdateButtonStatus();
    m_jobFocus.ended(); // before Cancel hides and hands the focus on
    m_page.progressRow->hide();
}

void TransferController::portLost(const QString& line) {
    m_form.WriteMsg(line);
    endTransferOfLostPort();
    UpdateButtonStatus();
}

// Never carried on over another port: a transfer that lost a port ends here.
void TransferController::endTransferOfLostPort() {
    if (m_transfer->sending() && !m_midiOut->ready()) {
        m_transfer->abortUpload(); // says how much of the bank went out
    } else if (m_transfer->busy()) {
        m_portLostInTransfer = true;
        m_transfer->cancel(); // the running transfer returns and ends as failed
    } else if (m_awaitingAnswer) {
        ResetReceiverBuffer();
        finishTransfer(TransferProgress::Ending::Failed);
    } else if (m_awaitingAcknowledges) {
        finishTransfer(TransferProgress::Ending::Complete);
    }
}

bool TransferController::FormCloseQuery() {
    return m_closeGuard->mayClose();
}

bool TransferController::eventFilter(QObject* watched, QEvent* event) {
    const bool click = event->type() == QEvent::MouseButtonRelease &&
                       static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (click || (event->type() == QEvent::KeyPress &&
                  isClickKey(*static_cast<QKeyEvent*>(event)))) {
        ResetReceiverBuffer();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
