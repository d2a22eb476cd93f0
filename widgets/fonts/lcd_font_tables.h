// LcdFontTable: the dot table of one built-in LCD font, one row value per glyph row.
#pragma once

#include <cstdint>

struct LcdFontTable {
    int cols; // glyph width in dots, at most 16
    int rows; // glyph height in dots
    int firstCode;
    int lastCode;
    // (lastCode - firstCode + 1) * rows values; bit (cols - 1 - c) is the dot of column c.
    const std::uint16_t* rowBits;
};

namespace lcdfonts {
extern const LcdFontTable kMat5x7;
extern const LcdFontTable kMat5x8;
extern const LcdFontTable kMat7x9;
extern const LcdFontTable kMat9x12;
extern const LcdFontTable kHitachi;
extern const LcdFontTable kHitachi2;
extern const LcdFontTable kDos5x7;
} // namespace lcdfonts
