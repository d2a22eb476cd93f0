#include "midi_in.h"

#include "midi_input_splitter.h"

#include <QByteArray>
#include <QMetaObject>

// The driver-thread side of one open port: splits what the driver delivers, copies the bytes
// and queues them for the owning thread.
struct TMidiIn::Inlet {
    Inlet(TMidiIn* target, quint64 generation)
        : target(target), generation(generation),
          splitter(
              SysexBufferSize,
              [this](std::uint8_t status, std::uint8_t first, std::uint8_t second) {
                  post([t = this->target, g = this->generation, status, first, second] {
                      t->ShortIn(g, status, first, second);
                  });
              },
              [this](std::span<const std::uint8_t> chunk) {
                  QByteArray bytes(reinterpret_cast<const char*>(chunk.data()),
                                   static_cast<qsizetype>(chunk.size()));
                  post([t = this->target, g = this->generation, bytes = std::move(bytes)] {
                      t->LongIn(g, bytes);
                  });
              }) {}

    template <typename Call> void post(Call&& call) {
        if (target->m_pending.fetch_add(1) >= kMaxPending) {
            target->m_pending.fetch_sub(1);
            target->m_dropped.fetch_add(1);
            return;
        }
        QMetaObject::invokeMethod(target, std::forward<Call>(call), Qt::QueuedConnection);
    }

    TMidiIn* target; // outlives the connection that calls us
    quint64 generation;
    MidiInputSplitter splitter;
};

TMidiIn::TMidiIn(const MidiDeviceList& devices, QObject* parent)
    : MidiPort(devices.inputs(), parent) {}

TMidiIn::~TMidiIn() {
    if (Using()) close();
}

void TMidiIn::open() {
    m_stopping = false;
    const MidiDevice* device = beginOpen();
    if (!device) return;
    auto inlet = std::make_shared<Inlet>(this, generation());
    auto opened = device->backend->openInput(
        device->name,
        [inlet](std::span<const std::uint8_t> bytes) { inlet->splitter.split(bytes); },
        lostHandler());
    m_connection = std::move(opened.connection);
    setOpenResult(opened.result);
}

void TMidiIn::close() {
    m_stopping = true;
    m_connection.reset(); // no driver callback runs after this
    invalidate();
}

bool TMidiIn::accept(quint64 generation) {
    m_pending.fetch_sub(1);
    if (const int dropped = m_dropped.exchange(0); dropped > 0) emit inputDropped(dropped);
    return generation == this->generation() && Using() && !m_stopping;
}

void TMidiIn::ShortIn(quint64 generation, std::uint8_t status, std::uint8_t first,
                      std::uint8_t second) {
    if (accept(generation) && OnShort && m_useShort) OnShort(this, status, first, second);
}

void TMidiIn::LongIn(quint64 generation, const QByteArray& bytes) {
    if (accept(generation) && OnSysEx && m_useSysEx)
        OnSysEx(this, reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                static_cast<int>(bytes.size()));
}
