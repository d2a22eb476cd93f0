// TKnob: a round, raised knob with a pointer line, turned by mouse drag or keyboard; maps an
// integer range onto a 300-degree sweep and reports every assignment of its position.
#pragma once

#include "value_announcer.h"
#include "wheel_steps.h"

#include <QColor>
#include <QElapsedTimer>
#include <QLabel>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QWidget>

class TKnob : public QWidget {
    Q_OBJECT
    // The desk's number for the control; declared, it is read without a search by name.
    Q_PROPERTY(int Tag MEMBER m_tag)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(quint16 PageSize READ PageSize WRITE SetPageSize)
    Q_PROPERTY(bool SpringLoaded READ SpringLoaded WRITE SetSpringLoaded)
    Q_PROPERTY(QColor LineColor READ LineColor WRITE SetLineColor)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit TKnob(QWidget* parent = nullptr);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    void SetMin(int min) { SetParams(m_position, min, m_max); }
    void SetMax(int max) { SetParams(m_position, m_min, max); }
    void SetPosition(int position) { SetParams(position, m_min, m_max); }
    // Every change of position, min or max goes through here and fires OnChange, even when
    // nothing changed: owners that fill or follow the knob rely on that.
    void SetParams(int position, int min, int max);

    quint16 PageSize() const { return m_pageSize; }
    void SetPageSize(quint16 pageSize) { m_pageSize = pageSize; }
    bool SpringLoaded() const { return m_springLoaded; }
    void SetSpringLoaded(bool springLoaded);
    QLabel* PositionLabel() const { return m_positionLabel; }
    void SetPositionLabel(QLabel* label);
    QColor LineColor() const { return m_lineColor; }
    void SetLineColor(const QColor& colour);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

    float DegreesPerUnit() const { return m_degreesPerUnit; }
    int Angle() const { return m_angle; }
    int MouseAngle() const { return m_mouseAngle; }
    bool DragActive() const { return m_dragActive; }
    int Radius() const { return m_radius; }

    // The text the value label shows for a value: "64 " followed by the caption.
    QString labelText(int value) const;

signals:
    void OnChange();
    void OnClick();
    void OnEnter();
    void OnExit();
    void OnKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // One step per notch, ten with Shift or Ctrl; each turn is one assignment of Position.
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ValueAnnouncer m_valueAnnouncer{this};
    void setPositionWithin(long long target);
    void repaintPointer();
    void trackMouse(QPoint pos);
    void showInLabel(int value);
    void renderFace();
    void paintFrame(QPainter& painter);
    void paintPointer(QPainter& painter) const;

    int m_min = 0;
    int m_max = 127;
    int m_position = 0;
    quint16 m_pageSize = 10;
    bool m_springLoaded = false;
    QPointer<QLabel> m_positionLabel;
    QColor m_lineColor;
    QString m_caption;

    int m_side = 0;
    int m_radius = 20;
    float m_degreesPerUnit = 0.0f;
    int m_angle = 0;
    int m_mouseAngle = 0;
    bool m_dragActive = false;
    bool m_clickPending = false;
    WheelSteps m_wheel;
    // Background, raised face and frame, drawn again only when the size, the palette, the
    // enabled state or the focus changes; a repaint copies it and adds the pointer.
    QPixmap m_face;
    bool m_faceEnabled = false;
    bool m_faceFocused = false;
    // A screen frame at 60 Hz, the least time between two repaints for a new value.
    static constexpr qint64 kFrameMs = 16;
    QElapsedTimer m_lastPaint;
    bool m_repaintPending = false;
    int m_tag = 0;
};
