#include "dip_switch.h"
#include "qt_test_helpers.h"

#include <QSignalSpy>
#include <QTest>
#include <climits>
#include <gtest/gtest.h>

namespace {

// Whether any pixel of the surface rows [top, top + height), left of `right`, differs from white.
bool inkInRows(const QImage& surface, int top, int height, int right = INT_MAX) {
    for (int y = top; y < std::min(top + height, surface.height()); ++y)
        for (int x = 0; x < std::min(right, surface.width()); ++x)
            if ((surface.pixel(x, y) & RGB_MASK) != (QColor(Qt::white).rgb() & RGB_MASK))
                return true;
    return false;
}

TDipSwitch* labelled(TDipSwitch& dip, int bits) {
    dip.resize(120, dip.height());
    dip.SetBitCount(bits);
    for (int i = 0; i < bits; ++i) {
        dip.SetOnBitLabel(i, QStringLiteral("ON"));
        dip.SetOffBitLabel(i, QString());
    }
    return &dip;
}

} // namespace

TEST(DipSwitch, RowsUnderTheMouse) {
    EXPECT_EQ(TDipSwitch::rowAt(9), -1);
    EXPECT_EQ(TDipSwitch::rowAt(10), 0);
    EXPECT_EQ(TDipSwitch::rowAt(21), 0);
    EXPECT_EQ(TDipSwitch::rowAt(22), 1);
    EXPECT_EQ(TDipSwitch::rowAt(33), 1);
    EXPECT_EQ(TDipSwitch::rowAt(34), 2);
    EXPECT_EQ(TDipSwitch::rowAt(-13), -1); // truncation toward zero
    EXPECT_EQ(TDipSwitch::rowAt(-14), -2);
}

