#include "lcd_font.h"
#include "lcd_font_sheet.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::string pattern(const LcdFont& font, int code) {
    std::string dots;
    for (int row = 0; row < font.glyphRows(); ++row) {
        for (int col = 0; col < font.glyphCols(); ++col)
            dots += font.isLit(code, row, col) ? '#' : '.';
        dots += '\n';
    }
    return dots;
}

bool isBlank(const LcdFont& font, int code) {
    return pattern(font, code).find('#') == std::string::npos;
}

bool rowLit(const LcdFont& font, int code, int row, std::initializer_list<int> cols) {
    for (int col = 0; col < font.glyphCols(); ++col) {
        const bool expected = std::find(cols.begin(), cols.end(), col) != cols.end();
        if (font.isLit(code, row, col) != expected) return false;
    }
    return true;
}

} // namespace

TEST(LcdBuiltInFonts, GlyphSizesAndCodeRanges) {
    struct Expected {
        Lcd::DotMatrix font;
        int cols, rows, first, last;
    };
    const Expected fonts[] = {
        {Lcd::mat5x7, 5, 7, 32, 126}, {Lcd::mat5x8, 5, 8, 32, 126},
        {Lcd::mat7x9, 7, 9, 32, 126}, {Lcd::mat9x12, 9, 12, 32, 126},
        {Lcd::Hitachi, 5, 7, 0, 255}, {Lcd::Hitachi2, 5, 10, 32, 223},
        {Lcd::dos5x7, 5, 7, 0, 255},  {Lcd::CustomFont, 5, 7, 32, 126},
    };
    for (const Expected& e : fonts) {
        const LcdFont font = LcdFont::builtIn(e.font);
        EXPECT_EQ(font.glyphCols(), e.cols) << e.font;
        EXPECT_EQ(font.glyphRows(), e.rows) << e.font;
        EXPECT_EQ(font.firstCode(), e.first) << e.font;
        EXPECT_EQ(font.lastCode(), e.last) << e.font;
    }
}

TEST(LcdBuiltInFonts, PrintableAsciiHasDistinctVisibleGlyphsInEveryFont) {
    for (Lcd::DotMatrix which : {Lcd::mat5x7, Lcd::mat5x8, Lcd::mat7x9, Lcd::mat9x12, Lcd::Hitachi,
                                 Lcd::Hitachi2, Lcd::dos5x7}) {
        const LcdFont font = LcdFont::builtIn(which);
        EXPECT_TRUE(isBlank(font, ' ')) << which;
        std::set<std::string> seen;
        for (int code = 33; code <= 125; ++code) {
            EXPECT_FALSE(isBlank(font, code)) << "font " << which << " code " << code;
            EXPECT_TRUE(seen.insert(pattern(font, code)).second)
                << "font " << which << " code " << code << " repeats an earlier glyph";
        }
    }
}

TEST(LcdBuiltInFonts, DescendersUseTheLowRowsOfTheTallerFonts) {
    const LcdFont mat5x8 = LcdFont::builtIn(Lcd::mat5x8);
    const LcdFont mat9x12 = LcdFont::builtIn(Lcd::mat9x12);
    EXPECT_TRUE(rowLit(mat5x8, 'a', 7, {}));
    for (int code : {'g', 'j', 'p', 'q', 'y'}) {
        EXPECT_FALSE(rowLit(mat5x8, code, 7, {})) << char(code);
        EXPECT_FALSE(rowLit(mat9x12, code, 11, {})) << char(code);
    }
}

TEST(LcdBuiltInFonts, HitachiVerticalBarLevels) {
    const LcdFont font = LcdFont::builtIn(Lcd::Hitachi);
    EXPECT_TRUE(isBlank(font, 1));
    for (int k = 1; k <= 7; ++k) {
        for (int row = 0; row < 7; ++row) {
            const bool full = row >= 7 - k;
            EXPECT_TRUE(full ? rowLit(font, 2 * k + 1, row, {0, 1, 2, 3, 4})
                             : rowLit(font, 2 * k + 1, row, {}))
                << "code " << 2 * k + 1 << " row " << row;
            const bool halfFull = row >= 8 - k;
            const bool half = row == 7 - k;
            EXPECT_TRUE(halfFull ? rowLit(font, 2 * k, row, {0, 1, 2, 3, 4})
                        : half   ? rowLit(font, 2 * k, row, {1, 3})
                                 : rowLit(font, 2 * k, row, {}))
                << "code " << 2 * k << " row " << row;
        }
    }
}

