#include "custom_desk.h"
#include "desk_dump.h"
#include "desk_host.h"
#include "desk_picture.h"
#include "dip_switch.h"
#include "fader_desk.h"
#include "file_bytes.h"
#include "knob.h"
#include "lcd_label.h"
#include "settings_file.h"
#include "virtual_box.h"
#include "vr_bitmap_dial.h"
#include "vr_bitmap_list.h"

#include <QAccessible>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct DeskFileHost : DeskHost {
    std::vector<ShortMessage> sent;
    QString deskFile;
    QStringList log;
    bool hideEditor = false;
    std::vector<bool> editorVisible;
    void sendShortMessage(const ShortMessage& m) override { sent.push_back(m); }
    void potValueChanged(int, int) override {}
    void editPot(int) override {}
    void editButton(int) override {}
    bool motorizedPots() const override { return true; }
    QString customDeskFile() const override { return deskFile; }
    bool hideEditorWithDesk() const override { return hideEditor; }
    void setEditorVisible(bool visible) override { editorVisible.push_back(visible); }
    void WriteMsg(const QString& line) override { log << line; }
};

class CustomDesk : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 1; n <= 64; ++n)
            bank.setPot(n, {0x30, std::uint8_t(n), 0, 127});
        knobSkins.Add(QImage(1536, 44, QImage::Format_RGB32));
        box.setSkinLists({&knobSkins, &buttonSkins});
    }
    // Writes the desk file and builds the desk the way the Virtual Box button does.
    TCustomDesk& build(const QByteArray& text) {
        host.deskFile = dir.filePath("desk.vpt");
        EXPECT_TRUE(writeFileBytes(host.deskFile, text));
        box.GenerateFaderDeskExecute();
        EXPECT_NE(box.customDesk(), nullptr);
        return *box.customDesk();
    }
    void writeSkin(const QString& name, QSize size) {
        QImage skin(size, QImage::Format_RGB888);
        skin.fill(Qt::red);
        ASSERT_TRUE(skin.save(dir.filePath(name), "BMP"));
    }

    QTemporaryDir dir;
    BankRecord bank;
    DeskFileHost host;
    TVrBitmapList knobSkins, buttonSkins;
    VirtualBox box{bank, host};
};

TEST_F(CustomDesk, FormOnlyFileGivesAnEmptyWindowAndTheStandardDeskStaysHidden) {
    TCustomDesk& desk = build("[Form]\n");
    EXPECT_EQ(desk.geometry().size(), QSize(100, 100));
    EXPECT_EQ(desk.pos(), QPoint(100, 100));
    EXPECT_EQ(desk.windowTitle(), "Default Caption");
    EXPECT_TRUE(desk.isVisible());
    EXPECT_FALSE(box.FaderDesk().isVisible());
    EXPECT_TRUE(box.deskVisible());
    EXPECT_TRUE(desk.controls.empty());
}

TEST_F(CustomDesk, SecondSectionKnobActsAsPotOneWithItsLaterValueLabel) {
    build("[Form]\n[K]\nType=Knob\n[k]\nType=knob\n[L]\nType=Label\nTag=2001\n");
    auto* knob = box.registry().as<TKnob>(1);
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(knob->Caption(), "2");
    EXPECT_EQ(knob->geometry(), QRect(30, 30, 25, 25));
    EXPECT_EQ(knob->PositionLabel(), box.registry().as<QLabel>(2001));
    EXPECT_EQ(box.customDesk()->controls.size(), 2u); // lower-case "knob" builds nothing
    knob->SetPosition(100);
    EXPECT_EQ(host.sent, (std::vector<ShortMessage>{{0xB0, 1, 100}}));
    EXPECT_EQ(bank.initialValue(1), 100);
    EXPECT_TRUE(box.registry().as<QLabel>(2001)->text().startsWith("100 "));
}

