#include "knob.h"
#include "knob_math.h"

#include "qt_test_helpers.h"

#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace knob_math;

namespace {

// A knob on a shown window, so that it gets resize, focus and paint events.
struct ShownKnob {
    ShownKnob() {
        window.resize(200, 200);
        knob = new TKnob(&window);
        knob->move(10, 10);
        label = new QLabel(&window);
        label->move(100, 10);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void activate() {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QWidget window;
    TKnob* knob;
    QLabel* label;
};

QImage snapshot(QWidget* widget) {
    return widget->grab().toImage();
}

// Moves the pointer over widget without any button, as hovering does.
void hover(QWidget* widget, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

} // namespace

TEST(KnobMath, RoundsHalvesToEven) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-4.5), -4);
    EXPECT_EQ(roundHalfEven(-4.51), -5);
    EXPECT_EQ(roundHalfEven(0.5), 0);
}

TEST(Knob, DefaultsAndAnglesOverTheDefaultRange) {
    TKnob knob;
    EXPECT_EQ(knob.Min(), 0);
    EXPECT_EQ(knob.Max(), 127);
    EXPECT_EQ(knob.Position(), 0);
    EXPECT_EQ(knob.PageSize(), 10);
    EXPECT_FALSE(knob.SpringLoaded());
    EXPECT_EQ(knob.size(), QSize(40, 40));
    EXPECT_EQ(knob.Radius(), 20);
    EXPECT_EQ(knob.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(knob.DegreesPerUnit(), 300.0f / 127.0f);
    EXPECT_EQ(knob.Angle(), 240);
    knob.SetPosition(127);
    EXPECT_EQ(knob.Angle(), -60);
    knob.SetPosition(64);
    EXPECT_EQ(knob.Angle(), 89);
}

TEST(Knob, AngleOfAnExactHalfRoundsToEven) {
    TKnob knob;
    knob.SetParams(1, 0, 120); // 2.5 degrees per unit, exact in single precision
    EXPECT_EQ(knob.Angle(), 238);
    knob.SetPosition(3); // 7.5 degrees
    EXPECT_EQ(knob.Angle(), 232);
}

TEST(Knob, PositionIsLimitedToTheRange) {
    TKnob knob;
    knob.SetPosition(500);
    EXPECT_EQ(knob.Position(), 127);
    knob.SetPosition(-3);
    EXPECT_EQ(knob.Position(), 0);
    knob.SetParams(50, 10, 40);
    EXPECT_EQ(knob.Position(), 40);
}

TEST(Knob, MinEqualToMaxPointsAtTheStartForEveryMousePosition) {
    ShownKnob shown;
    TKnob* knob = shown.knob;
    knob->SetParams(5, 5, 5);
    EXPECT_EQ(knob->DegreesPerUnit(), 0.0f);
    EXPECT_EQ(knob->Angle(), 240);
    for (QPoint p : {QPoint(39, 20), QPoint(20, 1), QPoint(2, 20), QPoint(30, 30)}) {
        QTest::mousePress(knob, Qt::LeftButton, {}, p);
        QTest::mouseRelease(knob, Qt::LeftButton, {}, p);
        EXPECT_EQ(knob->Position(), 5);
        EXPECT_EQ(knob->Angle(), 240);
    }
}

TEST(Knob, OnChangeFiresOnEveryAssignmentChangedOrNot) {
    TKnob knob;
    QSignalSpy spy(&knob, &TKnob::OnChange);
    knob.SetPosition(0);
    EXPECT_EQ(spy.count(), 1);
    knob.SetMin(0);
    knob.SetMax(127);
    EXPECT_EQ(spy.count(), 3);
    knob.SetPosition(10);
    EXPECT_EQ(spy.count(), 4);
    knob.SetSpringLoaded(true); // back to 0
    EXPECT_EQ(spy.count(), 5);
    EXPECT_EQ(knob.Position(), 0);
}

TEST(Knob, InvertedKnobWrapsToTheOppositeEndBothWays) {
    ShownKnob shown;
    TKnob* knob = shown.knob;
    knob->SetParams(127, 127, 0);
    EXPECT_LT(knob->DegreesPerUnit(), 0.0f);
    EXPECT_EQ(knob->Angle(), 240);
    QTest::keyClick(knob, Qt::Key_Up); // 128 passes the start and wraps to the end
    EXPECT_EQ(knob->Position(), 0);
    EXPECT_EQ(knob->Angle(), -60);
    QTest::keyClick(knob, Qt::Key_Down); // -1 passes the end and wraps to the start
    EXPECT_EQ(knob->Position(), 127);
    QTest::keyClick(knob, Qt::Key_Down);
    EXPECT_EQ(knob->Position(), 126);
}

TEST(Knob, KeysStepThePosition) {
    ShownKnob shown;
    TKnob* knob = shown.knob;
    knob->SetPosition(50);
    QTest::keyClick(knob, Qt::Key_PageUp);
    EXPECT_EQ(knob->Position(), 60);
    QTest::keyClick(knob, Qt::Key_PageDown);
    QTest::keyClick(knob, Qt::Key_PageDown);
    EXPECT_EQ(knob->Position(), 40);
    QTest::keyClick(knob, Qt::Key_Right);
    QTest::keyClick(knob, Qt::Key_Up);
    EXPECT_EQ(knob->Position(), 42);
    QTest::keyClick(knob, Qt::Key_Left);
    EXPECT_EQ(knob->Position(), 41);
    QTest::keyClick(knob, Qt::Key_End);
    EXPECT_EQ(knob->Position(), 127);
    QTest::keyClick(knob, Qt::Key_Home);
    EXPECT_EQ(knob->Position(), 0);
    knob->SetParams(INT_MAX, INT_MIN, INT_MAX);
    QTest::keyClick(knob, Qt::Key_PageUp); // no overflow past the top of the int range
    EXPECT_EQ(knob->Position(), INT_MAX);
}

// The wheel once did nothing over a knob; now it steps like the keys, one assignment per turn.
TEST(Knob, TheMouseWheelTurnsTheKnob) {
    TKnob knob;
    knob.SetPosition(50);
    QSignalSpy changes(&knob, &TKnob::OnChange);
    const struct {
        QPoint angle;
        Qt::KeyboardModifiers modifiers;
        int position;
        int changes;
    } turns[] = {
        {{0, 120}, Qt::NoModifier, 51, 1},    {{0, -120}, Qt::NoModifier, 50, 1},
        {{0, 120}, Qt::ShiftModifier, 60, 1}, {{0, -120}, Qt::ControlModifier, 50, 1},
        {{0, 120}, Qt::ShiftModifier, 60, 1}, {{0, -240}, Qt::NoModifier, 58, 1},
        {{0, 60}, Qt::NoModifier, 58, 0},     {{0, 60}, Qt::NoModifier, 59, 1}, // half notches
        {{120, 0}, Qt::NoModifier, 60, 1},    {{0, 840}, Qt::ShiftModifier, 127, 1},
        {{0, 120}, Qt::NoModifier, 127, 1}, // at the end: still an assignment
    };
    for (const auto& t : turns) {
        changes.clear();
        turnWheel(&knob, t.angle, t.modifiers);
        EXPECT_EQ(knob.Position(), t.position) << t.angle.y();
        EXPECT_EQ(changes.size(), t.changes) << t.angle.y();
    }
}

TEST(KnobMath, MouseAnglesAboveBelowAndInTheBottomGap) {
    // A 40 x 40 knob has its centre at (20, 20).
    EXPECT_EQ(mouseAngle(20, 35, 40, 40), 240); // straight below
    EXPECT_EQ(mouseAngle(20, 3, 40, 40), 90);   // straight above
    EXPECT_EQ(mouseAngle(20, 20, 40, 40), 90);  // the centre itself
    EXPECT_EQ(mouseAngle(35, 20, 40, 40), 0);
    EXPECT_EQ(mouseAngle(5, 20, 40, 40), 180);
    EXPECT_EQ(mouseAngle(5, 5, 40, 40), 135);
    // In the gap below the centre the pointer snaps to the end on its side.
    EXPECT_EQ(mouseAngle(19, 39, 40, 40), 240);
    EXPECT_EQ(mouseAngle(21, 39, 40, 40), -60);
    EXPECT_EQ(mouseAngle(10, 39, 40, 40), 240); // 242 degrees
    EXPECT_EQ(mouseAngle(30, 39, 40, 40), -60); // -62 degrees
    EXPECT_EQ(mouseAngle(5, 29, 40, 40), 211);  // still on the sweep
}

TEST(Knob, DragTurnsTheKnobAndReleaseEndsTheDrag) {
    ShownKnob shown;
    TKnob* knob = shown.knob;
    QSignalSpy down(knob, &TKnob::OnMouseDown);
    QTest::mousePress(knob, Qt::LeftButton, {}, QPoint(38, 20)); // 0 degrees
    EXPECT_TRUE(knob->DragActive());
    EXPECT_TRUE(knob->hasFocus());
    EXPECT_EQ(knob->Position(), 102); // 240 / (300 / 127) = 101.6
    EXPECT_EQ(down.count(), 1);
    QTest::mouseMove(knob, QPoint(2, 20)); // 180 degrees
    EXPECT_EQ(knob->Position(), 25);       // 60 / (300 / 127) = 25.4
    QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(2, 20));
    EXPECT_FALSE(knob->DragActive());
    EXPECT_EQ(knob->Position(), 25);
    hover(knob, QPoint(38, 20));
    EXPECT_EQ(knob->Position(), 25); // no longer dragging
}

