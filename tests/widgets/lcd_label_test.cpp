#include "lcd_label.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class LcdLabel : public ::testing::Test {
protected:
    void SetUp() override { m_lcd.setRefusalDialogsEnabled(false); }

    // The virtual box's display: 4 lines of 16 Hitachi characters made of single pixels.
    void useVirtualBoxSettings() {
        m_lcd.setDotMatrix(Lcd::Hitachi);
        m_lcd.setPixelSize(Lcd::pix1x1);
        m_lcd.setBorderSpace(6);
        m_lcd.setTextLines(4);
        m_lcd.setNoOfChars(16);
    }

    TLCDLabel m_lcd;
};

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

TEST_F(LcdLabel, DefaultsGiveTenCharactersOfMat5x7) {
    EXPECT_EQ(m_lcd.dotMatrix(), Lcd::mat5x7);
    EXPECT_EQ(m_lcd.pixelSize(), Lcd::pix2x2);
    EXPECT_EQ(m_lcd.pixelWidth(), 2);
    EXPECT_EQ(m_lcd.pixelHeight(), 2);
    EXPECT_EQ(m_lcd.backGround(), QColor(0xC0C0C0));
    EXPECT_EQ(m_lcd.pixelOff(), QColor(0xAAAAAA));
    EXPECT_EQ(m_lcd.borderStyle(), Lcd::frLowered);
    // Cells of 5 x 2 + 4 by 7 x 2 + 6; 10 of them with gaps of 2, a margin of 3 and the frame.
    EXPECT_EQ(m_lcd.cellWidth(), 14);
    EXPECT_EQ(m_lcd.cellHeight(), 20);
    EXPECT_EQ(m_lcd.size(), QSize(166, 28));
    EXPECT_EQ(m_lcd.sizeHint(), QSize(166, 28));
}

TEST_F(LcdLabel, VirtualBoxSettingsGive188By72) {
    useVirtualBoxSettings();
    EXPECT_EQ(m_lcd.cellWidth(), 9);
    EXPECT_EQ(m_lcd.cellHeight(), 13);
    EXPECT_EQ(m_lcd.size(), QSize(188, 72));
}

TEST_F(LcdLabel, ResizingDerivesCharactersAndLinesAndSnapsToWholeCells) {
    useVirtualBoxSettings();
    m_lcd.show();
    m_lcd.resize(230, 72);
    EXPECT_EQ(m_lcd.noOfChars(), 20);
    EXPECT_EQ(m_lcd.textLines(), 4);
    EXPECT_EQ(m_lcd.size(), QSize(232, 72));

    m_lcd.resize(100, 40);
    EXPECT_EQ(m_lcd.noOfChars(), 8);
    EXPECT_EQ(m_lcd.textLines(), 2);
    EXPECT_EQ(m_lcd.size(), QSize(100, 42));

    m_lcd.resize(3, 3);
    EXPECT_EQ(m_lcd.noOfChars(), 1);
    EXPECT_EQ(m_lcd.textLines(), 1);
    EXPECT_EQ(m_lcd.size(), QSize(23, 27));
}

TEST_F(LcdLabel, PropertyChangesKeepTheCharacterCount) {
    useVirtualBoxSettings();
    m_lcd.show();
    m_lcd.setPixelSize(Lcd::pix2x2);
    EXPECT_EQ(m_lcd.noOfChars(), 16);
    EXPECT_EQ(m_lcd.textLines(), 4);
    EXPECT_EQ(m_lcd.size(), QSize(12 + 15 * 2 + 16 * 14 + 2, 12 + 3 * 2 + 4 * 20 + 2));
}

TEST_F(LcdLabel, CodesAreLimitedToTheFontsRange) {
    const QString text = QString(QChar(1)) + QChar(31) + QChar(127) + QChar(255) + QChar(0x20AC) +
                         QLatin1String("A");
    m_lcd.setCaption(text);
    const struct {
        Lcd::DotMatrix font;
        int codes[6];
    } expected[] = {
        {Lcd::mat5x8, {32, 32, 126, 126, 126, 'A'}}, {Lcd::mat9x12, {32, 32, 126, 126, 126, 'A'}},
        {Lcd::Hitachi, {1, 31, 127, 255, 255, 'A'}}, {Lcd::Hitachi2, {32, 32, 127, 223, 223, 'A'}},
        {Lcd::dos5x7, {1, 31, 127, 255, 255, 'A'}},
    };
    for (const auto& e : expected) {
        m_lcd.setDotMatrix(e.font);
        for (int cell = 0; cell < 6; ++cell)
            EXPECT_EQ(m_lcd.cellCode(cell), e.codes[cell]) << "font " << e.font << " cell " << cell;
    }
}

