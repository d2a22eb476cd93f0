// LcdFont: the glyphs of one dot-matrix font, a built-in table or a font file loaded from disk.
#pragma once

#include "lcd_types.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct LcdFontTable;

class LcdFont {
public:
    static constexpr int kMaxGlyphSize = 64;
    static constexpr int kHeaderSize = 16;

    // The table of a built-in font; CustomFont has none and gives mat5x7.
    static LcdFont builtIn(Lcd::DotMatrix font);
    // Reads a font file; on failure returns nothing and says why in *error (when given).
    static std::optional<LcdFont> fromFile(const QString& fileName, QString* error);
    // Parses the bytes of a font file; on failure as fromFile.
    static std::optional<LcdFont> fromBytes(const QByteArray& bytes, QString* error);

    int glyphCols() const { return m_cols; }
    int glyphRows() const { return m_rows; }
    int firstCode() const { return m_firstCode; }
    int lastCode() const { return m_lastCode; }

    // Codes outside the font's range are drawn as its first or last glyph.
    int limitCode(int code) const;
    bool isLit(int code, int row, int col) const;

    // Identifies the glyph data: two fonts with equal keys draw the same.
    const void* identity() const;

private:
    LcdFont() = default;

    int m_cols = 0;
    int m_rows = 0;
    int m_firstCode = 0;
    int m_lastCode = 0;
    const LcdFontTable* m_table = nullptr;
    // A loaded font: 256 glyphs of cols x rows bytes, 1 for a lit dot.
    std::shared_ptr<const std::vector<std::uint8_t>> m_dots;
};
