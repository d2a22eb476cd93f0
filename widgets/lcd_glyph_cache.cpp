#include "lcd_glyph_cache.h"

#include <QPainter>

namespace {

void drawDot(QPainter& painter, const QRect& cell, bool lit, const LcdDotStyle& style) {
    const QRgb colour = lit ? style.on : style.off;
    if (style.singlePixel) {
        painter.fillRect(QRect(cell.topLeft(), QSize(1, 1)), QColor::fromRgb(colour));
        return;
    }
    switch (style.shape) {
    case Lcd::spSquare:
        painter.fillRect(cell, QColor::fromRgb(colour));
        break;
    case Lcd::spShaped:
        // A lit dot is round with dim corners; an unlit one stays square.
        painter.fillRect(cell, QColor::fromRgb(lit ? style.halfOn : style.off));
        if (lit) {
            painter.setBrush(QColor::fromRgb(colour));
            painter.drawEllipse(QRectF(cell));
        }
        break;
    case Lcd::spRound:
        painter.setBrush(QColor::fromRgb(colour));
        painter.drawEllipse(QRectF(cell));
        break;
    }
}

} // namespace

void LcdGlyphCache::use(const LcdFont& font, const LcdDotStyle& style) {
    if (m_font && m_font->identity() == font.identity() && m_style == style) return;
    m_font = font;
    m_style = style;
    m_glyphs.fill(QImage());
    m_drawn.fill(false);
}

const QImage& LcdGlyphCache::glyph(int code) {
    static const QImage kNone;
    if (!m_font || code < 0 || code >= int(m_glyphs.size())) return kNone;
    if (!m_drawn[code]) {
        m_glyphs[code] = render(*m_font, code, m_style);
        m_drawn[code] = true;
    }
    return m_glyphs[code];
}

QImage LcdGlyphCache::render(const LcdFont& font, int code, const LcdDotStyle& style) {
    const LcdMetrics& m = style.metrics;
    if (qint64(m.cellWidth()) * m.cellHeight() > kMaxImagePixels) return {};
    QImage image(m.cellWidth(), m.cellHeight(), QImage::Format_RGB32);
    if (image.isNull()) return {};
    image.fill(style.background);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    for (int row = 0; row < font.glyphRows(); ++row) {
        for (int col = 0; col < font.glyphCols(); ++col) {
            const QRect cell(m.dotOffset(row, col), QSize(m.dotWidth, m.dotHeight));
            drawDot(painter, cell, font.isLit(code, row, col), style);
        }
    }
    return image;
}
