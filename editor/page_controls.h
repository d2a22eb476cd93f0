// Small helpers that the editor pages build their controls with.
#pragma once

#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;
class SpinEdit;

namespace page_controls {

// Gives a control its object name and its accessible name (the caption without padding).
template <typename W> W* named(W* widget, const char* objectName, const QString& caption) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(caption.trimmed());
    return widget;
}

// A caption label that names `buddy` and lends it its text as accessible name.
QLabel* caption(const QString& text, QWidget* buddy, const char* objectName = nullptr);

// Changes a caption and the accessible name of the control it names.
void setCaption(QLabel* label, const QString& text);

SpinEdit* numberField(int min, int max, int value, const char* objectName, const QString& caption);
QCheckBox* checkBox(const QString& caption, const char* objectName);

// A read-only field that shows a number as two upper-case hexadecimal digits, announced with
// those digits and described by the caption of the field it mirrors.
QLineEdit* hexMirror(const char* objectName, const QString& fieldCaption, int value);
void showHex(QLineEdit* mirror, int value);

} // namespace page_controls
