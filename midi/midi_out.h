// TMidiOut: one MIDI output port for short messages and SysEx messages.
#pragma once

#include "midi_port.h"

#include <QObject>
#include <cstdint>
#include <memory>

class TMidiOut : public MidiPort {
    Q_OBJECT
public:
    explicit TMidiOut(const MidiDeviceList& devices, QObject* parent = nullptr);
    ~TMidiOut() override;

    // Sends one short message; the status decides how many of the data bytes go out.
    void Put(std::uint8_t Status, std::uint8_t Data1, std::uint8_t Data2);
    // Sends `length` bytes as one SysEx message; returns false when nothing went out (port not
    // ready, 2 bytes or fewer, or the MIDI system refused them).
    bool SysEx(const std::uint8_t* data, int length);
    void Reset();

private:
    void open() override;
    void close() override;
    bool isConnected() const override { return m_connection != nullptr; }
    std::vector<MidiDevice> listed(const MidiDeviceList& devices,
                                   const std::string& kept) const override {
        return devices.outputs(kept);
    }

    std::unique_ptr<MidiOutputConnection> m_connection;
};
