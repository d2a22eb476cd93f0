// writePng: saves an image as a PNG file quickly. Screenshots are mostly flat colours, which
// deflate compresses well without row filters at its fastest level; libpng's default of trying
// every filter on every row makes encoding slower than drawing the window.
#pragma once

#include <QImage>
#include <QString>

// Writes `image` to `path`, keeping an alpha channel when it has one; the file is replaced only
// once the whole picture is written. Returns the problem, or an empty text when it went well.
QString writePng(const QString& path, const QImage& image);