TEST(Knob, PressOutsideTheFaceOrWithTheRightButtonOnlyReportsTheMouseDown) {
    ShownKnob shown;
    TKnob* knob = shown.knob;
    QSignalSpy down(knob, &TKnob::OnMouseDown);
    QTest::mousePress(knob, Qt::LeftButton, {}, QPoint(1, 1)); // corner, outside the ellipse
    EXPECT_FALSE(knob->DragActive());
    QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mousePress(knob, Qt::RightButton, {}, QPoint(38, 20));
    EXPECT_FALSE(knob->DragActive());
    QTest::mouseRelease(knob, Qt::RightButton, {}, QPoint(38, 20));
    EXPECT_EQ(knob->Position(), 0);
    EXPECT_EQ(down.count(), 2);
}

TEST(Knob, HoverPreviewsTheValueInTheLabelAndLeavingRestoresIt) {
    ShownKnob shown;
    TKnob* knob = shown.knob;
    knob->SetCaption(QStringLiteral("ms"));
    knob->SetPositionLabel(shown.label);
    EXPECT_EQ(shown.label->text(), QStringLiteral("0 ms"));
    knob->SetPosition(64);
    EXPECT_EQ(shown.label->text(), QStringLiteral("64 ms"));
    QSignalSpy changes(knob, &TKnob::OnChange);
    hover(knob, QPoint(38, 20));
    EXPECT_EQ(shown.label->text(), QStringLiteral("102 ms"));
    EXPECT_EQ(knob->Position(), 64);
    EXPECT_EQ(changes.count(), 0);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(knob, &leave);
    EXPECT_EQ(shown.label->text(), QStringLiteral("64 ms"));
}

