#include "skin_bitmap.h"

#include <QImageReader>

namespace {

QImage refuse(QString* error, const QString& text) {
    if (error)
        *error = text;
    return {};
}

} // namespace

QImage readSkinBitmap(const QString& path, QString* error) {
    QImageReader reader(path, "bmp");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return refuse(error, QStringLiteral("'%1' is not a readable bitmap: %2")
                                 .arg(path, reader.errorString()));
    if (size.width() > kMaxSkinSide || size.height() > kMaxSkinSide ||
        qint64{size.width()} * size.height() > kMaxSkinPixels)
        return refuse(error, QStringLiteral("'%1' is too large for a skin (%2 x %3 pixels)")
                                 .arg(path)
                                 .arg(size.width())
                                 .arg(size.height()));
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        return refuse(error, QStringLiteral("'%1' is not a readable bitmap: %2")
                                 .arg(path, reader.errorString()));
    return image.convertToFormat(QImage::Format_RGB32);
}
