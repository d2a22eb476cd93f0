// TransferControl: the sending side of a bank transfer: the paced upload of OutgoingDump, the
// dump request, the bank change request before both, and waits that keep events flowing.
#pragma once

#include "dump_buffer.h"
#include "dump_codec.h"

#include <QElapsedTimer>
#include <QObject>
#include <cstdint>
#include <functional>

class QTimer;
class TMidiOut;

class TransferControl : public QObject {
    Q_OBJECT
public:
    static constexpr int kBankChangeWait = 1000; // ms the controller gets to switch banks

    struct Hooks {
        LogSink writeMsg;
        std::function<int()> deviceId;       // DeviceID, 0..7
        std::function<int()> patternNumber;  // "Bank Number:", 1..128
        std::function<int()> sysexSendSpeed; // ms between blocks
        std::function<int()> recordToDump;   // 0 when OutgoingDump now holds the record
        std::function<void()> resetReceiverBuffer;
        std::function<void(int bytes, int blocks)> showToSend; // BytesToSend, BlocksToSend
        std::function<void()> updateButtonStatus;
    };

    TransferControl(DumpBuffer& outgoingDump, TMidiOut& midiOut, QTimer& waitTimer,
                    QTimer& sysexHeadTimer, Hooks hooks, QObject* parent = nullptr);

    // Each returns true when it ran to its end; false when it was refused (another transfer
    // runs), failed, or was cut short.
    bool SendSysexToPultronExecute();
    bool RequestSysexDumpClick();
    bool SendBankChangeRequest(std::uint8_t model, int deviceId, int bank);
    // Returns after `ms` milliseconds with events processed meanwhile; false when the wait was
    // cut short because the application is quitting.
    bool WaitMilliseconds(int ms);
    void SysexHeadTimerTimer();
    void WaitTimerTimer();
    // The index just past the next F7 at or after `position`, or 0.
    static int FindBlockEnd(const DumpBuffer& dump, int position);

    // An upload or request has started and not ended (its waits included).
    bool busy() const { return m_busy; }
    // An upload has started and not ended, its wait after the bank change included.
    bool uploading() const { return m_uploading; }
    bool sending() const;
    // Ends a running upload at once, for example when the output port is gone.
    void abortUpload();
    // Ends a running upload at the user's wish, in its wait or between blocks, and logs how
    // much of the bank went out.
    void stopUpload();
    // Ends a running upload or request at the user's wish, without a line of its own: a request
    // cancelled in its wait after the bank change sends no dump request.
    void cancel();
    // The running or last transfer was ended by stopUpload() or cancel().
    bool cancelled() const { return m_stopRequested; }
    // Blocks and bytes of the running or last upload that went out.
    int blocksSent() const { return m_blocksSent; }
    int bytesSent() const { return m_bytesSent; }

signals:
    void uploadEnded();
    void waitEnded();
    // An upload or request has ended, whichever way.
    void transferFinished();

private:
    class BusyScope;

    bool sendLogged(const std::uint8_t* bytes, int length, const std::string& text);
    void failUpload();
    void endUpload();
    void showWholeDump();
    int selectedDeviceId() const { return m_hooks.deviceId() & 0x07; }
    int selectedBank() const { return (m_hooks.patternNumber() - 1) & 0x7F; }
    void log(const std::string& line) const { m_hooks.writeMsg(line); }
    void refresh() const;

    DumpBuffer& m_outgoing;
    TMidiOut& m_midiOut;
    QTimer& m_waitTimer;
    QTimer& m_headTimer;
    Hooks m_hooks;
    bool m_busy = false;
    bool m_uploading = false;
    bool m_uploadFailed = false;
    bool m_stopRequested = false;
    int m_blocksSent = 0;
    int m_bytesSent = 0;
    // Timers may wake a little before their interval is over: each wait is measured as well.
    QElapsedTimer m_waitClock;
    QElapsedTimer m_blockClock;
    int m_waitInterval = 0;
    int m_blockInterval = 1;
};
