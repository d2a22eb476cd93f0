#include "dial_math.h"
#include "qt_test_helpers.h"
#include "skin_test_support.h"
#include "vr_bitmap_dial.h"
#include "vr_bitmap_list.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A dial over 0..127 on a 32-frame strip of 10 x 8 frames, on a shown window.
struct ShownDial {
    ShownDial() {
        list.Add(testStrip(32, 10, 8));
        window.resize(200, 200);
        dial = new TVrBitmapDial(&window);
        dial->SetMaxValue(127);
        dial->SetBitmapList(&list);
        dial->SetImageCount(32);
        dial->SetBitmapIndex(0);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    TVrBitmapList list;
    QWidget window;
    TVrBitmapDial* dial;
};

} // namespace

TEST(DialMath, PercentAndShareTruncateTowardZero) {
    using namespace dial_math;
    EXPECT_EQ(percent(5, 0), 0);
    EXPECT_EQ(percent(64, 127), 50);
    EXPECT_EQ(percent(-64, 127), -50);
    EXPECT_EQ(share(50, 32), 16);
    EXPECT_EQ(share(-3, 50), -1);
    EXPECT_EQ(frameForPercent(100, 32), 31);
    EXPECT_EQ(frameForPercent(-20, 32), 0);
    EXPECT_EQ(frameForPercent(50, 0), 0);
}

TEST(BitmapDial, DefaultsOfANewDial) {
    TVrBitmapDial dial;
    EXPECT_EQ(dial.size(), QSize(50, 50));
    EXPECT_EQ(dial.MinValue(), 0);
    EXPECT_EQ(dial.MaxValue(), 100);
    EXPECT_EQ(dial.Position(), 0);
    EXPECT_EQ(dial.ImageCount(), 0);
    EXPECT_EQ(dial.BitmapIndex(), -1);
    EXPECT_EQ(dial.BitmapList(), nullptr);
    EXPECT_EQ(dial.Style(), TVrBitmapDial::dsLeftRightMove);
    EXPECT_EQ(dial.Increment(), 10);
    EXPECT_TRUE(dial.HideCursor());
    EXPECT_FALSE(dial.Transparent());
    EXPECT_EQ(dial.Color(), dial.palette().color(QPalette::Button));
}

TEST(BitmapDial, FramesOverTheRangeWithThirtyTwoImages) {
    TVrBitmapDial dial;
    dial.SetMaxValue(127);
    dial.SetImageCount(32);
    for (int position = 0; position <= 127; ++position) {
        dial.SetPosition(position);
        int expected = -1;
        if (position <= 5)
            expected = 0;
        else if (position <= 8)
            expected = 1;
        else if (position == 64)
            expected = 16;
        else if (position >= 124)
            expected = 31;
        if (expected >= 0) {
            EXPECT_EQ(dial.currentFrame(), expected) << "position " << position;
        }
    }
}

TEST(BitmapDial, PositionIsLimitedAndOnChangeFollowsThePercentage) {
    TVrBitmapDial dial;
    dial.SetMaxValue(127);
    QSignalSpy changes(&dial, &TVrBitmapDial::OnChange);
    dial.SetPosition(1); // still 0 percent
    EXPECT_EQ(dial.Position(), 1);
    EXPECT_EQ(changes.count(), 0);
    dial.SetPosition(200);
    EXPECT_EQ(dial.Position(), 127);
    EXPECT_EQ(changes.count(), 1);
    dial.SetPosition(127);
    EXPECT_EQ(changes.count(), 1);
    dial.SetPosition(-5);
    EXPECT_EQ(dial.Position(), 0);
    EXPECT_EQ(changes.count(), 2);
}

TEST(BitmapDial, LoweringTheMaximumBelowThePositionMovesIt) {
    TVrBitmapDial dial;
    dial.SetMaxValue(127);
    dial.SetPosition(100);
    QSignalSpy changes(&dial, &TVrBitmapDial::OnChange);
    dial.SetMaxValue(50);
    EXPECT_EQ(dial.Position(), 50);
    EXPECT_EQ(changes.count(), 1);
    dial.SetMaxValue(127);
    EXPECT_EQ(dial.Position(), 50);
    dial.SetMinValue(60); // raising the minimum above the position moves it too
    EXPECT_EQ(dial.Position(), 60);
}

