#include "desk_button.h"
#include "desk_host.h"
#include "fader_desk.h"
#include "knob.h"
#include "lcd_label.h"
#include "midi_in.h"
#include "tag_scheme.h"
#include "virtual_box.h"

#include "../midi/fake_backend.h"

#include <QAccessible>
#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct FakeHost : DeskHost {
    std::vector<ShortMessage> sent;
    std::vector<int> editedPots, editedButtons;
    bool motorized = false;
    void sendShortMessage(const ShortMessage& m) override { sent.push_back(m); }
    void potValueChanged(int, int) override {}
    void editPot(int n) override { editedPots.push_back(n); }
    void editButton(int n) override { editedButtons.push_back(n); }
    bool motorizedPots() const override { return motorized; }
};

class Desk : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 1; n <= 64; ++n) {
            bank.setPot(n, {0x30, std::uint8_t(n), 0, 127});
            bank.setButton(n, {0x10, std::uint8_t(n), 0x7F, 0});
        }
        box.GenerateFaderDeskExecute();
        host.sent.clear();
    }
    TFaderDesk& desk() { return box.FaderDesk(); }
    TKnob* knob(int n) { return box.registry().as<TKnob>(n); }
    DeskButton* button(int n) {
        for (auto* b : desk().findChildren<DeskButton*>())
            if (tagOf(b) == 1000 + n) return b;
        return nullptr;
    }
    QString lcdText() { return desk().BackLightLCDPanel->caption(); }

    BankRecord bank;
    FakeHost host;
    VirtualBox box{bank, host};
};

TEST_F(Desk, StandardDeskGeometryAndRebuildsLeaveExactlyOneSetOfControls) {
    for (int rebuild = 0; rebuild < 2; ++rebuild) {
        box.GenerateFaderDeskExecute();
        EXPECT_EQ(desk().size(), QSize(860, 560));
        EXPECT_EQ(desk().windowTitle(), "Virtual Pultron : Kelmo's FaderDesk");
        EXPECT_EQ(desk().findChildren<TKnob*>(Qt::FindDirectChildrenOnly).size(), 65); // + TestKnob
        EXPECT_EQ(desk().findChildren<DeskButton*>().size(), 64);
        int valueLabels = 0;
        for (auto* label : desk().findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            valueLabels += tagOf(label) > 2000;
        EXPECT_EQ(valueLabels, 64);
    }
    const struct {
        QWidget* control;
        QPoint at;
    } places[] = {
        {knob(1), {30, 120}},
        {knob(16), {780, 120}},
        {knob(17), {30, 180}},
        {knob(64), {780, 300}},
        {qobject_cast<QWidget*>(box.registry().at(2001)), {30, 160}},
        {button(1), {38, 380}},
        {button(64), {788, 470}},
        {desk().BackLightLCDPanel, {336, 16}},
        {desk().LCDPanel, {358, 16}},
    };
    for (const auto& place : places) {
        ASSERT_NE(place.control, nullptr);
        EXPECT_EQ(place.control->pos(), place.at) << tagOf(place.control);
    }
    EXPECT_EQ(tagOf(desk().TestKnob), -99);
    EXPECT_EQ(tagOf(desk().Label1), -1);
    EXPECT_EQ(knob(64)->PositionLabel(), box.registry().at(2064));
    EXPECT_EQ(button(1)->text(), "1");
}

TEST_F(Desk, FillLimitsValuesToTheRangeSetsHintsAndSendsNothing) {
    bank.setPot(2, {0x30, 2, 10, 20});
    bank.setInitialValue(2, 100);
    bank.setPotLabel(3, "Cutoff");
    auto blank = bank.labelRecord(4);
    std::fill(blank.begin() + 1, blank.end(), ' ');
    bank.setLabelRecord(4, blank);
    auto none = bank.labelRecord(5);
    none[1] = 0;
    bank.setLabelRecord(5, none);
    box.rebuildAfterBank();
    EXPECT_TRUE(host.sent.empty());
    EXPECT_FALSE(desk().isVisible());
    EXPECT_EQ(knob(2)->Position(), 20);
    EXPECT_EQ(bank.initialValue(2), 20);
    EXPECT_EQ(qobject_cast<QLabel*>(box.registry().at(2002))->text(), "20 ");
    EXPECT_EQ(knob(3)->toolTip(), "Cutoff");
    EXPECT_EQ(knob(4)->toolTip(), QString(15, ' '));
    EXPECT_EQ(knob(5)->toolTip(), "");
}

TEST_F(Desk, KnobsSendTheirEventOnceAndReportOnTheLcd) {
    bank.setPotLabel(3, "Cutoff");
    knob(3)->SetPosition(64);
    EXPECT_EQ(host.sent, (std::vector<ShortMessage>{{0xB0, 3, 64}}));
    EXPECT_EQ(bank.initialValue(3), 64);
    EXPECT_EQ(lcdText(), "Potmeter Moved  Cutoff          Knob ID :   3   Value   :  64   ");

    // Setting the value through accessibility is turning the knob.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(knob(1));
    ASSERT_NE(accessible->valueInterface(), nullptr);
    accessible->valueInterface()->setCurrentValue(100);
    EXPECT_EQ(host.sent.back(), (ShortMessage{0xB0, 1, 100}));
    EXPECT_EQ(accessible->valueInterface()->currentValue().toInt(), 100);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Pot 1");
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(box.registry().at(2001))->text(QAccessible::Name),
        "100 ");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(desk().BackLightLCDPanel)
                  ->text(QAccessible::Value)
                  .toStdString(),
              "Potmeter Moved  \n                \nKnob ID :   1   \nValue   : 100   ");

    QTest::mouseClick(knob(17), Qt::RightButton);
    QTest::mouseClick(knob(17), Qt::LeftButton);
    QTest::mouseClick(button(3), Qt::RightButton);
    EXPECT_EQ(host.editedPots, std::vector<int>{17});
    EXPECT_EQ(host.editedButtons, std::vector<int>{3});
}

