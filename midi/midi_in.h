// TMidiIn: one MIDI input port. Delivers incoming short messages and SysEx bytes to its OnShort
// and OnSysEx handlers on the thread that owns it, in arrival order.
#pragma once

#include "midi_port.h"

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class TMidiIn : public MidiPort {
    Q_OBJECT
public:
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

    bool UseShort() const { return m_useShort; }
    void SetUseShort(bool value) { m_useShort = value; }
    bool UseSysEx() const { return m_useSysEx; }
    void SetUseSysEx(bool value) { m_useSysEx = value; }
    ShortEvent OnShort;
    SysExEvent OnSysEx;

signals:
    // Input came faster than this thread took it; `count` messages were dropped.
    void inputDropped(int count);

private:
    struct Inlet;

    void open() override;
    void close() override;
    bool isConnected() const override { return m_connection != nullptr; }
    void ShortIn(quint64 generation, std::uint8_t status, std::uint8_t first, std::uint8_t second);
    void LongIn(quint64 generation, const QByteArray& bytes);
    bool accept(quint64 generation);

    bool m_useShort = true;
    bool m_useSysEx = true;
    bool m_stopping = false;
    std::unique_ptr<MidiInputConnection> m_connection;
    std::atomic<int> m_pending{0};
    std::atomic<int> m_dropped{0};
};
