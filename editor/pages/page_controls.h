// Small helpers that the editor pages build their controls with.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <type_traits>

class HexByteEdit;
class QCheckBox;
class QFileDialog;
class QLabel;
class QPushButton;
class QWidget;
class SpinEdit;

namespace page_controls {

// Gives a control its object name and its accessible name (the caption without padding).
template <typename W> W* named(W* widget, const char* objectName, const QString& caption) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(caption.trimmed());
    // The text field of an editable list takes the focus: without a name of its own it would be
    // heard by the text it holds.
    if constexpr (std::is_base_of_v<QComboBox, W>)
        if (QLineEdit* field = widget->lineEdit()) field->setAccessibleName(caption.trimmed());
    return widget;
}

// A caption label that names `buddy` and lends it its text as accessible name.
QLabel* caption(const QString& text, QWidget* buddy, const char* objectName = nullptr);

// Changes a caption and the accessible name of the control it names.
void setCaption(QLabel* label, const QString& text);

// A push button named by its caption.
QPushButton* pushButton(const QString& caption, const char* objectName);

// A row of widgets without margins; the room left over goes before or after them.
enum class Room { Before, After };
QWidget* widgetRow(std::initializer_list<QWidget*> widgets, Room room = Room::After);

SpinEdit* numberField(int min, int max, int value, const char* objectName, const QString& caption);
QCheckBox* checkBox(const QString& caption, const char* objectName);

// The bytes a row of fields holds, or nothing while one of them is typed beyond its range.
template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> fieldBytes(const std::array<const SpinEdit*, N>& fields);

// The items of a list, from the editor's fixed texts.
template <std::size_t N> QStringList itemTexts(const std::array<const char*, N>& texts) {
    QStringList items;
    for (const char* text : texts)
        items.append(QString::fromLatin1(text));
    return items;
}

// The hexadecimal box that shows and edits `field`.
HexByteEdit* hexBox(const char* objectName, SpinEdit* field);

// The range a field enforces, in words: "Range 1 to 16." for a number field, "Range 00 to 7F
// (hexadecimal)." for a hex box, "At most 15 characters." for a text field, "One of 7 items."
// for a list; empty for other widgets.
QString rangeText(const QWidget* field);

// Gives a field its tooltip: what it does, then its range as rangeText reads it from the field
// itself, so that the two never differ. Call it once the field has its range and items.
void describe(QWidget* field, const QString& what);

// A save dialog named `objectName` that offers `fileName` and gives a name typed without an
// extension the one of the chosen filter (the first filter's at the start).
QFileDialog* saveDialog(QWidget* parent, const char* objectName, const QString& title,
                        const QString& folder, const QStringList& filters, const QString& fileName);

} // namespace page_controls
