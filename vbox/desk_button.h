// DeskButton: the standard push button of a desk. Reports the mouse button that went down
// (right-click opens its editor page), and a Space press like a left mouse press, so that a
// button played from the keyboard sends its press and its release.
#pragma once

#include <QPushButton>

class DeskButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

signals:
    void mouseDown(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
