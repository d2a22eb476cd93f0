#include "sheet_print.h"

#include "sheet_pages.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

namespace sheet_print {
namespace {

constexpr int kDotsPerPoint = 72;

void cannotPrint(QWidget* parent) {
    auto* box = new QMessageBox(QMessageBox::Warning, QObject::tr("Print Bank Sheet"),
                                QObject::tr("The printer cannot print the bank sheets."),
                                QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("CannotPrintBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// The name of the print job, which also names a file printed to; it holds no text of the banks,
// which may hold characters that file names cannot.
QString jobName(const std::vector<bank_sheet::Content>& banks) {
    if (banks.size() > 1) return QObject::tr("Pultron64 bank sheets, %1 banks").arg(banks.size());
    const int number = banks.front().bankNumber;
    return number > 0 ? QObject::tr("Pultron64 bank sheet, bank %1").arg(number)
                      : QObject::tr("Pultron64 bank sheet");
}

} // namespace

void preparePrinter(QPrinter& printer, const std::vector<bank_sheet::Content>& banks) {
    printer.setResolution(kDotsPerPoint);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(jobName(banks));
}

QPrintPreviewDialog* openPreview(QWidget* parent, std::vector<bank_sheet::Content> banks) {
    if (banks.empty()) return nullptr;
    auto* preview = new QPrintPreviewDialog(parent);
    preview->setObjectName(QStringLiteral("BankSheetPreview"));
    preview->setWindowTitle(banks.size() == 1
                                ? QObject::tr("Print Bank Sheet")
                                : QObject::tr("Print %1 Bank Sheets").arg(banks.size()));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    // The pages are what the window is for: most of the screen.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        preview->resize(screen->availableGeometry().size() * 0.75);
    preparePrinter(*preview->printer(), banks);
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview,
                     [preview, banks = std::move(banks)](QPrinter* printer) {
                         // The print dialog may have set a printer's own resolution.
                         printer->setResolution(kDotsPerPoint);
                         if (!bank_sheet::paintPages(*printer, banks))
                             cannotPrint(preview->parentWidget());
                     });
    preview->open();
    return preview;
}

} // namespace sheet_print
