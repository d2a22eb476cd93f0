#include "lcd_label.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray header(qint32 cols, qint32 rows, qint32 first, qint32 last) {
    QByteArray bytes(16, '\0');
    for (int i = 0; const qint32 value : {cols, rows, first, last})
        qToLittleEndian(value, bytes.data() + 4 * i++);
    return bytes;
}

// A 3 x 2 font for codes 65..66: 'A' lights its diagonal, 'B' only its last dot. 0 is lit.
QByteArray smallFont() {
    QByteArray bytes = header(3, 2, 65, 66);
    bytes += QByteArray::fromRawData("\x00\x01\x01\x01\x00\x01", 6);
    bytes += QByteArray::fromRawData("\x01\x01\x01\x01\x01\x00", 6);
    return bytes;
}

class LcdFontFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_lcd.setRefusalDialogsEnabled(false);
    }

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_dir;
    TLCDLabel m_lcd;
};

} // namespace

TEST_F(LcdFontFile, LoadsGlyphsWithZeroAsLitDot) {
    m_lcd.setFilename(write("small.fnt", smallFont()));
    EXPECT_EQ(m_lcd.dotMatrix(), Lcd::CustomFont);
    EXPECT_EQ(m_lcd.glyphCols(), 3);
    EXPECT_EQ(m_lcd.glyphRows(), 2);
    EXPECT_EQ(m_lcd.firstCode(), 65);
    EXPECT_EQ(m_lcd.lastCode(), 66);
    // Cells use 2 x 2 dots with spacing 1: 3 dots make 8 pixels, 2 rows 5.
    EXPECT_EQ(m_lcd.cellWidth(), 8);
    EXPECT_EQ(m_lcd.cellHeight(), 5);

    const auto font = LcdFont::fromFile(m_lcd.filename(), nullptr);
    ASSERT_TRUE(font);
    EXPECT_TRUE(font->isLit('A', 0, 0));
    EXPECT_FALSE(font->isLit('A', 0, 1));
    EXPECT_TRUE(font->isLit('A', 1, 1));
    EXPECT_FALSE(font->isLit('B', 0, 0));
    EXPECT_TRUE(font->isLit('B', 1, 2));

    m_lcd.setCaption(QStringLiteral("\x01"
                                    "AZ"));
    EXPECT_EQ(m_lcd.cellCode(0), 65);
    EXPECT_EQ(m_lcd.cellCode(1), 65);
    EXPECT_EQ(m_lcd.cellCode(2), 66);
}

TEST_F(LcdFontFile, MalformedFilesAreRefusedAndThePreviousFontStays) {
    const QByteArray glyphs5x7(95 * 35, '\x01');
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"empty", {}},
        {"short header", header(5, 7, 32, 126).left(10)},
        {"truncated glyphs", header(5, 7, 32, 126) + glyphs5x7.left(100)},
        {"zero width", header(0, 7, 32, 126) + glyphs5x7},
        {"negative height", header(5, -7, 32, 126) + glyphs5x7},
        {"too wide", header(65, 7, 32, 32) + QByteArray(65 * 7, '\x01')},
        {"huge", header(0x7fffffff, 0x7fffffff, 0, 255)},
        {"negative first code", header(5, 7, -1, 126) + glyphs5x7},
        {"last code above 255", header(5, 7, 32, 256) + glyphs5x7},
        {"first above last", header(5, 7, 100, 99) + glyphs5x7},
    };
    m_lcd.setDotMatrix(Lcd::Hitachi);
    QSignalSpy refused(&m_lcd, &TLCDLabel::fontFileRefused);
    for (const auto& file : files) {
        const QString path = write(QString::fromLatin1(file.name), file.bytes);
        m_lcd.setFilename(path);
        EXPECT_EQ(refused.count(), 1) << file.name;
        if (!refused.isEmpty()) {
            EXPECT_EQ(refused.takeFirst().at(0).toString(), path);
        }
        EXPECT_EQ(m_lcd.dotMatrix(), Lcd::Hitachi) << file.name;
        EXPECT_EQ(m_lcd.glyphCols(), 5) << file.name;
        EXPECT_EQ(m_lcd.lastCode(), 255) << file.name;
        EXPECT_TRUE(m_lcd.filename().isEmpty()) << file.name;
    }
    m_lcd.setFilename(m_dir.filePath("missing.fnt"));
    EXPECT_EQ(refused.count(), 1);
    EXPECT_EQ(m_lcd.dotMatrix(), Lcd::Hitachi);
}

TEST_F(LcdFontFile, LargestGlyphsAndFullCodeRangeAreAccepted) {
    const QByteArray bytes = header(64, 64, 0, 255) + QByteArray(256 * 64 * 64, '\x01');
    m_lcd.setFilename(write("large.fnt", bytes));
    EXPECT_EQ(m_lcd.dotMatrix(), Lcd::CustomFont);
    EXPECT_EQ(m_lcd.glyphCols(), 64);
    EXPECT_EQ(m_lcd.lastCode(), 255);
}

TEST_F(LcdFontFile, RefusedFontFileKeepsPreviousCustomFont) {
    const QString good = write("small.fnt", smallFont());
    m_lcd.setFilename(good);
    ASSERT_EQ(m_lcd.dotMatrix(), Lcd::CustomFont);
    m_lcd.setFilename(write("bad.fnt", header(5, 7, 32, 126)));
    EXPECT_EQ(m_lcd.dotMatrix(), Lcd::CustomFont);
    EXPECT_EQ(m_lcd.glyphCols(), 3);
    EXPECT_EQ(m_lcd.firstCode(), 65);
    EXPECT_EQ(m_lcd.filename(), good);
}

TEST_F(LcdFontFile, SelectingCustomFontNeedsAFileName) {
    m_lcd.setDotMatrix(Lcd::mat9x12);
    m_lcd.setDotMatrix(Lcd::CustomFont);
    EXPECT_EQ(m_lcd.dotMatrix(), Lcd::mat9x12);
    EXPECT_EQ(m_lcd.glyphCols(), 9);

    // With a file name, choosing the custom font again reads the file again.
    const QString path = write("small.fnt", smallFont());
    m_lcd.setFilename(path);
    m_lcd.setDotMatrix(Lcd::dos5x7);
    EXPECT_EQ(m_lcd.glyphCols(), 5);
    QByteArray wider = header(4, 2, 65, 65) + QByteArray(8, '\x00');
    write("small.fnt", wider);
    m_lcd.setDotMatrix(Lcd::CustomFont);
    EXPECT_EQ(m_lcd.dotMatrix(), Lcd::CustomFont);
    EXPECT_EQ(m_lcd.glyphCols(), 4);
}
