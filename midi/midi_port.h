// MidiPort: what the input and the output port share: the table of at most 12 devices, the
// chosen device, opening on demand, and the report of a port lost while it was open.
#pragma once

#include "midi_device_list.h"
#include "port_matching.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// Bytes of a short message, its status included, as the status defines them.
int shortMessageLength(std::uint8_t status);

class MidiPort : public QObject {
    Q_OBJECT
public:
    // Sees each message the port delivers or sends, on the owning thread (the MIDI monitor).
    // Input SysEx comes in the chunks that reach OnSysEx.
    std::function<void(std::span<const std::uint8_t> message)> OnTraffic;

    bool Using() const { return m_using; }
    void SetUsing(bool value);
    int Port() const { return m_port; }
    // Indexes beyond the device table are ignored.
    void SetPort(int index);
    int NumDevs() const { return static_cast<int>(m_caps.size()); }
    // The product name of device `index` (0 .. NumDevs - 1).
    const std::string& deviceName(int index) const { return m_caps.at(index).name; }
    // The name of the chosen device, listed or not.
    const std::string& chosenName() const { return m_chosen; }
    // The devices of `devices` that the table holds: at most 12, the chosen device among them
    // wherever it stands, so that new devices listed before it never push it off.
    std::vector<MidiDevice> table(const MidiDeviceList& devices) const;
    // Takes the machine's devices as they are now. The chosen device keeps its place by name;
    // when it has gone, Port() is NumDevs() and an open port is reported lost (once). Says
    // whether a lost port could now be opened again with reopen().
    port_matching::Follow setDevices(const MidiDeviceList& devices);
    // Opens the chosen device again after it was lost; raises reopened() when that worked.
    bool reopen();
    int PortOpenResult() const { return m_portOpenResult; }
    // Open, and neither failed nor lost since.
    bool ready() const { return m_using && isConnected() && m_portOpenResult == kPortOk; }
    // The log line for a lost port: `direction` is "IN" or "OUT", `reason` comes with portLost.
    QString lostPortLine(const QString& direction, const QString& reason) const;
    // The same line for a port lost on `device`, for whoever else uses a port.
    static QString lostPortLine(const QString& direction, const QString& device,
                                const QString& reason);
    // The log line for a port that `opened` or closed on `device`.
    static QString openedOrClosedLine(const QString& direction, const QString& device, bool opened);

signals:
    // The port has been opened on, or closed from, `device`; a failed open raises neither.
    void opened(const QString& device);
    void closed(const QString& device);
    // The port was lost and is open again on a device of the same name.
    void reopened(const QString& device);
    // The open port stopped working; PortOpenResult is kPortLost from now on.
    void portLost(const QString& reason);

protected:
    MidiPort(const std::vector<MidiDevice>& devices, QObject* parent);

    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isConnected() const = 0;
    // The devices of this port's direction, capped as table() says.
    virtual std::vector<MidiDevice> listed(const MidiDeviceList& devices,
                                           const std::string& kept) const = 0;

    // Starts a new open: the chosen device, or nullptr (and kPortNotFound) when there is none.
    const MidiDevice* beginOpen();
    void setOpenResult(int result) { m_portOpenResult = result; }
    // Called from the driver thread when the port of the current open goes away.
    std::function<void(const std::string&)> lostHandler();
    // Whatever the driver queued for an earlier open is not delivered.
    void invalidate() { ++m_generation; }
    quint64 generation() const { return m_generation; }

private:
    void openPort();
    void closePort();
    void PortLost(quint64 generation, const QString& reason);

    std::vector<MidiDevice> m_caps; // the capability table
    std::string m_chosen;           // the name of device m_port, kept while it is missing
    bool m_using = false;
    int m_port = 0;
    int m_portOpenResult = kPortOk;
    quint64 m_generation = 0; // counts opens and closes
};
