// The sheets of many banks, one page each, on any paged device: the PDF writer for a file of a
// library folder, a printer (and its preview) for paper. Both take the same path through here.
#pragma once

#include "bank_sheet.h"

#include <vector>

class QPagedPaintDevice;

namespace bank_sheet {

// Paints each bank on a page of its own, in the order given. Each sheet is fitted into the
// device's page, centred, so a printer's paper and margins take it too. Like paint(), the device
// must count 72 dots per inch (QPdfWriter::setResolution, QPrinter::setResolution). False, with
// nothing painted, when it does not, when there is no bank or when painting cannot begin.
bool paintPages(QPagedPaintDevice& device, const std::vector<Content>& pages);

} // namespace bank_sheet
