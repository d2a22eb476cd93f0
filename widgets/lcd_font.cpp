#include "lcd_font.h"

#include "fonts/lcd_font_tables.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr int kCodeCount = 256;

const LcdFontTable& tableOf(Lcd::DotMatrix font) {
    switch (font) {
    case Lcd::mat5x8:
        return lcdfonts::kMat5x8;
    case Lcd::mat7x9:
        return lcdfonts::kMat7x9;
    case Lcd::mat9x12:
        return lcdfonts::kMat9x12;
    case Lcd::Hitachi:
        return lcdfonts::kHitachi;
    case Lcd::Hitachi2:
        return lcdfonts::kHitachi2;
    case Lcd::dos5x7:
        return lcdfonts::kDos5x7;
    case Lcd::mat5x7:
    case Lcd::CustomFont:
        break;
    }
    return lcdfonts::kMat5x7;
}

std::nullopt_t fail(QString* error, const QString& reason) {
    if (error) *error = reason;
    return std::nullopt;
}

qint32 headerField(const QByteArray& bytes, int index) {
    return qFromLittleEndian<qint32>(bytes.constData() + 4 * index);
}

} // namespace

LcdFont LcdFont::builtIn(Lcd::DotMatrix font) {
    const LcdFontTable& table = tableOf(font);
    LcdFont result;
    result.m_cols = table.cols;
    result.m_rows = table.rows;
    result.m_firstCode = table.firstCode;
    result.m_lastCode = table.lastCode;
    result.m_table = &table;
    return result;
}

std::optional<LcdFont> LcdFont::fromFile(const QString& fileName, QString* error) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot open the file: %1").arg(file.errorString()));
    // A valid file is at most 16 + 256 * 64 * 64 bytes; anything after that is never read.
    const qint64 maxSize = kHeaderSize + qint64(kCodeCount) * kMaxGlyphSize * kMaxGlyphSize;
    const QByteArray bytes = file.read(maxSize);
    if (file.error() != QFileDevice::NoError)
        return fail(error, QStringLiteral("cannot read the file: %1").arg(file.errorString()));
    return fromBytes(bytes, error);
}

std::optional<LcdFont> LcdFont::fromBytes(const QByteArray& bytes, QString* error) {
    if (bytes.size() < kHeaderSize)
        return fail(error,
                    QStringLiteral("the file is %1 bytes long, shorter than its 16-byte header")
                        .arg(bytes.size()));
    const qint32 cols = headerField(bytes, 0);
    const qint32 rows = headerField(bytes, 1);
    const qint32 first = headerField(bytes, 2);
    const qint32 last = headerField(bytes, 3);
    if (cols < 1 || cols > kMaxGlyphSize || rows < 1 || rows > kMaxGlyphSize)
        return fail(error,
                    QStringLiteral("glyph size %1 x %2 is outside 1..64").arg(cols).arg(rows));
    if (first < 0 || last > kCodeCount - 1 || first > last)
        return fail(error,
                    QStringLiteral("code range %1..%2 is not an ascending range within 0..255")
                        .arg(first)
                        .arg(last));
    const qsizetype glyphBytes = qsizetype(cols) * rows;
    const qsizetype needed = kHeaderSize + (last - first + 1) * glyphBytes;
    if (bytes.size() < needed)
        return fail(
            error,
            QStringLiteral("the file ends after %1 of %2 bytes").arg(bytes.size()).arg(needed));

    // Glyphs the file does not hold stay unlit. In the file 0 is a lit dot, anything else unlit.
    auto dots = std::make_shared<std::vector<std::uint8_t>>(kCodeCount * glyphBytes, 0);
    const char* data = bytes.constData() + kHeaderSize;
    std::transform(data, data + (last - first + 1) * glyphBytes, dots->begin() + first * glyphBytes,
                   [](char dot) { return dot == 0 ? 1 : 0; });

    LcdFont font;
    font.m_cols = cols;
    font.m_rows = rows;
    font.m_firstCode = first;
    font.m_lastCode = last;
    font.m_dots = std::move(dots);
    return font;
}

int LcdFont::limitCode(int code) const {
    return std::clamp(code, m_firstCode, m_lastCode);
}

bool LcdFont::isLit(int code, int row, int col) const {
    if (code < m_firstCode || code > m_lastCode || row < 0 || row >= m_rows || col < 0 ||
        col >= m_cols)
        return false;
    if (m_table) {
        const std::uint16_t bits = m_table->rowBits[(code - m_firstCode) * m_rows + row];
        return (bits >> (m_cols - 1 - col)) & 1;
    }
    return (*m_dots)[(std::size_t(code) * m_rows + row) * m_cols + col] != 0;
}

const void* LcdFont::identity() const {
    return m_table ? static_cast<const void*>(m_table) : static_cast<const void*>(m_dots.get());
}
