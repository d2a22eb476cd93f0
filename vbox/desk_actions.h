// DeskActions: what a pot or button action on a desk does to the bank, and the short message it
// sends. No widgets: the virtual box turns control events into these calls and sends the result.
#pragma once

#include "bank_record.h"
#include "control_events.h"

#include <array>
#include <cstdint>
#include <optional>

class DeskActions {
public:
    static constexpr int kButtonCount = bank_layout::kEntryCount;
    // LastShownControl of a button: this plus its index.
    static constexpr int kButtonIdBase = 1001;

    explicit DeskActions(BankRecord& bank) : m_bank(bank) {}

    // Set while the desk is built or filled: pot changes update the bank but send nothing.
    bool UpdatingDesk = false;
    // The pot index (0..63) or kButtonIdBase + button index last reported on the LCD.
    int LastShownControl = 0;
    std::array<bool, kButtonCount> ButtonToggleState{};

    void clearButtonStates() { ButtonToggleState.fill(false); }

    // Stores `value` (limited to a data byte) as the pot's initial value; returns the message
    // to send. Indexes without a bank entry do nothing.
    std::optional<ShortMessage> PotMoved(int index, int value);
    std::optional<ShortMessage> ButtonPressed(int index);
    std::optional<ShortMessage> ButtonReleased(int index);

    // The pot's event with `value` as its last byte.
    ShortMessage potMessage(int index, std::uint8_t value) const;

private:
    std::optional<ShortMessage> buttonMessage(int index, bool on) const;

    BankRecord& m_bank;
};
