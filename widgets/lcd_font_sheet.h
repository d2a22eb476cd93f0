// renderLcdFontSheet: every glyph of every built-in LCD font in one image, for checking by eye.
#pragma once

#include <QImage>

// Each font is a titled grid of 16 glyphs a row, rows labelled with their first code in hex.
QImage renderLcdFontSheet();
