// The bank as a document: undo and redo of every kind of change, the unsaved mark in the title,
// and the question before unsaved edits are lost.
#include "bank_document.h"
#include "box_config_page.h"
#include "button_page.h"
#include "file_bytes.h"
#include "help_page.h"
#include "knob.h"
#include "midi_in.h"
#include "page_test_support.h"
#include "pot_page.h"
#include "preset_selector.h"
#include "registry_settings.h"
#include "spin_edit.h"
#include "status_log.h"
#include "syx_file.h"
#include "transfer_controller.h"
#include "transfer_page.h"
#include "unsaved_edits_question.h"
#include "virtual_box.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <functional>

using namespace page_test;

namespace {

const QByteArray kSettings = "[PotPresets]\nB00B007F=Sound: Filter: Cutoff\n";

class BankDocumentTest : public EditorTest {
protected:
    void SetUp() override {
        registry_settings::open()->clear();
        start(kSettings);
    }
    QUndoStack& steps() const { return form->document().history().stack(); }
    QString file(const char* name, const char* bankName) const {
        BankRecord bank = form->record;
        bank.setBankName(bankName);
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(writeFileBytes(path, encodeBank(bank, 0)));
        return path;
    }
    // The keys as the user presses them, wherever the focus is.
    void keys(QKeyCombination combination) {
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
        QTest::keySequence(focus, QKeySequence(combination));
        QApplication::processEvents();
    }
    void selectPot(int n) {
        showPage(form->PotSettings);
        typeAndLeave(form->PotSettings->PotNumber, QString::number(n));
    }
    void selectButton(int n) {
        showPage(form->ButtSettings);
        typeAndLeave(form->ButtSettings->ButtNumber, QString::number(n));
    }
    // Sends the bank as the controller does, block by block, unasked.
    void receive(const BankRecord& bank) {
        const QByteArray dump = encodeBank(bank, 0);
        for (qsizetype at = 0; at < dump.size(); at += 265)
            form->transfer().MidiIn1SysEx(
                nullptr, reinterpret_cast<const std::uint8_t*>(dump.constData() + at), 265);
        QApplication::processEvents();
    }
    TKnob* deskKnob(int pot) {
        form->FaderDesk().GenerateFaderDeskExecute();
        return form->FaderDesk().registry().as<TKnob>(pot);
    }
    void dragKnob(TKnob* knob, std::initializer_list<QPoint> path) {
        QTest::mousePress(knob, Qt::LeftButton, {}, *path.begin());
        for (const QPoint& point : path)
            QTest::mouseMove(knob, point);
        QTest::mouseRelease(knob, Qt::LeftButton, {}, *(path.end() - 1));
    }
    // Pots 8 and 9 answer controllers 20 and 21 and stand at 10 and 20, on a desk whose pots
    // follow incoming MIDI.
    void motorisedDesk() {
        form->record.setPot(8, {0x30, 20, 0, 127});
        form->record.setPot(9, {0x30, 21, 0, 127});
        form->record.setInitialValue(8, 10);
        form->record.setInitialValue(9, 20);
        form->document().history().absorb();
        form->PotSettings->vMotPots->setChecked(true);
        deskKnob(8);
    }
    // Moves pot 8 or 9 of motorisedDesk() as a controller with motorised faders does.
    void moveByMidi(int pot, int value) {
        form->MidiIn1->OnShort(nullptr, 0xB0, std::uint8_t(pot + 12), std::uint8_t(value));
    }
    // Pot 2's data byte in a stored dump: block 0 after its seven header bytes.
    static int potTwoData(const QString& path) { return quint8(readFileBytes(path).at(7 + 4 + 1)); }
    QMessageBox* question() const { return form->unsavedEditsQuestion().question(); }
    void answer(int button) {
        ASSERT_TRUE(question() && question()->isVisible());
        EXPECT_EQ(question()->windowTitle() + "[*]", form->windowTitle()); // no place holder
        question()->button(QMessageBox::StandardButton(button))->click();
        QApplication::processEvents();
    }
};

enum class Shown { Pot, Button, BoxConfig, Unchanged };

struct EditCase {
    const char* kind;
    std::function<void()> edit;
    Shown page;
    int entry; // the pot or button shown after undo
};

} // namespace