TEST_F(CustomDesk, OnlyTheLastLcdLabelReceivesTheLcdText) {
    build("[Form]\n[A]\nType=LCDLabel\nCaption=first\n[B]\nType=LCDLabel\nCaption=second\n"
          "[K]\nType=Knob\nTag=3\n");
    const auto lcds = box.customDesk()->findChildren<TLCDLabel*>();
    ASSERT_EQ(lcds.size(), 2);
    box.registry().as<TKnob>(3)->SetPosition(64);
    EXPECT_EQ(lcds[0]->caption(), "first");
    EXPECT_TRUE(lcds[1]->caption().startsWith("Potmeter Moved  "))
        << lcds[1]->caption().toStdString();
    EXPECT_EQ(box.registry().at(10100 + 1), nullptr); // LCD labels are never entered
}

TEST_F(CustomDesk, ButtonOutsideItsRangeIsShownNotEnteredAndPlaysItsPot) {
    build("[Form]\n[B]\nType=Button\nTag=5\nCaption=Five\n[C]\nType=Button\n");
    const auto buttons = box.customDesk()->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_TRUE(buttons[0]->isVisible());
    EXPECT_EQ(box.registry().at(5), nullptr);
    EXPECT_EQ(box.registry().at(1003), buttons[1]); // p = 2: Tag 1003 lies in 1001..1999
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    EXPECT_EQ(host.sent, (std::vector<ShortMessage>{{0xB0, 5, 1}}));
    EXPECT_EQ(buttons[0]->accessibleName(), "Five, pot 5");
}

TEST_F(CustomDesk, ButtonsNamedOnlyByTheirNumberHideTheCaptionTheyShow) {
    build("[Form]\n[A]\nType=Button\nTag=1006\nCaption=Pad Six\n[B]\nType=SkinButton\nTag=1007\n"
          "Caption=Hint only\n[C]\nType=Button\nTag=3000\nCaption=Loose\n");
    const auto& controls = box.customDesk()->controls;
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(controls[0]->accessibleName(), "Pad Six, button 6");
    EXPECT_EQ(controls[1]->accessibleName(), "Button 7"); // a skinned button shows no caption
    EXPECT_EQ(controls[1]->accessibleDescription(), "Hint only");
    EXPECT_EQ(controls[2]->accessibleName(), "Loose");
}

TEST_F(CustomDesk, LabelsKeepTheirFirstWidthAndName) {
    build("[Form]\nWidth=400\n[K]\nType=Knob\nTag=1\nCaption=2\n[L]\nType=Label\nTag=2001\n"
          "Caption=3\n[D]\nType=SkinKnob\nTag=2\n[M]\nType=Label\nTag=2002\nCaption=0\n");
    box.registry().as<TKnob>(1)->SetPosition(100);
    box.registry().as<TVrBitmapDial>(2)->SetPosition(127);
    for (const auto& [tag, text] : {std::pair{2001, "100 2"}, {2002, "127"}}) {
        auto* label = box.registry().as<QLabel>(tag);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), text);
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(text)) << text;
        EXPECT_EQ(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), text);
    }
}

// Rows and characters follow the size the file asks for, in the dots the file asks for.
TEST_F(CustomDesk, LcdLabelsShowOneLineOfTenWhateverTheFileAsks) {
    struct Case {
        const char* keys;
        int lines, chars;
    };
    for (const Case& c : {Case{"Width=182\nHeight=66\n", 4, 16},
                          Case{"Width=260\nHeight=100\nPixelSize=1\nBorderSpace=4\n"
                               "CharSpacing=1\n",
                               4, 16},
                          Case{"Width=120\nHeight=40\n", 2, 10}}) {
        build(QByteArray("[Form]\nWidth=400\nHeight=300\n[D]\nType=LCDLabel\n") + c.keys);
        TLCDLabel* lcd = box.customDesk()->lastLcd;
        ASSERT_NE(lcd, nullptr);
        EXPECT_EQ(lcd->textLines(), c.lines) << c.keys;
        EXPECT_EQ(lcd->noOfChars(), c.chars) << c.keys;
        EXPECT_EQ(lcd->accessibleName(), "Dot-matrix display");
    }
}

