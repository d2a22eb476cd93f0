#include "hex_byte_edit.h"

#include "spin_edit.h"

#include <QFocusEvent>
#include <QRegularExpressionValidator>

namespace {

// Room for leading zeros: clicking behind "00" and typing "3C" still means 0x3C.
constexpr int kMaxDigits = 4;

QString hex(int value) {
    return QString::asprintf("%02X", static_cast<unsigned>(value));
}

} // namespace

HexByteEdit::HexByteEdit(SpinEdit* field, QWidget* parent) : QLineEdit(parent), m_field(field) {
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,%1}").arg(kMaxDigits)), this));
    setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 12);
    showValue(field->value());
    connect(field, &SpinEdit::valueChanged, this, &HexByteEdit::showValue);
    connect(this, &QLineEdit::editingFinished, this, &HexByteEdit::enter);
}

void HexByteEdit::showValue(int value) {
    setText(hex(value));
    updateName();
}

// The field's caption follows the event type, so the name is made afresh with every change.
void HexByteEdit::updateName() {
    setAccessibleName(m_field->caption() + QStringLiteral(" HEX ") + text());
}

void HexByteEdit::focusInEvent(QFocusEvent* event) {
    updateName();
    QLineEdit::focusInEvent(event);
}

void HexByteEdit::enter() {
    bool ok = false;
    const int value = text().toInt(&ok, 16);
    const QString typed = text().toUpper();
    if (ok && value >= m_field->minimum() && value <= m_field->maximum())
        m_field->setValue(value);
    else if (!typed.isEmpty())
        emit refused(tr("%1 HEX: %2 is outside %3 to %4, kept %5")
                         .arg(m_field->caption(), typed, hex(m_field->minimum()),
                              hex(m_field->maximum()), hex(m_field->value())));
    // Shown again also when nothing changed: "3c" becomes "3C", a refused number the old value.
    showValue(m_field->value());
}
