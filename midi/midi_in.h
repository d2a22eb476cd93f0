// TMidiIn: one MIDI input port. Delivers incoming short messages and SysEx bytes to its OnShort
// and OnSysEx handlers on the thread that owns it, in arrival order; while that thread is behind,
// a control change followed by a later one of the same channel and controller is skipped.
#pragma once

#include "dump_buffer.h"
#include "input_hand_over.h"
#include "midi_port.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

class TMidiIn : public MidiPort {
    Q_OBJECT
public:
    // SysEx reaches OnSysEx in chunks of at most one input buffer.
    static constexpr int SysexBufferSize = 2048;
    // Hand-overs waiting for the owning thread beyond this are dropped and reported.
    static constexpr int kMaxPending = InputHandOver::kMaxPending;
    // The longest SysEx message passed on whole, as much as the receiver can hold; the bytes
    // of a longer one up to its end are dropped and reported.
    static constexpr long long kMaxSysExLength = DumpBuffer::kCapacity;

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
    // Input came faster than this thread took it; `count` messages were dropped. Raised in
    // order, before whatever arrived after them.
    void inputDropped(int count);
    // `bytes` of an overlong SysEx message were dropped. `restart`: the F0 of a new message
    // broke it off and comes next. Raised in order, where the bytes were.
    void sysExCut(long long bytes, bool restart);

private:
    struct Inlet;

    void open() override;
    void close() override;
    bool isConnected() const override { return m_connection != nullptr; }
    std::vector<MidiDevice> listed(const MidiDeviceList& devices,
                                   const std::string& kept) const override {
        return devices.inputs(kept);
    }
    void ShortIn(std::uint8_t status, std::uint8_t first, std::uint8_t second);
    void LongIn(const QByteArray& bytes);
    void SysExCut(long long bytes, bool restart);
    bool current(quint64 generation) const;

    bool m_useShort = true;
    bool m_useSysEx = true;
    bool m_stopping = false;
    InputHandOver m_handOver;
    std::unique_ptr<MidiInputConnection> m_connection;
};