TEST_F(BankDocumentTest, EachKindOfChangeIsOneStepThatUndoAndRedoPutBack) {
    const QString other = file("other.syx", "OPENED");
    BankRecord received = form->record;
    received.setBankName("RECEIVED");
    received.setPotLabel(60, "RECEIVED");
    const EditCase cases[] = {
        {"pot field", [this] { selectPot(5), typeAndLeave(form->PotSettings->PotByte1, "33"); },
         Shown::Pot, 5},
        {"button field",
         [this] { selectButton(7), typeAndLeave(form->ButtSettings->ButtByte2, "99"); },
         Shown::Button, 7},
        {"label with Enter",
         [this] {
             selectPot(12);
             typeInto(form->PotSettings->PotLabel, "NEW NAME");
             keys(Qt::Key_Return);
         },
         Shown::Pot, 12},
        {"box config field",
         [this] {
             showPage(form->BoxSettingsTabsheet);
             typeAndLeave(form->BoxSettingsTabsheet->TouchsensorSensitivity, "10");
         },
         Shown::BoxConfig, 0},
        {"box config check box",
         [this] {
             showPage(form->BoxSettingsTabsheet);
             form->BoxSettingsTabsheet->AutoSnapshot->click();
         },
         Shown::BoxConfig, 0},
        {"preset", [this] { selectPot(20), choose(form->PotSettings->PotPresetName, 0); },
         Shown::Pot, 20},
        {"paste",
         [this] {
             selectPot(35), keys(Qt::CTRL | Qt::Key_C);
             selectPot(9), keys(Qt::CTRL | Qt::Key_V);
         },
         Shown::Pot, 9},
        {"learned event",
         [this] {
             selectPot(40);
             form->PotSettings->LearnPot->setChecked(true);
             form->MidiIn1->OnShort(nullptr, 0xB3, 17, 99);
             form->PotSettings->LearnPot->setChecked(false);
         },
         Shown::Pot, 40},
        {"learned button event",
         [this] {
             selectButton(41);
             form->ButtSettings->LearnButt->setChecked(true);
             form->MidiIn1->OnShort(nullptr, 0x95, 60, 77);
             form->ButtSettings->LearnButt->setChecked(false);
         },
         Shown::Button, 41},
        {"desk turn gesture",
         [this] {
             dragKnob(deskKnob(3), {{5, 30}, {10, 10}, {30, 5}, {45, 20}});
         },
         Shown::Pot, 3},
        {"bank opened", [&] { form->openSysexFile(other); }, Shown::Unchanged, 0},
        {"bank received", [&] { receive(received); }, Shown::Unchanged, 0},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.kind);
        const BankRecord before = form->record;
        const int count = steps().count();
        c.edit();
        const BankRecord after = form->record;
        ASSERT_NE(after, before);
        EXPECT_EQ(steps().count(), count + 1);
        EXPECT_TRUE(form->isWindowModified() || c.page == Shown::Unchanged);

        selectPot(1);
        showPage(form->FileSheet);
        keys(Qt::CTRL | Qt::Key_Z);
        EXPECT_EQ(form->record, before);
        QWidget* page = form->PageControl->currentWidget();
        switch (c.page) {
        case Shown::Pot:
            EXPECT_EQ(page, form->PotSettings.page());
            EXPECT_EQ(form->PotSettings->selectedPot(), c.entry);
            EXPECT_EQ(form->PotSettings->PotByte1->value(), before.pot(c.entry).data);
            break;
        case Shown::Button:
            EXPECT_EQ(page, form->ButtSettings.page());
            EXPECT_EQ(form->ButtSettings->selectedButton(), c.entry);
            EXPECT_EQ(form->ButtSettings->ButtByte2->value(), before.button(c.entry).data2);
            break;
        case Shown::BoxConfig:
            EXPECT_EQ(page, form->BoxSettingsTabsheet.page());
            EXPECT_EQ(form->BoxSettingsTabsheet->TouchsensorSensitivity->value(),
                      before.touchsensorSensitivity());
            break;
        case Shown::Unchanged:
            EXPECT_EQ(page, form->FileSheet);
            EXPECT_EQ(form->BoxSettingsTabsheet->BankLabel->text().toStdString(),
                      before.bankName());
            break;
        }
        keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        EXPECT_EQ(form->record, after);
        keys(Qt::CTRL | Qt::Key_Z);
        keys(Qt::CTRL | Qt::Key_Y);
        EXPECT_EQ(form->record, after);
    }
}

