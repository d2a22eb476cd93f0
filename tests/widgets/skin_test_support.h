// Synthetic skins for the skinned-control tests: strips of solid, numbered frames.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>

// The colour of frame i of a test strip: distinct for every frame, never magenta.
inline QColor testFrameColour(int i) {
    return QColor(10 + i * 7 % 240, 200 - i * 5 % 190, 40);
}

// A strip of frames frames of frameWidth x frameHeight, each filled with testFrameColour(i),
// with a magenta (key colour) top-left pixel in every frame.
inline QImage testStrip(int frames, int frameWidth, int frameHeight) {
    QImage strip(frames * frameWidth, frameHeight, QImage::Format_RGB32);
    QPainter painter(&strip);
    for (int i = 0; i < frames; ++i)
        painter.fillRect(i * frameWidth, 0, frameWidth, frameHeight, testFrameColour(i));
    painter.end();
    for (int i = 0; i < frames; ++i)
        strip.setPixel(i * frameWidth, 0, 0xFFFF00FF);
    return strip;
}
