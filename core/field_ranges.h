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
// A data byte of an entry (note, controller, min, max, initial value): 7 bits, as the bank
// travels in SysEx.
constexpr Range kDataByte{0, 127};
// The channel, or the meta id, of an entry: the low nibble of its status plus 1.
constexpr Range kEntryChannel{1, 16};
constexpr Range kEntryNumber{1, 64};
// The global MIDI channel of the box configuration page.
constexpr Range kMidiChannel{0, 64};
constexpr Range kTouchSensitivity{1, 32};
constexpr Range kMorphBank{1, 128};
constexpr Range kMorphPot{0, 64};
constexpr int kMorphGroups = 4;

// The items of the event type lists: item i stands for event type 9 + i.
constexpr int kFirstEventType = 9;
constexpr std::array<const char*, 7> kEventTypeItems{
    "9 : Note On ",        "A : Poly Aftertouch ",    "B : Controller ",
    "C : Program Change ", "D : Channel Aftertouch ", "E : Pitch Bender ",
    "F : Meta Event "};
// The pot label modes, in the order of BankRecord::labelModeChars().
constexpr std::array<const char*, 8> kPotLabelModeItems{"HEX",  "+-HEX",  "DEC",  "+-DEC",
                                                        "HEX|", "+-HEX|", "DEC|", "+-DEC|"};
// The button modes; byte 3 of a button entry is the item index.
constexpr std::array<const char*, 3> kButtonModeItems{"ON/OFF", "ON ONLY", "TOGGLE"};

// The global settings as the box configuration page gives them back to a bank.
struct Globals {
    BankRecord::GlobalFlags flags;
    int midiChannel, morphBank, morphPotGlobal;
    std::array<int, kMorphGroups> morphPotGroups;
    std::string bankName;
    int touchsensorSensitivity;
};

Globals globalsOf(const BankRecord& record);

// Rewrites the flag bytes whole and stores each number limited to its field's range.
void writeGlobals(BankRecord& record, const Globals& globals);

// What loading a record into the editor and saving it back does to it.
inline void giveBackAsShown(BankRecord& record) {
    writeGlobals(record, globalsOf(record));
}

} // namespace field_ranges
