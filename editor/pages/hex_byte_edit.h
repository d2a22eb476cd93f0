// HexByteEdit: the hexadecimal box beside a number field of the pot and button pages. It shows
// the field's value as two upper-case digits and takes a hexadecimal number typed into it.
#pragma once

#include <QLineEdit>

class SpinEdit;

// A number typed here reaches the field when Enter is pressed or the box is left; a number the
// field's range does not hold, or no number at all, is refused and the field's value shown again.
// The accessible name carries the field's caption and the digits shown.
class HexByteEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit HexByteEdit(SpinEdit* field, QWidget* parent = nullptr);
    const SpinEdit* field() const { return m_field; }

signals:
    // A typed number was refused; why says which, and the value kept.
    void refused(const QString& why);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void showValue(int value);
    void updateName();
    void enter();

    SpinEdit* m_field;
};