TEST(Knob, LabelWithEmptyCaptionEndsInABlankAndFollowsEnabledState) {
    TKnob knob;
    QLabel label;
    knob.SetPosition(64);
    knob.SetPositionLabel(&label);
    EXPECT_EQ(label.text(), QStringLiteral("64 "));
    knob.setEnabled(false);
    EXPECT_FALSE(label.isEnabled());
    knob.setEnabled(true);
    EXPECT_TRUE(label.isEnabled());
}

TEST(Knob, DestroyedLabelIsForgotten) {
    TKnob knob;
    auto label = std::make_unique<QLabel>();
    knob.SetPositionLabel(label.get());
    label.reset();
    EXPECT_EQ(knob.PositionLabel(), nullptr);
    knob.SetPosition(3); // must not write into the destroyed label
    EXPECT_EQ(knob.Position(), 3);
}

TEST(Knob, SpringLoadedKnobReturnsToZeroOnReleaseAndFocusLoss) {
    ShownKnob shown;
    TKnob* knob = shown.knob;
    shown.activate();
    knob->SetSpringLoaded(true);
    QSignalSpy changes(knob, &TKnob::OnChange);
    QTest::mousePress(knob, Qt::LeftButton, {}, QPoint(38, 20));
    EXPECT_EQ(knob->Position(), 102);
    QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(38, 20));
    EXPECT_EQ(knob->Position(), 0);
    EXPECT_EQ(changes.count(), 2);

    knob->setFocus();
    QTest::keyClick(knob, Qt::Key_End);
    EXPECT_EQ(knob->Position(), 127);
    changes.clear();
    shown.label->setFocusPolicy(Qt::StrongFocus);
    shown.label->setFocus();
    EXPECT_FALSE(knob->hasFocus());
    EXPECT_EQ(knob->Position(), 0);
    EXPECT_EQ(changes.count(), 1);
}

