// LcdGlyphCache: each glyph of a dot-matrix font drawn once as the image of one character cell.
#pragma once

#include "lcd_font.h"
#include "lcd_metrics.h"
#include "lcd_types.h"

#include <QImage>
#include <QRgb>

#include <array>
#include <optional>

// How dots look: their geometry, shape and colours.
struct LcdDotStyle {
    LcdMetrics metrics;
    Lcd::PixelShape shape = Lcd::spSquare;
    bool singlePixel = false; // pix1x1 dots are one screen pixel whatever their shape
    QRgb on = 0;
    QRgb off = 0;
    QRgb halfOn = 0;
    QRgb background = 0;

    bool operator==(const LcdDotStyle&) const = default;
};

class LcdGlyphCache {
public:
    // Images (cells and whole displays) larger than this many pixels are not drawn; no display
    // needs them, and they would take more than 64 MB each.
    static constexpr qint64 kMaxImagePixels = qint64(1) << 24;

    // Forgets every drawn glyph when the font or the style differs from the one in use.
    void use(const LcdFont& font, const LcdDotStyle& style);
    // The cell image of a code within the font's range, drawn on first use; null if too large.
    const QImage& glyph(int code);

    // Draws one glyph into a new cell image.
    static QImage render(const LcdFont& font, int code, const LcdDotStyle& style);

private:
    std::optional<LcdFont> m_font;
    LcdDotStyle m_style;
    std::array<QImage, 256> m_glyphs;
    std::array<bool, 256> m_drawn{};
};
