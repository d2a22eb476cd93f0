#include "custom_desk.h"
#include "editor_window.h"
#include "fader_desk.h"
#include "jack_server.h"
#include "knob.h"
#include "rtmidi_backend.h"
#include "spin_edit.h"
#include "transfer_page.h"
#include "virtual_box.h"
#include "wait_for.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <mutex>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A MIDI peer on the private JACK server: records what reaches its input and, when looped,
// sends it straight back, as a controller with its MIDI merger on would.
class JackDesk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start()) << server.error().toStdString();
        peer = RtMidiBackend::create(RtMidiBackend::Api::Jack);
        ASSERT_NE(peer, nullptr);
        peerOut = peer->openVirtualOutput("desk peer out", "out").connection;
        peerIn = peer->openVirtualInput("desk peer in", "in",
                                        [this](std::span<const std::uint8_t> bytes) {
                                            std::lock_guard lock(mutex);
                                            received.emplace_back(bytes.begin(), bytes.end());
                                            if (looped) peerOut->sendShort(bytes);
                                        })
                     .connection;
        ASSERT_TRUE(peerOut && peerIn);
        form = std::make_unique<TForm1>(TForm1::Options{QString(), QStringLiteral("jack")});
        for (int n = 1; n <= 64; ++n) // every pot an event of its own on channel 16
            form->record.setPot(n, {0x3F, std::uint8_t(n), 0, 127});
        choosePort(form->FileSheet->MIDIOutComboBox, "desk peer in");
        choosePort(form->FileSheet->MIDIInComboBox, "desk peer out");
        form->show();
        QTest::mouseClick(form->FileSheet->ShowFaderDesk, Qt::LeftButton);
        ASSERT_TRUE(form->FaderDesk().deskVisible());
    }
    void choosePort(QComboBox* selector, const char* part) {
        for (int i = 0; i < selector->count(); ++i)
            if (selector->itemText(i).contains(QLatin1String(part))) {
                selector->setCurrentIndex(i);
                emit selector->activated(i);
                return;
            }
        FAIL() << "no port " << part;
    }
    std::vector<Bytes> atPeer() {
        std::lock_guard lock(mutex);
        return received;
    }
    // Waits until `count` messages have arrived, then a little longer for any that should not.
    std::vector<Bytes> settled(std::size_t count) {
        waitFor([&] { return atPeer().size() >= count; });
        QTest::qWait(300);
        return atPeer();
    }
    TKnob* knob(int n) { return form->FaderDesk().registry().as<TKnob>(n); }
    Bytes potEvent(int n, std::uint8_t value) {
        return {fullStatus(form->record.pot(n).status), form->record.pot(n).data, value};
    }

    JackServer server;
    std::unique_ptr<RtMidiBackend> peer;
    std::unique_ptr<MidiOutputConnection> peerOut;
    std::unique_ptr<MidiInputConnection> peerIn;
    std::mutex mutex;
    std::vector<Bytes> received;
    std::atomic<bool> looped = false;
    std::unique_ptr<TForm1> form;
};

TEST_F(JackDesk, PeerReceivesExactlyWhatKnobsAndButtonsSendOncePerTurn) {
    form->record.setPot(1, {0x30, 7, 0, 127});
    form->record.setButton(5, {0x10, 0x3C, 0x7F, 0});
    form->FaderDesk().FillDeskFromBank();
    form->PotSettings->PotNumber->setValue(1); // the pot editor shows the pot being turned
    knob(1)->setFocus();
    knob(1)->SetPosition(99);
    QTest::keyClick(knob(1), Qt::Key_Up);
    QPushButton* button5 = nullptr;
    for (auto* button : form->FaderDesk().FaderDesk().findChildren<QPushButton*>())
        if (button->text() == "5") button5 = button;
    QTest::mouseClick(button5, Qt::LeftButton);
    EXPECT_EQ(settled(4),
              (std::vector<Bytes>{
                  {0xB0, 0x07, 0x63}, {0xB0, 0x07, 0x64}, {0x90, 0x3C, 0x7F}, {0x90, 0x3C, 0x00}}));
    EXPECT_EQ(form->PotSettings->PotInitialValue->value(), 100);
}