TEST_F(CustomDesk, SkinnedControlsPlayFromTheKeyboardAndReportTheirValue) {
    bank.setButton(3, {0x10, 0x3C, 0x7F, 0});
    build("[Form]\n[D]\nType=SkinKnob\nTag=2\nCaption=Cutoff\n[B]\nType=SkinButton\nTag=1003\n");
    auto* dial = box.registry().as<TVrBitmapDial>(2);
    ASSERT_NE(dial, nullptr);
    QTest::keyClick(dial, Qt::Key_Up);
    QTest::keyClick(dial, Qt::Key_PageUp);
    QTest::keyClick(box.customDesk()->controls[1], Qt::Key_Space);
    // The dial reports a change only when its shown percentage moves: one step of 127 does not.
    EXPECT_EQ(host.sent,
              (std::vector<ShortMessage>{{0xB0, 2, 11}, {0x90, 0x3C, 0x7F}, {0x90, 0x3C, 0}}));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(dial);
    ASSERT_NE(accessible->valueInterface(), nullptr);
    EXPECT_EQ(accessible->valueInterface()->currentValue(), 11);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Pot 2");
    EXPECT_EQ(accessible->text(QAccessible::Description), "Cutoff");
}

TEST_F(CustomDesk, RebuildsAppendSkinsAgainButShareTheirPixels) {
    writeSkin("knob.bmp", {320, 32});
    const QByteArray text =
        "[Form]\n[S]\nType=KnobSkin\nFileName=knob.bmp\n[D]\nType=SkinKnob\nTag=1\n"
        "SkinID=1\nSkinImageCount=10\n[Gone]\nType=KnobSkin\nFileName=none.bmp\n";
    build(text);
    build(text);
    ASSERT_EQ(knobSkins.Count(), 3); // built-in, then one per build
    EXPECT_EQ(knobSkins.GetBitmap(1)->constBits(), knobSkins.GetBitmap(2)->constBits());
    auto* dial = box.registry().as<TVrBitmapDial>(1);
    ASSERT_NE(dial, nullptr);
    EXPECT_EQ(dial->BitmapIndex(), 1);
    EXPECT_EQ(dial->size(), QSize(32, 32)); // sizes itself to one frame
    EXPECT_EQ(dial->MaxValue(), 127);
}

TEST_F(CustomDesk, HostileDesksGiveAUsableWindowAndALogLine) {
    writeSkin("tiny.bmp", {4, 4});
    build("[Form]\nWidth=999999\n[P]\nType=Image\nFileName=logo.wmf\n[Q]\nType=Image\nFileName=x."
          "jpg\n"
          "[S]\nType=ButtonSkin\nFileName=tiny.bmp\n[B]\nType=SkinButton\nSkinID=7\n"
          "[C]\nType=SkinButton\nSkinImageCount=99\n[D]\nType=DipSwitch\nTag=-4\nBitCount=77\n");
    writeFileBytes(dir.filePath("logo.wmf"), "not a metafile");
    writeFileBytes(dir.filePath("x.jpg"), "\xFF\xD8\xFF garbage");
    TCustomDesk& desk = *box.customDesk();
    box.NewFormFromINIExecute(); // again, now that the pictures exist
    EXPECT_NE(box.customDesk(), &desk);
    EXPECT_LE(box.customDesk()->width(), 16384);
    EXPECT_EQ(box.customDesk()->findChildren<TDipSwitch*>()[0]->GetBitCount(), 32);
    EXPECT_EQ(box.registry().at(-4), nullptr);
    box.customDesk()->grab(); // everything paints
    const QString all = host.log.join('\n');
    EXPECT_TRUE(all.contains("Width=999999 is out of range")) << all.toStdString();
    EXPECT_TRUE(all.contains("Windows metafile, which cannot be drawn on this platform"));
    EXPECT_TRUE(all.contains("is not a readable JPEG picture"));
}

