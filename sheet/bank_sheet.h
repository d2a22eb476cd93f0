// The bank sheet: a picture of the controller's face for one bank, to print and lay over the
// controller: each pot and button with its label and event in words, the bank's name and number
// on the LCD, and the LED map. Drawn with QPainter alone, so any paint device takes it.
#pragma once

#include "bank_record.h"

#include <QSizeF>
#include <QString>
#include <string>

class QPainter;

namespace bank_sheet {

// The page in points (1/72 inch): A4 landscape.
inline constexpr QSizeF kPageSize{841.89, 595.28};

// What the sheet shows: the bank and, when known (1..128), the number it is stored under.
struct Content {
    BankRecord record;
    int bankNumber = 0;
};

// A text of the bank as the sheet shows it: control characters, which neither paper nor XML
// can hold, become the replacement character.
QString shownText(const std::string& bankText);

// Paints the page with its top left corner at the origin, one unit per point; fonts are given in
// points, so the painter's device must have 72 logical dots per inch and the painter's transform
// carries points to device pixels.
void paint(QPainter& painter, const Content& content);

} // namespace bank_sheet
