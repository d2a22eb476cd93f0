// SpinEdit: the number field of every page. A typed number counts at once, even outside the
// field's range, and is clamped when the field is left; numbers set by the program are clamped.
#pragma once

#include <QSpinBox>

// Every change of the value emits valueChanged(int): each keystroke that changes the number,
// the clamp on leaving, and values set by the program. Setting the current value again emits
// nothing. Text that is not a number reads as the minimum, and leaving the field shows that.
// Use the SpinEdit functions for the range and value: the QSpinBox ones see a wider range that
// lets typed numbers through.
class SpinEdit : public QSpinBox {
    Q_OBJECT
    // Screen readers read the range through these properties: they give the real one.
    Q_PROPERTY(int minimum READ minimum)
    Q_PROPERTY(int maximum READ maximum)
public:
    explicit SpinEdit(QWidget* parent = nullptr);
    SpinEdit(int min, int max, int value, QWidget* parent = nullptr);

    void setRange(int min, int max);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    // Clamped into the range.
    void setValue(int value);
    // The value clamped into the range, whatever is typed at the moment.
    int clampedValue() const;
    // What the field is, as its accessible name says without the colon: "Max Value".
    QString caption() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A number typed outside the range was clamped into it as the field was left; why says
    // which number became which, to be told to the user whose focus has moved on.
    void refused(const QString& why);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
    void stepBy(int steps) override;
    StepEnabled stepEnabled() const override;

private:
    QString numberPart(const QString& text) const;
    int textWidth(int value) const;
    void clampIntoRange();

    int m_min = 0;
    int m_max = 99;
};
