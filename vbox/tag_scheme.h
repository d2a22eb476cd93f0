// The Tag scheme: every run-time desk control is known by its Tag alone. Pot controls carry the
// pot number, button controls 1000 + the button number, a pot control's value label 2000 + the
// pot's Tag, and design-time controls negative Tags.
#pragma once

#include "bank_layout.h"

#include <QMetaProperty>
#include <QObject>
#include <QVariant>
#include <optional>

namespace desk_tags {

constexpr int kRegistrySize = 10000;
constexpr int kFirstPot = 1;
constexpr int kLastPot = 256;
constexpr int kButtonBase = 1000;
constexpr int kFirstButton = 1001;
constexpr int kLastButton = 1256;
constexpr int kValueLabelOffset = 2000;
constexpr int kBankEntries = bank_layout::kEntryCount;

constexpr bool isPotTag(int tag) {
    return tag >= kFirstPot && tag <= kLastPot;
}
constexpr bool isButtonTag(int tag) {
    return tag >= kFirstButton && tag <= kLastButton;
}

// The 0-based pot index of a pot Tag that has an entry in the bank; Tags 65..256 are inert.
constexpr std::optional<int> bankPotIndex(int tag) {
    if (tag < kFirstPot || tag > kBankEntries) return std::nullopt;
    return tag - kFirstPot;
}
// The 0-based button index of a button Tag that has an entry in the bank.
constexpr std::optional<int> bankButtonIndex(int tag) {
    if (tag < kFirstButton || tag >= kFirstButton + kBankEntries) return std::nullopt;
    return tag - kFirstButton;
}

} // namespace desk_tags

// The desk keeps a control's Tag as its "Tag" property: declared by the desk's own controls,
// dynamic on plain Qt widgets.
inline void setTag(QObject* control, int tag) {
    control->setProperty("Tag", tag);
}
inline int tagOf(const QObject* control) {
    if (!control) return 0;
    // Finding the name among a widget's many properties and reading it through a QVariant cost
    // more than the rest of a control's dump: the last class's index serves the next control,
    // nearly always of the same class, and the int is read in place.
    static const QMetaObject* lastClass = nullptr;
    static int lastIndex = -1;
    const QMetaObject* meta = control->metaObject();
    if (meta != lastClass) {
        const int index = meta->indexOfProperty("Tag");
        const bool isInt =
            index >= 0 && meta->property(index).metaType() == QMetaType::fromType<int>();
        lastClass = meta;
        lastIndex = isInt ? index : -1;
    }
    if (lastIndex < 0) return control->property("Tag").toInt(); // dynamic on plain widgets
    int tag = 0;
    int status = -1;
    void* arguments[] = {&tag, nullptr, &status};
    QMetaObject::metacall(const_cast<QObject*>(control), QMetaObject::ReadProperty, lastIndex,
                          arguments);
    return tag;
}
