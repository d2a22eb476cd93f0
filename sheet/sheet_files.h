// Bank sheet files: the sheet as a one-page A4 landscape PDF, a PNG picture or an SVG drawing,
// and the sheets of many banks as a PDF of one page each.
// The same bank gives the same bytes; a date goes in only when SOURCE_DATE_EPOCH names one, the
// way reproducible builds ask for it.
#pragma once

#include "bank_sheet.h"

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>
#include <optional>
#include <vector>

namespace bank_sheet {

enum class Format { Pdf, Png, Svg };

// By the extension of `path` in any letter case; nothing for other names.
std::optional<Format> formatOfPath(const QString& path);

// The moment that SOURCE_DATE_EPOCH gives in seconds since 1970, in UTC; nothing when it is unset
// or not a whole number.
std::optional<QDateTime> sourceDateEpoch();

// Pictures are drawn at 150 dots per inch: sharp on paper, and a PNG of about 1754 x 1240.
constexpr int kPictureDpi = 150;
QImage picture(const Content& content);

// One page per bank in the order given, as an A4 landscape PDF titled by its bank ("Pultron64
// bank sheet: Bank 7 Live Set") or the number of its banks ("Pultron64 bank sheets: 12 banks");
// `created` is the date written into it, none when empty. Empty when there is no bank.
QByteArray pdfFile(const std::vector<Content>& pages, const std::optional<QDateTime>& created);

// The file of `format`; `created` is the date written into it, none when empty.
QByteArray fileBytes(Format format, const Content& content,
                     const std::optional<QDateTime>& created);

} // namespace bank_sheet
