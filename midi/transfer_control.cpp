#include "transfer_control.h"
#include "text_format.h"

#include "midi_out.h"
#include "sysex_protocol.h"

#include <QEventLoop>
#include <QTimer>
#include <cstdio>

using namespace sysex;

namespace {

constexpr int kDumpRequestLength = 7;
constexpr int kBankChangeLength = 8;

// Runs events until `ended` fires; false when the loop was left for another reason (the
// application quitting) while `timer` still ran.
template <typename Signal> bool runUntil(TransferControl* control, Signal ended, QTimer& timer) {
    QEventLoop loop;
    QObject::connect(control, ended, &loop, &QEventLoop::quit);
    loop.exec();
    if (!timer.isActive()) return true;
    timer.stop();
    return false;
}

// A wait lasts at least its interval even when the timer wakes early: then the timer is armed
// again for the rest and true is returned. The clock is started just before the timer, so that
// it never shows less than the timer.
bool wokeEarly(QTimer& timer, const QElapsedTimer& clock, int interval) {
    const qint64 rest = interval - clock.elapsed();
    if (rest <= 0) return false;
    timer.start(static_cast<int>(rest));
    return true;
}

} // namespace

// Marks a transfer as running for as long as it is in scope, so that a second one cannot start
// from the events processed during its waits.
class TransferControl::BusyScope {
public:
    explicit BusyScope(TransferControl& control) : m_control(control) {
        m_control.m_busy = true;
        m_control.refresh();
    }
    ~BusyScope() {
        m_control.m_busy = false;
        m_control.m_uploading = false;
        m_control.refresh();
        emit m_control.transferFinished();
    }

private:
    TransferControl& m_control;
};

TransferControl::TransferControl(DumpBuffer& outgoingDump, TMidiOut& midiOut, QTimer& waitTimer,
                                 QTimer& sysexHeadTimer, Hooks hooks, QObject* parent)
    : QObject(parent), m_outgoing(outgoingDump), m_midiOut(midiOut), m_waitTimer(waitTimer),
      m_headTimer(sysexHeadTimer), m_hooks(std::move(hooks)) {
    // Coarse timers may fire up to 5 % early, and the controller needs every wait whole.
    m_waitTimer.setTimerType(Qt::PreciseTimer);
    m_headTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_waitTimer, &QTimer::timeout, this, &TransferControl::WaitTimerTimer);
    connect(&m_headTimer, &QTimer::timeout, this, &TransferControl::SysexHeadTimerTimer);
}

bool TransferControl::sending() const {
    return m_headTimer.isActive();
}

void TransferControl::refresh() const {
    if (m_hooks.updateButtonStatus) m_hooks.updateButtonStatus();
}

bool TransferControl::SendSysexToPultronExecute() {
    if (m_busy) return false;
    m_uploading = true; // before the scope shows the page, which locks what an upload locks
    BusyScope busy(*this);
    m_stopRequested = false;
    m_blocksSent = m_bytesSent = 0;
    if (m_hooks.recordToDump() != 0 || m_outgoing.blockCount <= 0) return false;
    if (!SendBankChangeRequest(m_outgoing.data[kModelIndex], selectedDeviceId(), selectedBank()) ||
        m_stopRequested)
        return false;
    m_outgoing.blocksLeft = m_outgoing.blockCount;
    m_outgoing.sendPosition = 0;
    m_uploadFailed = false;
    const int speed = m_hooks.sysexSendSpeed();
    m_blockInterval = speed > 0 ? speed : 1;
    m_headTimer.setInterval(m_blockInterval);
    m_blockClock.start();
    m_headTimer.start();
    if (!runUntil(this, &TransferControl::uploadEnded, m_headTimer)) {
        endUpload();
        return false;
    }
    return !m_uploadFailed;
}

bool TransferControl::RequestSysexDumpClick() {
    if (m_busy) return false;
    BusyScope busy(*this);
    m_stopRequested = false;
    m_hooks.resetReceiverBuffer();
    if (!SendBankChangeRequest(kModelId, selectedDeviceId(), selectedBank()) || m_stopRequested)
        return false;
    const int deviceId = selectedDeviceId();
    const std::uint8_t request[kDumpRequestLength] = {
        kStart,     kHeader[1], kHeader[2],
        kHeader[3], kModelId,   deviceCommandByte(deviceId, DumpRequest),
        kEnd};
    return sendLogged(request, kDumpRequestLength,
                      formatText("Requested Pultron64 Bank from Device ID %02X", deviceId));
}

bool TransferControl::SendBankChangeRequest(std::uint8_t model, int deviceId, int bank) {
    const std::uint8_t request[kBankChangeLength] = {
        kStart,
        kHeader[1],
        kHeader[2],
        kHeader[3],
        model,
        deviceCommandByte(deviceId & 0x07, BankChangeRequest),
        std::uint8_t(bank & 0x7F),
        kEnd};
    const std::string text = formatText("Requested %s Bank Change to #%d from Device ID %02X",
                                        ModelName(model).data(), bank + 1, deviceId & 0x07);
    return sendLogged(request, kBankChangeLength, text) && WaitMilliseconds(kBankChangeWait);
}