// Typing counts once, when the field is left; one desk gesture is one step, the next another.
TEST_F(BankDocumentTest, TypingAndTurningMakeOneStepPerFieldAndGesture) {
    selectPot(8);
    const int count = steps().count();
    typeInto(form->PotSettings->PotLabel, "ABCDEFGH");
    typeInto(form->PotSettings->PotLabel, "ABC");
    EXPECT_EQ(steps().count(), count);
    leave(form->PotSettings->PotLabel);
    EXPECT_EQ(steps().count(), count + 1);
    EXPECT_EQ(steps().undoText(), "pot 8 label");

    TKnob* knob = deskKnob(8);
    dragKnob(knob, {{5, 30}, {10, 10}, {30, 5}});
    dragKnob(knob, {{30, 5}, {45, 20}, {40, 40}});
    EXPECT_EQ(steps().count(), count + 3);
    EXPECT_EQ(steps().undoText(), "desk turn of pot 8");

    // Motorised input that moves two pots in turn, with no pause, is one step as well.
    form->record.setPot(8, {0x30, 20, 0, 127});
    form->record.setPot(9, {0x30, 21, 0, 127});
    form->PotSettings->vMotPots->setChecked(true);
    const int start8 = form->record.initialValue(8), start9 = form->record.initialValue(9);
    for (int value : {10, 20, 30}) {
        form->MidiIn1->OnShort(nullptr, 0xB0, 20, std::uint8_t(value));
        form->MidiIn1->OnShort(nullptr, 0xB0, 21, std::uint8_t(value + 1));
    }
    EXPECT_EQ(form->record.initialValue(9), 31);
    EXPECT_EQ(steps().count(), count + 4);
    EXPECT_EQ(steps().undoText(), "desk turn of pots 8 and 9");
    steps().undo();
    EXPECT_EQ(form->record.initialValue(8), start8);
    EXPECT_EQ(form->record.initialValue(9), start9);
}

// A turn that comes back to where it started changes nothing and leaves no step, whether it
// turned one pot or several.
TEST_F(BankDocumentTest, ATurnBackToWhereItStartedLeavesNoStep) {
    motorisedDesk();
    const int count = steps().count();
    const int start8 = form->record.initialValue(8), start9 = form->record.initialValue(9);
    moveByMidi(8, start8 + 9);
    moveByMidi(8, start8);
    EXPECT_EQ(steps().count(), count);
    moveByMidi(8, start8 + 9);
    moveByMidi(9, start9 + 4);
    moveByMidi(8, start8);
    EXPECT_EQ(steps().count(), count + 1);
    moveByMidi(9, start9);
    EXPECT_EQ(steps().count(), count);
    EXPECT_FALSE(form->document().history().modified());
}

// A pot of the gesture that came back to its start and then moved on again was left out of the
// step: undo left it where the gesture ended.
TEST_F(BankDocumentTest, UndoOfAGesturePutsBackAPotThatCameBackAndMovedOn) {
    const std::pair<const char*, std::function<void(int, int)>> forms[] = {
        {"desk keys",
         [this](int pot, int value) {
             TKnob* knob = form->FaderDesk().registry().as<TKnob>(pot);
             const int steps = value - knob->Position();
             for (int n = 0; n < std::abs(steps); ++n)
                 QTest::keyClick(knob, steps > 0 ? Qt::Key_Up : Qt::Key_Down);
         }},
        {"motorised burst", [this](int pot, int value) { moveByMidi(pot, value); }},
    };
    for (const auto& [name, turn] : forms) {
        SCOPED_TRACE(name);
        start(kSettings);
        motorisedDesk();
        const BankRecord before = form->record;
        const int count = steps().count();
        for (const auto& [pot, value] : {std::pair{8, 11}, {9, 21}, {8, 10}, {8, 12}})
            turn(pot, value);
        const BankRecord after = form->record;
        EXPECT_EQ(after.initialValue(8), 12);
        EXPECT_EQ(after.initialValue(9), 21);
        EXPECT_EQ(steps().count(), count + 1);
        steps().undo();
        EXPECT_EQ(form->record, before);
        steps().redo();
        EXPECT_EQ(form->record, after);
    }
}

