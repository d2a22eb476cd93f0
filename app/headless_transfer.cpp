#include "headless_transfer.h"

#include "dump_file.h"
#include "midi_in.h"
#include "midi_out.h"
#include "port_loss.h"
#include "sysex_receiver.h"
#include "transfer_control.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

// Runs events until `done` holds or `timeoutMs` has passed, looking every few milliseconds.
void runEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired()) loop.quit();
    });
    poll.start(5);
    if (!done()) loop.exec();
}

} // namespace

struct HeadlessTransfer::Buffers {
    DumpBuffer outgoing;
    DumpBuffer incoming;
    DumpBuffer message;
};

HeadlessTransfer::HeadlessTransfer(MidiDeviceList& devices, Settings settings, LogSink log)
    : m_buffers(std::make_unique<Buffers>()), m_settings(settings), m_log(std::move(log)),
      m_codec(m_buffers->outgoing, {m_log, {}, {}, {}}),
      m_midiIn(std::make_unique<TMidiIn>(devices)), m_midiOut(std::make_unique<TMidiOut>(devices)),
      m_waitTimer(new QTimer(this)), m_sysexHeadTimer(new QTimer(this)) {
    m_receiver = std::make_unique<SysexReceiver>(
        m_buffers->message, m_buffers->incoming,
        SysexReceiver::Hooks{
            m_log,
            {},
            {},
            [this] { m_taken = m_codec.DumpToRecord(m_buffers->incoming, m_record) == 0; },
            [this](bool acknowledge, int carried) { replyReceived(acknowledge, carried); }});
    m_midiIn->OnSysEx = [this](TMidiIn*, const std::uint8_t* bytes, int size) {
        m_receiver->MidiIn1SysEx(bytes, size);
    };
    connect(m_midiIn.get(), &TMidiIn::inputDropped, this,
            [this](int count) { m_receiver->inputDropped(count); });
    connect(m_midiIn.get(), &TMidiIn::sysExCut, this,
            [this](long long bytes, bool restart) { m_receiver->sysExCut(bytes, restart); });
    m_transfer = std::make_unique<TransferControl>(
        m_buffers->outgoing, *m_midiOut, *m_waitTimer, *m_sysexHeadTimer,
        TransferControl::Hooks{
            m_log,
            [this] { return m_settings.deviceId; },
            [this] { return m_settings.bank; },
            [this] { return m_settings.delay; },
            [this] { return m_codec.RecordToDump(m_record, m_buffers->outgoing); },
            [this] { m_receiver->ResetReceiverBuffer(); },
            {},
            {}});
    m_loss = std::make_unique<PortLoss>(m_log, [this] { endTransfer(); });
    m_loss->watch(devices);
}

HeadlessTransfer::~HeadlessTransfer() = default;

bool HeadlessTransfer::openOutput(int index) {
    m_midiOut->SetPort(index);
    m_midiOut->SetUsing(true);
    if (m_midiOut->ready()) m_loss->use(*m_midiOut, PortLoss::Direction::Out);
    return m_midiOut->ready();
}

bool HeadlessTransfer::openInput(int index) {
    m_midiIn->SetPort(index);
    m_midiIn->SetUsing(true);
    if (m_midiIn->ready()) m_loss->use(*m_midiIn, PortLoss::Direction::In);
    return m_midiIn->ready();
}

bool HeadlessTransfer::portLost() const {
    return m_loss->lost();
}

void HeadlessTransfer::endTransfer() {
    m_transfer->stopUpload();
    m_transfer->cancel(); // a request's wait
}

bool HeadlessTransfer::decodeFile(const QString& path, bool* unreadable) {
    *unreadable = !readDumpFile(path, m_buffers->message);
    return !*unreadable && m_codec.DumpToRecord(m_buffers->message, m_record) == 0;
}

bool HeadlessTransfer::upload() {
    m_replies.fill(Reply::None);
    m_replyOrder = {};
    m_blocksAwaiting = 0;
    return m_transfer->SendSysexToPultronExecute();
}

// Every block that has gone out awaits a reply; the reply answers the oldest of them.
void HeadlessTransfer::replyReceived(bool acknowledge, int carried) {
    while (m_blocksAwaiting < m_transfer->blocksSent())
        m_replyOrder.sent(m_blocksAwaiting++);
    const auto block = m_replyOrder.answer(carried);
    if (!block || *block >= static_cast<int>(m_replies.size())) {
        m_log("Reply ignored: no block awaits one");
        return;
    }
    m_replies[std::size_t(*block)] = acknowledge ? Reply::Acknowledged : Reply::Refused;
}

QList<int> HeadlessTransfer::unacknowledgedBlocks() const {
    QList<int> blocks;
    for (int b = 0; b < static_cast<int>(m_replies.size()); ++b)
        if (m_replies[b] != Reply::Acknowledged) blocks.append(b);
    return blocks;
}

bool HeadlessTransfer::request(int timeoutMs) {
    m_taken = false;
    if (!m_transfer->RequestSysexDumpClick()) return false;
    runEventsUntil([this] { return m_taken || portLost(); }, timeoutMs);
    return m_taken;
}

void HeadlessTransfer::waitForReplies(int count, int timeoutMs) {
    runEventsUntil(
        [this, count] {
            return m_receiver->acknowledges() + m_receiver->errorResponses() >= count || portLost();
        },
        timeoutMs);
}

QByteArray HeadlessTransfer::receivedBytes() const {
    const auto bytes = m_buffers->incoming.used();
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}
