// The Tag scheme: every run-time desk control is known by its Tag alone. Pot controls carry the
// pot number, button controls 1000 + the button number, a pot control's value label 2000 + the
// pot's Tag, and design-time controls negative Tags.
#pragma once

#include "bank_layout.h"

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
    return control ? control->property("Tag").toInt() : 0;
}
