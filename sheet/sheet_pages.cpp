#include "sheet_pages.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

namespace bank_sheet {
namespace {

constexpr int kPointsPerInch = 72;

// Points to the device's page: the sheet made as large as the page allows, centred on it.
QTransform fitOnPage(const QPagedPaintDevice& device) {
    const QSizeF page = device.pageLayout().paintRect(QPageLayout::Point).size();
    const double scale =
        std::min(page.width() / kPageSize.width(), page.height() / kPageSize.height());
    const QSizeF spare = page - kPageSize * scale;
    return QTransform::fromTranslate(spare.width() / 2, spare.height() / 2).scale(scale, scale);
}

} // namespace

bool paintPages(QPagedPaintDevice& device, const std::vector<Content>& pages) {
    if (pages.empty() || device.logicalDpiX() != kPointsPerInch ||
        device.logicalDpiY() != kPointsPerInch)
        return false;
    QPainter painter;
    if (!painter.begin(&device)) return false;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) device.newPage();
        painter.setTransform(fitOnPage(device));
        paint(painter, pages[i]);
    }
    return painter.end();
}

} // namespace bank_sheet
