#include "midi_out.h"

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
    const std::span message(bytes, static_cast<std::size_t>(shortMessageLength(Status)));
    m_connection->sendShort(message);
    if (OnTraffic) OnTraffic(message);
}

bool TMidiOut::SysEx(const std::uint8_t* data, int length) {
    if (!ready() || length <= 2) return false;
    const std::span message(data, static_cast<std::size_t>(length));
    if (!m_connection->sendSysEx(message)) return false;
    if (OnTraffic) OnTraffic(message);
    return true;
}

void TMidiOut::Reset() {
    if (ready()) m_connection->reset();
}
