#include "text_encoding.h"

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kUtf16LEBom("\xFF\xFE");
const QByteArray kUtf16BEBom("\xFE\xFF");

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. Its five unassigned bytes map to the
// control characters of the same number, as Windows maps them, so that every byte reads back.
// Written here because Qt offers this code page only when it was built with ICU.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = byte >= 0x80 && byte < 0xA0 ? QChar(kCp1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

std::optional<char> toWindows1252(QChar c) {
    const char16_t code = c.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == code) return static_cast<char>(0x80 + i);
    return std::nullopt;
}

QByteArray utf16(const QByteArray& bytes, QStringConverter::Encoding encoding) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless |
                                         QStringConverter::Flag::ConvertInitialBom);
    return QString(decoder(bytes)).toUtf8();
}

} // namespace

DecodedText decodeText(const QByteArray& bytes) {
    if (bytes.startsWith(kUtf16LEBom))
        return {utf16(bytes.mid(2), QStringConverter::Utf16LE), TextEncoding::Utf16LE};
    if (bytes.startsWith(kUtf16BEBom))
        return {utf16(bytes.mid(2), QStringConverter::Utf16BE), TextEncoding::Utf16BE};
    if (bytes.startsWith(kUtf8Bom)) return {bytes.mid(kUtf8Bom.size()), TextEncoding::Utf8WithBom};
    if (bytes.isValidUtf8()) return {bytes, TextEncoding::Utf8}; // checked without decoding
    return {fromWindows1252(bytes).toUtf8(), TextEncoding::Windows1252};
}

std::optional<QByteArray> encodeText(const QByteArray& utf8, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return utf8;
    case TextEncoding::Utf8WithBom:
        return kUtf8Bom + utf8;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool little = encoding == TextEncoding::Utf16LE;
        QStringEncoder encoder(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        return (little ? kUtf16LEBom : kUtf16BEBom) + QByteArray(encoder(QString::fromUtf8(utf8)));
    }
    case TextEncoding::Windows1252: {
        const QString text = QString::fromUtf8(utf8);
        QByteArray bytes(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const auto byte = toWindows1252(text[i]);
            if (!byte) return std::nullopt;
            bytes[i] = *byte;
        }
        return bytes;
    }
    }
    return utf8;
}
