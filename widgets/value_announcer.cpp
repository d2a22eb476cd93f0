#include "value_announcer.h"

#include <QAccessible>
#include <QWidget>
#include <utility>

namespace {

void sendValueChange(QWidget* control) {
    if (!QAccessible::isActive()) return;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    if (!accessible || !accessible->valueInterface()) return;
    QAccessibleValueChangeEvent changed(control, accessible->valueInterface()->currentValue());
    QAccessible::updateAccessibility(&changed);
}

} // namespace

ValueAnnouncer::ValueAnnouncer(QWidget* control)
    : ValueAnnouncer(control, [control] { sendValueChange(control); }) {}

ValueAnnouncer::ValueAnnouncer(QObject* context, Send sendEvent) : m_send(std::move(sendEvent)) {
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kIntervalMs);
    QObject::connect(&m_quiet, &QTimer::timeout, context, [this] {
        if (std::exchange(m_pending, false)) send();
    });
}

void ValueAnnouncer::changed() {
    if (m_quiet.isActive())
        m_pending = true;
    else
        send();
}

void ValueAnnouncer::send() {
    m_send();
    m_quiet.start();
}
