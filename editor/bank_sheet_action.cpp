// The editor window's "Bank Sheet…": the bank drawn for printing, saved as PDF, PNG or SVG, or
// printed from its preview.
#include "editor_window.h"
#include "page_controls.h"
#include "sheet_files.h"
#include "sheet_print.h"
#include "spin_edit.h"
#include "transfer_page.h"

#include <QFileDialog>

namespace {

const QStringList& sheetFilters() {
    static const QStringList filters{QStringLiteral("PDF document, A4 (*.pdf)"),
                                     QStringLiteral("PNG picture (*.png)"),
                                     QStringLiteral("SVG drawing (*.svg)")};
    return filters;
}

// The bank as the pages show it, with the number it belongs to.
bank_sheet::Content shownSheet(TForm1& form) {
    form.SaveSettingsFromForm(); // the box settings reach the record only through it
    return {form.record, form.originBank()};
}

} // namespace

QFileDialog* TForm1::makeBankSheetDialog() {
    return page_controls::saveDialog(this, "BankSheetDialog", tr("Save Bank Sheet To ..."),
                                     SysexSaveDialogDir, sheetFilters(),
                                     QStringLiteral("bank-sheet.pdf"));
}

void TForm1::BankSheetClick() {
    const std::unique_ptr<QFileDialog> dialog(makeBankSheetDialog());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return;
    writeBankSheet(dialog->selectedFiles().first());
}

bool TForm1::writeBankSheet(const QString& path) {
    const auto format = bank_sheet::formatOfPath(path);
    if (!format) {
        WriteMsg(tr("ERROR: '%1' not saved - a bank sheet is a .pdf, .png or .svg file").arg(path));
        return false;
    }
    if (!writeBankFile(
            path, bank_sheet::fileBytes(*format, shownSheet(*this), bank_sheet::sourceDateEpoch())))
        return false;
    WriteMsg(QStringLiteral("'%1' saved.").arg(path));
    return true;
}

void TForm1::printBankSheet() {
    sheet_print::openPreview(this, {shownSheet(*this)});
}
