#include "bank_overview.h"

#include "default_dump.h"

#include <gtest/gtest.h>

#include <functional>

using namespace overview;

namespace {

constexpr int col(PotColumn c) {
    return int(c);
}
constexpr int col(ButtonColumn c) {
    return int(c);
}

std::vector<std::string> row(const BankRecord& bank, Controls controls, int n) {
    std::vector<std::string> cells;
    for (int c = 0; c < columnCount(controls); ++c)
        cells.push_back(cellText(bank, controls, n, c));
    return cells;
}

class BankOverview : public ::testing::Test {
protected:
    BankRecord bank = defaultRecord();
};

TEST_F(BankOverview, RowsShowEveryColumnOfTheControl) {
    using Row = std::vector<std::string>;
    EXPECT_EQ(row(bank, Controls::Pots, 3), (Row{"3", "Reverb # 3", "CC 91 ch 3", "3", "178", "B2",
                                                 "91", "5B", "0", "127", "0", "DEC|"}));
    EXPECT_EQ(row(bank, Controls::Buttons, 64),
              (Row{"64", "Note G5 ch 16", "16", "159", "9F", "79", "4F", "127", "7F", "ON/OFF"}));
    EXPECT_EQ(cellNumber(bank, Controls::Pots, 3, col(PotColumn::Status)), 178);
    EXPECT_EQ(cellNumber(bank, Controls::Pots, 3, col(PotColumn::StatusHex)), std::nullopt);
    EXPECT_FALSE(isEditable(Controls::Pots, col(PotColumn::Event)));
    EXPECT_TRUE(isEditable(Controls::Buttons, col(ButtonColumn::Data2Hex)));
    // The texts a column is sized by, once: its title or its widest value.
    EXPECT_EQ(widestText(Controls::Pots, col(PotColumn::Event)), "Channel aftertouch ch 16");
    EXPECT_EQ(widestText(Controls::Pots, col(PotColumn::Status)), "Byte 0");
    EXPECT_EQ(widestText(Controls::Buttons, col(ButtonColumn::Mode)), "ON ONLY");
}

TEST_F(BankOverview, TypedValuesGoInWithTheRulesOfThePages) {
    const struct {
        Controls controls;
        int column;
        const char* typed;
        std::function<int(const BankRecord&)> stored;
        int expected;
    } cases[] = {
        {Controls::Pots, col(PotColumn::Max), " 100 ", [](auto& b) { return b.pot(2).max; }, 100},
        {Controls::Pots, col(PotColumn::DataHex), "7f", [](auto& b) { return b.pot(2).data; }, 127},
        {Controls::Pots, col(PotColumn::Status), "195", [](auto& b) { return b.pot(2).status; },
         0x43},
        // The channel keeps the event type: 0xB1 on channel 10 is 0xB9.
        {Controls::Pots, col(PotColumn::Channel), "10", [](auto& b) { return b.pot(2).status; },
         0x39},
        {Controls::Pots, col(PotColumn::Initial), "64", [](auto& b) { return b.initialValue(2); },
         64},
        {Controls::Pots, col(PotColumn::Mode), "+-hex",
         [](auto& b) { return b.potLabelModeChar(2); }, 'A'},
        {Controls::Buttons, col(ButtonColumn::Data2), "0",
         [](auto& b) { return b.button(2).data2; }, 0},
        {Controls::Buttons, col(ButtonColumn::Mode), "TOGGLE",
         [](auto& b) { return b.button(2).mode; }, 2},
    };
    for (const auto& c : cases) {
        BankRecord edited = bank;
        const CellEdit result = setCell(edited, c.controls, 2, c.column, c.typed);
        EXPECT_TRUE(result.accepted) << c.typed << ": " << result.refusal;
        EXPECT_EQ(c.stored(edited), c.expected) << c.typed;
    }
    EXPECT_TRUE(setCell(bank, Controls::Pots, 2, col(PotColumn::Label), "Delay").accepted);
    EXPECT_EQ(bank.potLabel(2), "Delay");
}

TEST_F(BankOverview, RefusedValuesKeepTheBankAsItWas) {
    const struct {
        Controls controls;
        int column;
        const char* typed;
        const char* refusal;
    } cases[] = {
        {Controls::Pots, col(PotColumn::Max), "128", "128 is outside 0..127"},
        {Controls::Pots, col(PotColumn::Min), "-1", "-1 is outside 0..127"},
        {Controls::Pots, col(PotColumn::Status), "143", "143 is outside 144..255"},
        {Controls::Pots, col(PotColumn::StatusHex), "8F", "8F is outside 90..FF"},
        {Controls::Pots, col(PotColumn::Channel), "17", "17 is outside 1..16"},
        {Controls::Pots, col(PotColumn::Channel), "0", "0 is outside 1..16"},
        {Controls::Pots, col(PotColumn::Data), "abc", "\"abc\" is not a decimal number"},
        {Controls::Pots, col(PotColumn::Data), "", "\"\" is not a decimal number"},
        {Controls::Pots, col(PotColumn::DataHex), "G1", "\"G1\" is not a hexadecimal number"},
        {Controls::Pots, col(PotColumn::Label), "sixteen letters!", "at most 15 characters"},
        {Controls::Pots, col(PotColumn::Label), "caf\xc3\xa9", "plain ASCII"},
        {Controls::Pots, col(PotColumn::Mode), "OCT", "\"OCT\" is no mode"},
        {Controls::Pots, col(PotColumn::Event), "CC 7 ch 1", "cannot be edited"},
        {Controls::Buttons, col(ButtonColumn::Data2), "200", "200 is outside 0..127"},
        {Controls::Buttons, col(ButtonColumn::Mode), "HEX",
         "the modes are ON/OFF, ON ONLY, TOGGLE"},
    };
    for (const auto& c : cases) {
        BankRecord edited = bank;
        const CellEdit result = setCell(edited, c.controls, 5, c.column, c.typed);
        EXPECT_FALSE(result.accepted) << c.typed;
        EXPECT_NE(result.refusal.find(c.refusal), std::string::npos) << result.refusal;
        EXPECT_EQ(edited, bank) << c.typed;
    }
}

TEST_F(BankOverview, BulkEditsChangeTheChosenControlsAndCountThem) {
    const std::vector<int> pots1to4{1, 2, 3, 4};
    const struct {
        const char* name;
        std::function<BulkResult(BankRecord&)> edit;
        BulkResult result;
        std::function<void(const BankRecord&)> check;
    } cases[] = {
        {"channel 10 on pots 1..4",
         [&](auto& b) { return setChannel(b, Controls::Pots, pots1to4, 10); },
         {4, 0},
         [](auto& b) { EXPECT_EQ(b.pot(3).status, 0x39); }},
        // Pot 1 is on channel 1 already: three of four change.
        {"channel 1",
         [&](auto& b) { return setChannel(b, Controls::Pots, pots1to4, 1); },
         {3, 0},
         [](auto& b) { EXPECT_EQ(b.pot(4).status, 0x30); }},
        {"program change, channel kept",
         [&](auto& b) {
             return setEventType(b, Controls::Buttons, {1, 17}, 0xC);
         },
         {2, 0},
         [](auto& b) {
             EXPECT_EQ(b.button(17).status, 0x40);
             EXPECT_EQ(b.button(1).status, 0x40);
         }},
        {"number upward from 20",
         [&](auto& b) {
             return numberUpward(b, Controls::Pots, {5, 2, 9}, 20);
         },
         {3, 0},
         [](auto& b) {
             EXPECT_EQ(b.pot(5).data, 20);
             EXPECT_EQ(b.pot(2).data, 21);
             EXPECT_EQ(b.pot(9).data, 22);
         }},
        {"number upward stops at 127",
         [&](auto& b) {
             return numberUpward(b, Controls::Buttons, {1, 2, 3, 4}, 126);
         },
         {2, 2},
         [](auto& b) {
             EXPECT_EQ(b.button(2).data1, 127);
             EXPECT_EQ(b.button(3).data1, 60);
         }},
        {"copy pot 40 with its label",
         [&](auto& b) {
             return copyRow(b, Controls::Pots, 40, {1, 2});
         },
         {2, 0},
         [](auto& b) {
             EXPECT_EQ(b.pot(2), b.pot(40));
             EXPECT_EQ(b.potLabel(1), "CutOff # 8");
         }},
        {"copy a button",
         [&](auto& b) { return copyRow(b, Controls::Buttons, 64, {63}); },
         {1, 0},
         [](auto& b) { EXPECT_EQ(b.button(63), b.button(64)); }},
        {"min and max",
         [&](auto& b) { return setPotRange(b, pots1to4, 10, 90); },
         {4, 0},
         [](auto& b) {
             EXPECT_EQ(b.pot(4).min, 10);
             EXPECT_EQ(b.pot(4).max, 90);
         }},
        {"pot preset keeps the channel",
         [&](auto& b) {
             return applyPotPreset(b, {3}, {0xB0075A7F, 0x40});
         },
         {1, 0},
         [](auto& b) {
             EXPECT_EQ(b.pot(3), (PotEntry{0x32, 7, 0x5A, 0x7F}));
             EXPECT_EQ(b.initialValue(3), 0x40);
         }},
        {"pot preset bytes limited to the fields",
         [&](auto& b) {
             return applyPotPreset(b, {3}, {0x10FFFFFF, 300});
         },
         {1, 0},
         [](auto& b) {
             EXPECT_EQ(b.pot(3), (PotEntry{0x10, 127, 127, 127}));
             EXPECT_EQ(b.initialValue(3), 127);
         }},
        {"button preset",
         [&](auto& b) { return applyButtonPreset(b, {6}, 0xB0407F); },
         {1, 0},
         [](auto& b) {
             EXPECT_EQ(b.button(6), (ButtonEntry{0x35, 0x40, 0x7F, 0}));
         }},
        {"channel out of range",
         [&](auto& b) { return setChannel(b, Controls::Pots, pots1to4, 17); },
         {0, 4},
         nullptr},
        {"event type 8",
         [&](auto& b) { return setEventType(b, Controls::Pots, pots1to4, 8); },
         {0, 4},
         nullptr},
        {"start past 127",
         [&](auto& b) { return numberUpward(b, Controls::Pots, pots1to4, 128); },
         {0, 4},
         nullptr},
        {"numbers outside 1..64 skipped",
         [&](auto& b) {
             return setPotRange(b, {0, 65, 1}, 1, 2);
         },
         {1, 0},
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BankRecord edited = bank;
        EXPECT_EQ(c.edit(edited), c.result);
        if (c.check) c.check(edited);
        if (c.result.changed == 0) {
            EXPECT_EQ(edited, bank);
        }
        // Every edit leaves a bank that travels as SysEx data.
        for (std::uint8_t byte : edited.bytes())
            ASSERT_LT(byte, 0x80);
    }
}

TEST(BankOverviewLines, SayHowManyControlsChangedAndWhySomeWereLeft) {
    EXPECT_EQ(bulkLine("Set channel 10", Controls::Pots, 16, {12, 0}),
              "Set channel 10: 12 of 16 pots changed");
    EXPECT_EQ(
        bulkLine("Number byte 1 upward from 126", Controls::Buttons, 4, {2, 2}, "past 127"),
        "Number byte 1 upward from 126: 2 of 4 buttons changed; 2 left as they were, past 127");
    EXPECT_EQ(bulkLine("Copy Pot 3", Controls::Pots, 1, {0, 1}),
              "Copy Pot 3: 0 of 1 pot changed; 1 left as it was, out of range");
}

} // namespace
