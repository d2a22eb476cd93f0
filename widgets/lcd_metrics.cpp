#include "lcd_metrics.h"

#include <algorithm>
#include <cstdint>

namespace {

// The one-pixel frame on each side.
constexpr std::int64_t kFrame = 1;

int extent(std::int64_t value) {
    return int(std::clamp<std::int64_t>(value, 0, LcdMetrics::kMaxExtent));
}

// Pixels taken by `count` items of `size` with `gap` between neighbours.
std::int64_t run(int count, std::int64_t size, int gap) {
    return count * size + std::int64_t(count - 1) * gap;
}

} // namespace

int LcdMetrics::cellWidth() const {
    return extent(run(glyphCols, dotWidth, pixelSpacing));
}

int LcdMetrics::cellHeight() const {
    return extent(run(glyphRows, dotHeight, pixelSpacing));
}

QSize LcdMetrics::controlSize(int lines, int chars) const {
    const std::int64_t margins = 2 * std::int64_t(borderSpace) + 2 * kFrame;
    return {extent(margins + run(chars, cellWidth(), charSpacing)),
            extent(margins + run(lines, cellHeight(), lineSpacing))};
}

int LcdMetrics::charsFitting(int width) const {
    const std::int64_t room = std::int64_t(width) + charSpacing - 2 * std::int64_t(borderSpace);
    return int(
        std::clamp<std::int64_t>(room / (std::int64_t(cellWidth()) + charSpacing), 1, kMaxExtent));
}

int LcdMetrics::linesFitting(int height) const {
    const std::int64_t room = std::int64_t(height) + lineSpacing - 2 * std::int64_t(borderSpace);
    return int(
        std::clamp<std::int64_t>(room / (std::int64_t(cellHeight()) + lineSpacing), 1, kMaxExtent));
}

QPoint LcdMetrics::cellOrigin(int line, int index) const {
    const std::int64_t inset = borderSpace + kFrame;
    return {extent(inset + index * (std::int64_t(cellWidth()) + charSpacing)),
            extent(inset + line * (std::int64_t(cellHeight()) + lineSpacing))};
}

QPoint LcdMetrics::dotOffset(int row, int col) const {
    return {extent(col * (std::int64_t(dotWidth) + pixelSpacing)),
            extent(row * (std::int64_t(dotHeight) + pixelSpacing))};
}
