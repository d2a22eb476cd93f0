#include "desk_button.h"

#include <QKeyEvent>
#include <QMouseEvent>

void DeskButton::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button());
    QPushButton::mousePressEvent(event);
}

void DeskButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) emit mouseDown(Qt::LeftButton);
    QPushButton::keyPressEvent(event);
}
