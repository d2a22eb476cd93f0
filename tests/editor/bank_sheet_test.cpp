// "Bank Sheet…" on the transfer page: the bank as the box settings show it, drawn into a PDF, PNG
// or SVG file chosen by its extension, or printed from its preview.
#include "box_config_page.h"
#include "file_bytes.h"
#include "page_test_support.h"
#include "spin_edit.h"
#include "status_log.h"
#include "transfer_page.h"

#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTimer>

namespace {

class BankSheetAction : public page_test::EditorTest {
protected:
    QString lastLog() const { return form->statusLog().lines().last(); }
};

} // namespace

TEST_F(BankSheetAction, WritesEachFormWithTheBankAsTheBoxPageShowsIt) {
    start();
    showPage(form->BoxSettingsTabsheet);
    page_test::typeAndLeave(form->BoxSettingsTabsheet->BankLabel, QStringLiteral("Live Set"));
    form->FileSheet->PatternNumber->setValue(9);
    const struct {
        const char* name;
        std::function<bool(const QByteArray&)> holdsTheSheet;
    } cases[] = {
        {"sheet.pdf", [](const QByteArray& b) { return b.startsWith("%PDF-"); }},
        {"sheet.png",
         [](const QByteArray& b) { return QImage::fromData(b).size() == QSize(1754, 1240); }},
        {"sheet.svg",
         [](const QByteArray& b) { return b.contains(">Live Set<") && b.contains(">Bank 9<"); }},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        EXPECT_TRUE(form->writeBankSheet(path)) << c.name;
        EXPECT_TRUE(c.holdsTheSheet(readFileBytes(path))) << c.name;
        EXPECT_EQ(lastLog(), QStringLiteral("'%1' saved.").arg(path));
    }
    EXPECT_EQ(form->record.bankName(), "Live Set");
}

TEST_F(BankSheetAction, OtherExtensionsAreRefusedWithAReason) {
    start();
    for (const char* name : {"sheet.txt", "sheet"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_FALSE(form->writeBankSheet(path));
        EXPECT_EQ(
            lastLog(),
            QStringLiteral("ERROR: '%1' not saved - a bank sheet is a .pdf, .png or .svg file")
                .arg(path));
        EXPECT_FALSE(QFile::exists(path));
    }
}

TEST_F(BankSheetAction, TheButtonOpensASaveDialogWhoseFilterPicksTheExtension) {
    start();
    QPushButton* button = form->FileSheet->BankSheet;
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Bank Sheet\u2026"));
    QString shown;
    QTimer::singleShot(0, form.get(), [&] {
        auto* dialog = form->findChild<QFileDialog*>(QStringLiteral("BankSheetDialog"));
        if (!dialog) return;
        shown = dialog->windowTitle();
        EXPECT_EQ(dialog->nameFilters().size(), 3);
        EXPECT_EQ(dialog->defaultSuffix(), "pdf");
        emit dialog->filterSelected(dialog->nameFilters().at(2));
        EXPECT_EQ(dialog->defaultSuffix(), "svg");
        dialog->reject();
    });
    button->click();
    EXPECT_EQ(shown, "Save Bank Sheet To ...");
}

// The menu item, its key and the transfer page's button each open the preview of the bank.
TEST_F(BankSheetAction, PrintOpensThePreviewOfTheBankFromTheMenuItsKeyAndThePage) {
    start();
    EXPECT_EQ(form->FileSheet->PrintSheet->accessibleName(), QStringLiteral("Print Sheet\u2026"));
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"menu", [&] { form->findChild<QAction*>(QStringLiteral("PrintSheetAction"))->trigger(); }},
        {"Ctrl+P", [&] { page_test::press(form->PageControl, Qt::Key_P, Qt::ControlModifier); }},
        {"button", [&] { form->FileSheet->PrintSheet->click(); }},
    };
    for (const auto& [way, open] : ways) {
        QApplication::setActiveWindow(form.get()); // the key goes to the active window
        open();
        QPointer<QPrintPreviewDialog> preview =
            form->findChild<QPrintPreviewDialog*>(QStringLiteral("BankSheetPreview"));
        ASSERT_TRUE(preview) << way;
        ASSERT_TRUE(QTest::qWaitForWindowExposed(preview.data())) << way;
        EXPECT_EQ(preview->findChild<QPrintPreviewWidget*>()->pageCount(), 1) << way;
        preview->close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return preview.isNull(); })) << way;
    }
}
