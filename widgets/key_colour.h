// Colour keying: the pixels of one colour become transparent so the parent shows through.
#pragma once

#include <QImage>

// A copy of image in which every pixel of key's colour (alpha ignored) is fully transparent.
QImage keyedOut(const QImage& image, QRgb key);