// Closing the desk brings the editor back only when the desk hid it: a closed editor stays closed.
TEST_F(CustomDesk, ClosingTheDeskHidesItAndBringsTheEditorBack) {
    for (const bool hideEditor : {true, false}) {
        host.hideEditor = hideEditor;
        host.editorVisible.clear();
        build("[Form]\n").close();
        EXPECT_EQ(host.editorVisible,
                  (hideEditor ? std::vector<bool>{false, true} : std::vector<bool>{}));
        EXPECT_FALSE(box.customDesk()->isVisible());
    }
}

TEST_F(CustomDesk, DumpOfTheStandardDeskWritesEveryKnownControl) {
    box.GenerateFaderDeskExecute();
    const auto dump = describeDesk(box.FaderDesk());
    std::map<QString, std::vector<int>> tagsByPrefix;
    for (qsizetype i = 0; i < dump.size(); ++i) {
        const auto write = dump.at(i);
        if (write.key != "Tag") continue;
        const QString section = QString::fromUtf8(write.section);
        tagsByPrefix[section.left(section.indexOf('_') + 1)].push_back(write.value.toInt());
    }
    auto range = [](int first, int last, std::vector<int> extra) {
        for (int t = first; t <= last; ++t)
            extra.push_back(t);
        std::sort(extra.begin(), extra.end());
        return extra;
    };
    for (auto& [prefix, tags] : tagsByPrefix)
        std::sort(tags.begin(), tags.end());
    EXPECT_EQ(tagsByPrefix["Knob_"], range(1, 64, {-99}));
    EXPECT_EQ(tagsByPrefix["Label_"], range(2001, 2064, {-1}));
    EXPECT_EQ(tagsByPrefix["Button_"], range(1001, 1064, {}));
    EXPECT_EQ(tagsByPrefix["LCDLabel_"], std::vector<int>{-10});
    EXPECT_EQ(tagsByPrefix.size(), 4u); // the plain LCD panel is skipped

    const QString path = dir.filePath("customdesk.ini");
    writeFileBytes(path, "; mine\n[Form]\nCaption=old\nColor=$FF\n[Extra]\nKey=kept\n");
    ASSERT_TRUE(writeDeskDump(dump, path));
    const SettingsFile written(path);
    EXPECT_EQ(written.value("Form", "Caption"), "Virtual Pultron : Kelmo's FaderDesk");
    EXPECT_EQ(written.value("Form", "Color"), "$FF");
    EXPECT_EQ(written.value("Extra", "Key"), "kept");
    EXPECT_EQ(written.keys("Knob_5"),
              QStringList({"Type", "Caption", "Tag", "Height", "Width", "Left", "Top"}));
    EXPECT_EQ(written.keys("LCDLabel_2").mid(1, 10),
              QStringList({"Caption", "PixelWidth", "PixelHeight", "PixelSize", "PixelOn",
                           "PixelOff", "BackGround", "BorderColor", "BorderSpace", "CharSpacing"}));
    EXPECT_TRUE(readFileBytes(path).startsWith("; mine\n"));
}

// The dump once froze the program for a second and more, writing its keys one file rewrite at a
// time; written in one pass, its bytes stay those of the key-by-key writes, also over itself.
TEST_F(CustomDesk, DumpWritesTheBytesOfWritingKeyByKey) {
    box.GenerateFaderDeskExecute();
    const auto dump = describeDesk(box.FaderDesk());
    const QByteArray before = "; mine\n[Knob_7]\nTop=1\n";
    // Memory-backed where there is such a folder: 1,400 safe writes to disk take seconds.
    const QTemporaryDir memory(QFileInfo("/dev/shm").isWritable()
                                   ? "/dev/shm/vpt64-XXXXXX"
                                   : QDir::tempPath() + "/vpt64-XXXXXX");
    const QString expected = memory.filePath("key-by-key.ini");
    writeFileBytes(expected, before);
    SettingsFile file(expected);
    for (qsizetype i = 0; i < dump.size(); ++i) {
        const auto write = dump.at(i);
        ASSERT_TRUE(file.setValue(QString::fromUtf8(write.section), QString::fromUtf8(write.key),
                                  QString::fromUtf8(write.value)));
    }
    const QString dumped = dir.filePath("customdesk.ini");
    writeFileBytes(dumped, before);
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(writeDeskDump(dump, dumped));
        EXPECT_EQ(readFileBytes(dumped), readFileBytes(expected));
    }
}