TEST(DipSwitch, ClicksFlipTheBitOfTheirLineAndAlwaysTrigger) {
    QWidget window;
    TDipSwitch dip(&window);
    dip.SetBitCount(4);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy triggers(&dip, &TDipSwitch::OnTrigger);
    QSignalSpy clicks(&dip, &TDipSwitch::OnClick);

    QTest::mouseClick(&dip, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(dip.GetValue(), 1u);
    QTest::mouseClick(&dip, Qt::LeftButton, {}, QPoint(20, 21));
    EXPECT_EQ(dip.GetValue(), 0u);
    QTest::mouseClick(&dip, Qt::RightButton, {}, QPoint(20, 22)); // any button flips
    EXPECT_EQ(dip.GetValue(), 2u);
    QTest::mouseClick(&dip, Qt::LeftButton, {}, QPoint(20, 33));
    EXPECT_EQ(dip.GetValue(), 0u);
    QTest::mouseClick(&dip, Qt::LeftButton, {}, QPoint(20, 9)); // above the first line
    EXPECT_EQ(dip.GetValue(), 0u);
    QTest::mouseClick(&dip, Qt::LeftButton, {}, QPoint(20, 60)); // line 4 of 4: not shown
    EXPECT_EQ(dip.GetValue(), 0u);

    EXPECT_EQ(triggers.count(), 6);
    EXPECT_EQ(triggers.first().first().value<TDipSwitch*>(), &dip);
    EXPECT_EQ(clicks.count(), 5); // left-button clicks only
}

TEST(DipSwitch, BitCountSetsTheHeightOnlyWhenItChanges) {
    TDipSwitch dip;
    dip.resize(50, 300);
    dip.SetBitCount(8);
    EXPECT_EQ(dip.height(), 126);
    dip.resize(50, 40);
    dip.SetBitCount(8);
    EXPECT_EQ(dip.height(), 40);
    dip.SetBitCount(0);
    EXPECT_EQ(dip.height(), 30);
}

TEST(DipSwitch, LabelsOnlyForShownBitsAndArrayTextOutsideThirtyTwo) {
    TDipSwitch dip;
    dip.SetBitCount(8);
    dip.SetOnBitLabel(7, QStringLiteral("seven on"));
    dip.SetOffBitLabel(7, QStringLiteral("seven off"));
    dip.SetOnBitLabel(8, QStringLiteral("eight"));
    dip.SetOffBitLabel(-1, QStringLiteral("minus one"));
    EXPECT_EQ(dip.GetOnBitLabel(7), QStringLiteral("seven on"));
    EXPECT_EQ(dip.GetOffBitLabel(7), QStringLiteral("seven off"));
    EXPECT_EQ(dip.GetOnBitLabel(8), QString());
    EXPECT_EQ(dip.GetOnBitLabel(40), QStringLiteral("Is an Array!"));
    EXPECT_EQ(dip.GetOffBitLabel(-1), QStringLiteral("Is an Array!"));
    dip.SetCaption(QStringLiteral("not drawn"));
    EXPECT_EQ(dip.GetCaption(), QStringLiteral("not drawn"));
}

TEST(DipSwitch, BitCountAboveThirtyTwoNeverReachesPastTheLabelsOrBits) {
    TDipSwitch dip;
    dip.SetBitCount(100);
    dip.SetOnBitLabel(31, QStringLiteral("last"));
    dip.SetOnBitLabel(40, QStringLiteral("beyond"));
    dip.SetOffBitLabel(99, QStringLiteral("beyond"));
    EXPECT_EQ(dip.GetOnBitLabel(31), QStringLiteral("last"));
    EXPECT_EQ(dip.GetOnBitLabel(40), QStringLiteral("Is an Array!"));
    dip.SetBitSwitch(40, true);
    dip.SetBitSwitch(32, true);
    EXPECT_EQ(dip.GetValue(), 0u);
    EXPECT_FALSE(dip.GetBitSwitch(40));
    dip.MouseDown(Qt::LeftButton, {}, 10, 12 * 41); // the line of bit 40
    EXPECT_EQ(dip.GetValue(), 0u);
    dip.MouseDown(Qt::LeftButton, {}, 10, 10 + 12 * 31); // the line of bit 31
    EXPECT_EQ(dip.GetValue(), 0x80000000u);
    EXPECT_TRUE(dip.GetBitSwitch(31));
}

TEST(DipSwitch, ExtremeBitCountsKeepASaneSize) {
    TDipSwitch dip;
    dip.SetBitCount(-10);
    EXPECT_EQ(dip.height(), 0);
    dip.SetBitCount(INT_MAX); // the height is bounded, the surface stays small
    EXPECT_GT(dip.height(), 0);
    dip.DrawAgain();
    EXPECT_LE(dip.surface().height(), 4096);
}

// Whether the lever of a line stands at its on (right) or off (left) end.
bool leverAt(const QImage& surface, int line, bool on) {
    const QColor lever =
        surface.pixelColor(TDipSwitch::leverRect(line, surface.width(), on).center());
    return lever.lightness() > 200;
}

// Whatever size the platform's default font has, each line's text stays on its own line.
TEST(DipSwitch, Value257WithEightSwitchesShowsOnlySwitchZeroOn) {
    for (const int fontPixels : {0, 12, 24}) {
        SCOPED_TRACE(fontPixels);
        TDipSwitch dip;
        if (fontPixels > 0) {
            QFont font = dip.font();
            font.setPixelSize(fontPixels);
            dip.setFont(font);
        }
        labelled(dip, 8);
        dip.SetValue(257);
        EXPECT_EQ(dip.GetValue(), 257u);
        EXPECT_TRUE(dip.GetBitSwitch(0));
        EXPECT_TRUE(dip.GetBitSwitch(8));
        const QImage& surface = dip.surface();
        const int text = TDipSwitch::switchRect(0, surface.width()).left();
        EXPECT_TRUE(inkInRows(surface, 10, 12, text));             // line 0: "ON "
        EXPECT_FALSE(inkInRows(surface, 22, 12 * 7 + 8, text));    // lines 1..7 and below: blanks
        EXPECT_FALSE(inkInRows(surface, 0, 10));                   // nothing above the first line
        EXPECT_FALSE(inkInRows(surface, 0, surface.height(), 10)); // text starts at x = 10
        EXPECT_TRUE(leverAt(surface, 0, true));
        for (int line = 1; line < 8; ++line)
            EXPECT_TRUE(leverAt(surface, line, false)) << line;
    }
}

TEST(DipSwitch, EmptyLabelsDrawOnlyTheSwitches) {
    TDipSwitch dip;
    dip.SetBitCount(8);
    dip.SetValue(0xFF);
    ASSERT_FALSE(dip.surface().isNull());
    const int text = TDipSwitch::switchRect(0, dip.surface().width()).left();
    EXPECT_FALSE(inkInRows(dip.surface(), 0, dip.surface().height(), text));
    for (int line = 0; line < 8; ++line)
        EXPECT_TRUE(leverAt(dip.surface(), line, true)) << line;
}

TEST(DipSwitch, SurfaceKeepsTheWidthOfTheFirstDrawing) {
    TDipSwitch narrow;
    narrow.resize(25, 100);
    narrow.SetBitCount(2);
    narrow.resize(200, 100);
    narrow.SetOnBitLabel(0, QStringLiteral("a long line that cannot fit"));
    narrow.SetValue(1);
    EXPECT_EQ(narrow.surface().width(), 25);
    EXPECT_EQ(narrow.surface().height(), 54);
}

TEST(DipSwitchPaint, TransparentSwitchShowsTheParentAroundItsText) {
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(0x20, 0x40, 0x60));
    parent.setPalette(pal);
    parent.resize(200, 200);
    TDipSwitch dip(&parent);
    labelled(dip, 2);
    dip.SetValue(1);
    QImage image = parent.grab().toImage();
    EXPECT_EQ(colourAt(image, 2, 2), QColor(Qt::white).name());
    dip.SetTransparent(true);
    image = parent.grab().toImage();
    EXPECT_EQ(colourAt(image, 2, 2), QColor(0x20, 0x40, 0x60).name());
    EXPECT_EQ(colourAt(image, 5, 40), QColor(0x20, 0x40, 0x60).name());
}
