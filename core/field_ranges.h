// The ranges of the editor's number fields. A bank is shown, exported and given back with its
// numbers limited to them, by the editor window and by vpt64 alike.
#pragma once

#include "bank_record.h"

#include <algorithm>
#include <array>
#include <string>

namespace field_ranges {

struct Range {
    int min, max;
    constexpr int limit(int value) const { return std::clamp(value, min, max); }
};

// Note On (0x90) to Meta Event (0xFF): the event types a pot or a button offers.
constexpr Range kStatus{0x90, 0xFF};
constexpr Range kMidiChannel{0, 64};
constexpr Range kTouchSensitivity{1, 32};
constexpr Range kMorphBank{1, 128};
constexpr Range kMorphPot{0, 64};
constexpr int kMorphGroups = 4;

// The global settings as the box configuration page gives them back to a bank.
struct Globals {
    BankRecord::GlobalFlags flags;
    int midiChannel, morphBank, morphPotGlobal;
    std::array<int, kMorphGroups> morphPotGroups;
    std::string bankName;
    int touchsensorSensitivity;
    bool operator==(const Globals&) const = default;
};

Globals globalsOf(const BankRecord& record);

// Rewrites the flag bytes whole and stores each number limited to its field's range.
void writeGlobals(BankRecord& record, const Globals& globals);

// What loading a record into the editor and saving it back does to it.
inline void giveBackAsShown(BankRecord& record) {
    writeGlobals(record, globalsOf(record));
}

} // namespace field_ranges
