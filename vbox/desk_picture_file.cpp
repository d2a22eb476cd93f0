#include "desk_picture_file.h"

#include "skin_bitmap.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

QImage refuse(QString* problem, const QString& text) {
    *problem = text;
    return {};
}

bool tooLarge(QSize size) {
    return size.width() > kMaxSkinSide || size.height() > kMaxSkinSide ||
           qint64{size.width()} * size.height() > kMaxSkinPixels;
}

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to
// the decoder with the message kept.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jumpBack(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    error->manager.format_message(info, error->message);
    std::longjmp(error->jump, 1);
}

// Decodes into `image`, which is allocated before any jump can happen; only plain C state lives
// between setjmp and longjmp.
bool decodeJpeg(const QByteArray& bytes, QImage& image, QString& problem) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jumpBack;
    error.message[0] = 0;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        problem = QString::fromLatin1(error.message);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (tooLarge(QSize(int(std::min<JDIMENSION>(info.image_width, kMaxSkinSide + 1)),
                       int(std::min<JDIMENSION>(info.image_height, kMaxSkinSide + 1))))) {
        jpeg_destroy_decompress(&info);
        problem = QStringLiteral("too large (%1 x %2 pixels)")
                      .arg(info.image_width)
                      .arg(info.image_height);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        problem = QStringLiteral("out of memory");
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

QImage readIcon(const QString& path, QString* problem) {
    QImageReader reader(path, "ico");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || tooLarge(size))
        return refuse(problem, QStringLiteral("'%1' is not a readable icon").arg(path));
    QImage image;
    if (!reader.read(&image))
        return refuse(
            problem,
            QStringLiteral("'%1' is not a readable icon: %2").arg(path, reader.errorString()));
    return image;
}

} // namespace

QImage readJpeg(const QString& path, QString* problem) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(problem,
                      QStringLiteral("'%1' cannot be read: %2").arg(path, file.errorString()));
    if (file.size() > kMaxSkinPixels * 4)
        return refuse(problem, QStringLiteral("'%1' is too large for a picture").arg(path));
    const QByteArray bytes = file.readAll();
    QImage image;
    QString why;
    if (!decodeJpeg(bytes, image, why))
        return refuse(problem,
                      QStringLiteral("'%1' is not a readable JPEG picture: %2").arg(path, why));
    return image;
}

QImage readDeskPicture(const QString& path, QString* problem) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp")) return readSkinBitmap(path, problem);
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return readJpeg(path, problem);
    if (suffix == QLatin1String("ico")) return readIcon(path, problem);
    if (suffix == QLatin1String("wmf") || suffix == QLatin1String("emf"))
        return refuse(problem,
                      QStringLiteral("'%1' is a Windows metafile, which cannot be drawn on "
                                     "this platform; the picture stays empty")
                          .arg(path));
    return refuse(problem, QStringLiteral("'%1' is not a bmp, jpg, jpeg or ico picture").arg(path));
}
