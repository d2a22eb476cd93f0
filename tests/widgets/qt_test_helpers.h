// Readable gtest output for the Qt values the widget tests compare, and pixel colours by name.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
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
