// TVrBitmapDial: a knob drawn from a skin strip, showing the frame that matches its position
// and turned by dragging (or stepped by clicks).
#pragma once

#include "vr_skinned_control.h"
#include "value_announcer.h"
#include "wheel_steps.h"

#include <QCursor>

class TVrBitmapDial : public TVrSkinnedControl {
    Q_OBJECT
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(bool HideCursor READ HideCursor WRITE SetHideCursor)

public:
    enum TDialStyle { dsLeftRightMove, dsTopBottomMove, dsButtonClick };
    Q_ENUM(TDialStyle)

    explicit TVrBitmapDial(QWidget* parent = nullptr);

    int MaxValue() const { return m_maxValue; }
    void SetMaxValue(int value);
    int MinValue() const { return m_minValue; }
    void SetMinValue(int value);
    int Position() const { return m_position; }
    // Keeps the value within MinValue .. MaxValue; OnChange fires only when the shown
    // percentage changes.
    void SetPosition(int value);
    TDialStyle Style() const { return m_style; }
    void SetStyle(TDialStyle style) { m_style = style; }
    int Increment() const { return m_increment; }
    void SetIncrement(int increment) { m_increment = increment; }
    bool HideCursor() const { return m_hideCursor; }
    void SetHideCursor(bool hide) { m_hideCursor = hide; }

    int GetPercentDone() const;
    // The frame of the strip the dial shows now.
    int currentFrame() const;

signals:
    void OnChange();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Arrow keys step by one, Page Up and Page Down by Increment, Home and End go to the ends.
    void keyPressEvent(QKeyEvent* event) override;
    // One step per notch, ten with Shift or Ctrl.
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ValueAnnouncer m_valueAnnouncer{this};
    int m_maxValue = 100;
    int m_minValue = 0;
    int m_position = 0;
    TDialStyle m_style = dsLeftRightMove;
    int m_increment = 10;
    bool m_hideCursor = true;
    WheelSteps m_wheel;

    bool m_dragging = false;
    QPoint m_pressPoint;
    QPoint m_pressOffset;
    bool m_hadCursor = false; // whether a cursor of its own was set before the drag hid it
    QCursor m_savedCursor;
};
