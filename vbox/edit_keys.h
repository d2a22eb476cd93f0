// EditKeys: opens a desk control's editor page from the keyboard. The context menu key and
// Shift+F10 on a watched control do what a right-click on it does.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

class EditKeys : public QObject {
public:
    using Open = std::function<void(QObject* control)>;
    explicit EditKeys(Open open, QObject* parent = nullptr);

    void watch(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Open m_open;
};
