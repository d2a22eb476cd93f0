#include "built_in_skins.h"
#include "editor_window.h"
#include "transfer_page.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"
#include "vr_bitmap_list.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(TransferPageTestKnob, TurningTheDialSlidesTheReleaseLineAndTheWebLink) {
    TForm1 form({});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TransferPage* page = form.FileSheet;
    TVrBitmapDial* dial = page->TestKnob;
    ASSERT_NE(dial, nullptr);
    EXPECT_EQ(dial->objectName(), QStringLiteral("TestKnob"));
    EXPECT_EQ(page->TestReleaseLabel->x(), 16);

    dial->SetPosition(100);
    EXPECT_EQ(page->TestReleaseLabel->x(), 116);
    EXPECT_EQ(page->KelmoURLLabel->x(), 116);

    // Dragged to the right by the mouse: a quarter of the width adds a quarter of the range.
    dial->SetPosition(0);
    EXPECT_EQ(page->KelmoURLLabel->x(), 16);
    QTest::mousePress(dial, Qt::LeftButton, {}, QPoint(4, 20));
    QTest::mouseMove(dial, QPoint(16, 20)); // 12 of 48 pixels: 25 percent of 127
    QTest::mouseRelease(dial, Qt::LeftButton, {}, QPoint(16, 20));
    EXPECT_EQ(dial->Position(), 31);
    EXPECT_EQ(page->TestReleaseLabel->x(), 47);
    EXPECT_EQ(page->KelmoURLLabel->x(), 47);
}

TEST(TransferPageTestKnob, DialAndButtonShowTheBuiltInSkins) {
    TForm1 form({});
    TVrBitmapDial* dial = form.FileSheet->TestKnob;
    TVrAniButton* button = form.FileSheet->TestButton;
    EXPECT_EQ(dial->BitmapList(), form.VrKnobBitmapList);
    EXPECT_EQ(dial->MaxValue(), 127);
    EXPECT_EQ(dial->ImageCount(), 32);
    EXPECT_EQ(dial->frameWidth(), kBuiltInKnobFrameWidth);
    EXPECT_EQ(dial->frameHeight(), kBuiltInKnobFrameHeight);
    ASSERT_EQ(form.VrKnobBitmapList->Count(), 1);
    EXPECT_EQ(form.VrKnobBitmapList->GetBitmap(0)->size(), QSize(1536, 44));
    // A custom desk's first button skin must land at index 0.
    EXPECT_EQ(form.VrButtonBitmapList->Count(), 0);
    EXPECT_TRUE(button->Threaded());
    EXPECT_EQ(button->Interval(), 200);
    EXPECT_EQ(button->frameWidth(), kBuiltInButtonFrameSide);
    EXPECT_FALSE(button->accessibleName().isEmpty());
    EXPECT_FALSE(dial->accessibleName().isEmpty());
}

TEST(TransferPageTestKnob, DialButtonAndWebLinkWorkFromTheKeyboard) {
    TForm1 form({});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TransferPage* page = form.FileSheet;
    TVrBitmapDial* dial = page->TestKnob;
    const struct {
        Qt::Key key;
        int position;
    } turns[] = {{Qt::Key_Right, 1},  {Qt::Key_Up, 2},       {Qt::Key_PageUp, 12},
                 {Qt::Key_Left, 11},  {Qt::Key_PageDown, 1}, {Qt::Key_End, 127},
                 {Qt::Key_Down, 126}, {Qt::Key_Home, 0}};
    for (const auto& turn : turns) {
        QTest::keyClick(dial, turn.key);
        EXPECT_EQ(dial->Position(), turn.position) << turn.key;
    }
    QTest::keyClick(dial, Qt::Key_End);
    EXPECT_EQ(page->TestReleaseLabel->x(), 127 + 16);

    QSignalSpy clicks(page->TestButton, &TVrAniButton::OnClick);
    QTest::keyClick(page->TestButton, Qt::Key_Space);
    QTest::keyClick(page->TestButton, Qt::Key_Return);
    QTest::keyClick(page->TestButton, Qt::Key_A);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_TRUE(page->TestButton->animating());

    TransferPage alone; // without the window, which would open a browser
    QSignalSpy opened(&alone, &TransferPage::webLinkClicked);
    QTest::keyClick(alone.KelmoURLLabel, Qt::Key_Return);
    QTest::keyClick(alone.KelmoURLLabel, Qt::Key_X);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.front().front().toString(), TransferPage::webAddress());
}
