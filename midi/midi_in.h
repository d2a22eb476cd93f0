// TMidiIn: one MIDI input port. Delivers incoming short messages and SysEx bytes to its OnShort
// and OnSysEx handlers on the thread that owns it, in arrival order.
#pragma once

#include "midi_device_list.h"

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class TMidiIn : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxDevices = 12;
    // SysEx reaches OnSysEx in chunks of at most one input buffer.
    static constexpr int SysexBufferSize = 2048;
    // Hand-overs waiting for the owning thread beyond this are dropped and reported.
    static constexpr int kMaxPending = 20000;

    using ShortEvent = std::function<void(TMidiIn* sender, std::uint8_t status, std::uint8_t first,
                                          std::uint8_t second)>;
    // The bytes are valid only until the handler returns.
    using SysExEvent =
        std::function<void(TMidiIn* sender, const std::uint8_t* SysExAdd, int MsgSize)>;

    explicit TMidiIn(const MidiDeviceList& devices, QObject* parent = nullptr);
    ~TMidiIn() override;

    bool Using() const { return m_using; }
    void SetUsing(bool value);
    int Port() const { return m_port; }
    void SetPort(int index);
    int NumDevs() const { return static_cast<int>(m_caps.size()); }
    // The product name of device `index` (0 .. NumDevs - 1).
    const std::string& deviceName(int index) const { return m_caps.at(index).name; }
    bool UseShort() const { return m_useShort; }
    void SetUseShort(bool value) { m_useShort = value; }
    bool UseSysEx() const { return m_useSysEx; }
    void SetUseSysEx(bool value) { m_useSysEx = value; }
    int PortOpenResult() const { return m_portOpenResult; }
    // Open, and neither failed nor lost since.
    bool ready() const { return m_using && m_connection && m_portOpenResult == kPortOk; }

    ShortEvent OnShort;
    SysExEvent OnSysEx;

signals:
    // The open port stopped working; PortOpenResult is kPortLost from now on.
    void portLost(const QString& reason);
    // Input came faster than this thread took it; `count` messages were dropped.
    void inputDropped(int count);

private:
    struct Inlet;

    void Prepare();
    void UnPrepare();
    void ShortIn(quint64 generation, std::uint8_t status, std::uint8_t first, std::uint8_t second);
    void LongIn(quint64 generation, const QByteArray& bytes);
    void PortLost(quint64 generation, const QString& reason);
    bool accept(quint64 generation);

    std::vector<MidiDevice> m_caps; // the capability table: at most 12 devices
    bool m_using = false;
    int m_port = 0;
    bool m_useShort = true;
    bool m_useSysEx = true;
    int m_portOpenResult = kPortOk;
    bool m_stopping = false;
    quint64 m_generation = 0; // counts opens; hand-overs of an earlier open are dropped
    std::unique_ptr<MidiInputConnection> m_connection;
    std::atomic<int> m_pending{0};
    std::atomic<int> m_dropped{0};
};
