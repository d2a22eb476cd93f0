// TransferController: wires the "MIDI Transfer" page of the editor window to the MIDI ports, the
// SysEx receiver and transfer control, and keeps the page's status, buttons and counters current.
#pragma once

#include "job_focus.h"
#include "midi_device_list.h"
#include "transfer_progress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

class BankRecord;
struct DumpBuffer;
class MidiPort;
class PortSelector;
class PortWatch;
class QTimer;
class SysexReceiver;
class TForm1;
class TMidiIn;
class TMidiOut;
class TransferControl;
class TransferPage;
class UploadCloseGuard;

class TransferController : public QObject {
    Q_OBJECT
public:
    TransferController(TForm1& form, std::unique_ptr<MidiDeviceList> devices);
    ~TransferController() override;

    MidiDeviceList& devices() const { return *m_devices; }
    SysexReceiver& receiver() const { return *m_receiver; }
    TransferControl& transfer() const { return *m_transfer; }
    TMidiIn& midiIn() const { return *m_midiIn; }
    TMidiOut& midiOut() const { return *m_midiOut; }
    // The "Device ID" the transfers address.
    int deviceId() const;

    // Start-up: the port selectors and the first status, then the receiver.
    void fillPortSelectors();
    void resetReceiver();

    void UpdateMIDIPorts();
    void UpdateButtonStatus();
    void ResetReceiverBuffer();
    void MidiIn1SysEx(TMidiIn* Sender, const std::uint8_t* SysExAdd, int MsgSize);
    void SendSysexToPultronExecute();
    void RequestSysexDumpClick();
    // Whether the window may close now; during an upload the user is asked first.
    bool FormCloseQuery();
    UploadCloseGuard& closeGuard() const { return *m_closeGuard; }
    // Ends the running "Send Sysex" or "Request Sysex Dump", as the page's Cancel button does.
    void cancelTransfer();
    // How long a request waits for the whole answer after the dump request, and an upload for
    // the acknowledges of its last blocks after the last block.
    static constexpr int kRequestTimeout = 5000;
    static constexpr int kAcknowledgeGrace = 1000;

    // Whether "Send Sysex" or "Request Sysex Dump" runs, from its start to its closing line.
    bool transferRunning() const;
    // A library job takes the controller's replies while it runs, and keeps "Send Sysex" and
    // "Request Sysex Dump" disabled; an empty `input` hands the replies back to the receiver.
    void setJobInput(std::function<void(std::span<const std::uint8_t>)> input);

signals:
    // A received bank has been handed to DumpToRecord, taken or not: the virtual box is rebuilt
    // from the record here.
    void receivedBankDecoded();
    // The buttons have been brought up to date: a library job may start when `portsReady` and
    // no transfer runs.
    void transferStateChanged(bool portsReady);
    // "Send Sysex" or "Request Sysex Dump" of `bank` (1..128) has ended, whole or not; `moved` is
    // the bank sent or received.
    void bankTransferEnded(TransferProgress::Kind kind, int bank, bool complete,
                           const BankRecord& moved);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createReceiver();
    void createTransfer();
    void logOpenAndClose(MidiPort& port, const QString& direction);
    // The machine's ports changed: the ports and selectors follow by name.
    void followPorts();
    // Lists the ports in `selector`, its choice kept by name; waits while its list is open.
    void fillSelector(PortSelector* selector);
    void connectPage();
    void showReceived();
    void receivedLastBlock();
    void takeReceivedBank(const DumpBuffer& dump);
    void requestDump();
    void askWhichBank(int from, int to);
    void upload();
    void portLost(const QString& line);
    // Ends a running transfer whose port has gone, with its closing line.
    void endTransferOfLostPort();
    void beginProgress(TransferProgress::Kind kind, long long plannedMs);
    void showProgress();
    void replyReceived(bool acknowledge);
    void answerTimeUp();
    void finishTransfer(TransferProgress::Ending ending);
    // How a transfer that returned early ended: cancelled by the user, or failed.
    TransferProgress::Ending interruptedEnding() const;
    // Disabling the control that has the focus sends the focus on to the next one, where keys
    // change something else (the delay field takes the digits typed): when the control is
    // enabled again, it takes the focus back unless the user has moved it since.
    void enableKeepingFocus(QWidget* control, bool enabled);

    TForm1& m_form;
    TransferPage& m_page;
    std::unique_ptr<MidiDeviceList> m_devices;
    std::unique_ptr<PortWatch> m_portWatch;
    // The ports go before the device list that their connections belong to.
    std::unique_ptr<TMidiIn> m_midiIn;
    std::unique_ptr<TMidiOut> m_midiOut;
    std::unique_ptr<SysexReceiver> m_receiver;
    std::unique_ptr<TransferControl> m_transfer;
    UploadCloseGuard* m_closeGuard = nullptr; // a child of the window
    // The transfer the page shows progress for, from its start to its closing log line.
    std::optional<TransferProgress> m_progress;
    QElapsedTimer m_progressClock;
    QTimer* m_progressTimer = nullptr; // refreshes the time left
    QTimer* m_answerTimer = nullptr;   // the request's timeout, the upload's acknowledge grace
    bool m_awaitingAnswer = false;     // a request is out and its answer not yet whole
    bool m_awaitingAcknowledges = false;
    bool m_portLostInTransfer = false; // the running transfer ends as failed
    std::function<void(std::span<const std::uint8_t>)> m_jobInput;
    JobFocus m_jobFocus; // from the button that starts a transfer to Cancel and back
    QPointer<QWidget> m_focusOwner;   // a control disabled while it had the focus
    QPointer<QWidget> m_focusStandIn; // where the focus went then
};
