// Custom LCD font files: any bytes are refused with a reason or give a font whose every dot
// can be asked for.
#include "lcd_font.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QString error;
    const auto font = LcdFont::fromBytes(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
        &error);
    if (!font) {
        if (error.isEmpty()) std::abort();
        return 0;
    }
    int lit = 0;
    for (int code = 0; code < 256; ++code)
        for (int row = 0; row < font->glyphRows(); ++row)
            for (int col = 0; col < font->glyphCols(); ++col)
                lit += font->isLit(font->limitCode(code), row, col);
    return lit < 0;
}