TEST_F(LcdLabel, CaptionFillsTheCellsInOrderThroughAllRows) {
    useVirtualBoxSettings();
    const QString twenty = QStringLiteral("Potmeter Moved  Knob");
    m_lcd.setCaption(twenty);
    for (int cell = 0; cell < 20; ++cell)
        EXPECT_EQ(m_lcd.cellCode(cell), twenty.at(cell).unicode()) << cell;
    for (int cell = 20; cell < 64; ++cell)
        EXPECT_EQ(m_lcd.cellCode(cell), 0) << "Hitachi's first code past the text, cell " << cell;

    m_lcd.setDotMatrix(Lcd::mat5x7);
    EXPECT_EQ(m_lcd.cellCode(20), 32);
    EXPECT_EQ(m_lcd.cellCode(63), 32);

    QString sixtyFour;
    for (int cell = 0; cell < 64; ++cell)
        sixtyFour += QChar('A' + cell % 26);
    m_lcd.setCaption(sixtyFour);
    for (int cell = 0; cell < 64; ++cell)
        EXPECT_EQ(m_lcd.cellCode(cell), 'A' + cell % 26);
}

TEST_F(LcdLabel, TextEndsAtTheFirstNul) {
    m_lcd.setDotMatrix(Lcd::Hitachi);
    m_lcd.setCaption(QString::fromLatin1("AB\0CD", 5));
    EXPECT_EQ(m_lcd.caption().size(), 5);
    EXPECT_EQ(m_lcd.cellCode(1), 'B');
    EXPECT_EQ(m_lcd.cellCode(2), 0);
    EXPECT_EQ(m_lcd.cellCode(3), 0);
}

TEST_F(LcdLabel, CaptionLongerThanTheBufferIsCut) {
    const QString longText(300, QChar('x'));
    m_lcd.setCaption(longText);
    EXPECT_EQ(m_lcd.caption(), longText.left(255));
}

TEST_F(LcdLabel, AssigningTheSameCaptionDoesNotRepaint) {
    PaintCounter counter;
    m_lcd.installEventFilter(&counter);
    m_lcd.show();
    m_lcd.setCaption(QStringLiteral("Hello"));
    QCoreApplication::processEvents();
    const int paintsAfterFirst = counter.paints;
    EXPECT_GE(paintsAfterFirst, 1);

    m_lcd.setCaption(QStringLiteral("Hello"));
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, paintsAfterFirst);

    m_lcd.setCaption(QStringLiteral("World"));
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, paintsAfterFirst + 1);
}

TEST_F(LcdLabel, InvalidValuesAreRefusedAndLeftUnchanged) {
    QSignalSpy refused(&m_lcd, &TLCDLabel::valueRefused);
    const QSize size = m_lcd.size();
    const struct {
        void (TLCDLabel::*set)(int);
        int (TLCDLabel::*get)() const;
        int value;
        const char* message;
    } cases[] = {
        {&TLCDLabel::setPixelSpacing, &TLCDLabel::pixelSpacing, -1,
         "Pixel spacing can't be less than zero!"},
        {&TLCDLabel::setCharSpacing, &TLCDLabel::charSpacing, -1,
         "Character spacing can't be less than zero!"},
        {&TLCDLabel::setLineSpacing, &TLCDLabel::lineSpacing, -5,
         "Line spacing can't be less than zero!"},
        {&TLCDLabel::setBorderSpace, &TLCDLabel::borderSpace, -1,
         "Border spacing can't be less than zero!"},
        {&TLCDLabel::setTextLines, &TLCDLabel::textLines, 0, "Display needs at least on line!"},
        {&TLCDLabel::setNoOfChars, &TLCDLabel::noOfChars, -3,
         "Display needs at least one character!"},
    };
    for (const auto& c : cases) {
        const int before = (m_lcd.*c.get)();
        (m_lcd.*c.set)(c.value);
        EXPECT_EQ((m_lcd.*c.get)(), before) << c.message;
        ASSERT_EQ(refused.count(), 1) << c.message;
        EXPECT_EQ(refused.takeFirst().at(0).toString(), QString::fromLatin1(c.message));
    }
    EXPECT_EQ(m_lcd.size(), size);

    // Zero spacing is allowed.
    m_lcd.setPixelSpacing(0);
    EXPECT_EQ(m_lcd.pixelSpacing(), 0);
    EXPECT_EQ(refused.count(), 0);
}

