#include "port_watch.h"

#include <QMetaObject>

PortWatch::PortWatch(MidiDeviceList& devices, QObject* parent)
    : QObject(parent), m_devices(devices) {
    for (const auto& backend : m_devices.backends())
        backend->watchPorts([this] {
            if (!m_queued.exchange(true))
                QMetaObject::invokeMethod(this, &PortWatch::refresh, Qt::QueuedConnection);
        });
}

PortWatch::~PortWatch() {
    for (const auto& backend : m_devices.backends())
        backend->watchPorts({});
}

void PortWatch::refresh() {
    m_queued = false; // notices from now on bring another refresh
    if (m_devices.refresh()) emit portsChanged();
}
