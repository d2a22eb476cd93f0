#include "button_page.h"
#include "live_status.h"
#include "overview_page.h"
#include "overview_table_model.h"
#include "page_test_support.h"
#include "pot_page.h"
#include "spin_edit.h"
#include "status_log.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>

using namespace page_test;
using overview::ButtonColumn;
using overview::Controls;
using overview::PotColumn;

namespace {

class OverviewPageTest : public EditorTest {
protected:
    void SetUp() override {
        start("[POTPRESETS]\nB007007F.40=Volume: Vol\n[BUTTONPRESETS]\nB0407F=Sustain\n");
        page = form->Overview;
        showPage(page);
        QObject::connect(page, &OverviewPage::recordEdited,
                         [this](const BankRecord& before, const QString& text) {
                             edits.push_back({before, text});
                         });
    }
    QTableView* table(Controls controls) const {
        return controls == Controls::Pots ? page->PotTable : page->ButtonTable;
    }
    // The view's index of control n's cell in `column`, whatever the sorting.
    QModelIndex cell(Controls controls, int n, int column) const {
        auto* rows = qobject_cast<QSortFilterProxyModel*>(table(controls)->model());
        return rows->mapFromSource(page->model(controls).index(n - 1, column));
    }
    void typeIntoCell(Controls controls, int n, int column, const QString& text) {
        QTableView* view = table(controls);
        view->setFocus();
        view->setCurrentIndex(cell(controls, n, column));
        QTest::keyClick(view, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        ASSERT_TRUE(qobject_cast<QLineEdit*>(editor));
        ASSERT_EQ(editor->parentWidget(), view->viewport()) << editor->objectName().toStdString();
        typeInto(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the delegate commits in a queued call
    }
    void choose(Controls controls, const std::vector<int>& numbers) {
        QItemSelectionModel* selection = table(controls)->selectionModel();
        selection->clearSelection();
        for (int n : numbers)
            selection->select(cell(controls, n, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QString lastLogLine() const {
        return form->statusLog().lines().value(-1 + form->statusLog().count());
    }

    struct Edit {
        BankRecord before;
        QString text;
    };
    OverviewPage* page = nullptr;
    std::vector<Edit> edits;
};

TEST_F(OverviewPageTest, CellsEditInPlaceAndRefuseWhatThePagesWouldNotHold) {
    const struct {
        Controls controls;
        int n, column;
        const char* typed;
        const char* shown; // what the cell shows afterwards
        bool taken;
    } cases[] = {
        {Controls::Pots, 3, int(PotColumn::Max), "100", "100", true},
        {Controls::Pots, 3, int(PotColumn::Label), "Delay", "Delay", true},
        {Controls::Pots, 3, int(PotColumn::Max), "300", "100", false},
        {Controls::Pots, 3, int(PotColumn::Channel), "17", "3", false},
        {Controls::Buttons, 5, int(ButtonColumn::Data1Hex), "7F", "7F", true},
        {Controls::Buttons, 5, int(ButtonColumn::Status), "143", "148", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const BankRecord before = form->record;
        const std::size_t editsBefore = edits.size();
        typeIntoCell(c.controls, c.n, c.column, QString::fromLatin1(c.typed));
        EXPECT_EQ(cell(c.controls, c.n, c.column).data(Qt::EditRole).toString(), c.shown);
        EXPECT_EQ(edits.size(), editsBefore + (c.taken ? 1 : 0));
        if (c.taken) {
            ASSERT_NE(form->record, before);
            EXPECT_EQ(edits.back().before, before);
        } else {
            EXPECT_EQ(form->record, before);
            EXPECT_TRUE(page->LastResult->text().contains("kept its value"));
            EXPECT_EQ(lastLogLine(), page->LastResult->text());
        }
    }
    // Modes are chosen from their list, as on the pages.
    QTableView* buttons = table(Controls::Buttons);
    buttons->setFocus();
    buttons->setCurrentIndex(cell(Controls::Buttons, 5, int(ButtonColumn::Mode)));
    QTest::keyClick(buttons, Qt::Key_F2);
    auto* modes = qobject_cast<QComboBox*>(QApplication::focusWidget());
    ASSERT_TRUE(modes);
    EXPECT_EQ(modes->count(), 3);
    modes->setCurrentText(QStringLiteral("TOGGLE"));
    QTest::keyClick(modes, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(form->record.button(5).mode, 2);
    // The pot page shows what the overview changed, and the other way round once the overview is
    // shown again.
    showPage(form->PotSettings);
    form->PotSettings->selectPot(3);
    EXPECT_EQ(form->PotSettings->PotMax->value(), 100);
    EXPECT_EQ(form->PotSettings->PotLabel->text(), "Delay");
    form->PotSettings->PotMax->setValue(50);
    QSignalSpy repaints(&page->model(Controls::Pots), &QAbstractItemModel::dataChanged);
    showPage(page);
    EXPECT_EQ(repaints.size(), 1);
    EXPECT_EQ(cell(Controls::Pots, 3, int(PotColumn::Max)).data(Qt::DisplayRole).toInt(), 50);
}

TEST_F(OverviewPageTest, RowsAndPagesFollowEachOtherWhateverTheSorting) {
    table(Controls::Pots)->sortByColumn(int(PotColumn::Number), Qt::DescendingOrder);
    table(Controls::Buttons)->sortByColumn(int(ButtonColumn::Data1), Qt::AscendingOrder);
    for (Controls controls : {Controls::Pots, Controls::Buttons}) {
        SCOPED_TRACE(int(controls));
        const auto pageShows = [&] {
            return controls == Controls::Pots ? form->PotSettings->selectedPot()
                                              : form->ButtSettings->selectedButton();
        };
        QTest::mouseClick(table(controls)->viewport(), Qt::LeftButton, {},
                          table(controls)->visualRect(cell(controls, 7, 1)).center());
        EXPECT_EQ(pageShows(), 7);

        if (controls == Controls::Pots)
            form->PotSettings->selectPot(12);
        else
            form->ButtSettings->selectButton(12);
        const QModelIndex current = table(controls)->currentIndex();
        EXPECT_EQ(current.row(), cell(controls, 12, 0).row());
        EXPECT_EQ(table(controls)->selectionModel()->selectedRows().size(), 1);
    }
}

TEST_F(OverviewPageTest, BulkEditsThroughTheControlsChangeTheBankAndLogTheCount) {
    const struct {
        Controls controls;
        std::vector<int> chosen;
        std::function<void()> run;
        const char* line;
        std::function<bool(const BankRecord&)> done;
    } cases[] = {
        {Controls::Pots,
         {1, 2, 3, 4},
         [&] {
             page->BulkChannel->setValue(10);
             page->SetChannel->click();
         },
         "Overview: Set channel 10: 4 of 4 pots changed",
         [](const BankRecord& b) { return b.pot(4).status == 0x39; }},
        {Controls::Buttons,
         {61, 62, 63, 64},
         [&] {
             page->NumberStart->setValue(126);
             page->NumberUpward->click();
         },
         "Overview: Number byte 1 upward from 126: 2 of 4 buttons changed; 2 left as they were, "
         "past 127",
         [](const BankRecord& b) { return b.button(62).data1 == 127 && b.button(63).data1 == 78; }},
        {Controls::Pots,
         {5, 6},
         [&] {
             page->BulkPreset->setCurrentIndex(0);
             page->ApplyPreset->click();
         },
         "Overview: Apply preset Volume: Vol: 2 of 2 pots changed",
         [](const BankRecord& b) { return b.pot(6).data == 7 && b.initialValue(6) == 0x40; }},
        {Controls::Pots,
         {9, 10},
         [&] {
             table(Controls::Pots)->setCurrentIndex(cell(Controls::Pots, 40, 0));
             choose(Controls::Pots, {9, 10, 40});
             page->CopyRow->click();
         },
         "Overview: Copy Pot 40: 2 of 3 pots changed",
         [](const BankRecord& b) { return b.potLabel(10) == "CutOff # 8"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const BankRecord before = form->record;
        edits.clear();
        choose(c.controls, c.chosen);
        EXPECT_EQ(page->activeControls(), c.controls);
        c.run();
        EXPECT_EQ(lastLogLine(), c.line);
        EXPECT_TRUE(c.done(form->record));
        ASSERT_EQ(edits.size(), 1u);
        EXPECT_EQ(edits.front().before, before);
        // Each bulk edit is one step of the window's undo history.
        const BankRecord after = form->record;
        form->document().undo();
        EXPECT_EQ(form->record, before);
        form->document().redo();
        EXPECT_EQ(form->record, after);
    }
    // Bulk edits on buttons offer the button presets and no range.
    choose(Controls::Buttons, {1});
    EXPECT_EQ(page->BulkPreset->itemText(0), "Sustain");
    EXPECT_FALSE(page->SetRange->isEnabled());
    // A click on the pots table turns the bulk edits back to pots, even on the row chosen already.
    QTableView* pots = table(Controls::Pots);
    pots->setCurrentIndex(cell(Controls::Pots, 1, 1));
    choose(Controls::Buttons, {1});
    QTest::mouseClick(pots->viewport(), Qt::LeftButton, {},
                      pots->visualRect(cell(Controls::Pots, 1, 1)).center());
    EXPECT_EQ(page->activeControls(), Controls::Pots);
    EXPECT_TRUE(page->SetRange->isEnabled());
}

TEST_F(OverviewPageTest, FilterAndAccessibilityReadTheTablesAsTheyAre) {
    QScrollBar* scroll = table(Controls::Pots)->verticalScrollBar();
    scroll->setValue(scroll->maximum());
    ASSERT_GT(scroll->value(), 0);
    typeInto(page->Filter, QStringLiteral("chorus"));
    EXPECT_EQ(table(Controls::Pots)->model()->rowCount(), 16);
    EXPECT_EQ(scroll->value(), 0); // the first matching row in view
    EXPECT_EQ(table(Controls::Buttons)->model()->rowCount(), 0);
    typeInto(page->Filter, QString());

    QAccessibleInterface* pots = QAccessible::queryAccessibleInterface(page->PotTable);
    ASSERT_TRUE(pots && pots->tableInterface());
    EXPECT_EQ(pots->text(QAccessible::Name), "Pots");
    EXPECT_EQ(pots->tableInterface()->rowCount(), 64);
    QAccessibleInterface* event = pots->tableInterface()->cellAt(1, int(PotColumn::Event));
    ASSERT_TRUE(event);
    EXPECT_EQ(event->text(QAccessible::Name), "CC 91 ch 2");

    // A cell opened for editing is an editable text to assistive technology.
    page->PotTable->setFocus();
    page->PotTable->setCurrentIndex(cell(Controls::Pots, 2, int(PotColumn::Max)));
    QTest::keyClick(page->PotTable, Qt::Key_F2);
    QAccessibleInterface* editor =
        QAccessible::queryAccessibleInterface(QApplication::focusWidget());
    ASSERT_TRUE(editor && editor->editableTextInterface() && editor->textInterface());
    EXPECT_EQ(editor->textInterface()->text(0, editor->textInterface()->characterCount()), "127");
    editor->editableTextInterface()->replaceText(0, editor->textInterface()->characterCount(),
                                                 "90");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(form->record.pot(2).max, 90);
}

} // namespace
