#include "lcd_label.h"

#include <QPalette>

#include <gtest/gtest.h>

#include <set>

namespace {

const QRgb kOn = qRgb(0x10, 0x20, 0xF0);
const QRgb kOff = qRgb(0x90, 0xA0, 0x90);
const QRgb kBack = qRgb(0x30, 0xC0, 0x30);

class LcdPaint : public ::testing::Test {
protected:
    void SetUp() override {
        m_lcd.setRefusalDialogsEnabled(false);
        m_lcd.setPixelOn(QColor(kOn));
        m_lcd.setPixelOff(QColor(kOff));
        m_lcd.setBackGround(QColor(kBack));
    }

    QImage paint() { return m_lcd.grab().toImage(); }

    // Top-left screen pixel of dot (row, col) in character cell `cell` of the first line.
    QPoint dot(int cell, int row, int col) const {
        const int step = m_lcd.pixelWidth() + m_lcd.pixelSpacing();
        const int origin = m_lcd.borderSpace() + 1;
        return {origin + cell * (m_lcd.cellWidth() + m_lcd.charSpacing()) + col * step,
                origin + row * (m_lcd.pixelHeight() + m_lcd.pixelSpacing())};
    }

    TLCDLabel m_lcd;
};

} // namespace

TEST_F(LcdPaint, HitachiBarGlyphsLightTheirDotsAtTheirCellPositions) {
    m_lcd.setDotMatrix(Lcd::Hitachi);
    m_lcd.setPixelSize(Lcd::pix1x1);
    m_lcd.setBorderSpace(6);
    m_lcd.setTextLines(4);
    m_lcd.setNoOfChars(16);
    // Code 6 (k = 3): the bottom two rows lit, dots 1 and 3 of the row above; code 1 is empty.
    m_lcd.setCaption(QString(QChar(6)) + QChar(1) + QChar(15));
    const QImage image = paint();
    ASSERT_EQ(image.size(), QSize(188, 72));
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) {
            const bool lit = row >= 5 || (row == 4 && (col == 1 || col == 3));
            EXPECT_EQ(image.pixel(dot(0, row, col)), lit ? kOn : kOff) << row << "," << col;
            EXPECT_EQ(image.pixel(dot(1, row, col)), kOff) << row << "," << col;
            EXPECT_EQ(image.pixel(dot(2, row, col)), kOn) << row << "," << col;
            // The gaps between dots show the background.
            EXPECT_EQ(image.pixel(dot(2, row, col) + QPoint(1, 1)), kBack);
        }
    }
    // The first dot sits at border space + frame; line 1 starts a cell height and a gap lower.
    EXPECT_EQ(dot(0, 0, 0), QPoint(7, 7));
    EXPECT_EQ(image.pixel(7, 7 + 13 + 2), kOff);
    EXPECT_EQ(image.pixel(6, 6), kBack);
}

TEST_F(LcdPaint, CaptionWrapsOntoTheNextLine) {
    m_lcd.setDotMatrix(Lcd::dos5x7);
    m_lcd.setPixelSize(Lcd::pix1x1);
    m_lcd.setTextLines(2);
    m_lcd.setNoOfChars(2);
    m_lcd.setCaption(QString(2, QChar(32)) + QChar(219)); // code 219 is a full block
    const QImage image = paint();
    const QPoint line1 = dot(0, 0, 0) + QPoint(0, m_lcd.cellHeight() + m_lcd.lineSpacing());
    EXPECT_EQ(image.pixel(line1), kOn);
    EXPECT_EQ(image.pixel(line1 + QPoint(8, 12)), kOn);
    EXPECT_EQ(image.pixel(dot(0, 0, 0)), kOff);
}

TEST_F(LcdPaint, EachPixelShapeDrawsItsDots) {
    m_lcd.setDotMatrix(Lcd::Hitachi);
    m_lcd.setPixelSize(Lcd::pix6x6);
    m_lcd.setCaption(QString(QChar(15)) + QChar(1)); // one full cell, one empty
    const QRgb halfOn = m_lcd.halfOnColour().rgb();

    m_lcd.setPixelShape(Lcd::spSquare);
    QImage image = paint();
    EXPECT_EQ(image.pixel(dot(0, 3, 2)), kOn);
    EXPECT_EQ(image.pixel(dot(0, 3, 2) + QPoint(5, 5)), kOn);
    EXPECT_EQ(image.pixel(dot(1, 3, 2) + QPoint(5, 0)), kOff);

    m_lcd.setPixelShape(Lcd::spShaped);
    image = paint();
    EXPECT_EQ(image.pixel(dot(0, 3, 2)), halfOn);
    EXPECT_EQ(image.pixel(dot(0, 3, 2) + QPoint(3, 3)), kOn);
    EXPECT_EQ(image.pixel(dot(1, 3, 2)), kOff);
    EXPECT_EQ(image.pixel(dot(1, 3, 2) + QPoint(3, 3)), kOff);

    m_lcd.setPixelShape(Lcd::spRound);
    image = paint();
    EXPECT_EQ(image.pixel(dot(0, 3, 2)), kBack);
    EXPECT_EQ(image.pixel(dot(0, 3, 2) + QPoint(3, 3)), kOn);
    EXPECT_EQ(image.pixel(dot(1, 3, 2) + QPoint(5, 0)), kBack);
    EXPECT_EQ(image.pixel(dot(1, 3, 2) + QPoint(3, 3)), kOff);
}