TEST(LcdBuiltInFonts, HitachiHorizontalBarsGrowFromTheLeftInHalfColumns) {
    const LcdFont font = LcdFont::builtIn(Lcd::Hitachi);
    for (int level = 1; level <= 10; ++level) {
        const int code = 240 + level;
        for (int col = 0; col < 5; ++col) {
            int lit = 0;
            for (int row = 0; row < 7; ++row)
                lit += font.isLit(code, row, col);
            const int expected = col < level / 2 ? 7 : (col == level / 2 && level % 2 ? 3 : 0);
            EXPECT_EQ(lit, expected) << "code " << code << " column " << col;
        }
    }
}

TEST(LcdBuiltInFonts, HitachiBlanksBlockAndKatakana) {
    const LcdFont font = LcdFont::builtIn(Lcd::Hitachi);
    std::set<int> blanks = {0, 1, 128, 222}; // 1 is the empty bar
    for (int code = 16; code <= 32; ++code)
        blanks.insert(code);
    for (int code = 224; code <= 240; ++code)
        blanks.insert(code);
    for (int code = 251; code <= 255; ++code)
        blanks.insert(code);
    for (int code = 0; code <= 255; ++code)
        EXPECT_EQ(isBlank(font, code), blanks.count(code) == 1) << "code " << code;
    for (int row = 0; row < 7; ++row)
        EXPECT_TRUE(rowLit(font, 223, row, {0, 1, 2, 3, 4}));
    // 126 points right, 127 left: the arrow head is on the pointing side.
    EXPECT_TRUE(rowLit(font, 126, 2, {3}));
    EXPECT_TRUE(rowLit(font, 127, 2, {1}));
    // The katakana differ from each other.
    std::set<std::string> katakana;
    for (int code = 145; code <= 189; ++code)
        EXPECT_TRUE(katakana.insert(pattern(font, code)).second) << "code " << code;
}

TEST(LcdBuiltInFonts, Hitachi2ExtendsHitachiWithTenRowGlyphs) {
    const LcdFont hitachi = LcdFont::builtIn(Lcd::Hitachi);
    const LcdFont tall = LcdFont::builtIn(Lcd::Hitachi2);
    for (int code = 32; code <= 193; ++code) {
        for (int row = 0; row < 10; ++row) {
            for (int col = 0; col < 5; ++col)
                ASSERT_EQ(tall.isLit(code, row, col), row < 7 && hitachi.isLit(code, row, col))
                    << "code " << code << " row " << row;
        }
    }
    int usingLowRows = 0;
    for (int code = 194; code <= 223; ++code) {
        EXPECT_EQ(isBlank(tall, code), code == 222) << "code " << code;
        usingLowRows += !rowLit(tall, code, 8, {});
    }
    EXPECT_GE(usingLowRows, 6); // the descender letters and the full block
    for (int row = 0; row < 10; ++row)
        EXPECT_TRUE(rowLit(tall, 223, row, {0, 1, 2, 3, 4}));
}

TEST(LcdBuiltInFonts, Dos5x7HasTheWholePcCharacterSet) {
    const LcdFont font = LcdFont::builtIn(Lcd::dos5x7);
    for (int code = 0; code <= 255; ++code)
        EXPECT_EQ(isBlank(font, code), code == 0 || code == 32 || code == 255) << "code " << code;
    for (int row = 0; row < 7; ++row)
        EXPECT_TRUE(rowLit(font, 219, row, {0, 1, 2, 3, 4})) << "full block";
    int horizontalRows = 0;
    for (int row = 0; row < 7; ++row)
        horizontalRows += rowLit(font, 196, row, {0, 1, 2, 3, 4});
    EXPECT_EQ(horizontalRows, 1) << "box drawing line spans the cell";
    EXPECT_NE(pattern(font, 1), pattern(font, 2)) << "the two smileys";
    EXPECT_NE(pattern(font, 3), pattern(font, 6)) << "heart and spade";
}

TEST(LcdFontSheet, ShowsEveryFont) {
    const QImage sheet = renderLcdFontSheet();
    ASSERT_FALSE(sheet.isNull());
    // Hitachi2 alone needs 12 rows of 29-pixel cells.
    EXPECT_GT(sheet.height(), 12 * 29);
    int litDots = 0;
    for (int y = 0; y < sheet.height(); ++y) {
        for (int x = 0; x < sheet.width(); ++x)
            litDots += sheet.pixel(x, y) == qRgb(0, 0, 0);
    }
    EXPECT_GT(litDots, 7 * 95 * 4 * 10);
}
