#include "gallery.h"

#include "built_in_dump.h"
#include "desk_picture.h"
#include "screenshots.h"
#include "sheet_files.h"
#include "widget_gallery.h"

namespace {

// The built-in bank with a few controls of every kind, long texts and an LED map of each sort, so
// that the sheet shows how it fits them.
bank_sheet::Content sheetOfAMixedBank() {
    BankRecord bank = loadBuiltInBank();
    bank.setBankName("Live Set Vol. 2");
    bank.setPot(2, {storedStatus(0xE1), 0, 0, 127});
    bank.setPotLabel(2, "Pitch Wheel Big");
    bank.setPot(3, {storedStatus(0xCF), 5, 10, 40});
    bank.setPotLabel(3, "");
    bank.setPot(4, {storedStatus(0xAF), 61, 32, 96});
    bank.setPot(5, {storedStatus(0xF3), 7, 0, 127});
    for (int n = 1; n <= 16; ++n)
        bank.setInitialValue(n, std::uint8_t(n * 8 - 1));
    bank.setButton(17, {storedStatus(0xB9), 64, 127, 2});
    bank.setButton(18, {storedStatus(0xC0), 12, 0, 1});
    bank.setButton(19, {storedStatus(0xD3), 100, 0, 3});
    for (int k = 1; k <= 8; ++k)
        bank.setSroutMap(k, std::array{0, 3, 9, 10, 16, 23, 8, 1}[k - 1]);
    return {bank, 12};
}

} // namespace

void writeGallery(ScreenshotWriter& writer, const TForm1::Options& options) {
    // Pictures that need no window first: they are encoded while the editor window is built.
    writer.save(QStringLiteral("widgets"), renderWidgetGallery());
    writer.save(QStringLiteral("vbox"), virtualBoxPicture());
    for (const auto& [name, picture] : exampleDeskPictures())
        writer.save(name, picture);
    writer.save(QStringLiteral("sheet"), bank_sheet::picture(sheetOfAMixedBank()));

    TForm1 editor(options);
    writer.saveWindow(QStringLiteral("editor"), editor);
}
