#include "default_dump.h"
#include "record_diff.h"

#include <gtest/gtest.h>

#include <functional>

using namespace bank_layout;

namespace {

std::vector<std::string> linesBetween(const BankRecord& a, const BankRecord& b) {
    std::vector<std::string> lines;
    for (const FieldDifference& d : recordDifferences(a, b))
        lines.push_back(d.line());
    return lines;
}

struct DiffCase {
    const char* what;
    std::function<void(BankRecord&)> change;
    std::vector<std::string> lines;
};

void setByte(BankRecord& r, int offset, int value) {
    r.bytes()[offset] = static_cast<std::uint8_t>(value);
}

} // namespace

TEST(RecordDiff, EqualRecordsHaveNoDifference) {
    EXPECT_TRUE(recordDifferences(defaultRecord(), defaultRecord()).empty());
    EXPECT_TRUE(recordDifferences(BankRecord{}, BankRecord{}).empty());
}

TEST(RecordDiff, EachKindOfFieldIsNamedByItsCaption) {
    const std::vector<DiffCase> cases{
        {"pot data byte",
         [](BankRecord& r) { r.bytes()[4 * 6 + 1] = 74; },
         {"pot 7 controller: 91 -> 74"}},
        {"pot channel",
         [](BankRecord& r) { setByte(r, 4 * 63, 0x32); },
         {"pot 64 midi channel: 16 -> 3"}},
        {"pot type and caption",
         [](BankRecord& r) { setByte(r, 0, 0x10); },
         {"pot 1 event type: Controller -> Note On"}},
        {"pot type changes the data caption",
         [](BankRecord& r) {
             r.setPot(2, {0x61, 5, 0, 127});
         },
         {"pot 2 event type: Controller -> Pitch Bender", "pot 2 controller/pitch MSB: 91 -> 5"}},
        {"pot range",
         [](BankRecord& r) {
             r.setPot(9, {0x38, 91, 10, 100});
         },
         {"pot 9 min: 0 -> 10", "pot 9 max: 127 -> 100"}},
        {"meta id",
         [](BankRecord& r) {
             r.setButton(3, {0x70, 60, 127, 0});
         },
         {"button 3 event type: Note On -> Meta Event", "button 3 midi channel/meta id: 3 -> 1"}},
        {"button velocity and mode",
         [](BankRecord& r) {
             r.setButton(12, {0x1B, 60, 100, 2});
         },
         {"button 12 velocity: 127 -> 100", "button 12 mode: ON/OFF -> TOGGLE"}},
        {"button mode out of list",
         [](BankRecord& r) { setByte(r, 0x100 + 4 * 63 + 3, 3); },
         {"button 64 mode: ON/OFF -> 3"}},
        {"initial value",
         [](BankRecord& r) { r.setInitialValue(5, 64); },
         {"pot 5 initial value: 0 -> 64"}},
        {"reserved byte",
         [](BankRecord& r) { setByte(r, 0x241, 0); },
         {"reserved byte 0x241: 0F -> 00"}},
        {"format byte",
         [](BankRecord& r) { setByte(r, kFormatByte1, 0); },
         {"format byte 0x250: 47 -> 00"}},
        {"merger mode",
         [](BankRecord& r) { r.setMergerMode(MergerMode::LinkEP); },
         {"MIDI merger: MIDI Merger on -> Pultron Link EP"}},
        {"pot mode",
         [](BankRecord& r) { setByte(r, kFlagsB, 1); },
         {"pot mode: Normal -> Parallax"}},
        {"flags",
         [](BankRecord& r) {
             setByte(r, kFlagsC, 3);
             setByte(r, kFlagsD, 1);
         },
         {"send PC on bank change: off -> on", "receive PC for bank change: off -> on",
          "snapshot at power on: off -> on", "auto snapshot: on -> off"}},
        {"unnamed flag bit",
         [](BankRecord& r) { setByte(r, kFlagsA, 0x40); },
         {"flags A other bits: 00 -> 40"}},
        {"numbers",
         [](BankRecord& r) {
             r.setMorphBank(128);
             r.setMorphPotGroup(3, 9);
             r.setTouchsensorSensitivity(32);
             r.setGlobalMidiChannel(17);
         },
         {"morph bank: 0 -> 128", "morph pots - grp3: 0 -> 9", "touchsensor sensitivity: 3 -> 32",
          "global MIDI channel: 0 -> 17"}},
        {"unused nibble bits",
         [](BankRecord& r) { setByte(r, kMorphPotGlobal + 1, 0x10); },
         {"morph pots - global: 0 [00 00] -> 0 [00 10]"}},
        {"bank name",
         [](BankRecord& r) { r.setBankName("Other Name"); },
         {"bank name: \"Sample Bank\" -> \"Other Name\""}},
        {"LED map",
         [](BankRecord& r) {
             r.setSroutMap(1, 0);
             r.setSroutMap(8, 23);
         },
         {"DOUT shiftregister map SR #1: DIN SR #1 (Button ID #0-7) -> Default Setting",
          "DOUT shiftregister map SR #8: DIN SR #8 (Button ID #56-63) -> MIDI Status "
          "rec. for "
          "Entry #56-63"}},
        {"label and mode",
         [](BankRecord& r) {
             r.setPotLabel(33, "Cut");
             r.setPotLabelModeChar(33, '@');
         },
         {"pot 33 label mode: +-DEC| -> HEX", "pot 33 label: \"CutOff # 1\" -> \"Cut\""}},
        {"label padding",
         [](BankRecord& r) { setByte(r, kPotLabels + 15, 'x'); },
         {"pot 1 label: \"Reverb # 1\" [52 65 76 65 72 62 20 23 20 31 00 20 20 20 20] "
          "-> "
          "\"Reverb # 1\" [52 65 76 65 72 62 20 23 20 31 00 20 20 20 78]"}},
        {"bank order across the record",
         [](BankRecord& r) {
             r.setPotLabel(1, "First");
             r.setBankName("Middle");
             setByte(r, 0x3FF, 1);
             r.setButton(1, {0x10, 61, 127, 0});
             r.setInitialValue(64, 1);
         },
         {"button 1 note: 60 -> 61", "pot 64 initial value: 0 -> 1",
          "bank name: \"Sample Bank\" -> \"Middle\"", "reserved byte 0x3FF: 00 -> 01",
          "pot 1 label: \"Reverb # 1\" -> \"First\""}},
    };
    const BankRecord original = defaultRecord();
    for (const DiffCase& c : cases) {
        BankRecord changed = original;
        c.change(changed);
        EXPECT_EQ(linesBetween(original, changed), c.lines) << c.what;
    }
}

TEST(RecordDiff, EveryDifferingByteIsReported) {
    const BankRecord original = defaultRecord();
    for (int offset = 0; offset < kRecordSize; ++offset) {
        BankRecord changed = original;
        changed.bytes()[offset] ^= 0x40;
        EXPECT_EQ(recordDifferences(original, changed).size(), 1u) << "offset " << offset;
    }
}
