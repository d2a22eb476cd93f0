#include "built_in_skins.h"
#include "qt_test_helpers.h"
#include "skin_bitmap.h"
#include "skin_test_support.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"
#include "vr_bitmap_list.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// A 24-bit Windows bitmap header for width x height, followed by dataBytes bytes of pixels.
QByteArray bitmapFile(qint32 width, qint32 height, int dataBytes) {
    QByteArray bytes(54, '\0');
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, bytes.data() + at); };
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, bytes.data() + at); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<quint32>(54 + dataBytes));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<quint32>(width));
    put32(22, static_cast<quint32>(height));
    put16(26, 1);
    put16(28, 24);
    bytes.append(QByteArray(dataBytes, '\x40'));
    return bytes;
}

int rowBytes(int width) {
    return (width * 3 + 3) / 4 * 4;
}

class SkinFile : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SkinFile, WellFormedBitmapIsRead) {
    const QString path = write(QStringLiteral("ok.bmp"), bitmapFile(8, 4, rowBytes(8) * 4));
    QString error;
    const QImage image = readSkinBitmap(path, &error);
    ASSERT_FALSE(image.isNull()) << error.toStdString();
    EXPECT_EQ(image.size(), QSize(8, 4));
    EXPECT_EQ(colourAt(image, 3, 2), QColor(0x40, 0x40, 0x40).name());
}

TEST_F(SkinFile, BuiltInKnobSkinSurvivesABitmapFile) {
    const QString path = m_dir.filePath(QStringLiteral("knob.bmp"));
    ASSERT_TRUE(builtInKnobSkin().save(path, "BMP"));
    QString error;
    const QImage image = readSkinBitmap(path, &error);
    ASSERT_FALSE(image.isNull()) << error.toStdString();
    EXPECT_EQ(image.size(), QSize(1536, 44));
    EXPECT_EQ(image.pixel(0, 0), builtInKnobSkin().pixel(0, 0));
    EXPECT_EQ(image.pixel(24 + 48 * 5, 22), builtInKnobSkin().pixel(24 + 48 * 5, 22));
}

TEST_F(SkinFile, MalformedBitmapsAreRefusedWithAReason) {
    const std::vector<std::pair<QString, QByteArray>> files{
        {QStringLiteral("empty.bmp"), QByteArray()},
        {QStringLiteral("garbage.bmp"), QByteArray("this is not a bitmap at all, not even close")},
        {QStringLiteral("header-only.bmp"), bitmapFile(1536, 44, 0).left(20)},
        {QStringLiteral("truncated.bmp"), bitmapFile(1536, 44, rowBytes(1536) * 10)},
        {QStringLiteral("huge.bmp"), bitmapFile(100000, 100000, 64)},
        {QStringLiteral("long-strip.bmp"), bitmapFile(40000, 2, 64)},
        {QStringLiteral("zero-width.bmp"), bitmapFile(0, 44, 64)},
        {QStringLiteral("zero-height.bmp"), bitmapFile(48, 0, 64)},
        // Found by fuzzing: a header whose claimed pixel data overflowed 64 bits.
        {QStringLiteral("overflowing-size.bmp"),
         QByteArray::fromBase64("Qk1mAAAA/P//AAAAADAAAAAAAAIIMgEAGAAA/P//AAAAADAAAAAAAAIIMgEA")},
    };
    for (const auto& [name, bytes] : files) {
        QString error;
        const QImage image = readSkinBitmap(write(name, bytes), &error);
        EXPECT_TRUE(image.isNull()) << name.toStdString();
        EXPECT_FALSE(error.isEmpty()) << name.toStdString();
    }
    QString error;
    EXPECT_TRUE(readSkinBitmap(m_dir.filePath(QStringLiteral("missing.bmp")), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

TEST(SkinList, EmptySkinDrawsNothingAndKeepsLaterIndexes) {
    TVrBitmapList list;
    EXPECT_EQ(list.Add(QImage()), 0); // a skin file that could not be read
    EXPECT_EQ(list.Add(testStrip(4, 10, 10)), 1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetBitmap(2), nullptr);
    EXPECT_EQ(list.GetBitmap(-1), nullptr);

    TVrBitmapDial dial;
    dial.SetColor(QColor(0x12, 0x34, 0x56));
    dial.SetBitmapList(&list);
    dial.SetImageCount(4);
    dial.SetBitmapIndex(0);
    EXPECT_EQ(dial.frameWidth(), 0);
    EXPECT_EQ(colourAt(dial.grab().toImage(), 25, 25), QColor(0x12, 0x34, 0x56).name());
    dial.SetBitmapIndex(1);
    EXPECT_EQ(dial.frameWidth(), 10);
}

TEST(SkinList, ImageCountsWithoutUsableFramesDrawOnlyTheColour) {
    TVrBitmapList list;
    list.Add(testStrip(4, 10, 10));
    for (int count : {0, -3, 41, 1000000, INT_MAX}) {
        TVrAniButton button;
        button.SetColor(QColor(0x12, 0x34, 0x56));
        button.SetBitmapList(&list);
        button.SetBitmapIndex(0);
        button.SetImageCount(count);
        EXPECT_EQ(button.frameWidth(), 0) << count;
        EXPECT_EQ(colourAt(button.grab().toImage(), 15, 15), QColor(0x12, 0x34, 0x56).name());
    }
    TVrBitmapDial dial; // one pixel per frame still works
    dial.SetBitmapList(&list);
    dial.SetBitmapIndex(0);
    dial.SetImageCount(40);
    dial.SetPosition(100);
    EXPECT_EQ(dial.frameWidth(), 1);
    EXPECT_EQ(colourAt(dial.grab().toImage(), 24, 25), testFrameColour(3).name());
}

TEST(BuiltInSkins, StripsHaveTheirFrameGeometryAndKeyColour) {
    const QImage knob = builtInKnobSkin();
    EXPECT_EQ(knob.size(), QSize(kBuiltInKnobFrames * 48, 44));
    EXPECT_EQ(knob.depth(), 24);
    EXPECT_EQ(knob.pixel(0, 0) & RGB_MASK, kSkinKeyColour);
    EXPECT_NE(knob.pixel(24, 22) & RGB_MASK, kSkinKeyColour);          // the knob's body
    EXPECT_NE(knob.copy(0, 0, 48, 44), knob.copy(48 * 31, 0, 48, 44)); // the pointer turns
    const QImage button = builtInButtonSkin();
    EXPECT_EQ(button.size(),
              QSize(kBuiltInButtonFrames * kBuiltInButtonFrameSide, kBuiltInButtonFrameSide));
    EXPECT_EQ(button.pixel(0, 0) & RGB_MASK, kSkinKeyColour);
}
