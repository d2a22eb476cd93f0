#include "desk_description.h"
#include "file_bytes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace desk_file;

namespace {

class DeskDescriptionTest : public ::testing::Test {
protected:
    DeskDescription read(const QByteArray& text) {
        const QString path = dir.filePath(QStringLiteral("desk.vpt"));
        EXPECT_TRUE(writeFileBytes(path, text));
        QString problem;
        const auto desk = readDeskFile(path, &problem);
        EXPECT_TRUE(desk) << problem.toStdString();
        return desk.value_or(DeskDescription{});
    }
    QTemporaryDir dir;
};

TEST_F(DeskDescriptionTest, FormOnlyGivesTheDefaultWindowWithItsCaption) {
    const DeskDescription plain = read("[Form]\n");
    EXPECT_EQ(plain.window.geometry, QRect(100, 100, 100, 100));
    EXPECT_EQ(plain.window.caption, "Default Caption");
    EXPECT_EQ(plain.window.color, kButtonFaceColour);
    EXPECT_TRUE(plain.objects.empty());
    EXPECT_EQ(read("[form]\ncaption=Mine\nAutoSize=1\n").window.caption, "Mine");
}

TEST_F(DeskDescriptionTest, DefaultsFollowTheTypeAndTheSectionPosition) {
    struct Case {
        const char* type;
        int tag;
        const char* caption;
        std::optional<QSize> size;
        QPoint topLeft;
        bool transparent;
    };
    const Case cases[] = {
        {"Button", 1003, "2", QSize(25, 25), {60, 30}, false},
        {"SkinButton", 1003, "2", QSize(25, 25), {60, 30}, true},
        {"Knob", 2, "3", QSize(25, 25), {60, 30}, false},
        {"SkinKnob", 2, "3", std::nullopt, {60, 30}, true},
        {"Label", 2003, "2", QSize(25, 25), {60, 30}, false},
        {"LCDLabel", 10102, "2", QSize(25, 25), {60, 30}, false},
        {"Image", 10102, "", QSize(10, 10), {0, 0}, true},
        {"DipSwitch", 10102, "", QSize(25, 25), {60, 30}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        // p = 2: [Form] and an empty section come first.
        const DeskDescription desk =
            read("[Form]\n[Nothing]\n[X]\nType=" + QByteArray(c.type) + "\n");
        ASSERT_EQ(desk.objects.size(), 1u);
        const DeskObject& o = desk.objects[0];
        EXPECT_EQ(o.position, 2);
        EXPECT_EQ(o.tag, c.tag);
        EXPECT_EQ(o.caption, c.caption);
        EXPECT_EQ(o.size, c.size);
        EXPECT_EQ(o.topLeft, c.topLeft);
        EXPECT_EQ(o.transparent, c.transparent);
    }
    const DeskDescription dip = read("[Form]\n[D]\nType=DipSwitch\nBitCount=2\nBitOnLabel1=Up\n");
    EXPECT_EQ(dip.objects[0].onLabels, QStringList({"0: ON", "Up"}));
    EXPECT_EQ(dip.objects[0].offLabels, QStringList({"0: OFF", "1: OFF"}));
    const DeskDescription skins =
        read("[Form]\n[S]\nType=KnobSkin\n[B]\nType=ButtonSkin\nFileName=sub\\b.bmp\n");
    EXPECT_EQ(skins.objects[0].fileName, dir.path() + "/defaultknobskin.bmp");
    EXPECT_EQ(skins.objects[1].fileName, dir.path() + "/sub/b.bmp");
}

TEST_F(DeskDescriptionTest, KnobAsSecondSectionAndItsValueLabel) {
    const DeskDescription desk =
        read("[Form]\n[K]\nType=Knob\n[L]\nType=Label\nTag=2001\n[k2]\nType=knob\n");
    ASSERT_EQ(desk.objects.size(), 2u); // Type is compared with its letter case
    EXPECT_EQ(desk.objects[0].kind, Kind::Knob);
    EXPECT_EQ(desk.objects[0].tag, 1);
    EXPECT_EQ(desk.objects[0].caption, "2");
    EXPECT_EQ(desk.objects[0].size, QSize(25, 25));
    EXPECT_EQ(desk.objects[0].topLeft, QPoint(30, 30));
    EXPECT_EQ(desk.objects[1].tag, 2001);
}

TEST_F(DeskDescriptionTest, NumbersAndColoursAsWindowsWritesThem) {
    const std::pair<const char*, int> tags[] = {{"12", 12}, {"0x1F", 31}, {"0X1f", 31}, {"$10", 16},
                                                {"-3", -3}, {"x", 1},     {"", 1}};
    for (const auto& [text, tag] : tags)
        EXPECT_EQ(read("[Form]\n[K]\nType=Knob\nTag=" + QByteArray(text) + "\n").objects[0].tag,
                  tag)
            << text;
    const DeskObject lcd = read("[Form]\n[L]\nType=LCDLabel\nPixelOn=$FF0000\n").objects[0];
    EXPECT_EQ(rgbOf(lcd.lcd.pixelOn), 0x0000FFu); // blue
    EXPECT_EQ(rgbOf(lcd.lcd.borderColor), 0x0000FFu);
    EXPECT_EQ(windowsColourOf(0x123456), 0x563412u);
}

TEST_F(DeskDescriptionTest, HostileValuesAreBoundedAndReported) {
    const DeskDescription desk =
        read("[Form]\nWidth=99999999\nHeight=-5\n[D]\nType=DipSwitch\nBitCount=4000\n"
             "Tag=999999999999\nLeft=-70000\n[S]\nType=SkinButton\nSkinImageCount=$7FFFFFFF\n"
             "Caption=" +
             QByteArray(300, 'c') + "\n");
    EXPECT_EQ(desk.window.geometry.size(), QSize(kMaxExtent, 0));
    EXPECT_EQ(desk.objects[0].onLabels.size(), kMaxBits);
    EXPECT_EQ(desk.objects[0].tag, 1000000000);
    EXPECT_EQ(desk.objects[0].topLeft.x(), -kMaxExtent);
    EXPECT_EQ(desk.objects[1].skinImageCount, kMaxSkinFrames);
    EXPECT_EQ(desk.objects[1].caption.size(), kMaxTextLength);
    EXPECT_EQ(desk.problems.size(), 7);
    EXPECT_EQ(desk.problems[0], "Desk section [Form]: Width=99999999 is out of range, 16384 used");
}

TEST_F(DeskDescriptionTest, FilesThatAreNoDeskAreRefusedWithAReason) {
    QString problem;
    EXPECT_FALSE(readDeskFile(dir.filePath("missing.vpt"), &problem));
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_FALSE(readDeskFile(dir.path(), &problem)); // a folder is no desk file
    const QString big = dir.filePath("big.vpt");
    writeFileBytes(big, QByteArray(kMaxFileBytes + 1, ' '));
    EXPECT_FALSE(readDeskFile(big, &problem));
    EXPECT_TRUE(problem.contains("too large"));
    const QString many = dir.filePath("many.vpt");
    writeFileBytes(many, QByteArray("[s]\n").repeated(3 * kMaxSections));
    EXPECT_FALSE(readDeskFile(many, &problem));
    EXPECT_TRUE(problem.contains("too many sections"));
}

// A UTF-16 file has a zero byte before or after each "[": its headers were once not counted.
TEST_F(DeskDescriptionTest, TooManySectionsAreCountedInUtf16FilesToo) {
    const QString text = QStringLiteral("[s]\r\n").repeated(3 * kMaxSections);
    for (const bool little : {true, false}) {
        QByteArray bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const QChar c : text) {
            const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
            bytes.append(little ? low : high).append(little ? high : low);
        }
        const QString path = dir.filePath("many16.vpt");
        ASSERT_TRUE(writeFileBytes(path, bytes));
        QString problem;
        EXPECT_FALSE(readDeskFile(path, &problem));
        EXPECT_EQ(problem, QStringLiteral("Desk file %1 has too many sections (%2)")
                               .arg(path)
                               .arg(3 * kMaxSections));
    }
}

} // namespace
