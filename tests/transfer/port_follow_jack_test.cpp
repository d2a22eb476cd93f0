#include "form_driver.h"
#include "jack_server.h"
#include "midi_out.h"
#include "rtmidi_backend.h"
#include "sim_process.h"
#include "transfer_controller.h"
#include "wait_for.h"

#include <QAbstractItemView>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>
#include <mutex>

namespace {

const QString kPlugIn = QStringLiteral("plugbox:out");
const QString kPlugOut = QStringLiteral("plugbox sink:in");
const QString kReady = QStringLiteral("Ready for data transfer");

QStringList itemsOf(const QComboBox* selector) {
    QStringList items;
    for (int i = 0; i < selector->count(); ++i)
        items << selector->itemText(i);
    return items;
}

// A controller plugged in and out: JACK ports of its own that come and go.
struct Plugbox {
    std::unique_ptr<RtMidiBackend> system; // on the test's server, once it runs
    Opened<MidiOutputConnection> out;
    Opened<MidiInputConnection> in;
    std::mutex mutex;
    std::vector<Bytes> received;

    bool plugIn() {
        out = system->openVirtualOutput("plugbox", "out");
        in =
            system->openVirtualInput("plugbox sink", "in", [this](std::span<const std::uint8_t> b) {
                const std::lock_guard lock(mutex);
                received.emplace_back(b.begin(), b.end());
            });
        return out.connection && in.connection;
    }
    void unplug() {
        out = {};
        in = {};
    }
    bool got(const Bytes& message) {
        const std::lock_guard lock(mutex);
        return std::find(received.begin(), received.end(), message) != received.end();
    }
};

class JackPortFollow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start()) << server.error().toStdString();
        plugbox.system = RtMidiBackend::create(RtMidiBackend::Api::Jack);
        ASSERT_NE(plugbox.system, nullptr);
    }
    void openWindow() {
        form = std::make_unique<TForm1>(TForm1::Options{QString(), QStringLiteral("all")});
    }
    TransferPage& page() const { return *form->FileSheet; }
    QStringList log() const { return page().ListBox->lines(); }
    int logCount(const QString& line) const { return int(log().count(line)); }
    // Events run for a while, long enough for any late notice to arrive.
    static void settle(int ms = 500) {
        bool done = false;
        QTimer::singleShot(ms, [&] { done = true; });
        waitFor([&] { return done; });
    }

    JackServer server;
    Plugbox plugbox;
    std::unique_ptr<TForm1> form;
};

TEST_F(JackPortFollow, APeerRegisteredAfterStartIsOfferedWithinASecond) {
    openWindow();
    ASSERT_EQ(page().MIDIInComboBox->findText(kPlugIn), -1);
    const QStringList chosen = {page().MIDIInComboBox->currentText(),
                                page().MIDIOutComboBox->currentText()};
    ASSERT_TRUE(plugbox.plugIn());
    for (QComboBox* selector : {static_cast<QComboBox*>(page().MIDIInComboBox),
                                static_cast<QComboBox*>(page().MIDIOutComboBox)}) {
        const QString port = selector == page().MIDIInComboBox ? kPlugIn : kPlugOut;
        EXPECT_TRUE(waitFor([&] { return selector->findText(port) >= 0; }, 1000))
            << itemsOf(selector).join(" | ").toStdString();
        EXPECT_EQ(itemsOf(selector).first(), "None");
        EXPECT_EQ(itemsOf(selector).last(), "vPultron64 Simulator");
        EXPECT_EQ(selector->currentText(), chosen[selector == page().MIDIInComboBox ? 0 : 1]);
        EXPECT_EQ(itemsOf(selector).filter("vPultron64:").size(), 0) << "the window's own ports";
    }
}