TEST(Knob, LineColourIgnoresTheFaceColour) {
    TKnob knob;
    const QColor before = knob.LineColor();
    knob.SetLineColor(knob.palette().color(QPalette::Button));
    EXPECT_EQ(knob.LineColor(), before);
    knob.SetLineColor(Qt::red);
    EXPECT_EQ(knob.LineColor(), QColor(Qt::red));
}

TEST(Knob, ResizeKeepsTheKnobSquare) {
    ShownKnob shown;
    TKnob* knob = shown.knob;
    EXPECT_EQ(knob->size(), QSize(40, 40));
    knob->resize(60, 50);
    EXPECT_EQ(knob->size(), QSize(60, 60));
    EXPECT_EQ(knob->Radius(), 30);
    knob->resize(60, 60);
    EXPECT_EQ(knob->size(), QSize(60, 60));
    knob->resize(30, 60);
    EXPECT_EQ(knob->size(), QSize(30, 30));
    EXPECT_EQ(knob->Radius(), 15);
    knob->resize(30, 30);
    EXPECT_EQ(knob->size(), QSize(30, 30));
    EXPECT_EQ(knob->pos(), QPoint(10, 10));
}

TEST(KnobPaint, FrameShowsEnabledAndFocusAndCornersShowTheParent) {
    ShownKnob shown;
    TKnob* knob = shown.knob;
    const QPalette& pal = knob->palette();
    knob->clearFocus();
    QImage image = snapshot(knob);
    EXPECT_EQ(colourAt(image, 20, 39), QColor(Qt::black).name());        // lower half of the frame
    EXPECT_EQ(colourAt(image, 20, 0), pal.color(QPalette::Dark).name()); // upper half without focus
    EXPECT_EQ(colourAt(image, 0, 0), pal.color(QPalette::Window).name());
    EXPECT_EQ(colourAt(image, 20, 20), pal.color(QPalette::Button).name()); // the face

    shown.activate();
    knob->setFocus();
    image = snapshot(knob);
    EXPECT_EQ(colourAt(image, 20, 0), QColor(Qt::black).name());

    knob->setEnabled(false);
    image = snapshot(knob);
    EXPECT_EQ(colourAt(image, 20, 39), pal.color(QPalette::Dark).name());
}

TEST(KnobPaint, PointerRunsBetweenElevenAndFivePixelsInsideTheRim) {
    ShownKnob shown;
    TKnob* knob = shown.knob;
    knob->SetLineColor(Qt::red);
    const QColor face = knob->palette().color(QPalette::Button);
    // At 240 degrees the outer end is (20 + round(15 x -0.5), 20 - round(15 x -0.866)) =
    // (12, 33), with -7.5 rounding to the even -8; the inner end lies on row 20 + 8 = 28.
    QImage image = snapshot(knob);
    EXPECT_EQ(colourAt(image, 12, 33), QColor(Qt::red).name());
    EXPECT_EQ(colourAt(image, 13, 34),
              knob->palette().color(QPalette::Light).name()); // the highlight
    EXPECT_TRUE(colourAt(image, 15, 28) == QColor(Qt::red).name() ||
                colourAt(image, 16, 28) == QColor(Qt::red).name());
    EXPECT_EQ(colourAt(image, 11, 34), face.name()); // nothing beyond the outer end
    EXPECT_EQ(colourAt(image, 20, 20), face.name()); // nor at the centre
    // At -60 degrees the outer end is (20 + round(7.5), 33) = (28, 33).
    knob->SetPosition(127);
    image = snapshot(knob);
    EXPECT_EQ(colourAt(image, 28, 33), QColor(Qt::red).name());
    EXPECT_EQ(colourAt(image, 12, 33), face.name());
}
