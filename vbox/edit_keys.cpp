#include "edit_keys.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWidget>

namespace {

bool isEditKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_Menu ||
           (key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier);
}

// The key itself when the control sees it, else the context menu event Qt makes of it; a
// right-click has its own way in.
bool asksForEditor(const QEvent& event) {
    if (event.type() == QEvent::KeyPress) return isEditKey(static_cast<const QKeyEvent&>(event));
    return event.type() == QEvent::ContextMenu &&
           static_cast<const QContextMenuEvent&>(event).reason() == QContextMenuEvent::Keyboard;
}

} // namespace

EditKeys::EditKeys(Open open, QObject* parent) : QObject(parent), m_open(std::move(open)) {}

void EditKeys::watch(QWidget* control) {
    control->installEventFilter(this);
}

bool EditKeys::eventFilter(QObject* watched, QEvent* event) {
    if (!asksForEditor(*event)) return false;
    m_open(watched);
    return true;
}
