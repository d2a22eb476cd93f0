// Skin bitmaps: any bytes are refused with a reason or decoded into an image of the size the
// checks allow.
#include "skin_bitmap.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QString error;
    const QImage image = decodeSkinBitmap(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
        QStringLiteral("fuzz.bmp"), &error);
    if (image.isNull() == error.isEmpty()) std::abort();
    if (!image.isNull() && (image.width() > kMaxSkinSide || image.height() > kMaxSkinSide))
        std::abort();
    return 0;
}
