#include "page_test_support.h"
#include "spin_edit.h"

#include <QSignalSpy>
#include <QVBoxLayout>

using namespace page_test;

namespace {

class SpinEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        field = new SpinEdit(1, 16, 1);
        other = new SpinEdit(0, 1000, 750);
        other->setSuffix(QStringLiteral(" ms"));
        layout->addWidget(field);
        layout->addWidget(other);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    static QList<int> values(const QSignalSpy& spy) {
        QList<int> list;
        for (const auto& args : spy)
            list << args.at(0).toInt();
        return list;
    }

    QWidget window;
    SpinEdit* field = nullptr;
    SpinEdit* other = nullptr;
};

TEST_F(SpinEditTest, TypedNumbersCountAsTypedUntilTheFieldIsLeft) {
    QSignalSpy changes(field, &SpinEdit::valueChanged);
    typeInto(field, QStringLiteral("17"));
    EXPECT_EQ(field->value(), 17);
    EXPECT_EQ(field->clampedValue(), 16);
    leave(field);
    EXPECT_EQ(field->value(), 16);
    EXPECT_EQ(field->text(), "16");
    // "1" changes nothing (it was 1), "17" and the clamp on leaving do.
    EXPECT_EQ(values(changes), QList<int>({17, 16}));
}

TEST_F(SpinEditTest, TextThatIsNotANumberReadsAsTheMinimum) {
    field->setValue(9);
    QSignalSpy changes(field, &SpinEdit::valueChanged);
    typeInto(field, QString());
    EXPECT_EQ(field->value(), 1);
    EXPECT_EQ(field->text(), "");
    typeInto(field, QStringLiteral("x"));
    EXPECT_EQ(field->text(), ""); // letters are refused
    leave(field);
    EXPECT_EQ(field->text(), "1");
    EXPECT_EQ(values(changes), QList<int>({1}));

    typeAndLeave(other, QStringLiteral("-"));
    EXPECT_EQ(other->value(), 0);
    EXPECT_EQ(other->text(), "0 ms");
}

TEST_F(SpinEditTest, ValuesSetByTheProgramAreClampedAndAnEqualValueSignalsNothing) {
    QSignalSpy changes(field, &SpinEdit::valueChanged);
    field->setValue(40);
    field->setValue(16);
    field->setValue(-3);
    field->setValue(1);
    EXPECT_EQ(values(changes), QList<int>({16, 1}));
    field->setRange(5, 10);
    EXPECT_EQ(field->value(), 5);
}

TEST_F(SpinEditTest, StepsStayInsideTheRange) {
    field->setValue(15);
    field->setFocus();
    press(field, Qt::Key_Up);
    press(field, Qt::Key_Up);
    EXPECT_EQ(field->value(), 16);
    typeInto(field, QStringLiteral("30"));
    press(field, Qt::Key_Down);
    EXPECT_EQ(field->value(), 15);
}

TEST_F(SpinEditTest, TypedNumbersKeepTheUnitAndAreReadWithoutIt) {
    QSignalSpy changes(other, &SpinEdit::valueChanged);
    typeInto(other, QStringLiteral("1200"));
    EXPECT_EQ(other->value(), 1200);
    leave(other);
    EXPECT_EQ(other->text(), "1000 ms");
    EXPECT_EQ(values(changes).last(), 1000);
}

TEST_F(SpinEditTest, IsSizedForItsRangeNotForWhatTypingAllows) {
    const SpinEdit narrow(0, 7, 0);
    const SpinEdit wide(0, 1000, 0);
    EXPECT_LT(narrow.sizeHint().width(), wide.sizeHint().width());
    EXPECT_LT(wide.sizeHint().width(), 2 * narrow.sizeHint().width() + 40);
}

} // namespace
