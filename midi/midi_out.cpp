#include "midi_out.h"

#include <QMetaObject>

namespace {

// Bytes of a short message, its status included, as the status defines them.
int shortMessageLength(std::uint8_t status) {
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 2;
    case 0xF0:
        break;
    default:
        return 3;
    }
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    default:
        return 1;
    }
}

} // namespace

TMidiOut::TMidiOut(const MidiDeviceList& devices, QObject* parent) : QObject(parent) {
    const auto& outputs = devices.outputs();
    m_caps.assign(outputs.begin(),
                  outputs.begin() + std::min<std::size_t>(outputs.size(), kMaxDevices));
}

TMidiOut::~TMidiOut() {
    if (m_using) close();
}

void TMidiOut::SetUsing(bool value) {
    if (value && !m_using)
        open();
    else if (!value && m_using)
        close();
    m_using = value;
}

void TMidiOut::SetPort(int index) {
    if (index < 0 || index >= NumDevs()) return;
    if (!m_using) {
        m_port = index;
        return;
    }
    close();
    m_port = index;
    open();
}

void TMidiOut::open() {
    ++m_generation;
    if (m_port >= NumDevs()) {
        m_portOpenResult = kPortNotFound;
        return;
    }
    const MidiDevice& device = m_caps[m_port];
    auto opened = device.backend->openOutput(
        device.name, [this, generation = m_generation](const std::string& reason) {
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

void TMidiOut::close() {
    m_connection.reset();
    ++m_generation;
}

void TMidiOut::Put(std::uint8_t Status, std::uint8_t Data1, std::uint8_t Data2) {
    if (!ready()) return;
    const std::uint8_t bytes[] = {Status, Data1, Data2};
    m_connection->sendShort(std::span(bytes, static_cast<std::size_t>(shortMessageLength(Status))));
}

bool TMidiOut::SysEx(const std::uint8_t* data, int length) {
    if (!ready() || length <= 2) return false;
    return m_connection->sendSysEx(std::span(data, static_cast<std::size_t>(length)));
}

void TMidiOut::Reset() {
    if (ready()) m_connection->reset();
}

void TMidiOut::PortLost(quint64 generation, const QString& reason) {
    if (generation != m_generation || !m_connection) return;
    m_portOpenResult = kPortLost;
    emit portLost(reason);
}
