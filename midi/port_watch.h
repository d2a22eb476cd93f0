// PortWatch: follows the MIDI systems' notices of ports coming and going. The device list is
// read again on the thread that owns the watch, once for a burst of notices, and portsChanged()
// says when it differs.
#pragma once

#include "midi_device_list.h"

#include <QObject>
#include <atomic>

class PortWatch : public QObject {
    Q_OBJECT
public:
    explicit PortWatch(MidiDeviceList& devices, QObject* parent = nullptr);
    ~PortWatch() override; // no notice reaches it after this

    MidiDeviceList& devices() const { return m_devices; }

signals:
    void portsChanged();

private:
    void refresh();

    MidiDeviceList& m_devices;
    std::atomic<bool> m_queued{false}; // a refresh is on its way to the owning thread
};
