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

TMidiIn::TMidiIn(const MidiDeviceList& devices, QObject* parent) : QObject(parent) {
    const auto& inputs = devices.inputs();
    m_caps.assign(inputs.begin(),
                  inputs.begin() + std::min<std::size_t>(inputs.size(), kMaxDevices));
}

TMidiIn::~TMidiIn() {
    if (m_using) UnPrepare();
}

void TMidiIn::SetUsing(bool value) {
    if (value && !m_using)
        Prepare();
    else if (!value && m_using)
        UnPrepare();
    m_using = value;
}

void TMidiIn::SetPort(int index) {
    if (index < 0 || index >= NumDevs()) return;
    if (!m_using) {
        m_port = index;
        return;
    }
    UnPrepare();
    m_port = index;
    Prepare();
}

void TMidiIn::Prepare() {
    m_stopping = false;
    ++m_generation;
    if (m_port >= NumDevs()) {
        m_portOpenResult = kPortNotFound;
        return;
    }
    const MidiDevice& device = m_caps[m_port];
    auto inlet = std::make_shared<Inlet>(this, m_generation);
    auto opened = device.backend->openInput(
        device.name, [inlet](std::span<const std::uint8_t> bytes) { inlet->splitter.split(bytes); },
        [this, generation = m_generation](const std::string& reason) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, text = QString::fromStdString(reason)] {
                    PortLost(generation, text);
                },
                Qt::QueuedConnection);
        });
    m_connection = std::move(opened.connection);
    m_portOpenResult = opened.result;
}

void TMidiIn::UnPrepare() {
    m_stopping = true;
    m_connection.reset(); // no driver callback runs after this
    ++m_generation;       // what the driver queued before is not delivered
}

bool TMidiIn::accept(quint64 generation) {
    m_pending.fetch_sub(1);
    if (const int dropped = m_dropped.exchange(0); dropped > 0) emit inputDropped(dropped);
    return generation == m_generation && m_using && !m_stopping;
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

void TMidiIn::PortLost(quint64 generation, const QString& reason) {
    if (generation != m_generation || !m_connection) return;
    m_portOpenResult = kPortLost;
    emit portLost(reason);
}
