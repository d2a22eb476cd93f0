#include "record_patch.h"

#include <algorithm>

using namespace bank_layout;

RecordPlace placeOfOffset(int offset) {
    using Area = RecordPlace::Area;
    if (offset < kButtonEntries) return {Area::Pot, offset / kEntrySize + 1};
    if (offset < kInitialValues) return {Area::Button, (offset - kButtonEntries) / kEntrySize + 1};
    if (offset < kReserved1) return {Area::Pot, offset - kInitialValues + 1};
    if (offset >= kPotLabels) return {Area::Pot, (offset - kPotLabels) / kLabelSize + 1};
    return {Area::Global, 0};
}

RecordPatch RecordPatch::between(const BankRecord& before, const BankRecord& after) {
    RecordPatch patch;
    for (int offset = 0; offset < kRecordSize; ++offset) {
        const std::uint8_t old = before.byteAt(offset), now = after.byteAt(offset);
        if (old == now) continue;
        patch.m_changes.push_back({static_cast<std::uint16_t>(offset), old, now});
    }
    patch.m_changes.shrink_to_fit(); // a step lives long in the history: no spare capacity
    return patch;
}

std::size_t RecordPatch::heapBytes() const {
    return m_changes.capacity() * sizeof(ByteChange);
}

RecordPlace RecordPatch::place() const {
    return empty() ? RecordPlace{} : placeOfOffset(m_changes.front().offset);
}

bool RecordPatch::withinOnePlace() const {
    const RecordPlace first = place();
    return std::all_of(m_changes.begin(), m_changes.end(), [&](const ByteChange& change) {
        return placeOfOffset(change.offset) == first;
    });
}
