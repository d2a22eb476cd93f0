#include "lcd_font_sheet.h"

#include "lcd_font.h"
#include "lcd_glyph_cache.h"

#include <QFontMetrics>
#include <QMetaEnum>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

constexpr int kGlyphsPerRow = 16;
constexpr int kGap = 4;
constexpr int kMargin = 12;
constexpr int kLabelWidth = 36;
constexpr int kTitleHeight = 20;

// Column by column: the small fonts, then the two full 256-code sets, then the tall one.
const std::vector<std::vector<Lcd::DotMatrix>> kColumns = {
    {Lcd::mat5x7, Lcd::mat5x8, Lcd::mat7x9, Lcd::mat9x12},
    {Lcd::Hitachi, Lcd::dos5x7},
    {Lcd::Hitachi2},
};

LcdDotStyle sheetStyle(const LcdFont& font) {
    LcdDotStyle style;
    style.metrics.glyphCols = font.glyphCols();
    style.metrics.glyphRows = font.glyphRows();
    style.metrics.dotWidth = 2;
    style.metrics.dotHeight = 2;
    style.metrics.pixelSpacing = 1;
    style.on = qRgb(0, 0, 0);
    // Faint unlit dots keep the cell visible without hiding the lit ones.
    style.off = qRgb(0xD8, 0xD8, 0xD8);
    style.background = qRgb(0xF4, 0xF4, 0xF4);
    return style;
}

int gridRows(const LcdFont& font) {
    const int first = font.firstCode() / kGlyphsPerRow;
    return font.lastCode() / kGlyphsPerRow - first + 1;
}

QSize blockSize(const LcdFont& font) {
    const LcdMetrics m = sheetStyle(font).metrics;
    return {kLabelWidth + kGlyphsPerRow * (m.cellWidth() + kGap),
            kTitleHeight + gridRows(font) * (m.cellHeight() + kGap) + kMargin};
}

QString title(Lcd::DotMatrix which, const LcdFont& font) {
    const char* name = QMetaEnum::fromType<Lcd::DotMatrix>().valueToKey(which);
    return QStringLiteral("%1  %2 x %3, codes %4..%5")
        .arg(QLatin1String(name))
        .arg(font.glyphCols())
        .arg(font.glyphRows())
        .arg(font.firstCode())
        .arg(font.lastCode());
}

// Draws one font's block with its top-left corner at `at`.
void drawFont(QPainter& painter, Lcd::DotMatrix which, QPoint at) {
    const LcdFont font = LcdFont::builtIn(which);
    const LcdDotStyle style = sheetStyle(font);
    const LcdMetrics& m = style.metrics;
    painter.setPen(Qt::black);
    painter.drawText(at + QPoint(0, kTitleHeight - 6), title(which, font));
    const int firstRow = font.firstCode() / kGlyphsPerRow;
    for (int row = 0; row < gridRows(font); ++row) {
        const int y = at.y() + kTitleHeight + row * (m.cellHeight() + kGap);
        const int rowCode = (firstRow + row) * kGlyphsPerRow;
        painter.drawText(QRect(at.x(), y, kLabelWidth - kGap, m.cellHeight()),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("%1").arg(rowCode, 2, 16, QLatin1Char('0')).toUpper());
        for (int col = 0; col < kGlyphsPerRow; ++col) {
            const int code = rowCode + col;
            if (code < font.firstCode() || code > font.lastCode()) continue;
            const QPoint cell(at.x() + kLabelWidth + col * (m.cellWidth() + kGap), y);
            painter.drawImage(cell, LcdGlyphCache::render(font, code, style));
        }
    }
}

} // namespace

QImage renderLcdFontSheet() {
    std::vector<int> widths;
    int height = 0;
    for (const auto& column : kColumns) {
        int columnWidth = 0;
        int columnHeight = 0;
        for (Lcd::DotMatrix which : column) {
            const QSize block = blockSize(LcdFont::builtIn(which));
            columnWidth = std::max(columnWidth, block.width());
            columnHeight += block.height();
        }
        widths.push_back(columnWidth);
        height = std::max(height, columnHeight);
    }
    int width = kMargin;
    for (int w : widths)
        width += w + kMargin;

    QImage sheet(width, height + 2 * kMargin, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    int x = kMargin;
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        int y = kMargin;
        for (Lcd::DotMatrix which : kColumns[c]) {
            drawFont(painter, which, QPoint(x, y));
            y += blockSize(LcdFont::builtIn(which)).height();
        }
        x += widths[c] + kMargin;
    }
    return sheet;
}
