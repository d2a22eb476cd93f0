// KeyPreview: lets a window see the key presses meant for any of its controls before the
// control does, so that its shortcuts work whichever control has the focus.
#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

class KeyPreview : public QObject {
    Q_OBJECT
public:
    // `handler` returns true when it took the key; the control then never sees it.
    using Handler = std::function<bool(const QKeyEvent&)>;

    // Lives as long as `window`.
    KeyPreview(QWidget* window, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    Handler m_handler;
};
