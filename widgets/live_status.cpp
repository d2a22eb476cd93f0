#include "live_status.h"

#include "accessible_controls.h"

#include <QAccessible>

LiveStatus::LiveStatus(QWidget* parent) : QLabel(parent) {
    installAccessibleControls();
}

void LiveStatus::announce(const QString& text) {
    setText(text);
    if (!QAccessible::isActive()) return;
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
