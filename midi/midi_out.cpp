#include "midi_out.h"

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

TMidiOut::TMidiOut(const MidiDeviceList& devices, QObject* parent)
    : MidiPort(devices.outputs(), parent) {}

TMidiOut::~TMidiOut() {
    if (Using()) close();
}

void TMidiOut::open() {
    const MidiDevice* device = beginOpen();
    if (!device) return;
    auto opened = device->backend->openOutput(device->name, lostHandler());
    m_connection = std::move(opened.connection);
    setOpenResult(opened.result);
}

void TMidiOut::close() {
    m_connection.reset();
    invalidate();
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
