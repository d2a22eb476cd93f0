// TVrAniButton: a skinned button that animates through its frames when pressed, as a
// momentary push (down and back up) or as a latching switch.
#pragma once

#include "button_animation.h"
#include "vr_skinned_control.h"

class AnimationTimer;

class TVrAniButton : public TVrSkinnedControl {
    Q_OBJECT
    Q_PROPERTY(bool Threaded READ Threaded WRITE SetThreaded)
    Q_PROPERTY(int MaskIndex READ MaskIndex WRITE SetMaskIndex)
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(bool SwitchStyle READ SwitchStyle WRITE SetSwitchStyle)
    Q_PROPERTY(bool Down READ GetDown WRITE SetDown)

public:
    explicit TVrAniButton(QWidget* parent = nullptr);

    bool Threaded() const;
    void SetThreaded(bool threaded);
    int MaskIndex() const { return m_maskIndex; }
    void SetMaskIndex(int index);
    int Interval() const;
    void SetInterval(int milliseconds);
    // false: momentary push; true: latching switch.
    bool SwitchStyle() const { return m_switchStyle; }
    void SetSwitchStyle(bool latching);
    // true when the last frame is shown.
    bool GetDown() const;
    // Only a latching switch can be put down; putting it up works for both styles.
    void SetDown(bool down);

    int currentFrame() const { return m_animation.frame; }
    bool animating() const;
    // Whether a press at pos lands on the button (inside the mask's black pixels, if any).
    bool hitTest(QPoint pos) const;

signals:
    void OnClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void frameGeometryChanged() override;
    // Space plays the button as a left mouse press and release on it.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void timerTick();
    // A press ends: a click when the press was accepted.
    void finishPress();

    int m_maskIndex = -1;
    bool m_switchStyle = false;
    bool m_pressed = false;
    int m_geometryImageCount = 0; // the image count the current frame refers to
    ButtonAnimation m_animation;
    AnimationTimer* m_timer;
};
