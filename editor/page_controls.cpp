#include "page_controls.h"

#include "spin_edit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace page_controls {

QLabel* caption(const QString& text, QWidget* buddy, const char* objectName) {
    auto* label = new QLabel(text);
    if (objectName) label->setObjectName(QString::fromLatin1(objectName));
    label->setBuddy(buddy);
    if (buddy->accessibleName().isEmpty()) buddy->setAccessibleName(text.trimmed());
    return label;
}

void setCaption(QLabel* label, const QString& text) {
    label->setText(text);
    if (label->buddy()) label->buddy()->setAccessibleName(text.trimmed());
}

SpinEdit* numberField(int min, int max, int value, const char* objectName, const QString& caption) {
    return named(new SpinEdit(min, max, value), objectName, caption);
}

QCheckBox* checkBox(const QString& caption, const char* objectName) {
    return named(new QCheckBox(caption), objectName, caption);
}

QLineEdit* hexMirror(const char* objectName, const QString& fieldCaption, int value) {
    auto* mirror = new QLineEdit;
    mirror->setObjectName(QString::fromLatin1(objectName));
    mirror->setAccessibleDescription(fieldCaption.trimmed() + QStringLiteral(" HEX"));
    mirror->setReadOnly(true);
    mirror->setFocusPolicy(Qt::NoFocus);
    mirror->setMaximumWidth(mirror->fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 12);
    showHex(mirror, value);
    return mirror;
}

void showHex(QLineEdit* mirror, int value) {
    const QString hex = QString::asprintf("%02X", static_cast<unsigned>(value));
    mirror->setText(hex);
    mirror->setAccessibleName(hex); // announced with the value it mirrors
}

} // namespace page_controls