TEST_F(Desk, ButtonsSendOnMousePressAndClickAndFromTheKeyboard) {
    DeskButton* b = button(5);
    const ShortMessage on{0x90, 5, 0x7F}, off{0x90, 5, 0};
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(host.sent, (std::vector<ShortMessage>{on, off}));
    EXPECT_TRUE(lcdText().startsWith("Button Released    90 05 00     Button ID : 5   "));

    host.sent.clear();
    QTest::mousePress(b, Qt::LeftButton);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(-20, -20)); // released outside
    EXPECT_EQ(host.sent, std::vector<ShortMessage>{on});
    EXPECT_TRUE(lcdText().startsWith("Button Pushed   "));

    host.sent.clear();
    b->setFocus();
    QTest::keyClick(b, Qt::Key_Space);
    EXPECT_EQ(host.sent, (std::vector<ShortMessage>{on, off}));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(b)->role(), QAccessible::Button);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name), "Button 5");
}

TEST_F(Desk, LcdClicksCycleModesAndThePanelTakesOverAfterModeThree) {
    knob(1)->SetPosition(127);
    TLCDLabel* lcd = desk().BackLightLCDPanel;
    QTest::mouseClick(lcd, Qt::LeftButton);
    EXPECT_EQ(box.LcdDisplayMode(), 2);
    EXPECT_EQ(lcd->caption().at(0), QChar(15));
    knob(2)->SetPosition(127); // the bar graph follows the knobs
    EXPECT_EQ(lcd->caption().at(1), QChar(15));
    QTest::mouseClick(lcd, Qt::LeftButton);
    EXPECT_TRUE(lcd->caption().startsWith(" Display Mode 3 "));
    QTest::mouseClick(lcd, Qt::LeftButton);
    EXPECT_EQ(box.LcdDisplayMode(), 0);
    EXPECT_TRUE(lcd->isHidden());
    EXPECT_TRUE(desk().LCDPanel->isVisible());
    EXPECT_EQ(desk().LCDLines[2]->text(), "Knob ID :   2   ");
    knob(3)->SetPosition(7);
    EXPECT_EQ(desk().LCDLines[2]->text(), "Knob ID :   3   ");
    QTest::mouseClick(desk().LCDLines[0], Qt::LeftButton);
    EXPECT_EQ(box.LcdDisplayMode(), 1);
    EXPECT_TRUE(lcd->isVisible());
    EXPECT_FALSE(desk().LCDPanel->isVisible());
    EXPECT_TRUE(lcd->caption().startsWith("Potmeter Moved  "));

    // Past the last mode with the window hidden: back to the report on the dot matrix.
    box.BackLightLCDPanelClick();
    box.BackLightLCDPanelClick();
    desk().hide();
    box.BackLightLCDPanelClick();
    EXPECT_EQ(box.LcdDisplayMode(), 1);
    EXPECT_FALSE(lcd->isHidden());
}

