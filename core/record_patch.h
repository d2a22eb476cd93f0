// RecordPatch: the bytes in which two bank records differ, as offsets with their old and new
// values. One undo step of the editor keeps one patch, so a step costs a few bytes per changed
// byte instead of a copy of the bank.
#pragma once

#include "bank_record.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Where a byte of the record belongs, as the editor shows it: a pot (its entry, initial value or
// label), a button, or the bank's global settings. Entries count from 1.
struct RecordPlace {
    enum class Area { Pot, Button, Global };
    Area area = Area::Global;
    int entry = 0; // 1..64 for pots and buttons, 0 for the global settings
    bool operator==(const RecordPlace&) const = default;
};

RecordPlace placeOfOffset(int offset);

class RecordPatch {
public:
    RecordPatch() = default;
    static RecordPatch between(const BankRecord& before, const BankRecord& after);

    bool empty() const { return m_changes.empty(); }
    std::size_t changedBytes() const { return m_changes.size(); }
    // Heap bytes the patch holds.
    std::size_t heapBytes() const;

    void applyBefore(BankRecord& record) const { apply<&ByteChange::before>(record); }
    void applyAfter(BankRecord& record) const { apply<&ByteChange::after>(record); }
    // Where the first changed byte belongs; an empty patch has no place (Global, 0).
    RecordPlace place() const;
    // Every changed byte belongs to the same pot or button.
    bool withinOnePlace() const;

private:
    struct ByteChange {
        std::uint16_t offset;
        std::uint8_t before, after;
    };
    template <std::uint8_t ByteChange::*Side> void apply(BankRecord& record) const {
        for (const ByteChange& change : m_changes)
            record.bytes()[change.offset] = change.*Side;
    }

    std::vector<ByteChange> m_changes; // one allocation per patch
};