// A value typed into a field and not yet committed became part of the saved state, with no step,
// when motorised input turned a pot: it is a step of its own once the field is left.
TEST_F(BankDocumentTest, TypedTextIsAStepOfItsOwnWhenMidiTurnsAPotMeanwhile) {
    for (const int end : {27, 20}) { // pot 9 ends away from its start, or back at it
        SCOPED_TRACE(end);
        start(kSettings);
        motorisedDesk();
        selectPot(12);
        const BankRecord before = form->record;
        const int count = steps().count();
        moveByMidi(9, 25);
        typeInto(form->PotSettings->PotLabel, "TYPED");
        moveByMidi(9, end);
        EXPECT_TRUE(form->document().history().modified());
        leave(form->PotSettings->PotLabel);
        EXPECT_EQ(steps().undoText(), "pot 12 label");
        EXPECT_EQ(steps().count(), count + (end == 20 ? 1 : 2));
        while (steps().index() > count)
            steps().undo();
        EXPECT_EQ(form->record, before);
    }
}

TEST_F(BankDocumentTest, TheTitleMarkFollowsEditsStoreUndoAndUpload) {
    const QString path = dir.filePath("stored.syx");
    EXPECT_FALSE(form->isWindowModified());
    EXPECT_TRUE(form->windowTitle().endsWith("[*]"));
    selectPot(2);
    typeAndLeave(form->PotSettings->PotByte1, "44");
    EXPECT_TRUE(form->isWindowModified());
    ASSERT_TRUE(form->storeSysexFile(path, 1));
    EXPECT_FALSE(form->isWindowModified());
    keys(Qt::CTRL | Qt::Key_Z); // back before the stored state
    EXPECT_TRUE(form->isWindowModified());
    keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_FALSE(form->isWindowModified());
    // A MIDI file is no bank that opens again: the mark stays.
    typeAndLeave(form->PotSettings->PotByte1, "45");
    ASSERT_TRUE(form->storeSysexFile(dir.filePath("bank.mid"), 3));
    EXPECT_TRUE(form->isWindowModified());
    // Ctrl+S stores to the file the bank went to last.
    keys(Qt::CTRL | Qt::Key_S);
    EXPECT_FALSE(form->isWindowModified());
    EXPECT_EQ(potTwoData(path), 45);
}

// After the opening of a file is undone, Store asks for a name instead of writing that file.
TEST_F(BankDocumentTest, UndoingAnOpenLeavesTheFileItOpened) {
    const QString opened = file("opened.syx", "OPENED");
    const QByteArray bytes = readFileBytes(opened);
    ASSERT_TRUE(form->openSysexFile(opened));
    keys(Qt::CTRL | Qt::Key_Z);
    bool asked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        asked = dialog != nullptr;
        if (dialog) dialog->reject();
    });
    EXPECT_FALSE(form->storeBank());
    EXPECT_TRUE(asked);
    EXPECT_EQ(readFileBytes(opened), bytes);
}

namespace {

enum class Loss { Close, Open, Drop, Receive };

} // namespace

