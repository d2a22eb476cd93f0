#include "vr_ani_button.h"

#include "animation_timer.h"
#include "vr_bitmap_list.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

TVrAniButton::TVrAniButton(QWidget* parent)
    : TVrSkinnedControl(parent), m_timer(new AnimationTimer(this)) {
    m_timer->setInterval(1000);
    connect(m_timer, &AnimationTimer::tick, this, &TVrAniButton::timerTick);
    setFocusPolicy(Qt::StrongFocus); // pressed with the keys as well as with the mouse
    resize(30, 30);
}

bool TVrAniButton::Threaded() const {
    return m_timer->isThreaded();
}

void TVrAniButton::SetThreaded(bool threaded) {
    m_timer->setThreaded(threaded);
}

void TVrAniButton::SetMaskIndex(int index) {
    m_maskIndex = index;
}

int TVrAniButton::Interval() const {
    return m_timer->interval();
}

void TVrAniButton::SetInterval(int milliseconds) {
    m_timer->setInterval(milliseconds);
}

bool TVrAniButton::animating() const {
    return m_timer->isEnabled();
}

void TVrAniButton::SetSwitchStyle(bool latching) {
    if (latching == m_switchStyle) return;
    m_switchStyle = latching;
    if (!latching) SetDown(false);
}

bool TVrAniButton::GetDown() const {
    return ImageCount() > 0 && m_animation.frame == ImageCount() - 1;
}

void TVrAniButton::SetDown(bool down) {
    if (down && !m_switchStyle) return;
    m_animation = {};
    if (down) m_animation = {std::max(ImageCount() - 1, 0), ButtonAnimation::Falling};
    update();
}

void TVrAniButton::frameGeometryChanged() {
    const bool wasDown = m_geometryImageCount > 0 && m_animation.frame == m_geometryImageCount - 1;
    m_geometryImageCount = ImageCount();
    m_animation.frame = wasDown ? std::max(ImageCount() - 1, 0) : 0;
}

bool TVrAniButton::hitTest(QPoint pos) const {
    const QImage* mask = BitmapList() ? BitmapList()->GetBitmap(m_maskIndex) : nullptr;
    if (!mask) return rect().contains(pos);
    const QPoint origin((width() - mask->width()) / 2, (height() - mask->height()) / 2);
    const QPoint inMask = pos - origin;
    return mask->rect().contains(inMask) && (mask->pixel(inMask) & RGB_MASK) == 0;
}

void TVrAniButton::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit OnMouseDown(event->button(), event->modifiers(), pos);
    if (event->button() == Qt::LeftButton && hitTest(pos)) press();
}

void TVrAniButton::mouseReleaseEvent(QMouseEvent*) {
    // The click belongs to the accepted press, wherever the pointer is let go.
    release();
}

bool TVrAniButton::isPressKey(const QKeyEvent& event) {
    return !event.isAutoRepeat() && (event.key() == Qt::Key_Space ||
                                     event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter);
}

void TVrAniButton::keyPressEvent(QKeyEvent* event) {
    if (isPressKey(*event)) {
        // Played from the keyboard, the button reports the press a mouse would.
        emit OnMouseDown(Qt::LeftButton, event->modifiers(), rect().center());
        press();
    } else
        TVrSkinnedControl::keyPressEvent(event);
}

void TVrAniButton::keyReleaseEvent(QKeyEvent* event) {
    if (isPressKey(*event))
        release();
    else
        TVrSkinnedControl::keyReleaseEvent(event);
}

void TVrAniButton::press() {
    m_pressed = true;
    m_timer->setEnabled(true);
}

void TVrAniButton::release() {
    if (!m_pressed) return;
    m_pressed = false;
    // A momentary button held down on its last frame now plays back up.
    if (!m_switchStyle && !animating()) m_timer->setEnabled(true);
    emit OnClick();
}

void TVrAniButton::timerTick() {
    const ButtonAnimation::Step step = m_animation.tick(ImageCount(), m_switchStyle, m_pressed);
    if (step.repaint) update();
    if (step.stop) m_timer->setEnabled(false);
}

void TVrAniButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintSkin(painter, m_animation.frame);
}
