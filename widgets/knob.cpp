#include "knob.h"

#include "accessible_controls.h"
#include "desk_label.h"
#include "knob_math.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

using namespace knob_math;

namespace {

// A rectangle given as left, top and exclusive right, bottom, as aliased outlines cover it.
QRect outlineBox(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left - 1, bottom - top - 1);
}

// Qt measures arc angles in sixteenths of a degree.
constexpr int kUpperLeftStart = 45 * 16;
constexpr int kLowerRightStart = 225 * 16;
constexpr int kHalfTurn = 180 * 16;

} // namespace

TKnob::TKnob(QWidget* parent) : QWidget(parent) {
    installAccessibleControls();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_lineColor = palette().color(QPalette::Active, QPalette::Highlight);
    m_degreesPerUnit = degreesPerUnit(m_min, m_max);
    m_angle = angleForValue(m_position, m_min, m_degreesPerUnit);
    resize(40, 40);
}

void TKnob::SetParams(int position, int min, int max) {
    if (min != m_min) {
        m_min = min;
        m_degreesPerUnit = degreesPerUnit(m_min, m_max);
    }
    if (max != m_max) {
        m_max = max;
        m_degreesPerUnit = degreesPerUnit(m_min, m_max);
    }
    const int previousPosition = m_position;
    const int previousAngle = m_angle;
    m_position = limitPosition(position, m_min, m_max, m_degreesPerUnit);
    m_angle = angleForValue(m_position, m_min, m_degreesPerUnit);
    if (m_angle != previousAngle) repaintPointer();
    showInLabel(m_position);
    if (m_position != previousPosition) m_valueAnnouncer.changed();
    emit OnChange();
}

void TKnob::SetSpringLoaded(bool springLoaded) {
    m_springLoaded = springLoaded;
    if (springLoaded) SetPosition(0);
}

void TKnob::SetPositionLabel(QLabel* label) {
    m_positionLabel = label;
    if (label) {
        label->setEnabled(isEnabled());
        showInLabel(m_position);
    }
}

void TKnob::SetLineColor(const QColor& colour) {
    if (colour == m_lineColor || colour == palette().color(QPalette::Button)) return;
    m_lineColor = colour;
    update();
}

void TKnob::SetCaption(const QString& caption) {
    m_caption = caption;
    showInLabel(m_position);
}

QString TKnob::labelText(int value) const {
    return QString::asprintf("%d ", value) + m_caption;
}

void TKnob::showInLabel(int value) {
    if (m_positionLabel) setLabelText(m_positionLabel, labelText(value));
}

void TKnob::resizeEvent(QResizeEvent*) {
    m_side = squareSide(m_side, width(), height());
    m_radius = m_side / 2;
    m_face = QPixmap();
    if (width() != m_side || height() != m_side) resize(m_side, m_side);
}

void TKnob::focusInEvent(QFocusEvent*) {
    update();
    emit OnEnter();
}

void TKnob::focusOutEvent(QFocusEvent*) {
    m_dragActive = false;
    if (m_springLoaded) SetPosition(0);
    update();
    emit OnExit();
}

void TKnob::leaveEvent(QEvent*) {
    showInLabel(m_position);
}

void TKnob::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (m_positionLabel) m_positionLabel->setEnabled(isEnabled());
        update();
        break;
    case QEvent::PaletteChange:
        m_face = QPixmap();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TKnob::trackMouse(QPoint pos) {
    m_mouseAngle = mouseAngle(pos.x(), pos.y(), width(), height());
}

void TKnob::mouseMoveEvent(QMouseEvent* event) {
    trackMouse(event->position().toPoint());
    const int value = valueForAngle(m_mouseAngle, m_min, m_degreesPerUnit);
    if (m_dragActive && value != m_position) SetPosition(value);
    // Hovering previews the value under the pointer without turning the knob.
    showInLabel(value);
}

void TKnob::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_clickPending = true;
        if (QRegion(rect(), QRegion::Ellipse).contains(pos)) {
            setFocus(Qt::MouseFocusReason);
            trackMouse(pos);
            m_dragActive = true;
            SetPosition(valueForAngle(m_mouseAngle, m_min, m_degreesPerUnit));
        }
    }
    emit OnMouseDown(event->button(), event->modifiers(), pos);
}

