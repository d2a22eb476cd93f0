#include "dialog_focus.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace dialog_focus {
namespace {

bool isDialog(const QObject* object) {
    if (!object->isWidgetType()) return false;
    const auto* widget = static_cast<const QWidget*>(object);
    const Qt::WindowType type = widget->windowType();
    return widget->isWindow() && (type == Qt::Dialog || type == Qt::Sheet) &&
           widget->parentWidget();
}

// The window the dialog came from is activated once the dialog's closing has run its course:
// what the closing starts next (another dialog) comes first.
void activateLater(QObject* context, QWidget& dialog) {
    QTimer::singleShot(0, context, [from = QPointer<QWidget>(dialog.parentWidget()->window())] {
        if (from && from->isVisible() && !QApplication::activeWindow()) from->activateWindow();
    });
}

class Watch : public QObject {
public:
    using QObject::QObject;

protected:
    // Every event of the application passes here: only a dialog's Show and Hide are looked at.
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Show && type != QEvent::Hide) || !isDialog(watched)) return false;
        auto& dialog = static_cast<QWidget&>(*watched);
        if (type == QEvent::Show)
            orderButtonsAsShown(dialog);
        else if (QGuiApplication::focusWindow()) // the user is not in another program
            activateLater(this, dialog);
        return false;
    }
};

} // namespace

void install(QApplication& application) {
    const char* const installed = "dialogFocusInstalled";
    if (application.property(installed).toBool()) return;
    application.setProperty(installed, true);
    application.installEventFilter(new Watch(&application));
}

// A widget raised goes to the end of its parent's children, which is where a screen reader
// reads it.
void orderButtonsAsShown(QWidget& dialog) {
    for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>()) {
        QLayout* layout = box->layout();
        for (int i = 0; layout && i < layout->count(); ++i)
            if (QWidget* button = layout->itemAt(i)->widget()) button->raise();
    }
}

} // namespace dialog_focus
