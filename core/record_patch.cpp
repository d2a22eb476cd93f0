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
        patch.m_offsets.push_back(static_cast<std::uint16_t>(offset));
        patch.m_before.push_back(old);
        patch.m_after.push_back(now);
    }
    // A step lives long in the history: it keeps no spare capacity.
    patch.m_offsets.shrink_to_fit();
    patch.m_before.shrink_to_fit();
    patch.m_after.shrink_to_fit();
    return patch;
}

std::size_t RecordPatch::heapBytes() const {
    return m_offsets.capacity() * sizeof(std::uint16_t) + m_before.capacity() + m_after.capacity();
}

RecordPlace RecordPatch::place() const {
    return empty() ? RecordPlace{} : placeOfOffset(m_offsets.front());
}

bool RecordPatch::withinOnePlace() const {
    const RecordPlace first = place();
    return std::all_of(m_offsets.begin(), m_offsets.end(),
                       [&](std::uint16_t offset) { return placeOfOffset(offset) == first; });
}

void RecordPatch::apply(BankRecord& record, const std::vector<std::uint8_t>& values) const {
    for (std::size_t i = 0; i < m_offsets.size(); ++i)
        record.bytes()[m_offsets[i]] = values[i];
}
