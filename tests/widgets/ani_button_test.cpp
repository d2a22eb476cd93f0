#include "animation_timer.h"
#include "button_animation.h"
#include "qt_test_helpers.h"
#include "skin_test_support.h"
#include "vr_ani_button.h"
#include "vr_bitmap_list.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Runs the animation rule until it stops the timer; returns the ticks and the frame changes.
std::pair<int, int> playUntilStopped(ButtonAnimation& animation, int imageCount, bool latching) {
    int ticks = 0;
    int changes = 0;
    for (bool stopped = false; !stopped && ticks < 10000; ++ticks) {
        const int before = animation.frame;
        const ButtonAnimation::Step step = animation.tick(imageCount, latching);
        EXPECT_EQ(step.repaint, animation.frame != before);
        changes += animation.frame != before;
        stopped = step.stop;
    }
    return {ticks, changes};
}

// A 32-frame button of 10 x 10 frames on a shown window, with every tick's frame recorded.
struct ShownButton {
    explicit ShownButton(int interval, bool threaded = true) {
        list.Add(testStrip(32, 10, 10));
        window.resize(100, 100);
        button = new TVrAniButton(&window);
        button->SetBitmapList(&list);
        button->SetImageCount(32);
        button->SetBitmapIndex(0);
        button->SetInterval(interval);
        button->SetThreaded(threaded);
        // Connected after the button's own handler, so it sees the frame each tick left.
        QObject::connect(button->findChild<AnimationTimer*>(), &AnimationTimer::tick, button,
                         [this] { frames.push_back(button->currentFrame()); });
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    bool waitUntilStill(int timeoutMs = 10000) {
        return QTest::qWaitFor([this] { return !button->animating(); }, timeoutMs);
    }
    int frameChanges() const {
        int changes = 0;
        for (std::size_t i = 0; i < frames.size(); ++i)
            changes += frames[i] != (i == 0 ? 0 : frames[i - 1]);
        return changes;
    }
    TVrBitmapList list;
    QWidget window;
    TVrAniButton* button;
    std::vector<int> frames;
};

} // namespace

TEST(ButtonAnimation, MomentaryPressPlaysTheStripUpAndDownInSixtyTwoSteps) {
    ButtonAnimation animation;
    const auto [ticks, changes] = playUntilStopped(animation, 32, false);
    EXPECT_EQ(changes, 62);
    EXPECT_EQ(ticks, 63);
    EXPECT_EQ(animation.frame, 0);
    EXPECT_EQ(animation.phase, ButtonAnimation::Rising);
}

TEST(ButtonAnimation, LatchingSwitchStopsDownThenPlaysBackUp) {
    ButtonAnimation animation;
    auto [ticks, changes] = playUntilStopped(animation, 32, true);
    EXPECT_EQ(changes, 31);
    EXPECT_EQ(animation.frame, 31);
    EXPECT_EQ(animation.phase, ButtonAnimation::Falling);
    std::tie(ticks, changes) = playUntilStopped(animation, 32, true);
    EXPECT_EQ(changes, 31);
    EXPECT_EQ(animation.frame, 0);
    EXPECT_EQ(animation.phase, ButtonAnimation::Rising);
}

TEST(ButtonAnimation, StripsWithoutFramesStopAtOnce) {
    for (int count : {0, 1, -5}) {
        ButtonAnimation animation;
        EXPECT_EQ(playUntilStopped(animation, count, false).second, 0);
        EXPECT_EQ(animation.frame, 0);
    }
}

TEST(AnimationTimer, ThreadedTicksAreHandledOnTheGuiThreadAndIgnoredWhileDisabled) {
    AnimationTimer timer;
    timer.setInterval(5);
    ASSERT_TRUE(timer.isThreaded());
    std::vector<QThread*> threads;
    QObject::connect(&timer, &AnimationTimer::tick, [&] {
        threads.push_back(QThread::currentThread());
        if (threads.size() == 3) timer.setEnabled(false);
    });
    timer.setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return threads.size() >= 3; }, 5000));
    QTest::qWait(60);
    EXPECT_EQ(threads.size(), 3u);
    for (QThread* thread : threads)
        EXPECT_EQ(thread, QCoreApplication::instance()->thread());
}

TEST(AnimationTimer, GuiTimerTicksWhenNotThreadedAndZeroIntervalNeverTicks) {
    AnimationTimer timer;
    timer.setThreaded(false);
    timer.setInterval(0);
    int ticks = 0;
    QObject::connect(&timer, &AnimationTimer::tick, [&] { ++ticks; });
    timer.setEnabled(true);
    QTest::qWait(40);
    EXPECT_EQ(ticks, 0);
    timer.setInterval(5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
    timer.setThreaded(true); // switching back and forth keeps ticking
    const int before = ticks;
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= before + 2; }, 5000));
}

TEST(AnimationTimer, DestroyedWhileATickWaitsForTheGuiThread) {
    int delivered = 0;
    for (int i = 0; i < 20; ++i) {
        auto timer = std::make_unique<AnimationTimer>();
        QObject::connect(timer.get(), &AnimationTimer::tick, [&] { ++delivered; });
        timer->setInterval(1);
        timer->setEnabled(true);
        QThread::msleep(5); // the worker has handed a tick over and waits for it to be handled
        timer.reset();      // must neither hang nor leave the tick to a destroyed timer
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, 0);
}

TEST(AniButton, DefaultsOfANewButton) {
    TVrAniButton button;
    EXPECT_EQ(button.size(), QSize(30, 30));
    EXPECT_TRUE(button.Threaded());
    EXPECT_EQ(button.BitmapIndex(), -1);
    EXPECT_EQ(button.MaskIndex(), -1);
    EXPECT_EQ(button.ImageCount(), 0);
    EXPECT_EQ(button.Interval(), 1000);
    EXPECT_FALSE(button.SwitchStyle());
    EXPECT_FALSE(button.GetDown());
    EXPECT_FALSE(button.animating());
}