TEST_F(JackPortFollow, AChosenPeerThatGoesIsReportedOnceShownGoneAndReopenedWhenBack) {
    ASSERT_TRUE(plugbox.plugIn());
    openWindow();
    ASSERT_TRUE(choose(page().MIDIOutComboBox, kPlugOut));
    ASSERT_TRUE(choose(page().MIDIInComboBox, kPlugIn));
    ASSERT_EQ(page().StatusLabel->text(), kReady);

    plugbox.unplug();
    const QString lostIn =
        QStringLiteral(R"(Lost MIDI IN Port "%1" - the port has gone away!)").arg(kPlugIn);
    const QString lostOut =
        QStringLiteral(R"(Lost MIDI OUT Port "%1" - the port has gone away!)").arg(kPlugOut);
    ASSERT_TRUE(waitFor([&] {
        return page().MIDIInComboBox->currentText() == kPlugIn + " (gone)" &&
               page().MIDIOutComboBox->currentText() == kPlugOut + " (gone)";
    })) << itemsOf(page().MIDIInComboBox).join(" | ").toStdString();
    settle();
    EXPECT_EQ(logCount(lostIn), 1) << log().join('\n').toStdString();
    EXPECT_EQ(logCount(lostOut), 1);
    EXPECT_EQ(page().StatusLabel->text(), "MIDI IN Port not ready!");
    EXPECT_EQ(itemsOf(page().MIDIInComboBox).last(), "vPultron64 Simulator");

    ASSERT_TRUE(plugbox.plugIn());
    ASSERT_TRUE(waitFor([&] { return page().StatusLabel->text() == kReady; }))
        << page().StatusLabel->text().toStdString();
    EXPECT_EQ(page().MIDIInComboBox->currentText(), kPlugIn);
    EXPECT_EQ(page().MIDIOutComboBox->currentText(), kPlugOut);
    EXPECT_EQ(logCount(QStringLiteral(R"(MIDI IN port "%1" is back and open again)").arg(kPlugIn)),
              1);
    EXPECT_EQ(
        logCount(QStringLiteral(R"(MIDI OUT port "%1" is back and open again)").arg(kPlugOut)), 1);
    EXPECT_EQ(logCount(lostIn), 1);
    const Bytes note = {0x90, 0x40, 0x7F};
    form->MidiOut1->Put(note[0], note[1], note[2]);
    EXPECT_TRUE(waitFor([&] { return plugbox.got(note); })) << "sent to the port plugged in again";
}

TEST_F(JackPortFollow, ASelectorHeldOpenIsNotChangedUnderThePointer) {
    openWindow();
    PortSelector* selector = page().MIDIInComboBox;
    selector->showPopup();
    ASSERT_TRUE(selector->droppedDown());
    const QStringList before = itemsOf(selector);
    const QString chosen = selector->currentText();
    ASSERT_TRUE(plugbox.plugIn());
    // The other selector, closed, takes the new port at once.
    ASSERT_TRUE(waitFor([&] { return page().MIDIOutComboBox->findText(kPlugOut) >= 0; }, 1000));
    settle();
    EXPECT_EQ(itemsOf(selector), before);
    selector->hidePopup();
    EXPECT_TRUE(waitFor([&] { return selector->findText(kPlugIn) >= 0; }, 1000));
    EXPECT_EQ(selector->currentText(), chosen);
}

// The controller unplugged in the middle of an upload: the upload ends with its line and is
// never carried on over another port; plugged in again, the ports are open and ready.
TEST_F(JackPortFollow, AnUploadWhosePortGoesEndsAndTheSameNameBackIsReady) {
    SimProcess sim;
    ASSERT_TRUE(sim.start({})) << sim.error().toStdString();
    openWindow();
    const QString simIn = itemContaining(page().MIDIOutComboBox, "vpt64 sim In");
    const QString simOut = itemContaining(page().MIDIInComboBox, "vpt64 sim Out");
    ASSERT_TRUE(choose(page().MIDIOutComboBox, simIn));
    ASSERT_TRUE(choose(page().MIDIInComboBox, simOut));
    page().SysexSendSpeed->setValue(150);
    int ticks = 0;
    QObject::connect(form->SysexHeadTimer, &QTimer::timeout, [&] {
        if (++ticks == 2) sim.stop();
    });
    QTest::mouseClick(page().SlowSendToPultron, Qt::LeftButton);
    settle();
    const QStringList lines = log();
    EXPECT_EQ(lines.filter(QStringLiteral("Upload aborted after ")).size(), 1)
        << lines.join('\n').toStdString();
    EXPECT_EQ(lines.filter(QRegularExpression(R"(^Upload of bank \d+ failed)")).size(), 1);
    EXPECT_EQ(lines.filter(QStringLiteral("Lost MIDI OUT Port")).size(), 1);
    EXPECT_LT(lines.filter(QStringLiteral("Sent 265 bytes")).size(), 8);
    EXPECT_EQ(page().MIDIOutComboBox->currentText(), simIn + " (gone)");
    EXPECT_FALSE(page().SlowSendToPultron->isEnabled());

    ASSERT_TRUE(sim.start({})) << sim.error().toStdString();
    EXPECT_TRUE(waitFor([&] { return page().StatusLabel->text() == kReady; }))
        << page().StatusLabel->text().toStdString();
    EXPECT_EQ(page().MIDIOutComboBox->currentText(), simIn);
    EXPECT_TRUE(page().SlowSendToPultron->isEnabled());
}

} // namespace
