#include "png_writer.h"

#include <QSaveFile>
#include <QSysInfo>
#include <csetjmp>
#include <png.h>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

// libpng reports failures by a long jump back here, so nothing between setjmp and the end of
// this function may need a destructor.
bool encode(const QImage& image, bool alpha, QByteArray& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, appendBytes, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                 static_cast<png_uint_32>(image.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    // The rows are 32-bit pixels 0xAARRGGBB in the machine's byte order: libpng takes them as
    // they are (set once the header is written) and drops the unused byte of opaque ones.
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        png_set_bgr(png);
        if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
    } else {
        if (alpha)
            png_set_swap_alpha(png);
        else
            png_set_filler(png, 0, PNG_FILLER_BEFORE);
    }
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

QString writePng(const QString& path, const QImage& image) {
    if (image.isNull()) return QStringLiteral("nothing to write to '%1'").arg(path);
    const bool alpha = image.hasAlphaChannel();
    const QImage rows = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QByteArray bytes;
    if (!encode(rows, alpha, bytes)) return QStringLiteral("cannot encode '%1'").arg(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("cannot write '%1'").arg(path);
    return {};
}