bool TransferControl::sendLogged(const std::uint8_t* bytes, int length, const std::string& text) {
    if (!m_midiOut.SysEx(bytes, length)) {
        log(formatText("Could not send %d bytes - MIDI OUT Port not ready!", length));
        return false;
    }
    log(text);
    return true;
}

bool TransferControl::WaitMilliseconds(int ms) {
    m_waitInterval = ms;
    m_waitTimer.setInterval(ms);
    m_waitClock.start();
    m_waitTimer.start();
    return runUntil(this, &TransferControl::waitEnded, m_waitTimer);
}

void TransferControl::WaitTimerTimer() {
    if (m_waitTimer.isActive() && wokeEarly(m_waitTimer, m_waitClock, m_waitInterval)) return;
    m_waitTimer.stop();
    emit waitEnded();
}

void TransferControl::SysexHeadTimerTimer() {
    if (m_outgoing.blocksLeft > 0 && m_headTimer.isActive() &&
        wokeEarly(m_headTimer, m_blockClock, m_blockInterval))
        return;
    if (m_outgoing.blocksLeft > 0) {
        const int start = m_outgoing.sendPosition;
        const int end = FindBlockEnd(m_outgoing, start);
        if (end != 0) {
            std::uint8_t* message = m_outgoing.data.data() + start;
            const int length = end - start;
            std::string text;
            if (length > kBlockNumberIndex && message[kModelIndex] == kModelId) {
                const int deviceId = selectedDeviceId();
                message[kDeviceCommandIndex] =
                    std::uint8_t(deviceId << 4 | (message[kDeviceCommandIndex] & 0x0F));
                const auto model = ModelName(message[kModelIndex]).data();
                text =
                    (message[kDeviceCommandIndex] & 0x0F) == BlockDump
                        ? formatText("Sent %d bytes to %s with device ID %02X (@0x%04x)", length,
                                     model, deviceId, message[kBlockNumberIndex] * kBlockDataSize)
                        : formatText("Sent %d bytes to %s with device ID %02X", length, model,
                                     deviceId);
            }
            if (!m_midiOut.SysEx(message, length)) {
                failUpload();
                return;
            }
            if (!text.empty()) log(text);
            ++m_blocksSent;
            m_bytesSent += length;
        }
        m_outgoing.sendPosition = end;
        m_outgoing.blocksLeft -= 1;
        if (end == 0 || m_outgoing.blocksLeft <= 0) {
            showWholeDump();
            m_outgoing.blocksLeft = 0;
        } else if (m_hooks.showToSend) {
            m_hooks.showToSend(m_outgoing.length - end, m_outgoing.blocksLeft);
        }
    }
    if (m_outgoing.blocksLeft <= 0) {
        m_headTimer.stop();
        emit uploadEnded();
    } else if (m_headTimer.isActive()) {
        // The next gap counts from now, after this block has gone out, not from this tick.
        m_blockClock.restart();
        m_headTimer.start(m_blockInterval);
    }
    refresh();
}

void TransferControl::abortUpload() {
    if (sending()) failUpload();
}

void TransferControl::failUpload() {
    const int sent = m_outgoing.blockCount - m_outgoing.blocksLeft;
    log(formatText("Upload aborted after %d of %d blocks - MIDI OUT Port not ready!", sent,
                   m_outgoing.blockCount));
    m_uploadFailed = true;
    endUpload();
}

void TransferControl::stopUpload() {
    if (!m_uploading || m_stopRequested) return;
    const int sent = sending() ? m_outgoing.blockCount - m_outgoing.blocksLeft : 0;
    log(formatText("Upload stopped after %d of %d blocks", sent, m_outgoing.blockCount));
    cancel();
}

void TransferControl::cancel() {
    if (!m_busy || m_stopRequested) return;
    m_stopRequested = true;
    m_uploadFailed = true;
    if (sending()) {
        endUpload();
        return;
    }
    if (!m_waitTimer.isActive()) return;
    m_waitTimer.stop();
    emit waitEnded();
}

void TransferControl::endUpload() {
    m_outgoing.blocksLeft = 0;
    showWholeDump();
    if (m_headTimer.isActive()) {
        m_headTimer.stop();
        emit uploadEnded();
    }
    refresh();
}

void TransferControl::showWholeDump() {
    if (m_hooks.showToSend) m_hooks.showToSend(m_outgoing.length, m_outgoing.blockCount);
}

int TransferControl::FindBlockEnd(const DumpBuffer& dump, int position) {
    if (position < 0) return 0;
    for (int p = position; p < DumpBuffer::kCapacity;) {
        ++p;
        if (dump.data[p - 1] == kEnd) return p <= dump.length ? p : 0;
    }
    return 0;
}
