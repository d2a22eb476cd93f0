// Printing bank sheets: a print preview of the banks given, a page each, from which the user
// prints. It takes the banks alone and knows no window, so every view that holds banks (the
// editor window, the library) prints through it.
#pragma once

#include "bank_sheet.h"

#include <vector>

class QPrintPreviewDialog;
class QPrinter;
class QWidget;

namespace sheet_print {

// Sets `printer` up for the sheets: their resolution (one dot per point), A4 landscape and the
// job's name. Paper and orientation stay the user's to change. `banks` is not empty.
void preparePrinter(QPrinter& printer, const std::vector<bank_sheet::Content>& banks);

// Opens the print preview of `banks` (a page each, in the order given) over `parent` and returns
// at once; the preview deletes itself when closed. Its pages and the printed ones are painted
// like the PDF file's. Nothing when there is no bank.
QPrintPreviewDialog* openPreview(QWidget* parent, std::vector<bank_sheet::Content> banks);

} // namespace sheet_print
