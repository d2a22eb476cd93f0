#include "default_dump.h"
#include "record_patch.h"

#include <gtest/gtest.h>

#include <functional>

using namespace bank_layout;
using Area = RecordPlace::Area;

namespace {

struct PatchCase {
    const char* what;
    std::function<void(BankRecord&)> change;
    std::size_t changedBytes;
    RecordPlace place;
    bool onePlace;
};

} // namespace

TEST(RecordPatch, KeepsOnlyTheChangedBytesAndPutsEitherSideBack) {
    const PatchCase cases[] = {
        {"nothing", [](BankRecord&) {}, 0, {Area::Global, 0}, true},
        {"pot 5 max", [](BankRecord& r) { r.bytes()[4 * 4 + 3] ^= 1; }, 1, {Area::Pot, 5}, true},
        {"button 64 mode",
         [](BankRecord& r) { r.bytes()[kButtonEntries + 255] ^= 1; },
         1,
         {Area::Button, 64},
         true},
        {"pot 9 initial value",
         [](BankRecord& r) { r.bytes()[kInitialValues + 8] ^= 1; },
         1,
         {Area::Pot, 9},
         true},
        {"pot 2 label",
         [](BankRecord& r) { r.setPotLabel(2, "ZZZZZZZZZZZZZZZ"); },
         15,
         {Area::Pot, 2},
         true},
        {"bank name",
         [](BankRecord& r) { r.bytes()[kBankLabel + 3] ^= 1; },
         1,
         {Area::Global, 0},
         true},
        {"reserved byte",
         [](BankRecord& r) { r.bytes()[kReserved2] ^= 1; },
         1,
         {Area::Global, 0},
         true},
        {"two pots",
         [](BankRecord& r) { r.bytes()[0] ^= 1, r.bytes()[4] ^= 1; },
         2,
         {Area::Pot, 1},
         false},
        {"every byte",
         [](BankRecord& r) {
             for (auto& b : r.bytes())
                 b ^= 0x40;
         },
         kRecordSize,
         {Area::Pot, 1},
         false},
    };
    const BankRecord before = defaultRecord();
    for (const auto& c : cases) {
        BankRecord after = before;
        c.change(after);
        const RecordPatch patch = RecordPatch::between(before, after);
        EXPECT_EQ(patch.changedBytes(), c.changedBytes) << c.what;
        EXPECT_EQ(patch.empty(), c.changedBytes == 0) << c.what;
        EXPECT_EQ(patch.place(), c.place) << c.what;
        EXPECT_EQ(patch.withinOnePlace(), c.onePlace) << c.what;
        EXPECT_EQ(patch.heapBytes(), 4 * c.changedBytes) << c.what;
        BankRecord record = after;
        patch.applyBefore(record);
        EXPECT_EQ(record, before) << c.what;
        patch.applyAfter(record);
        EXPECT_EQ(record, after) << c.what;
    }
}

TEST(RecordPatch, PlacesEveryOffsetOfAnEntryAtItsEntry) {
    const std::tuple<int, RecordPlace> cases[] = {
        {0, {Area::Pot, 1}},
        {kButtonEntries - 1, {Area::Pot, 64}},
        {kButtonEntries, {Area::Button, 1}},
        {kInitialValues - 1, {Area::Button, 64}},
        {kInitialValues, {Area::Pot, 1}},
        {kReserved1 - 1, {Area::Pot, 64}},
        {kReserved1, {Area::Global, 0}},
        {kGlobalMidiChannel, {Area::Global, 0}},
        {kPotLabels - 1, {Area::Global, 0}},
        {kPotLabels, {Area::Pot, 1}},
        {kPotLabels + 17, {Area::Pot, 2}},
        {kRecordSize - 1, {Area::Pot, 64}},
    };
    for (const auto& [offset, place] : cases)
        EXPECT_EQ(placeOfOffset(offset), place) << offset;
}
