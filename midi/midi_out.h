// TMidiOut: one MIDI output port for short messages and SysEx messages.
#pragma once

#include "midi_device_list.h"

#include <QObject>
#include <cstdint>
#include <memory>

class TMidiOut : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxDevices = 12;

    explicit TMidiOut(const MidiDeviceList& devices, QObject* parent = nullptr);
    ~TMidiOut() override;

    bool Using() const { return m_using; }
    void SetUsing(bool value);
    int Port() const { return m_port; }
    void SetPort(int index);
    int NumDevs() const { return static_cast<int>(m_caps.size()); }
    const std::string& deviceName(int index) const { return m_caps.at(index).name; }
    int PortOpenResult() const { return m_portOpenResult; }
    // Open, and neither failed nor lost since.
    bool ready() const { return m_using && m_connection && m_portOpenResult == kPortOk; }

    // Sends one short message; the status decides how many of the data bytes go out.
    void Put(std::uint8_t Status, std::uint8_t Data1, std::uint8_t Data2);
    // Sends `length` bytes as one SysEx message; returns false when nothing went out (port not
    // ready, 2 bytes or fewer, or the MIDI system refused them).
    bool SysEx(const std::uint8_t* data, int length);
    void Reset();

signals:
    // The open port stopped working; PortOpenResult is kPortLost from now on.
    void portLost(const QString& reason);

private:
    void open();
    void close();
    void PortLost(quint64 generation, const QString& reason);

    std::vector<MidiDevice> m_caps;
    bool m_using = false;
    int m_port = 0;
    int m_portOpenResult = kPortOk;
    quint64 m_generation = 0;
    std::unique_ptr<MidiOutputConnection> m_connection;
};