TEST_F(CustomDesk, ExampleDesksBuildWithTheirSkinsAndPictures) {
    const auto pictures = exampleDeskPictures(VPT64_EXAMPLE_DESKS);
    ASSERT_EQ(pictures.size(), 3);
    EXPECT_EQ(pictures[0].first, "desk_minimal");
    EXPECT_EQ(pictures[1].first, "desk_mixer");
    EXPECT_EQ(pictures[2].first, "desk_pads");
    EXPECT_EQ(pictures[1].second.size(), QSize(460, 300));

    host.deskFile = QStringLiteral(VPT64_EXAMPLE_DESKS) + "/mixer.vpt";
    box.GenerateFaderDeskExecute();
    EXPECT_TRUE(host.log.isEmpty()) << host.log.join('\n').toStdString();
    auto* dial = box.registry().as<TVrBitmapDial>(8);
    ASSERT_NE(dial, nullptr);
    EXPECT_EQ(dial->frameWidth(), 32);
    EXPECT_EQ(box.customDesk()->findChildren<DeskPicture*>()[1]->picture().size(), QSize(48, 36));
}

// At a glance: every example LCD shows the controller's four lines of sixteen, and unlit pads
// differ from the desk behind them.
TEST_F(CustomDesk, ExampleDesksShowOneShortLcdLineAndPadsLostInTheirDesk) {
    for (const char* name : {"minimal.vpt", "mixer.vpt", "pads.vpt"}) {
        host.deskFile = QStringLiteral(VPT64_EXAMPLE_DESKS "/") + name;
        box.GenerateFaderDeskExecute();
        TLCDLabel* lcd = box.customDesk()->lastLcd;
        ASSERT_NE(lcd, nullptr) << name;
        EXPECT_EQ(lcd->textLines(), 4) << name;
        EXPECT_GE(lcd->noOfChars(), 16) << name;
    }
    const QImage* pad = buttonSkins.GetBitmap(buttonSkins.Count() - 1);
    ASSERT_NE(pad, nullptr);
    const QColor unlit = pad->pixelColor(20, 20);
    const QColor desk = box.customDesk()->palette().color(QPalette::Window);
    EXPECT_GE(std::abs(unlit.lightness() - desk.lightness()), 48)
        << unlit.name().toStdString() << " on " << desk.name().toStdString();
}

// The fuzzing seeds and every input the fuzzer found a fault with: each builds a window that
// paints, or is refused with a reason.
TEST(DeskFileCorpus, EveryFileBuildsAUsableWindowOrIsRefused) {
    const QDir corpus(QStringLiteral(VPT64_DESK_CORPUS));
    const auto files = corpus.entryInfoList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QFileInfo& file : files) {
        SCOPED_TRACE(file.fileName().toStdString());
        QString problem;
        const auto desk = desk_file::readDeskFile(file.filePath(), &problem);
        if (!desk) {
            EXPECT_FALSE(problem.isEmpty());
            continue;
        }
        TVrBitmapList knobSkins, buttonSkins;
        ControlRegistry registry;
        const auto window = CustomDeskBuilder().build(*desk, registry, {&knobSkins, &buttonSkins},
                                                      QSize(1920, 1080));
        EXPECT_LE(window->width(), 1920);
        EXPECT_FALSE(window->grab().isNull());
    }
}

} // namespace
