// LcdMetrics: the pixel geometry of a dot-matrix LCD: dots, cells, rows and the control's size.
#pragma once

#include <QPoint>
#include <QSize>

struct LcdMetrics {
    // Larger sizes than a widget may take are cut to this, so huge property values cannot overflow.
    static constexpr int kMaxExtent = 16777215;

    int glyphCols = 5;
    int glyphRows = 7;
    int dotWidth = 2;
    int dotHeight = 2;
    int pixelSpacing = 1;
    int charSpacing = 2;
    int lineSpacing = 2;
    int borderSpace = 3;

    int cellWidth() const;
    int cellHeight() const;

    // The exact size of a display of `lines` rows of `chars` characters, border included.
    QSize controlSize(int lines, int chars) const;
    // How many characters and rows fit into a control of the given size (at least one each).
    int charsFitting(int width) const;
    int linesFitting(int height) const;

    // Top-left pixel of a character cell and of a dot inside its cell.
    QPoint cellOrigin(int line, int index) const;
    QPoint dotOffset(int row, int col) const;

    bool operator==(const LcdMetrics&) const = default;
};
