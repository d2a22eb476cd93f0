// HeadlessTransfer: what the editor window holds for a bank transfer (record, dump buffers,
// ports, receiver, timers and transfer control) without a window, for the command-line tool.
#pragma once

#include "dump_codec.h"
#include "midi_device_list.h"
#include "reply_order.h"

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <memory>

class PortLoss;
class QTimer;
class SysexReceiver;
class TMidiIn;
class TMidiOut;
class TransferControl;

class HeadlessTransfer : public QObject {
    Q_OBJECT
public:
    struct Settings {
        int deviceId = 0;
        int bank = 1;    // 1..128, as "Bank Number:"
        int delay = 750; // ms between uploaded blocks
    };

    // A port in use that goes, whichever MIDI system tells, ends the transfer with its line.
    HeadlessTransfer(MidiDeviceList& devices, Settings settings, LogSink log);
    ~HeadlessTransfer() override;

    // Open a port by its index in the device list; false when it does not open.
    bool openOutput(int index);
    bool openInput(int index);
    // A port in use has gone, and the transfer has ended.
    bool portLost() const;

    // Reads and decodes a dump file into the record; false when it is unreadable or rejected.
    bool decodeFile(const QString& path, bool* unreadable);
    // Uploads the record as "Send Sysex" does; true when every block went out.
    bool upload();
    // Requests the bank as "Request Sysex Dump" does and waits up to `timeoutMs` for a bank
    // that DumpToRecord takes; true when one was taken.
    bool request(int timeoutMs);
    // Processes events until `count` replies have come in or `timeoutMs` has passed.
    void waitForReplies(int count, int timeoutMs);
    // The blocks of the last upload (0..7) that no acknowledge has answered yet.
    QList<int> unacknowledgedBlocks() const;

    QByteArray receivedBytes() const;

private:
    struct Buffers;

    // Never carried on over another port: an upload says how much of the bank went out.
    void endTransfer();

    std::unique_ptr<Buffers> m_buffers;
    Settings m_settings;
    LogSink m_log;
    BankRecord m_record;
    DumpCodec m_codec;
    std::unique_ptr<TMidiIn> m_midiIn;
    std::unique_ptr<TMidiOut> m_midiOut;
    std::unique_ptr<SysexReceiver> m_receiver;
    QTimer* m_waitTimer;
    QTimer* m_sysexHeadTimer;
    std::unique_ptr<TransferControl> m_transfer;
    std::unique_ptr<PortLoss> m_loss;
    bool m_taken = false;
    enum class Reply { None, Acknowledged, Refused };
    std::array<Reply, 8> m_replies{};
    ReplyOrder m_replyOrder;
    int m_blocksAwaiting = 0; // blocks of the upload handed to m_replyOrder
    void replyReceived(bool acknowledge, int carried);
};