TEST_F(LcdPaint, SingleScreenPixelDotsIgnoreTheShape) {
    m_lcd.setDotMatrix(Lcd::Hitachi);
    m_lcd.setPixelSize(Lcd::pix1x1);
    m_lcd.setPixelShape(Lcd::spRound);
    m_lcd.setCaption(QString(QChar(15)));
    const QImage image = paint();
    EXPECT_EQ(image.pixel(dot(0, 0, 0)), kOn);
    EXPECT_EQ(image.pixel(dot(0, 6, 4)), kOn);
}

TEST_F(LcdPaint, CustomDotSizeSpacesTheDots) {
    m_lcd.setDotMatrix(Lcd::Hitachi);
    m_lcd.setPixelSize(Lcd::pixCustom);
    m_lcd.setPixelWidth(4);
    m_lcd.setPixelHeight(3);
    m_lcd.setPixelSpacing(2);
    m_lcd.setCaption(QString(QChar(3))); // only the bottom row lit
    const QImage image = paint();
    EXPECT_EQ(m_lcd.cellWidth(), 5 * 4 + 4 * 2);
    const QPoint bottomRight = dot(0, 6, 4);
    EXPECT_EQ(bottomRight, QPoint(4 + 4 * 6, 4 + 6 * 5));
    EXPECT_EQ(image.pixel(bottomRight + QPoint(3, 2)), kOn);
    EXPECT_EQ(image.pixel(bottomRight + QPoint(4, 2)), kBack);
    EXPECT_EQ(image.pixel(dot(0, 5, 4) + QPoint(3, 2)), kOff);
}

TEST_F(LcdPaint, BorderStyles) {
    const QRgb light = m_lcd.palette().color(QPalette::Light).rgb();
    const QRgb dark = m_lcd.palette().color(QPalette::Dark).rgb();
    ASSERT_NE(light, dark);
    const int right = m_lcd.width() - 1;
    const int bottom = m_lcd.height() - 1;

    m_lcd.setBorderStyle(Lcd::frRaised);
    QImage image = paint();
    EXPECT_EQ(image.pixel(0, 0), light);
    EXPECT_EQ(image.pixel(0, bottom), light);
    EXPECT_EQ(image.pixel(right, 0), light);
    EXPECT_EQ(image.pixel(right, 5), dark);
    EXPECT_EQ(image.pixel(5, bottom), dark);

    m_lcd.setBorderStyle(Lcd::frLowered);
    image = paint();
    EXPECT_EQ(image.pixel(5, 0), dark);
    EXPECT_EQ(image.pixel(0, 5), dark);
    EXPECT_EQ(image.pixel(right, 5), light);
    EXPECT_EQ(image.pixel(5, bottom), light);

    m_lcd.setBorderStyle(Lcd::frSingle);
    m_lcd.setBorderColor(Qt::red);
    image = paint();
    for (const QPoint& p : {QPoint(0, 0), QPoint(right, 3), QPoint(3, bottom), QPoint(0, bottom)})
        EXPECT_EQ(image.pixel(p), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 1), kBack);

    m_lcd.setBorderStyle(Lcd::frNone);
    image = paint();
    EXPECT_EQ(image.pixel(0, 0), kBack);
    EXPECT_EQ(image.pixel(right, bottom), kBack);
}

TEST_F(LcdPaint, DisabledDisplayShowsOnlyBackgroundAndBorder) {
    m_lcd.setDotMatrix(Lcd::Hitachi);
    m_lcd.setBorderStyle(Lcd::frSingle);
    m_lcd.setBorderColor(Qt::red);
    m_lcd.setCaption(QStringLiteral("Disabled"));
    EXPECT_EQ(paint().pixel(dot(0, 0, 0)), kOn) << "the top-left dot of D";

    m_lcd.setEnabled(false);
    const QImage image = paint();
    std::set<QRgb> colours;
    for (int y = 1; y < image.height() - 1; ++y) {
        for (int x = 1; x < image.width() - 1; ++x)
            colours.insert(image.pixel(x, y));
    }
    EXPECT_EQ(colours, std::set<QRgb>{kBack});
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
}

TEST_F(LcdPaint, ColourChangesRedrawTheCachedGlyphs) {
    m_lcd.setDotMatrix(Lcd::Hitachi);
    m_lcd.setCaption(QString(QChar(15)));
    EXPECT_EQ(paint().pixel(dot(0, 0, 0)), kOn);
    m_lcd.setPixelOn(Qt::white);
    EXPECT_EQ(paint().pixel(dot(0, 0, 0)), qRgb(255, 255, 255));
    m_lcd.setDotMatrix(Lcd::mat5x7);
    EXPECT_EQ(paint().pixel(dot(0, 0, 0)), kOff) << "code 15 becomes a blank in mat5x7";
}
