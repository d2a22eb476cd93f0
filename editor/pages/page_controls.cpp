#include "page_controls.h"

#include "hex_byte_edit.h"
#include "spin_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace page_controls {

QPushButton* pushButton(const QString& caption, const char* objectName) {
    return named(new QPushButton(caption), objectName, caption);
}

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

QWidget* widgetRow(std::initializer_list<QWidget*> widgets, Room room) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    if (room == Room::Before) layout->addStretch(1);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    if (room == Room::After) layout->addStretch(1);
    return row;
}

SpinEdit* numberField(int min, int max, int value, const char* objectName, const QString& caption) {
    return named(new SpinEdit(min, max, value), objectName, caption);
}

QCheckBox* checkBox(const QString& caption, const char* objectName) {
    return named(new QCheckBox(caption), objectName, caption);
}

template <std::size_t N>
std::optional<std::array<std::uint8_t, N>>
fieldBytes(const std::array<const SpinEdit*, N>& fields) {
    std::array<std::uint8_t, N> bytes{};
    for (std::size_t i = 0; i < N; ++i) {
        if (fields[i]->value() != fields[i]->clampedValue()) return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(fields[i]->value());
    }
    return bytes;
}
template std::optional<std::array<std::uint8_t, 3>>
fieldBytes(const std::array<const SpinEdit*, 3>&);
template std::optional<std::array<std::uint8_t, 4>>
fieldBytes(const std::array<const SpinEdit*, 4>&);

HexByteEdit* hexBox(const char* objectName, SpinEdit* field) {
    auto* box = new HexByteEdit(field);
    box->setObjectName(QString::fromLatin1(objectName));
    describe(box, QCoreApplication::translate("page_controls",
                                              "The field's value in hexadecimal; type another and "
                                              "press Enter."));
    return box;
}

QString rangeText(const QWidget* field) {
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("page_controls", text);
    };
    if (const auto* hex = qobject_cast<const HexByteEdit*>(field))
        return tr("Range %1 to %2 (hexadecimal).")
            .arg(QString::asprintf("%02X", unsigned(hex->field()->minimum())),
                 QString::asprintf("%02X", unsigned(hex->field()->maximum())));
    if (const auto* number = qobject_cast<const SpinEdit*>(field))
        return tr("Range %1 to %2.").arg(number->minimum()).arg(number->maximum());
    constexpr int kNoLimit = 32767; // a line edit's own maximum length
    if (const auto* text = qobject_cast<const QLineEdit*>(field))
        return text->maxLength() < kNoLimit ? tr("At most %1 characters.").arg(text->maxLength())
                                            : QString();
    if (const auto* list = qobject_cast<const QComboBox*>(field))
        return tr("One of %1 items.").arg(list->count());
    return {};
}

void describe(QWidget* field, const QString& what) {
    const QString range = rangeText(field);
    field->setToolTip(range.isEmpty() ? what : what + QLatin1Char(' ') + range);
}

QFileDialog* saveDialog(QWidget* parent, const char* objectName, const QString& title,
                        const QString& folder, const QStringList& filters,
                        const QString& fileName) {
    auto* dialog = new QFileDialog(parent, title, folder);
    dialog->setObjectName(QString::fromLatin1(objectName));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilters(filters);
    dialog->setDefaultSuffix(QFileInfo(fileName).suffix());
    dialog->selectFile(fileName);
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& filter) {
        dialog->setDefaultSuffix(filter.section(QStringLiteral("(*."), 1).chopped(1));
    });
    return dialog;
}

} // namespace page_controls