TEST_F(Desk, MotorisedPotsMoveEveryMatchingKnobWithinItsRangeAndIgnoreTheirOwnEcho) {
    bank.setPot(9, {0x30, 1, 0, 50});
    box.FillDeskFromBank();
    box.MatchIncomingToPots(0xB0, 1, 100);
    EXPECT_EQ(knob(1)->Position(), 0) << "moved while motorised pots are off";
    EXPECT_TRUE(host.sent.empty());

    host.motorized = true;
    box.MatchIncomingToPots(0xB0, 1, 100);
    EXPECT_EQ(knob(1)->Position(), 100);
    EXPECT_EQ(knob(9)->Position(), 50);
    EXPECT_EQ(host.sent, (std::vector<ShortMessage>{{0xB0, 1, 100}, {0xB0, 1, 50}}));
    // What came out comes back through a loop: the echoes move and send nothing.
    for (const ShortMessage& echo : std::vector<ShortMessage>(host.sent))
        box.MatchIncomingToPots(echo.status, echo.data1, echo.data2);
    EXPECT_EQ(host.sent.size(), 2u);

    desk().hide();
    box.MatchIncomingToPots(0xB0, 1, 10);
    EXPECT_EQ(knob(1)->Position(), 100) << "moved while the desk is hidden";
}

// A controller flood delivered faster than the desk takes it, more than the input holds at once:
// every knob still ends on the last value sent to it, and that is the last value it sends on.
TEST_F(Desk, MotorisedBurstBeyondTheInputLimitEndsEveryKnobOnTheLastValueSent) {
    auto backend = std::make_unique<FakeBackend>(1, 0);
    FakeBackend& driver = *backend;
    std::vector<std::unique_ptr<MidiBackend>> backends;
    backends.push_back(std::move(backend));
    MidiDeviceList devices(std::move(backends));
    TMidiIn in(devices);
    in.OnShort = [this](TMidiIn*, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
        box.MatchIncomingToPots(s, a, b);
    };
    QSignalSpy dropped(&in, &TMidiIn::inputDropped);
    in.SetUsing(true);
    host.motorized = true;

    std::vector<std::vector<std::uint8_t>> burst;
    std::array<std::uint8_t, 65> last{};
    for (int round = 0; round < TMidiIn::kMaxPending / 64 + 50; ++round)
        for (int n = 1; n <= 64; ++n) {
            last[std::size_t(n)] = std::uint8_t((round * 7 + n) % 128);
            burst.push_back({0xB0, std::uint8_t(n), last[std::size_t(n)]});
        }
    driver.deliverFromDriverThread(burst);
    QCoreApplication::processEvents();

    std::array<int, 65> lastSent{};
    for (const ShortMessage& m : host.sent)
        lastSent[m.data1] = m.data2;
    for (int n = 1; n <= 64; ++n) {
        EXPECT_EQ(knob(n)->Position(), last[std::size_t(n)]) << n;
        EXPECT_EQ(lastSent[std::size_t(n)], last[std::size_t(n)]) << n;
    }
    EXPECT_EQ(dropped.count(), 0);
}

} // namespace

// Tags are read through each class's property index, remembered from the class asked last.
TEST(DeskTags, TagsReadRightWhateverTheClassBefore) {
    TKnob knob;
    TLCDLabel lcd;
    QLabel tagged, untagged;
    setTag(&knob, 7);
    setTag(&lcd, -3);
    setTag(&tagged, 2005);
    const std::vector<std::pair<const QObject*, int>> cases = {
        {&knob, 7}, {&knob, 7},      {&tagged, 2005}, {&lcd, -3}, {&untagged, 0},
        {&lcd, -3}, {&tagged, 2005}, {nullptr, 0},    {&knob, 7}};
    for (const auto& [control, tag] : cases)
        EXPECT_EQ(tagOf(control), tag) << (control ? control->metaObject()->className() : "none");
}
