#include "desk_actions.h"

#include <algorithm>

namespace {

enum ButtonMode { kOnOff = 0, kOnOnly = 1, kToggle = 2 };

bool hasEntry(int index) {
    return index >= 0 && index < bank_layout::kEntryCount;
}

std::optional<ShortMessage> sendable(const ShortMessage& message) {
    if (!isSendable(message)) return std::nullopt;
    return message;
}

} // namespace

ShortMessage DeskActions::potMessage(int index, std::uint8_t value) const {
    return potEvent(m_bank, index, value);
}

std::optional<ShortMessage> DeskActions::PotMoved(int index, int value) {
    if (!hasEntry(index)) return std::nullopt;
    // Every byte of the bank and every MIDI data byte stays below 0x80, whatever a control
    // reports.
    const auto byte = static_cast<std::uint8_t>(std::clamp(value, 0, 0x7F));
    m_bank.setInitialValue(index + 1, byte);
    LastShownControl = index;
    if (UpdatingDesk) return std::nullopt;
    return sendable(potMessage(index, byte));
}

std::optional<ShortMessage> DeskActions::buttonMessage(int index, bool on) const {
    return sendable(buttonEvent(m_bank, index, on));
}

std::optional<ShortMessage> DeskActions::ButtonPressed(int index) {
    if (!hasEntry(index)) return std::nullopt;
    LastShownControl = kButtonIdBase + index;
    bool& state = ButtonToggleState[std::size_t(index)];
    state = m_bank.button(index + 1).mode == kToggle ? !state : true;
    return buttonMessage(index, state);
}

std::optional<ShortMessage> DeskActions::ButtonReleased(int index) {
    if (!hasEntry(index)) return std::nullopt;
    LastShownControl = kButtonIdBase + index;
    const int mode = m_bank.button(index + 1).mode;
    if (mode == kOnOnly || mode == kToggle) return std::nullopt;
    ButtonToggleState[std::size_t(index)] = false;
    return buttonMessage(index, false);
}
