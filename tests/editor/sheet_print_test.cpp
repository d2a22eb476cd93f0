// Printing bank sheets: the preview shows a page for each bank given, with the printer set up
// for the sheet, and goes away when closed.
#include "sheet_print.h"

#include <QApplication>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

std::vector<bank_sheet::Content> banks(int count) {
    std::vector<bank_sheet::Content> pages;
    for (int bank = 1; bank <= count; ++bank)
        pages.push_back({BankRecord{}, bank});
    return pages;
}

} // namespace

TEST(SheetPrint, ThePreviewShowsAPageForEachBankAndClosesForGood) {
    const struct {
        int banks;
        const char* title;
        const char* job; // no bank's text: it names a file printed to
    } cases[] = {{1, "Print Bank Sheet", "Pultron64 bank sheet, bank 1"},
                 {3, "Print 3 Bank Sheets", "Pultron64 bank sheets, 3 banks"},
                 {128, "Print 128 Bank Sheets", "Pultron64 bank sheets, 128 banks"}};
    for (const auto& c : cases) {
        QPointer<QPrintPreviewDialog> preview = sheet_print::openPreview(nullptr, banks(c.banks));
        ASSERT_TRUE(preview) << c.banks;
        ASSERT_TRUE(QTest::qWaitForWindowExposed(preview.data()));
        auto* pages = preview->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(pages, nullptr);
        EXPECT_EQ(pages->pageCount(), c.banks);
        EXPECT_EQ(preview->windowTitle(), c.title);
        EXPECT_EQ(preview->printer()->docName(), c.job);
        EXPECT_EQ(preview->printer()->resolution(), 72);
        EXPECT_EQ(preview->printer()->pageLayout().orientation(), QPageLayout::Landscape);
        preview->close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return preview.isNull(); })) << c.banks;
    }
    EXPECT_EQ(sheet_print::openPreview(nullptr, {}), nullptr);
}