// Save stores the edits and goes on, Discard goes on, Cancel changes nothing; for each way edits
// could be lost.
TEST_F(BankDocumentTest, EachLossOfEditsAsksSaveDiscardOrCancel) {
    const QString current = file("current.syx", "CURRENT");
    const QString other = file("other.syx", "OTHER");
    const QByteArray currentBytes = readFileBytes(current);
    const int original = potTwoData(current);
    ASSERT_NE(original, 44);
    BankRecord received = form->record;
    received.setBankName("RECEIVED");
    const std::map<Loss, std::string> bankAfter{
        {Loss::Open, "OTHER"}, {Loss::Drop, "OTHER"}, {Loss::Receive, "RECEIVED"}};
    for (const Loss loss : {Loss::Close, Loss::Open, Loss::Drop, Loss::Receive}) {
        for (const auto reply : {QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel}) {
            SCOPED_TRACE(testing::Message() << int(loss) << " " << reply);
            start(kSettings);
            ASSERT_TRUE(writeFileBytes(current, currentBytes));
            ASSERT_TRUE(form->openSysexFile(current));
            selectPot(2);
            typeAndLeave(form->PotSettings->PotByte1, "44");
            switch (loss) {
            case Loss::Close:
                EXPECT_FALSE(form->close());
                break;
            case Loss::Open:
                form->requestOpen(other);
                break;
            case Loss::Drop: {
                QMimeData mime;
                mime.setUrls({QUrl::fromLocalFile(other)});
                for (const QEvent::Type type : {QEvent::DragEnter, QEvent::Drop}) {
                    QDropEvent drop(form->rect().center(), Qt::CopyAction, &mime, Qt::LeftButton,
                                    Qt::NoModifier, type);
                    QApplication::sendEvent(form.get(), &drop);
                }
                break;
            }
            case Loss::Receive:
                receive(received);
                break;
            }
            EXPECT_EQ(form->record.pot(2).data, 44); // nothing happens before the answer
            answer(reply);
            const bool goesOn = reply != QMessageBox::Cancel;
            EXPECT_EQ(potTwoData(current), reply == QMessageBox::Save ? 44 : original);
            if (loss == Loss::Close) {
                EXPECT_EQ(form->isVisible(), !goesOn);
            } else {
                EXPECT_EQ(form->record.bankName(), goesOn ? bankAfter.at(loss) : "CURRENT");
                EXPECT_EQ(form->isWindowModified(), !goesOn);
                EXPECT_EQ(form->statusLog().lines().contains(
                              "Received bank not taken - the unsaved edits were kept"),
                          loss == Loss::Receive && !goesOn);
            }
        }
    }
}

// A bank asked for is asked about when it is asked for, not again when it arrives.
TEST_F(BankDocumentTest, RequestingABankAsksBeforeTheRequestGoesOut) {
    selectPot(2);
    typeAndLeave(form->PotSettings->PotByte1, "44");
    for (const auto reply : {QMessageBox::Cancel, QMessageBox::Discard}) {
        const qsizetype lines = form->statusLog().lines().size();
        form->FileSheet->RequestSysexDump->setEnabled(true);
        form->FileSheet->RequestSysexDump->click();
        answer(reply);
        EXPECT_EQ(form->statusLog().lines().size() > lines, reply == QMessageBox::Discard);
    }
}

