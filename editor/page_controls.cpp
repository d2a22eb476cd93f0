#include "page_controls.h"

#include "hex_byte_edit.h"
#include "spin_edit.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>

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
    return box;
}

void suffixFollowsFilter(QFileDialog* dialog) {
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& filter) {
        dialog->setDefaultSuffix(filter.section(QStringLiteral("(*."), 1).chopped(1));
    });
}

} // namespace page_controls