TEST(BitmapDial, ExtremeRangesDoNotOverflow) {
    TVrBitmapDial dial;
    dial.SetMinValue(INT_MIN);
    dial.SetMaxValue(INT_MAX);
    dial.SetImageCount(32);
    dial.SetPosition(0);
    EXPECT_EQ(dial.GetPercentDone(), 50);
    EXPECT_EQ(dial.currentFrame(), 16);
    dial.SetPosition(INT_MAX);
    EXPECT_EQ(dial.GetPercentDone(), 100);
}

TEST(BitmapDial, DragLeftRightAndTopBottom) {
    ShownDial shown;
    TVrBitmapDial* dial = shown.dial;
    QSignalSpy down(dial, &TVrBitmapDial::OnMouseDown);
    QTest::mousePress(dial, Qt::LeftButton, {}, QPoint(10, 25));
    EXPECT_EQ(dial->cursor().shape(), Qt::BlankCursor);
    QTest::mouseMove(dial, QPoint(35, 25)); // half the width to the right: 50 percent
    EXPECT_EQ(dial->Position(), 63);
    QTest::mouseMove(dial, QPoint(35, 0)); // vertical moves do nothing in this style
    EXPECT_EQ(dial->Position(), 63);
    QTest::mouseRelease(dial, Qt::LeftButton, {}, QPoint(35, 0));
    EXPECT_NE(dial->cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(down.count(), 1);

    dial->SetStyle(TVrBitmapDial::dsTopBottomMove);
    dial->SetHideCursor(false);
    QTest::mousePress(dial, Qt::LeftButton, {}, QPoint(25, 30)); // at 49 percent: offset 6
    EXPECT_NE(dial->cursor().shape(), Qt::BlankCursor);
    QTest::mouseMove(dial, QPoint(25, 36)); // y - offset = 30: 60 percent
    EXPECT_EQ(dial->Position(), 76);
    QTest::mouseRelease(dial, Qt::LeftButton, {}, QPoint(25, 36));
    QTest::mouseMove(dial, QPoint(25, 45));
    EXPECT_EQ(dial->Position(), 76); // released: no more dragging
}

TEST(BitmapDial, DragWithNonZeroMinimumStartsWithoutAJump) {
    ShownDial shown;
    TVrBitmapDial* dial = shown.dial;
    dial->SetMaxValue(110);
    dial->SetMinValue(10);
    dial->SetPosition(60);
    QTest::mousePress(dial, Qt::LeftButton, {}, QPoint(30, 25));
    QTest::mouseMove(dial, QPoint(31, 25));
    EXPECT_EQ(dial->Position(), 62);
    QTest::mouseMove(dial, QPoint(30, 25));
    EXPECT_EQ(dial->Position(), 60);
    QTest::mouseRelease(dial, Qt::LeftButton, {}, QPoint(30, 25));
}

TEST(BitmapDial, ButtonClickStyleStepsByTheIncrement) {
    ShownDial shown;
    TVrBitmapDial* dial = shown.dial;
    dial->SetStyle(TVrBitmapDial::dsButtonClick);
    dial->SetIncrement(20);
    QTest::mouseClick(dial, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(dial, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(dial->Position(), 40);
    QTest::mouseClick(dial, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(dial->Position(), 20);
    QTest::mouseMove(dial, QPoint(45, 45)); // no dragging in this style
    EXPECT_EQ(dial->Position(), 20);
}

// The wheel once did nothing over a dial; it steps as over a knob (the knob test has the cases).
TEST(BitmapDial, TheMouseWheelTurnsTheDial) {
    ShownDial shown;
    shown.dial->SetPosition(50);
    turnWheel(shown.dial, {0, 120});
    EXPECT_EQ(shown.dial->Position(), 51);
    turnWheel(shown.dial, {0, -240}, Qt::ShiftModifier);
    EXPECT_EQ(shown.dial->Position(), 31);
    turnWheel(shown.dial, {0, 1200}, Qt::ShiftModifier);
    EXPECT_EQ(shown.dial->Position(), 127);
}

TEST(BitmapDialPaint, FrameIsDrawnCentredOverTheColour) {
    ShownDial shown;
    TVrBitmapDial* dial = shown.dial;
    dial->SetColor(QColor(0x80, 0x00, 0x80));
    dial->SetPosition(64);
    QImage image = dial->grab().toImage();
    // A 10 x 8 frame in a 50 x 50 dial starts at (20, 21).
    EXPECT_EQ(dial->frameOrigin(), QPoint(20, 21));
    EXPECT_EQ(colourAt(image, 21, 22), testFrameColour(16).name());
    EXPECT_EQ(colourAt(image, 29, 28), testFrameColour(16).name());
    EXPECT_EQ(colourAt(image, 20, 21), QColor(Qt::magenta).name()); // the key pixel, opaque
    EXPECT_EQ(colourAt(image, 19, 21), QColor(0x80, 0x00, 0x80).name());
    EXPECT_EQ(colourAt(image, 30, 29), QColor(0x80, 0x00, 0x80).name());
    dial->SetPosition(127);
    image = dial->grab().toImage();
    EXPECT_EQ(colourAt(image, 25, 25), testFrameColour(31).name());
}

TEST(BitmapDialPaint, TransparentDialLetsTheParentShowThroughTheKeyColour) {
    ShownDial shown;
    TVrBitmapDial* dial = shown.dial;
    shown.window.setAutoFillBackground(true);
    QPalette pal = shown.window.palette();
    pal.setColor(QPalette::Window, QColor(0x11, 0x22, 0x33));
    shown.window.setPalette(pal);
    dial->SetColor(Qt::magenta);
    dial->SetTransparent(true);
    dial->move(0, 0);
    const QImage image = shown.window.grab().toImage();
    EXPECT_EQ(colourAt(image, 20, 21), QColor(0x11, 0x22, 0x33).name()); // key pixel
    EXPECT_EQ(colourAt(image, 2, 2), QColor(0x11, 0x22, 0x33).name());   // outside the frame
    EXPECT_EQ(colourAt(image, 21, 21), testFrameColour(0).name());
}

TEST(BitmapDialPaint, AutoSizeTakesTheFrameSize) {
    TVrBitmapList list;
    list.Add(testStrip(32, 48, 44));
    TVrBitmapDial dial;
    dial.SetAutoSize(true);
    dial.SetBitmapList(&list);
    EXPECT_EQ(dial.size(), QSize(50, 50)); // no image count yet: size 0 is not taken
    dial.SetImageCount(32);
    dial.SetBitmapIndex(0);
    EXPECT_EQ(dial.size(), QSize(48, 44));
}

TEST(BitmapDialPaint, DialWithoutItsSkinIsFilledWithItsColourAndStillTurns) {
    ShownDial shown;
    TVrBitmapDial* dial = shown.dial;
    dial->SetColor(QColor(0x12, 0x34, 0x56));
    dial->SetBitmapIndex(5); // names no bitmap
    dial->SetPosition(64);
    EXPECT_EQ(dial->Position(), 64);
    QImage image = dial->grab().toImage();
    EXPECT_EQ(colourAt(image, 25, 25), QColor(0x12, 0x34, 0x56).name());
    EXPECT_EQ(colourAt(image, 0, 49), QColor(0x12, 0x34, 0x56).name());
}

TEST(BitmapDialPaint, DestroyedListLeavesTheDialWithoutSkin) {
    auto list = std::make_unique<TVrBitmapList>();
    list->Add(testStrip(32, 10, 8));
    TVrBitmapDial dial;
    dial.SetColor(QColor(0x12, 0x34, 0x56));
    dial.SetImageCount(32);
    dial.SetBitmapIndex(0);
    dial.SetBitmapList(list.get());
    EXPECT_EQ(dial.frameWidth(), 10);
    list.reset();
    EXPECT_EQ(dial.BitmapList(), nullptr);
    EXPECT_EQ(dial.frameWidth(), 0);
    const QImage image = dial.grab().toImage();
    EXPECT_EQ(colourAt(image, 25, 25), QColor(0x12, 0x34, 0x56).name());
}

TEST(BitmapDialPaint, ListChangesReachLinkedDials) {
    TVrBitmapList list;
    TVrBitmapDial dial;
    dial.SetBitmapList(&list);
    dial.SetImageCount(4);
    dial.SetBitmapIndex(1);
    EXPECT_EQ(dial.frameWidth(), 0);
    list.Add(testStrip(4, 12, 9));
    EXPECT_EQ(dial.frameWidth(), 0); // index 1 is still missing
    list.Add(testStrip(4, 20, 15));
    EXPECT_EQ(dial.frameWidth(), 20);
    EXPECT_EQ(dial.frameHeight(), 15);
    TVrBitmapList other;
    dial.SetBitmapList(&other);
    list.Add(testStrip(4, 30, 15)); // the old list no longer reaches the dial
    EXPECT_EQ(dial.frameWidth(), 0);
}
