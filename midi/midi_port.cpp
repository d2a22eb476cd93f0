#include "midi_port.h"

#include <QMetaObject>

MidiPort::MidiPort(const std::vector<MidiDevice>& devices, QObject* parent)
    : QObject(parent), m_caps(devices),
      m_chosen(m_caps.empty() ? std::string() : m_caps.front().name) {}

std::vector<MidiDevice> MidiPort::table(const MidiDeviceList& devices) const {
    return listed(devices, m_chosen);
}

port_matching::Follow MidiPort::setDevices(const MidiDeviceList& devices) {
    m_caps = table(devices);
    const auto names = MidiDeviceList::names(m_caps);
    const auto index = port_matching::indexOf(names, m_chosen);
    m_port = index ? *index : m_chosen.empty() ? 0 : NumDevs();
    if (m_chosen.empty() && !m_caps.empty()) m_chosen = m_caps.front().name;
    const auto follow =
        port_matching::follow(m_chosen, m_using, m_portOpenResult == kPortLost, names);
    if (follow == port_matching::Follow::Lose)
        PortLost(m_generation, QString::fromLatin1(port_matching::kGoneAway));
    return follow;
}

bool MidiPort::reopen() {
    if (!m_using || m_port >= NumDevs()) return false;
    close();
    open();
    const bool opened = isConnected() && m_portOpenResult == kPortOk;
    if (opened) emit reopened(QString::fromStdString(m_chosen));
    return opened;
}

void MidiPort::SetUsing(bool value) {
    if (value && !m_using)
        openPort();
    else if (!value && m_using)
        closePort();
    m_using = value;
}

void MidiPort::SetPort(int index) {
    if (index < 0 || index >= NumDevs()) return;
    if (!m_using) {
        m_port = index;
        m_chosen = deviceName(index);
        return;
    }
    closePort();
    m_port = index;
    m_chosen = deviceName(index);
    openPort();
}

void MidiPort::openPort() {
    open();
    if (isConnected() && m_portOpenResult == kPortOk) emit opened(QString::fromStdString(m_chosen));
}

void MidiPort::closePort() {
    const bool wasConnected = isConnected();
    close();
    if (wasConnected) emit closed(QString::fromStdString(m_chosen));
}

const MidiDevice* MidiPort::beginOpen() {
    ++m_generation;
    if (m_port >= NumDevs()) {
        m_portOpenResult = kPortNotFound;
        return nullptr;
    }
    return &m_caps[m_port];
}

std::function<void(const std::string&)> MidiPort::lostHandler() {
    return [this, generation = m_generation](const std::string& reason) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, text = QString::fromStdString(reason)] {
                PortLost(generation, text);
            },
            Qt::QueuedConnection);
    };
}

void MidiPort::PortLost(quint64 generation, const QString& reason) {
    // Said once: when the server stops, the peer's port goes away with it.
    if (generation != m_generation || !isConnected() || m_portOpenResult == kPortLost) return;
    m_portOpenResult = kPortLost;
    emit portLost(reason);
}

QString MidiPort::openedOrClosedLine(const QString& direction, const QString& device, bool opened) {
    return QStringLiteral("MIDI %1 port \"%2\" %3")
        .arg(direction, device, opened ? QStringLiteral("opened") : QStringLiteral("closed"));
}

QString MidiPort::lostPortLine(const QString& direction, const QString& reason) const {
    return lostPortLine(direction, QString::fromStdString(m_chosen), reason);
}

QString MidiPort::lostPortLine(const QString& direction, const QString& device,
                               const QString& reason) {
    return QStringLiteral("Lost MIDI %1 Port \"%2\" - %3!").arg(direction, device, reason);
}

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