TEST_F(LcdLabel, DotSizeFollowsPixelSizeUnlessCustom) {
    QSignalSpy refused(&m_lcd, &TLCDLabel::valueRefused);
    m_lcd.setPixelWidth(4);
    m_lcd.setPixelHeight(0);
    EXPECT_EQ(m_lcd.pixelWidth(), 2);
    EXPECT_EQ(m_lcd.pixelHeight(), 2);
    EXPECT_EQ(refused.count(), 0);

    m_lcd.setPixelSize(Lcd::pixCustom);
    EXPECT_EQ(m_lcd.pixelWidth(), 2);
    m_lcd.setPixelWidth(4);
    EXPECT_EQ(m_lcd.pixelWidth(), 4);
    EXPECT_EQ(m_lcd.cellWidth(), 5 * 4 + 4);
    EXPECT_EQ(m_lcd.cellHeight(), 20);

    m_lcd.setPixelWidth(0);
    m_lcd.setPixelHeight(-2);
    EXPECT_EQ(m_lcd.pixelWidth(), 4);
    EXPECT_EQ(m_lcd.pixelHeight(), 2);
    ASSERT_EQ(refused.count(), 2);
    EXPECT_EQ(refused.at(0).at(0).toString(),
              QStringLiteral("Display pixel width must be 1 or greater!"));
    EXPECT_EQ(refused.at(1).at(0).toString(),
              QStringLiteral("Display pixel height must be 1 or greate!"));

    m_lcd.setPixelSize(Lcd::pix16x16);
    EXPECT_EQ(m_lcd.pixelWidth(), 16);
    EXPECT_EQ(m_lcd.pixelHeight(), 16);
}

TEST_F(LcdLabel, HalfOnColourHalvesEachComponent) {
    m_lcd.setPixelOn(QColor(0xFF, 0x81, 0x02));
    EXPECT_EQ(m_lcd.halfOnColour(), QColor(0x7F, 0x40, 0x01));
}

TEST_F(LcdLabel, HugeDimensionsDoNotOverflowOrHang) {
    m_lcd.setPixelSize(Lcd::pixCustom);
    m_lcd.setPixelWidth(2000000000);
    m_lcd.setNoOfChars(2000000000);
    m_lcd.setCharSpacing(2000000000);
    EXPECT_LE(m_lcd.width(), 16777215);
    EXPECT_GT(m_lcd.width(), 0);
    m_lcd.resize(300, 40);
    const QImage image = m_lcd.grab(QRect(0, 0, 50, 20)).toImage();
    EXPECT_FALSE(image.isNull());
}

// The text interface is what carries drawn text to screen readers; a name alone reads nothing.
TEST_F(LcdLabel, ScreenReadersHearOnlyDotMatrixDisplay) {
    useVirtualBoxSettings();
    m_lcd.setCaption(QStringLiteral("  Initialized       Virtual     ") + QChar(0) + "rest");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&m_lcd);
    ASSERT_NE(accessible, nullptr);
    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_NE(text, nullptr);
    const QString rows = QStringLiteral("  Initialized   \n    Virtual     ");
    EXPECT_EQ(text->text(0, -1), rows);
    EXPECT_EQ(text->characterCount(), rows.size());
    EXPECT_EQ(text->text(18, 25), "   Virt");
    EXPECT_EQ(accessible->text(QAccessible::Name), "Dot-matrix display");
    EXPECT_EQ(accessible->text(QAccessible::Value), rows);
    // Offset 18 is row 1, cell 1: its rectangle is that cell's on the screen.
    const QRect cell = text->characterRect(18);
    EXPECT_EQ(cell.size(), QSize(m_lcd.cellWidth(), m_lcd.cellHeight()));
    EXPECT_EQ(cell.topLeft(), m_lcd.mapToGlobal(m_lcd.cellOrigin(1, 1)));
    EXPECT_EQ(text->offsetAtPoint(cell.center()), 18);
    EXPECT_FALSE(text->characterRect(16).isValid()); // the line break has no cell
}

TEST_F(LcdLabel, ClickFollowsAPressAndReleaseInside) {
    QSignalSpy clicks(&m_lcd, &TLCDLabel::clicked);
    m_lcd.show();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), m_lcd.mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(6, 5), m_lcd.mapToGlobal(QPointF(6, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&m_lcd, &press);
    QCoreApplication::sendEvent(&m_lcd, &release);
    EXPECT_EQ(clicks.count(), 1);

    QMouseEvent outside(QEvent::MouseButtonRelease, QPointF(-20, 5),
                        m_lcd.mapToGlobal(QPointF(-20, 5)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&m_lcd, &press);
    QCoreApplication::sendEvent(&m_lcd, &outside);
    EXPECT_EQ(clicks.count(), 1);
}
