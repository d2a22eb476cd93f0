// Reading skin bitmaps: Windows bitmap files, checked before they are decoded.
#pragma once

#include <QImage>
#include <QString>

// The largest skin accepted, per side and in pixels; far beyond any real strip of frames.
constexpr int kMaxSkinSide = 32768;
constexpr qint64 kMaxSkinPixels = 16 * 1024 * 1024;

// Reads the file as a Windows bitmap. Returns a null image and an error text when the file is
// missing, empty, truncated, not a bitmap, or too large to be a skin.
QImage readSkinBitmap(const QString& path, QString* error);
// The same checks and decoding on the bytes of a file; `path` names it in the error text.
QImage decodeSkinBitmap(QByteArray bytes, const QString& path, QString* error);
