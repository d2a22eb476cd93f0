#include "desk_actions.h"
#include "incoming_midi.h"
#include "lcd_messages.h"

#include <gtest/gtest.h>

namespace {

using Message = std::optional<ShortMessage>;

BankRecord bankWithButton(int n, ButtonEntry entry) {
    BankRecord bank;
    bank.setButton(n, entry);
    return bank;
}

TEST(DeskActions, PotMovedStoresTheValueAndSendsThePotsEventUnlessItIsAMetaEvent) {
    BankRecord bank;
    bank.setPot(1, {0x30, 7, 0, 127});
    bank.setPot(2, {0x70, 1, 0, 127}); // F0: a meta event
    DeskActions actions(bank);
    struct Case {
        int index, value;
        Message sent;
        int stored;
    } cases[] = {
        {0, 100, ShortMessage{0xB0, 0x07, 0x64}, 100},
        {1, 42, std::nullopt, 42},
        {0, 300, ShortMessage{0xB0, 0x07, 0x7F}, 127}, // never a status byte as data
    };
    for (const Case& c : cases) {
        EXPECT_EQ(actions.PotMoved(c.index, c.value), c.sent) << c.index << " " << c.value;
        EXPECT_EQ(bank.initialValue(c.index + 1), c.stored);
        EXPECT_EQ(actions.LastShownControl, c.index);
    }
    actions.UpdatingDesk = true;
    EXPECT_EQ(actions.PotMoved(0, 5), std::nullopt);
    EXPECT_EQ(bank.initialValue(1), 5);
}

TEST(DeskActions, IndexesWithoutABankEntryAreInert) {
    BankRecord bank;
    bank.setPot(64, {0x30, 7, 0, 127});
    const BankRecord before = bank;
    DeskActions actions(bank);
    actions.LastShownControl = 7;
    for (int index : {-1, 64, 255}) {
        EXPECT_EQ(actions.PotMoved(index, 9), std::nullopt);
        EXPECT_EQ(actions.ButtonPressed(index), std::nullopt);
        EXPECT_EQ(actions.ButtonReleased(index), std::nullopt);
    }
    EXPECT_EQ(bank, before);
    EXPECT_EQ(actions.LastShownControl, 7);
}

TEST(DeskActions, ButtonModesOnPressAndRelease) {
    // Each step: press (true) or release (false), the message sent, the state afterwards.
    struct Step {
        bool press;
        Message sent;
        bool on;
    };
    const ShortMessage on{0x90, 0x3C, 0x7F}, off{0x90, 0x3C, 0x00};
    struct Case {
        std::uint8_t mode;
        std::vector<Step> steps;
    } cases[] = {
        {0, {{true, on, true}, {false, off, false}}},
        {1, {{true, on, true}, {false, std::nullopt, true}, {true, on, true}}},
        {2,
         {{true, on, true}, {false, std::nullopt, true}, {true, off, false}, {false, {}, false}}},
        {7, {{true, on, true}, {false, off, false}}}, // unknown modes act as ON/OFF
    };
    for (const Case& c : cases) {
        BankRecord bank = bankWithButton(5, {0x10, 0x3C, 0x7F, c.mode});
        DeskActions actions(bank);
        for (const Step& step : c.steps) {
            EXPECT_EQ(step.press ? actions.ButtonPressed(4) : actions.ButtonReleased(4), step.sent)
                << "mode " << int(c.mode);
            EXPECT_EQ(actions.ButtonToggleState[4], step.on) << "mode " << int(c.mode);
            EXPECT_EQ(actions.LastShownControl, 1005);
        }
    }
    BankRecord bank = bankWithButton(1, {0x7F, 0x7F, 0x7F, 0});
    DeskActions actions(bank);
    EXPECT_EQ(actions.ButtonPressed(0), std::nullopt); // FF: stored and shown, never sent
    bank.setButton(1, {0x10, 0x7F, 0x7F, 0});
    EXPECT_EQ(actions.ButtonPressed(0), (ShortMessage{0x90, 0x7F, 0x7F}));
}

TEST(LcdText, LinesAreSixteenCharactersCutAtTheFirstNul) {
    using lcd_text::lcdLine;
    EXPECT_EQ(lcdLine(""), std::string(16, ' '));
    EXPECT_EQ(lcdLine("Cutoff"), "Cutoff          ");
    EXPECT_EQ(lcdLine("0123456789ABCDEFGHI"), "0123456789ABCDEF");
    EXPECT_EQ(lcdLine(std::string("ab\0cd", 5)), "ab              ");
}

TEST(LcdText, ReportsOfPotsAndButtons) {
    BankRecord bank;
    bank.setPotLabel(3, "Cutoff");
    bank.setInitialValue(3, 64);
    bank.setButton(5, {0x10, 0x3C, 0x7F, 2});
    auto label = bank.labelRecord(4);
    std::fill(label.begin() + 1, label.end(), 'x'); // 15 characters, no NUL
    bank.setLabelRecord(4, label);
    const std::array<bool, 64> none{};
    std::array<bool, 64> fifthOn{};
    fifthOn[4] = true;

    using L = lcd_text::Lines;
    EXPECT_EQ(lcd_text::refresh(1, 2, bank, none),
              (L{"Potmeter Moved  ", "Cutoff          ", "Knob ID :   3   ", "Value   :  64   "}));
    EXPECT_EQ(lcd_text::refresh(0, 3, bank, none)[1], "xxxxxxxxxxxxxxx ");
    EXPECT_EQ(lcd_text::refresh(1, 1005, bank, fifthOn),
              (L{"Button Pushed   ", "   90 3C 7F     ", "Button ID : 5   ", "--------------- "}));
    EXPECT_EQ(lcd_text::refresh(0, 1005, bank, none),
              (L{"Button Released ", "   90 3C 00     ", "Button ID : 5   ", "--------------- "}));
    EXPECT_EQ(lcd_text::refresh(3, 2, bank, none), (L{" Display Mode 3 ", "Not Implemented ",
                                                      "   Yet !!!!!!   ", std::string(16, ' ')}));
    for (const L& screen : {lcd_text::startupScreen(false), lcd_text::startupScreen(true)})
        for (const std::string& line : screen)
            EXPECT_EQ(line.size(), 16u);
    EXPECT_EQ(lcd_text::startupScreen(false)[0], "  Initializing  ");
    EXPECT_EQ(lcd_text::startupScreen(true)[0], "  Initialized   ");
}

TEST(LcdText, BarGraphShowsFifteenPotsARowWithRisingBars) {
    BankRecord bank;
    const std::string empty = std::string(15, '\x01') + ' ';
    EXPECT_EQ(lcd_text::barGraph(bank), (lcd_text::Lines{empty, empty, empty, empty}));
    struct Case {
        int pot, value, row, column;
        char code;
    } cases[] = {{1, 127, 0, 0, 15}, {17, 2, 1, 0, 2}, {63, 63, 3, 14, 8}, {16, 127, 0, 15, ' '}};
    for (const Case& c : cases) {
        bank.setInitialValue(c.pot, std::uint8_t(c.value));
        EXPECT_EQ(lcd_text::refresh(2, 0, bank, {})[std::size_t(c.row)][std::size_t(c.column)],
                  c.code)
            << "pot " << c.pot;
    }
}

TEST(LcdText, ClicksStepThroughTheModesAndWrapToThePanelOnlyWhileTheWindowShows) {
    int mode = 1;
    std::vector<int> visited;
    for (int i = 0; i < 4; ++i) {
        const auto click = lcd_text::clickDotMatrix(mode, true);
        EXPECT_EQ(click.showPanel, click.mode == 0);
        visited.push_back(mode = click.mode);
    }
    EXPECT_EQ(visited, (std::vector<int>{2, 3, 0, 1}));
    const auto hidden = lcd_text::clickDotMatrix(3, false);
    EXPECT_EQ(hidden.mode, 1);
    EXPECT_FALSE(hidden.showPanel);
}

TEST(IncomingMidi, RoutesByStatusAndLearnSwitch) {
    struct Case {
        std::uint8_t status;
        bool learnPot, learnButton;
        IncomingRoute route;
    } cases[] = {
        {0x80, true, false, IncomingRoute::Ignore},
        {0x8F, false, false, IncomingRoute::Ignore},
        {0x90, true, false, IncomingRoute::LearnPot},
        {0xB2, false, true, IncomingRoute::LearnButton},
        {0xEF, false, false, IncomingRoute::MatchPots},
        {0xF0, true, false, IncomingRoute::Ignore},
        {0xFE, false, false, IncomingRoute::Ignore},
    };
    for (const Case& c : cases)
        EXPECT_EQ(routeIncoming(c.status, c.learnPot, c.learnButton), c.route) << int(c.status);
}

TEST(IncomingMidi, EveryPotWithTheEventMatches) {
    BankRecord bank;
    bank.setPot(1, {0x30, 7, 0, 127});
    bank.setPot(9, {0x30, 7, 10, 20});
    bank.setPot(10, {0x31, 7, 0, 127});
    EXPECT_EQ(MatchIncomingToPots(bank, 0xB0, 7), (std::vector<int>{0, 8}));
    EXPECT_EQ(MatchIncomingToPots(bank, 0xB1, 7), (std::vector<int>{9}));
    EXPECT_TRUE(MatchIncomingToPots(bank, 0xB0, 8).empty());
}

TEST(IncomingMidi, OnlyTheLastMessagesThePotsSentComeBackAsEchoesWithinTheWindow) {
    auto now = std::chrono::steady_clock::time_point{};
    EchoFilter echoes([&] { return now; });
    const ShortMessage first{0xB0, 7, 100}, second{0xB0, 7, 50};
    echoes.noteSent(0, first);
    echoes.noteSent(8, second);
    EXPECT_TRUE(echoes.isEcho(first));
    EXPECT_TRUE(echoes.isEcho(second));
    EXPECT_FALSE(echoes.isEcho({0xB0, 7, 99}));
    echoes.noteSent(0, {0xB0, 7, 1});
    EXPECT_FALSE(echoes.isEcho(first)); // pot 1 has sent something else since
    now += EchoFilter::kEchoWindow + std::chrono::milliseconds(1);
    EXPECT_FALSE(echoes.isEcho(second));
    echoes.noteSent(0, first);
    echoes.clear();
    EXPECT_FALSE(echoes.isEcho(first));
}

} // namespace
