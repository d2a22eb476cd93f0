#include "spin_edit.h"

#include <QLineEdit>
#include <algorithm>

namespace {

// How far typing may go beyond the range before the field refuses a keystroke.
constexpr int kTypedLimit = 99999999;

} // namespace

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent) {
    QSpinBox::setRange(-kTypedLimit, kTypedLimit);
    QSpinBox::setValue(m_min);
    connect(this, &QAbstractSpinBox::editingFinished, this, &SpinEdit::clampIntoRange);
}

SpinEdit::SpinEdit(int min, int max, int value, QWidget* parent) : SpinEdit(parent) {
    setRange(min, max);
    setValue(value);
}

void SpinEdit::setRange(int min, int max) {
    m_min = min;
    m_max = std::max(min, max);
    setValue(value());
    updateGeometry();
}

void SpinEdit::setValue(int value) {
    QSpinBox::setValue(std::clamp(value, m_min, m_max));
}

int SpinEdit::clampedValue() const {
    return std::clamp(value(), m_min, m_max);
}

QString SpinEdit::caption() const {
    QString caption = accessibleName().trimmed();
    if (caption.endsWith(u':')) caption.chop(1);
    return caption.trimmed();
}

void SpinEdit::clampIntoRange() {
    const int typed = value();
    if (typed == clampedValue()) return;
    QSpinBox::setValue(clampedValue());
    emit refused(tr("%1: %2 is outside %3 to %4, set to %5")
                     .arg(caption())
                     .arg(typed)
                     .arg(m_min)
                     .arg(m_max)
                     .arg(value()));
}

QString SpinEdit::numberPart(const QString& text) const {
    QString number = text;
    if (!prefix().isEmpty() && number.startsWith(prefix())) number.remove(0, prefix().size());
    if (!suffix().isEmpty() && number.endsWith(suffix())) number.chop(suffix().size());
    return number.trimmed();
}

QValidator::State SpinEdit::validate(QString& input, int&) const {
    const QString number = numberPart(input);
    if (number.isEmpty() || number == QLatin1String("-") || number == QLatin1String("+"))
        return QValidator::Acceptable; // reads as the minimum
    bool ok = false;
    const qlonglong value = number.toLongLong(&ok);
    return ok && value >= -kTypedLimit && value <= kTypedLimit ? QValidator::Acceptable
                                                               : QValidator::Invalid;
}

int SpinEdit::valueFromText(const QString& text) const {
    bool ok = false;
    const int value = numberPart(text).toInt(&ok);
    return ok ? value : m_min;
}

void SpinEdit::stepBy(int steps) {
    setValue(clampedValue() + steps * singleStep());
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const {
    if (isReadOnly()) return StepNone;
    StepEnabled enabled = StepNone;
    if (value() < m_max) enabled |= StepUpEnabled;
    if (value() > m_min) enabled |= StepDownEnabled;
    return enabled;
}

int SpinEdit::textWidth(int value) const {
    return fontMetrics().horizontalAdvance(textFromValue(value) + prefix() + suffix() + u' ');
}

// QSpinBox sizes itself for the wide typing range; size for the real range instead.
QSize SpinEdit::sizeHint() const {
    QSize size = QSpinBox::sizeHint();
    const int wide = std::max(textWidth(-kTypedLimit), textWidth(kTypedLimit));
    size.rwidth() -= wide - std::max(textWidth(m_min), textWidth(m_max));
    return size;
}

QSize SpinEdit::minimumSizeHint() const {
    QSize size = QSpinBox::minimumSizeHint();
    const int wide = std::max(textWidth(-kTypedLimit), textWidth(kTypedLimit));
    size.rwidth() -= wide - std::max(textWidth(m_min), textWidth(m_max));
    return size;
}
