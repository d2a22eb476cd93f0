#include "hex_byte_edit.h"

#include "spin_edit.h"

#include <QFocusEvent>
#include <QRegularExpressionValidator>

namespace {

// Room for leading zeros: clicking behind "00" and typing "3C" still means 0x3C.
constexpr int kMaxDigits = 4;

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
    setText(QString::asprintf("%02X", static_cast<unsigned>(value)));
    updateName();
}

// The field's caption follows the event type, so the name is made afresh with every change.
void HexByteEdit::updateName() {
    QString caption = m_field->accessibleName();
    if (caption.endsWith(u':')) caption.chop(1);
    setAccessibleName(caption.trimmed() + QStringLiteral(" HEX ") + text());
}

void HexByteEdit::focusInEvent(QFocusEvent* event) {
    updateName();
    QLineEdit::focusInEvent(event);
}

void HexByteEdit::enter() {
    bool ok = false;
    const int value = text().toInt(&ok, 16);
    if (ok && value >= m_field->minimum() && value <= m_field->maximum()) m_field->setValue(value);
    // Shown again also when nothing changed: "3c" becomes "3C", a refused number the old value.
    showValue(m_field->value());
}
