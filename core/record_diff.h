// The field-by-field difference of two bank records, in bank order and in the editor's words.
// Shared by `vpt64 diff`, the read-back verify of uploads and the window.
#pragma once

#include "bank_record.h"

#include <string>
#include <vector>

// One field that differs between two records: its name as the editor captions it (pots and
// buttons counted 1..64), and its value before and after.
struct FieldDifference {
    std::string field, before, after;
    // "pot 7 controller: 91 -> 74"
    std::string line() const;
    bool operator==(const FieldDifference&) const = default;
};

// Values in the editor's words: "TOGGLE" for button mode 2, "DIN SR #1 (Button ID #0-7)" for
// LED map value 1.
std::string buttonModeName(int mode);
std::string ledMapName(int value);

// Every difference from a to b, one per field in the order of the record's bytes; empty when the
// records are equal. Every differing byte shows up in some field, the reserved ones by offset.
std::vector<FieldDifference> recordDifferences(const BankRecord& a, const BankRecord& b);