TEST_F(BankDocumentTest, TheMenusOfferTheActionsWithTheirShortcuts) {
    const std::pair<const char*, QList<QKeySequence>> items[] = {
        {"OpenAction", {QKeySequence("Ctrl+O")}},
        {"StoreAction", {QKeySequence("Ctrl+S")}},
        {"StoreAsAction", {QKeySequence("Ctrl+Shift+S")}},
        {"QuitAction", {QKeySequence("Ctrl+Q")}},
        {"UndoAction", {QKeySequence("Ctrl+Z")}},
        {"RedoAction", {QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}},
        {"CopyPotAction", {QKeySequence("Ctrl+C")}},
        {"PastePotAction", {QKeySequence("Ctrl+V")}},
        {"VirtualBoxAction", {}},
        {"CustomBoxAction", {}},
        {"MidiMonitorAction", {}},
        {"HintsAction", {}},
        {"AboutAction", {}},
    };
    QStringList menus;
    for (QAction* menu : form->MainMenu->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&View", "&Help"}));
    for (const auto& [name, shortcuts] : items) {
        auto* action = form->findChild<QAction*>(name);
        ASSERT_TRUE(action) << name;
        EXPECT_EQ(action->shortcuts(), shortcuts) << name;
    }
    // Copy and paste of whole entries belong to the pot and button pages.
    QWidget* pages[] = {form->FileSheet, form->PotSettings.page(), form->ButtSettings.page()};
    for (QWidget* page : pages) {
        form->PageControl->setCurrentWidget(page);
        EXPECT_EQ(form->findChild<QAction*>("CopyPotAction")->isEnabled(), page != form->FileSheet);
    }
    form->findChild<QAction*>("HintsAction")->trigger();
    EXPECT_EQ(form->PageControl->currentWidget(), static_cast<QWidget*>(form->HelpTabSheet.page()));
}

// The desk window has no menu of its own: undo and redo reach the bank from there too.
TEST_F(BankDocumentTest, UndoAndRedoWorkFromTheDeskWindow) {
    TKnob* knob = deskKnob(6);
    const BankRecord before = form->record;
    dragKnob(knob, {{5, 30}, {30, 5}});
    const BankRecord after = form->record;
    ASSERT_NE(after, before);
    QWidget* desk = knob->window();
    QApplication::setActiveWindow(desk);
    ASSERT_TRUE(QTest::qWaitForWindowActive(desk));
    QTest::keySequence(desk, QKeySequence("Ctrl+Z"));
    EXPECT_EQ(form->record, before);
    EXPECT_EQ(knob->Position(), before.initialValue(6));
    QTest::keySequence(desk, QKeySequence("Ctrl+Y"));
    EXPECT_EQ(form->record, after);
}

// Open Recent lists the last ten banks opened or stored, newest first, kept between runs.
TEST_F(BankDocumentTest, OpenRecentKeepsTheLastTenBanks) {
    QStringList paths;
    for (int n = 1; n <= 12; ++n)
        paths.prepend(file(QStringLiteral("bank%1.syx").arg(n).toLatin1().constData(), "RECENT"));
    for (auto path = paths.rbegin(); path != paths.rend(); ++path)
        form->openSysexFile(*path);
    form->storeSysexFile(paths.at(4), 1); // stored again: first once more
    QStringList expected = paths.mid(0, 10);
    expected.move(4, 0);
    EXPECT_EQ(form->RecentFiles, expected);
    QStringList shown;
    for (QAction* item : form->RecentMenu->actions())
        shown << item->toolTip();
    EXPECT_EQ(shown, expected);
    form->close();
    QFile::remove(expected.takeLast()); // a file gone since is dropped
    TForm1 next(TForm1::Options{settingsFile});
    EXPECT_EQ(next.RecentFiles, expected);
    // Two files of one name in different folders tell apart.
    EXPECT_TRUE(next.RecentMenu->actions().at(0)->text().endsWith(
        "(" + QDir::toNativeSeparators(dir.path()) + ")"));
    next.RecentMenu->actions().at(1)->trigger();
    EXPECT_EQ(next.record.bankName(), "RECENT");
    EXPECT_EQ(next.RecentFiles.first(), expected.at(1));
}

// The history is bounded: the oldest steps go, the rest still undo to where they began.
TEST(BankHistoryBound, KeepsTheLastThousandSteps) {
    BankRecord record;
    BankHistory history(record);
    std::vector<BankRecord> states{record};
    for (int n = 0; n < BankHistory::kUndoLimit + 5; ++n) {
        record.bytes()[n % 2048] = static_cast<std::uint8_t>(n % 127 + 1);
        history.commit();
        states.push_back(record);
    }
    EXPECT_EQ(history.stack().count(), BankHistory::kUndoLimit);
    while (history.stack().canUndo())
        history.stack().undo();
    EXPECT_EQ(record, states.at(5));
    EXPECT_TRUE(history.modified());
}

// The document alone, without a window: a view's pending values join the next step, and a store
// or an upload is the saved state only with the bytes that went out.
TEST(BankDocumentAlone, PendingValuesJoinTheStepAndSavesFollowWhatWentOut) {
    BankDocument document;
    std::uint8_t pending = 0;
    document.setPendingEdits([&] { document.record().bytes()[0] = pending; });
    QStringList origins;
    QObject::connect(&document, &BankDocument::originChanged, &document,
                     [&](const BankOrigin& origin) { origins << origin.caption({}); });
    pending = 5;
    EXPECT_TRUE(document.hasUnsavedEdits());
    EXPECT_EQ(document.history().stack().count(), 1);
    document.storedTo(QStringLiteral("/x/bank-004.syx"));
    EXPECT_FALSE(document.hasUnsavedEdits());
    EXPECT_EQ(document.origin().bank, 4);
    pending = 6;
    document.commit();
    document.sentTo(9, false); // the record changed while it went out
    EXPECT_TRUE(document.hasUnsavedEdits());
    document.sentTo(9, true);
    EXPECT_FALSE(document.hasUnsavedEdits());
    EXPECT_EQ(origins.size(), 2); // stored, then sent to bank 9; the second send changed nothing
    document.undo();
    EXPECT_EQ(document.record().bytes()[0], 5);
}
