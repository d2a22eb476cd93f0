#include "png_writer.h"
#include "qt_printers.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage picture(QImage::Format format, QColor fill) {
    QImage image(37, 23, format); // odd sizes: rows without padding of their own
    image.fill(fill);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(250, 10, 120, 200), 3));
    painter.drawEllipse(4, 3, 25, 15);
    return image;
}

TEST(PngWriter, WritesEveryPixelBackUnchangedWithOrWithoutAlpha) {
    QTemporaryDir dir;
    const struct {
        QImage::Format format;
        QColor fill;
    } cases[] = {{QImage::Format_RGB32, QColor(30, 60, 90)},
                 {QImage::Format_ARGB32, QColor(0, 128, 0, 64)},
                 {QImage::Format_ARGB32_Premultiplied, Qt::transparent}};
    for (const auto& c : cases) {
        const QImage original = picture(c.format, c.fill);
        const QString path = dir.filePath(QStringLiteral("picture.png"));
        ASSERT_EQ(writePng(path, original), QString());
        const QImage read(path);
        ASSERT_EQ(read.size(), original.size());
        EXPECT_EQ(read.hasAlphaChannel(), original.hasAlphaChannel());
        EXPECT_EQ(read.convertToFormat(QImage::Format_ARGB32),
                  original.convertToFormat(QImage::Format_ARGB32))
            << "format " << c.format;
    }
}

TEST(PngWriter, AFailedWriteKeepsTheOldFileAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.png"));
    ASSERT_EQ(writePng(path, picture(QImage::Format_RGB32, Qt::white)), QString());
    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    EXPECT_FALSE(writePng(path, QImage()).isEmpty());
    EXPECT_FALSE(writePng(dir.filePath(QStringLiteral("missing/new.png")),
                          picture(QImage::Format_RGB32, Qt::black))
                     .isEmpty());
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

} // namespace
