// Readable gtest output for the Qt values the widget tests compare, and pixel colours by name.
#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWheelEvent>
#include <QWidget>
#include <ostream>

inline void PrintTo(const QColor& colour, std::ostream* os) {
    *os << colour.name(QColor::HexArgb).toStdString();
}
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QSize& size, std::ostream* os) {
    *os << size.width() << " x " << size.height();
}
inline void PrintTo(const QPoint& point, std::ostream* os) {
    *os << '(' << point.x() << ", " << point.y() << ')';
}

// The colour of one pixel as "#rrggbb", to compare with QColor::name() of the expected colour.
inline QString colourAt(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).name();
}

// Turns the mouse wheel over the middle of `widget` by `angle` eighths of a degree (120 is one
// notch of a common wheel).
inline void turnWheel(QWidget* widget, QPoint angle, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF centre(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent wheel(centre, widget->mapToGlobal(centre), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &wheel);
}