void TKnob::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_dragActive) {
        trackMouse(pos);
        if (m_springLoaded) {
            SetPosition(0);
        } else {
            const int value = valueForAngle(m_mouseAngle, m_min, m_degreesPerUnit);
            if (value != m_position) SetPosition(value);
        }
        m_dragActive = false;
    }
    emit OnMouseUp(event->button(), event->modifiers(), pos);
    if (event->button() == Qt::LeftButton && m_clickPending && rect().contains(pos)) emit OnClick();
    if (event->button() == Qt::LeftButton) m_clickPending = false;
}

void TKnob::keyPressEvent(QKeyEvent* event) {
    emit OnKeyDown(event->key(), event->modifiers());
    // Arithmetic in 64 bits: stepping past the ends of the int range must not overflow.
    const long long position = m_position;
    long long target;
    switch (event->key()) {
    case Qt::Key_PageUp:
        target = position + m_pageSize;
        break;
    case Qt::Key_PageDown:
        target = position - m_pageSize;
        break;
    case Qt::Key_End:
        target = m_max;
        break;
    case Qt::Key_Home:
        target = m_min;
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        target = position - 1;
        break;
    case Qt::Key_Up:
    case Qt::Key_Right:
        target = position + 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    setPositionWithin(target);
}

void TKnob::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int steps = m_wheel.take(*event);
    if (steps != 0) setPositionWithin(static_cast<long long>(m_position) + steps);
}

// Targets are reckoned in 64 bits and brought back into the int range here.
void TKnob::setPositionWithin(long long target) {
    SetPosition(static_cast<int>(std::clamp<long long>(target, INT_MIN, INT_MAX)));
}

void TKnob::renderFace() {
    const qreal ratio = devicePixelRatioF();
    m_face = QPixmap(size() * ratio);
    m_face.setDevicePixelRatio(ratio);
    const QPalette& pal = palette();
    // The corners outside the face show the colour of the parent.
    m_face.fill(pal.color(QPalette::Window));
    const int r = width();
    const int b = height();
    QPainter painter(&m_face);
    const QColor face = pal.color(QPalette::Button);
    painter.setPen(QPen(face, 1));
    painter.setBrush(face);
    painter.drawEllipse(outlineBox(2, 2, r - 2, b - 2));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(pal.color(QPalette::Light), 2));
    painter.drawArc(outlineBox(2, 2, r, b), kUpperLeftStart, kHalfTurn);
    painter.setPen(QPen(pal.color(QPalette::Dark), 2));
    painter.drawArc(outlineBox(1, 1, r - 1, b - 1), kLowerRightStart, kHalfTurn);
    paintFrame(painter);
}

void TKnob::paintFrame(QPainter& painter) {
    const QColor shadow = palette().color(QPalette::Dark);
    const QRect box = outlineBox(0, 0, width(), height());
    m_faceEnabled = isEnabled();
    m_faceFocused = hasFocus();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(m_faceEnabled ? QColor(Qt::black) : shadow, 1));
    painter.drawEllipse(box);
    painter.setPen(QPen(m_faceFocused ? QColor(Qt::black) : shadow, 1));
    painter.drawArc(box, kUpperLeftStart, kHalfTurn);
}

void TKnob::paintPointer(QPainter& painter) const {
    const double a = m_angle * std::numbers::pi / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const QPoint inner(m_radius + roundHalfEven((m_radius - 11) * c),
                       m_radius - roundHalfEven((m_radius - 11) * s));
    const QPoint outer(m_radius + roundHalfEven((m_radius - 5) * c),
                       m_radius - roundHalfEven((m_radius - 5) * s));
    painter.setPen(QPen(palette().color(QPalette::Light), 1));
    painter.drawLine(inner + QPoint(1, 1), outer + QPoint(1, 1));
    painter.setPen(QPen(m_lineColor, 1));
    painter.drawLine(inner, outer);
}

void TKnob::repaintPointer() {
    // Values may arrive far faster than a screen shows them (motorised pots under a MIDI
    // flood): the pointer is drawn at most once a frame, and always with the latest value.
    if (m_repaintPending) return;
    const qint64 sinceLastPaint = m_lastPaint.isValid() ? m_lastPaint.elapsed() : kFrameMs;
    if (sinceLastPaint >= kFrameMs) {
        update();
        return;
    }
    m_repaintPending = true;
    QTimer::singleShot(int(kFrameMs - sinceLastPaint), this, [this] {
        m_repaintPending = false;
        update();
    });
}

void TKnob::paintEvent(QPaintEvent*) {
    m_lastPaint.start();
    if (m_face.isNull() || m_face.deviceIndependentSize().toSize() != size() ||
        m_faceEnabled != isEnabled() || m_faceFocused != hasFocus())
        renderFace();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_face);
    paintPointer(painter);
}
