#include "vr_bitmap_dial.h"

#include "dial_math.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <climits>

using namespace dial_math;

namespace {

int toInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// A drag far outside the control asks for many times the range; anything beyond the range is
// limited anyway, so the percentage is bounded before it is multiplied.
constexpr long long kMaxDragPercent = 1000;

} // namespace

TVrBitmapDial::TVrBitmapDial(QWidget* parent) : TVrSkinnedControl(parent) {
    setFocusPolicy(Qt::StrongFocus); // turned with the keys as well as with the mouse
    resize(50, 50);
}

int TVrBitmapDial::GetPercentDone() const {
    return toInt(percent(static_cast<long long>(m_position) - m_minValue,
                         static_cast<long long>(m_maxValue) - m_minValue));
}

int TVrBitmapDial::currentFrame() const {
    return frameForPercent(GetPercentDone(), ImageCount());
}

void TVrBitmapDial::SetPosition(int value) {
    if (value < m_minValue) value = m_minValue;
    if (value > m_maxValue) value = m_maxValue;
    if (value == m_position) return;
    const int before = GetPercentDone();
    m_position = value;
    m_valueAnnouncer.changed();
    if (GetPercentDone() != before) {
        update();
        emit OnChange();
    }
}

void TVrBitmapDial::SetMinValue(int value) {
    if (value == m_minValue) return;
    m_minValue = value;
    if (m_position < m_minValue)
        SetPosition(m_minValue);
    else
        update();
}

void TVrBitmapDial::SetMaxValue(int value) {
    if (value == m_maxValue) return;
    m_maxValue = value;
    if (m_position > m_maxValue)
        SetPosition(m_maxValue);
    else
        update();
}

void TVrBitmapDial::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit OnMouseDown(event->button(), event->modifiers(), pos);
    m_pressPoint = pos;
    const int done = GetPercentDone();
    m_pressOffset =
        QPoint(pos.x() - toInt(share(done, width())), pos.y() - toInt(share(done, height())));
    if (m_style == dsButtonClick) {
        const long long step = event->button() == Qt::LeftButton    ? m_increment
                               : event->button() == Qt::RightButton ? -m_increment
                                                                    : 0;
        SetPosition(toInt(m_position + step));
        return;
    }
    m_dragging = true;
    if (m_hideCursor) {
        m_hadCursor = testAttribute(Qt::WA_SetCursor);
        m_savedCursor = cursor();
        setCursor(Qt::BlankCursor);
    }
}

void TVrBitmapDial::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return;
    const QPoint pos = event->position().toPoint();
    const long long p = m_style == dsLeftRightMove ? percent(pos.x() - m_pressOffset.x(), width())
                                                   : percent(pos.y() - m_pressOffset.y(), height());
    // Measured from MinValue so that a drag starts where the dial stands, whatever its range.
    const long long range = static_cast<long long>(m_maxValue) - m_minValue;
    SetPosition(toInt(share(std::clamp(p, -kMaxDragPercent, kMaxDragPercent), range) + m_minValue));
}

void TVrBitmapDial::keyPressEvent(QKeyEvent* event) {
    const long long step =
        event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown ? m_increment : 1;
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        SetPosition(toInt(m_position + step));
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        SetPosition(toInt(m_position - step));
        break;
    case Qt::Key_Home:
        SetPosition(m_minValue);
        break;
    case Qt::Key_End:
        SetPosition(m_maxValue);
        break;
    default:
        TVrSkinnedControl::keyPressEvent(event);
    }
}

void TVrBitmapDial::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (const int steps = m_wheel.take(*event); steps != 0)
        SetPosition(toInt(static_cast<long long>(m_position) + steps));
}

void TVrBitmapDial::mouseReleaseEvent(QMouseEvent*) {
    if (!m_dragging) return;
    m_dragging = false;
    if (m_hideCursor) {
        if (m_hadCursor)
            setCursor(m_savedCursor);
        else
            unsetCursor();
    }
    QCursor::setPos(mapToGlobal(m_pressPoint));
}

void TVrBitmapDial::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintSkin(painter, currentFrame());
}
