#include "headless_transfer.h"

#include "dump_file.h"
#include "midi_in.h"
#include "midi_out.h"
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

HeadlessTransfer::HeadlessTransfer(const MidiDeviceList& devices, Settings settings, LogSink log)
    : m_buffers(std::make_unique<Buffers>()), m_settings(settings), m_log(std::move(log)),
      m_codec(m_buffers->outgoing, {m_log, {}, {}, {}}),
      m_midiIn(std::make_unique<TMidiIn>(devices)), m_midiOut(std::make_unique<TMidiOut>(devices)),
      m_waitTimer(new QTimer(this)), m_sysexHeadTimer(new QTimer(this)) {
    m_receiver = std::make_unique<SysexReceiver>(
        m_buffers->message, m_buffers->incoming,
        SysexReceiver::Hooks{m_log, {}, {}, [this] {
                                 m_taken = m_codec.DumpToRecord(m_buffers->incoming, m_record) == 0;
                             }});
    m_midiIn->OnSysEx = [this](TMidiIn*, const std::uint8_t* bytes, int size) {
        m_receiver->MidiIn1SysEx(bytes, size);
    };
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
    connect(m_midiIn.get(), &TMidiIn::portLost, this,
            [this](const QString& reason) { portLost(QStringLiteral("IN"), reason); });
    connect(m_midiOut.get(), &TMidiOut::portLost, this, [this](const QString& reason) {
        portLost(QStringLiteral("OUT"), reason);
        m_transfer->abortUpload();
    });
}

HeadlessTransfer::~HeadlessTransfer() = default;

bool HeadlessTransfer::openOutput(int index) {
    m_midiOut->SetPort(index);
    m_midiOut->SetUsing(true);
    return m_midiOut->ready();
}

bool HeadlessTransfer::openInput(int index) {
    m_midiIn->SetPort(index);
    m_midiIn->SetUsing(true);
    return m_midiIn->ready();
}

bool HeadlessTransfer::decodeFile(const QString& path, bool* unreadable) {
    *unreadable = !readDumpFile(path, m_buffers->message);
    return !*unreadable && m_codec.DumpToRecord(m_buffers->message, m_record) == 0;
}

bool HeadlessTransfer::upload() {
    return m_transfer->SendSysexToPultronExecute();
}

bool HeadlessTransfer::request(int timeoutMs) {
    m_taken = false;
    if (!m_transfer->RequestSysexDumpClick()) return false;
    runEventsUntil([this] { return m_taken || !m_midiIn->ready(); }, timeoutMs);
    return m_taken;
}

void HeadlessTransfer::waitForReplies(int count, int timeoutMs) {
    runEventsUntil(
        [this, count] {
            return m_receiver->acknowledges() + m_receiver->errorResponses() >= count ||
                   !m_midiIn->ready();
        },
        timeoutMs);
}

QByteArray HeadlessTransfer::receivedBytes() const {
    const auto bytes = m_buffers->incoming.used();
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

int HeadlessTransfer::errorReplies() const {
    return m_receiver->errorResponses();
}

void HeadlessTransfer::portLost(const QString& direction, const QString& reason) {
    m_log(QStringLiteral("Lost MIDI %1 Port - %2!").arg(direction, reason).toStdString());
}