TEST(AniButton, MomentaryClickAnimatesSixtyTwoStepsAndClicksOnceAtRelease) {
    ShownButton shown(20);
    TVrAniButton* button = shown.button;
    QSignalSpy clicks(button, &TVrAniButton::OnClick);
    QSignalSpy downs(button, &TVrAniButton::OnMouseDown);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(15, 15));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_TRUE(button->animating());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(15, 15));
    EXPECT_EQ(clicks.count(), 1);
    ASSERT_TRUE(shown.waitUntilStill());
    EXPECT_EQ(shown.frameChanges(), 62);
    EXPECT_EQ(shown.frames.size(), 63u);
    EXPECT_EQ(*std::max_element(shown.frames.begin(), shown.frames.end()), 31);
    EXPECT_EQ(button->currentFrame(), 0);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(downs.count(), 1);
}

TEST(AniButton, MomentaryPadHeldDownComesBackUpBeforeItIsReleased) {
    ShownButton shown(1, false);
    TVrAniButton* button = shown.button;
    QSignalSpy clicks(button, &TVrAniButton::OnClick);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(15, 15));
    ASSERT_TRUE(shown.waitUntilStill());
    EXPECT_TRUE(button->GetDown()); // held: the last frame stays
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(15, 15));
    EXPECT_EQ(clicks.count(), 1);
    ASSERT_TRUE(shown.waitUntilStill());
    EXPECT_EQ(button->currentFrame(), 0);
    EXPECT_EQ(*std::max_element(shown.frames.begin(), shown.frames.end()), 31);
}

TEST(AniButton, LatchingButtonStaysDownUntilPressedAgain) {
    ShownButton shown(1, false);
    TVrAniButton* button = shown.button;
    button->SetSwitchStyle(true);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(15, 15));
    ASSERT_TRUE(shown.waitUntilStill());
    EXPECT_TRUE(button->GetDown());
    EXPECT_EQ(button->currentFrame(), 31);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(15, 15));
    ASSERT_TRUE(shown.waitUntilStill());
    EXPECT_FALSE(button->GetDown());
    EXPECT_EQ(button->currentFrame(), 0);
}

TEST(AniButton, RightButtonReportsTheMouseDownButNeitherAnimatesNorClicks) {
    ShownButton shown(1);
    TVrAniButton* button = shown.button;
    QSignalSpy clicks(button, &TVrAniButton::OnClick);
    QSignalSpy downs(button, &TVrAniButton::OnMouseDown);
    QTest::mouseClick(button, Qt::RightButton, {}, QPoint(15, 15));
    EXPECT_EQ(downs.count(), 1);
    EXPECT_FALSE(button->animating());
    QTest::qWait(20);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(button->currentFrame(), 0);
}

TEST(AniButton, ReleaseOutsideStillClicks) {
    ShownButton shown(1);
    TVrAniButton* button = shown.button;
    QSignalSpy clicks(button, &TVrAniButton::OnClick);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(15, 15));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(80, 80));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(15, 15)); // no second click
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(shown.waitUntilStill());
}

TEST(AniButton, MaskLimitsTheHitAreaToItsBlackPixels) {
    ShownButton shown(1);
    TVrAniButton* button = shown.button;
    QImage mask(20, 20, QImage::Format_RGB32); // left half black, right half white
    mask.fill(Qt::white);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            mask.setPixel(x, y, 0xFF000000);
    button->SetMaskIndex(shown.list.Add(mask));
    // The 20 x 20 mask sits centred in the 30 x 30 button, from (5, 5).
    EXPECT_TRUE(button->hitTest(QPoint(5, 5)));
    EXPECT_TRUE(button->hitTest(QPoint(14, 24)));
    EXPECT_FALSE(button->hitTest(QPoint(15, 15)));
    EXPECT_FALSE(button->hitTest(QPoint(4, 10)));
    EXPECT_FALSE(button->hitTest(QPoint(10, 25)));
    QSignalSpy clicks(button, &TVrAniButton::OnClick);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_FALSE(button->animating());
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 15));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(shown.waitUntilStill());
}

TEST(AniButton, SetDownOnlyLatchesASwitch) {
    TVrAniButton button;
    button.SetImageCount(8);
    button.SetDown(true);
    EXPECT_FALSE(button.GetDown());
    button.SetSwitchStyle(true);
    button.SetDown(true);
    EXPECT_TRUE(button.GetDown());
    EXPECT_EQ(button.currentFrame(), 7);
    button.SetImageCount(16); // a button that was down shows the new last frame
    EXPECT_EQ(button.currentFrame(), 15);
    EXPECT_TRUE(button.GetDown());
    button.SetSwitchStyle(false); // a momentary button cannot stay down
    EXPECT_FALSE(button.GetDown());
    EXPECT_EQ(button.currentFrame(), 0);
}

TEST(AniButtonPaint, ShowsTheCurrentFrameCentred) {
    ShownButton shown(1);
    TVrAniButton* button = shown.button;
    button->SetSwitchStyle(true);
    QImage image = button->grab().toImage();
    EXPECT_EQ(colourAt(image, 12, 12), testFrameColour(0).name());
    EXPECT_EQ(colourAt(image, 9, 9), button->Color().name());
    button->SetDown(true);
    image = button->grab().toImage();
    EXPECT_EQ(colourAt(image, 12, 12), testFrameColour(31).name());
}
