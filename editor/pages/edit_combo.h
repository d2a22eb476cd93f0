// EditCombo: a combo box that reports only what the user did: choosing an item, or typing text,
// which selects the item of that text or none. Selections set by the program report nothing.
#pragma once

#include <QComboBox>

class EditCombo : public QComboBox {
    Q_OBJECT
public:
    explicit EditCombo(bool editable, QWidget* parent = nullptr);

signals:
    // The selected item after the user's change, -1 when typed text selects none.
    void userChanged(int index);

private:
    void textTyped(const QString& text);
};