TEST_F(JackDesk, PeerMessagesMoveMatchingKnobsOnlyWithMotorisedPots) {
    form->record.setPot(1, {0x30, 7, 0, 127});
    form->record.setPot(9, {0x30, 7, 0, 60});
    form->FaderDesk().FillDeskFromBank();
    const std::uint8_t message[] = {0xB0, 0x07, 0x64};
    peerOut->sendShort(message);
    QTest::qWait(300);
    EXPECT_EQ(knob(1)->Position(), 0);
    EXPECT_TRUE(atPeer().empty());

    form->PotSettings->vMotPots->setChecked(true);
    peerOut->sendShort(message);
    ASSERT_TRUE(waitFor([&] { return knob(9)->Position() == 60; }));
    EXPECT_EQ(knob(1)->Position(), 100);
    EXPECT_EQ(settled(2), (std::vector<Bytes>{{0xB0, 0x07, 0x64}, {0xB0, 0x07, 0x3C}}));
}

TEST_F(JackDesk, LoopFromOutputBackToInputEndsAfterOneEcho) {
    form->record.setPot(1, {0x30, 7, 0, 127});
    form->record.setPot(9, {0x30, 7, 0, 60});
    form->FaderDesk().FillDeskFromBank();
    form->PotSettings->vMotPots->setChecked(true);
    looped = true;
    knob(1)->SetPosition(100);
    // Pot 1's message comes back once as its own echo, which moves and sends nothing.
    EXPECT_EQ(settled(1), (std::vector<Bytes>{{0xB0, 0x07, 0x64}}));
    QTest::qWait(500);
    EXPECT_EQ(atPeer().size(), 1u);
    EXPECT_EQ(knob(1)->Position(), 100);
    EXPECT_EQ(knob(9)->Position(), 0);
}

// Turns pot 1 by program and by key, and clicks the button with Tag 1005, on the desk in use.
void playPotOneAndButtonFive(VirtualBox& box, QWidget& window) {
    TKnob* knob = box.registry().as<TKnob>(1);
    ASSERT_NE(knob, nullptr);
    knob->setFocus();
    knob->SetPosition(99);
    QTest::keyClick(knob, Qt::Key_Up);
    for (auto* button : window.findChildren<QPushButton*>())
        if (tagOf(button) == 1005) QTest::mouseClick(button, Qt::LeftButton);
}

TEST_F(JackDesk, DeskBuiltFromADumpOfTheStandardDeskPlaysTheSameBytes) {
    form->record.setButton(5, {0x10, 0x3C, 0x7F, 0});
    VirtualBox& box = form->FaderDesk();
    playPotOneAndButtonFive(box, box.FaderDesk());
    const std::vector<Bytes> standard = settled(4);
    EXPECT_EQ(standard,
              (std::vector<Bytes>{
                  {0xBF, 0x01, 0x63}, {0xBF, 0x01, 0x64}, {0x90, 0x3C, 0x7F}, {0x90, 0x3C, 0x00}}));

    QTemporaryDir dir;
    form->CustomDeskFile = box.DumpFormToINI(box.FaderDesk(), dir.path());
    ASSERT_EQ(form->CustomDeskFile, dir.filePath("customdesk.ini"));
    box.GenerateFaderDeskExecute(); // the chosen desk
    ASSERT_NE(box.customDesk(), nullptr);
    EXPECT_FALSE(box.FaderDesk().isVisible());
    {
        std::lock_guard lock(mutex);
        received.clear();
    }
    playPotOneAndButtonFive(box, *box.customDesk());
    EXPECT_EQ(settled(4), standard);
}

} // namespace
