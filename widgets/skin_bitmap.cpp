#include "skin_bitmap.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <cstdlib>

namespace {

// Even the largest skin accepted fits in this many bytes of file.
constexpr qint64 kMaxSkinFileBytes = kMaxSkinPixels * 4 + 64 * 1024;

QImage refuse(QString* error, const QString& text) {
    if (error) *error = text;
    return {};
}

template <typename T> T field(const QByteArray& bytes, int at) {
    return qFromLittleEndian<T>(bytes.constData() + at);
}

// Whether an uncompressed bitmap holds every row its header promises. The image reader
// accepts short files and leaves the missing rows undefined; a skin must not.
bool pixelDataComplete(const QByteArray& bytes) {
    constexpr int kCoreHeaderSize = 12;
    constexpr int kInfoHeaderEnd = 34;
    if (bytes.size() < 14 + kCoreHeaderSize) return false;
    const quint32 dataOffset = field<quint32>(bytes, 10);
    qint64 width = 0;
    qint64 height = 0;
    int bitsPerPixel = 0;
    if (field<quint32>(bytes, 14) == kCoreHeaderSize) {
        width = field<quint16>(bytes, 18);
        height = field<quint16>(bytes, 20);
        bitsPerPixel = field<quint16>(bytes, 24);
    } else {
        if (bytes.size() < kInfoHeaderEnd) return false;
        constexpr quint32 kUncompressed = 0;
        constexpr quint32 kBitFields = 3;
        const quint32 compression = field<quint32>(bytes, 30);
        if (compression != kUncompressed && compression != kBitFields)
            return true; // run-length data has no fixed size; the reader checks it
        width = field<qint32>(bytes, 18);
        height = std::llabs(field<qint32>(bytes, 22));
        bitsPerPixel = field<quint16>(bytes, 28);
    }
    if (width <= 0 || height <= 0 || bitsPerPixel <= 0)
        return true; // no pixel data to measure; the reader refuses such a header itself
    // Divided rather than multiplied: a forged header must not overflow the size it claims.
    const qint64 stride = (width * bitsPerPixel + 31) / 32 * 4;
    const qint64 available = bytes.size() - qint64{dataOffset};
    return available >= 0 && height <= available / stride;
}

QString unreadable(const QString& path, const QString& why) {
    return QStringLiteral("'%1' is not a readable bitmap: %2").arg(path, why);
}

} // namespace

QImage readSkinBitmap(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return refuse(error, unreadable(path, file.errorString()));
    if (file.size() > kMaxSkinFileBytes)
        return refuse(error, QStringLiteral("'%1' is too large for a skin").arg(path));
    return decodeSkinBitmap(file.readAll(), path, error);
}

QImage decodeSkinBitmap(QByteArray bytes, const QString& path, QString* error) {
    if (bytes.size() > kMaxSkinFileBytes)
        return refuse(error, QStringLiteral("'%1' is too large for a skin").arg(path));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return refuse(error, unreadable(path, reader.errorString()));
    if (size.width() > kMaxSkinSide || size.height() > kMaxSkinSide ||
        qint64{size.width()} * size.height() > kMaxSkinPixels)
        return refuse(error, QStringLiteral("'%1' is too large for a skin (%2 x %3 pixels)")
                                 .arg(path)
                                 .arg(size.width())
                                 .arg(size.height()));
    if (!pixelDataComplete(bytes))
        return refuse(error, unreadable(path, QStringLiteral("the file is truncated")));
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        return refuse(error, unreadable(path, reader.errorString()));
    return image.convertToFormat(QImage::Format_RGB32);
}
