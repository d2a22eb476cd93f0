#include "overview_page.h"

#include "live_status.h"
#include "field_ranges.h"
#include "focus_quiet_view.h"
#include "overview_table_model.h"
#include "page_controls.h"
#include "preset_library.h"
#include "spin_edit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

using namespace page_controls;
using overview::BulkResult;
using overview::Controls;

namespace {

// Each column as wide as the widest text it can show, measured once: letting the header size the
// columns to their contents would measure every cell again on every change.
void fitColumns(QTableView* table, Controls controls) {
    const QFontMetrics metrics(table->font());
    const int margin = 3 * metrics.averageCharWidth();
    for (int column = 0; column < overview::columnCount(controls); ++column)
        table->setColumnWidth(column, margin + metrics.horizontalAdvance(QString::fromStdString(
                                                   overview::widestText(controls, column))));
}

// Every cell editor is named by its column and the control of its row ("Channel of control 3").
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = makeEditor(parent, option, index);
        const QString column = index.model()->headerData(index.column(), Qt::Horizontal).toString();
        editor->setAccessibleName(QObject::tr("%1 of control %2")
                                      .arg(column, index.siblingAtColumn(0).data().toString()));
        return editor;
    }

protected:
    virtual QWidget* makeEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
};

// Mode cells edit with the list of modes, as on the pot and button pages.
class ModeDelegate : public CellDelegate {
public:
    ModeDelegate(const QStringList& modes, QObject* parent) : CellDelegate(parent), m_modes(modes) {}

protected:
    QWidget* makeEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
        auto* list = new QComboBox(parent);
        list->addItems(m_modes);
        return list;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QComboBox*>(editor)->setCurrentText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText());
    }

private:
    QStringList m_modes;
};

} // namespace

OverviewPage::OverviewPage(BankRecord& record, QWidget* parent)
    : DeferredPage(parent), m_record(record) {
    setObjectName(QStringLiteral("OverviewSheet"));
}

void OverviewPage::build() {
    m_pots = new OverviewTableModel(m_record, Controls::Pots, this);
    m_buttons = new OverviewTableModel(m_record, Controls::Buttons, this);
    Filter = named(new QLineEdit, "Filter", tr("Filter :"));
    Filter->setPlaceholderText(tr("Show the rows that contain this text"));
    PotTable = makeTable(Controls::Pots, "PotTable", tr("Pots"));
    ButtonTable = makeTable(Controls::Buttons, "ButtonTable", tr("Buttons"));

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(caption(tr("Filter :"), Filter));
    filterRow->addWidget(Filter);
    auto* tables = new QSplitter(Qt::Vertical);
    tables->addWidget(PotTable);
    tables->addWidget(ButtonTable);
    LastResult = new LiveStatus;
    LastResult->setObjectName(QStringLiteral("LastResult"));
    LastResult->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(tables, 1);
    layout->addWidget(makeBulkControls());
    layout->addWidget(LastResult);

    for (QSortFilterProxyModel* rows : {m_potRows, m_buttonRows})
        connect(Filter, &QLineEdit::textChanged, rows,
                &QSortFilterProxyModel::setFilterFixedString);
    // The first matching rows come into view, not whatever sat at the old scroll position.
    connect(Filter, &QLineEdit::textChanged, this, [this] {
        PotTable->scrollToTop();
        ButtonTable->scrollToTop();
    });
    connectTable(PotTable, Controls::Pots);
    connectTable(ButtonTable, Controls::Buttons);
    fillPresetList();
    selectRow(Controls::Pots, m_shownPot);
    selectRow(Controls::Buttons, m_shownButton);
    activate(Controls::Pots);
}

QTableView* OverviewPage::makeTable(Controls controls, const char* objectName,
                                    const QString& name) {
    auto* rows = new QSortFilterProxyModel(this);
    (controls == Controls::Pots ? m_potRows : m_buttonRows) = rows;
    rows->setSourceModel(&model(controls));
    rows->setFilterKeyColumn(-1);
    rows->setFilterCaseSensitivity(Qt::CaseInsensitive);
    auto* table = named(new FocusQuietView<QTableView>, objectName, name);
    table->setModel(rows);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    table->setSortingEnabled(true);
    table->sortByColumn(0, Qt::AscendingOrder);
    table->verticalHeader()->hide();
    table->setAlternatingRowColors(true);
    // Tab leaves the table for the next control; the arrow keys move between cells.
    table->setTabKeyNavigation(false);
    fitColumns(table, controls);
    const bool pots = controls == Controls::Pots;
    table->setItemDelegate(new CellDelegate(table));
    table->setItemDelegateForColumn(
        pots ? int(overview::PotColumn::Mode) : int(overview::ButtonColumn::Mode),
        new ModeDelegate(pots ? itemTexts(field_ranges::kPotLabelModeItems)
                              : itemTexts(field_ranges::kButtonModeItems),
                         table));
    // Dense rows: as many controls at a glance as the window allows.
    table->verticalHeader()->setDefaultSectionSize(QFontMetrics(table->font()).height() + 6);
    if (auto* corner = table->findChild<QAbstractButton*>())
        corner->setAccessibleName(tr("Choose all %1").arg(name.toLower()));
    return table;
}

QWidget* OverviewPage::makeBulkControls() {
    const auto button = [](const QString& text, const char* objectName) {
        auto* b = named(new QPushButton(text), objectName, text);
        b->setAutoDefault(false);
        return b;
    };
    ChosenControls = new QLabel;
    ChosenControls->setObjectName(QStringLiteral("ChosenControls"));
    using field_ranges::kDataByte;
    using field_ranges::kEntryChannel;
    BulkChannel = numberField(kEntryChannel.min, kEntryChannel.max, kEntryChannel.min,
                              "BulkChannel", tr("Channel :"));
    SetChannel = button(tr("Set Channel"), "SetChannel");
    BulkEventType = named(new QComboBox, "BulkEventType", tr("Event Type :"));
    BulkEventType->addItems(itemTexts(field_ranges::kEventTypeItems));
    BulkEventType->setCurrentIndex(2);
    SetEventType = button(tr("Set Event Type"), "SetEventType");
    NumberStart = numberField(kDataByte.min, kDataByte.max, 0, "NumberStart", tr("Start :"));
    NumberUpward = button(tr("Number Byte 1 Upward"), "NumberUpward");
    CopyRow = button(tr("Copy Current Row To Chosen Rows"), "CopyRow");
    BulkMin = numberField(kDataByte.min, kDataByte.max, kDataByte.min, "BulkMin", tr("Min :"));
    BulkMax = numberField(kDataByte.min, kDataByte.max, kDataByte.max, "BulkMax", tr("Max :"));
    SetRange = button(tr("Set Min/Max"), "SetRange");
    BulkPreset = named(new QComboBox, "BulkPreset", tr("Preset :"));
    ApplyPreset = button(tr("Apply Preset"), "ApplyPreset");

    auto* group = new QGroupBox(tr("Bulk edit of the chosen rows"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(ChosenControls, 0, 0, 1, 6);
    const struct {
        QWidget *first, *second, *action;
        const QString text;
    } rows[] = {{BulkChannel, nullptr, SetChannel, tr("Channel :")},
                {BulkEventType, nullptr, SetEventType, tr("Event Type :")},
                {NumberStart, nullptr, NumberUpward, tr("Start :")},
                {BulkMin, BulkMax, SetRange, tr("Min :")},
                {BulkPreset, nullptr, ApplyPreset, tr("Preset :")}};
    int index = 0;
    for (const auto& r : rows) {
        const int row = index / 2 + 1, column = index % 2 * 3; // two edits side by side
        grid->addWidget(caption(r.text, r.first), row, column);
        auto* fields = new QHBoxLayout;
        fields->addWidget(r.first);
        if (r.second) {
            fields->addWidget(caption(tr("Max :"), r.second));
            fields->addWidget(r.second);
        }
        fields->addStretch();
        grid->addLayout(fields, row, column + 1);
        grid->addWidget(r.action, row, column + 2);
        ++index;
    }
    grid->addWidget(CopyRow, index / 2 + 1, 3, 1, 3);
    describeBulkFields();

    connect(SetChannel, &QPushButton::clicked, this, [this] {
        const int channel = BulkChannel->clampedValue();
        runBulkEdit(tr("Set channel %1").arg(channel),
                    [channel](BankRecord& r, Controls c, const std::vector<int>& numbers) {
                        return overview::setChannel(r, c, numbers, channel);
                    });
    });
    connect(SetEventType, &QPushButton::clicked, this, [this] {
        const int type = field_ranges::kFirstEventType + BulkEventType->currentIndex();
        runBulkEdit(tr("Set event type %1").arg(BulkEventType->currentText().trimmed()),
                    [type](BankRecord& r, Controls c, const std::vector<int>& numbers) {
                        return overview::setEventType(r, c, numbers, type);
                    });
    });
    connect(NumberUpward, &QPushButton::clicked, this, [this] {
        const int start = NumberStart->clampedValue();
        runBulkEdit(
            tr("Number byte 1 upward from %1").arg(start),
            [start](BankRecord& r, Controls c, const std::vector<int>& numbers) {
                return overview::numberUpward(r, c, numbers, start);
            },
            "past 127");
    });
    connect(SetRange, &QPushButton::clicked, this, [this] {
        const int min = BulkMin->clampedValue(), max = BulkMax->clampedValue();
        runBulkEdit(tr("Set min %1 max %2").arg(min).arg(max),
                    [min, max](BankRecord& r, Controls, const std::vector<int>& numbers) {
                        return overview::setPotRange(r, numbers, min, max);
                    });
    });
    connect(CopyRow, &QPushButton::clicked, this, &OverviewPage::copyCurrentRow);
    connect(ApplyPreset, &QPushButton::clicked, this, &OverviewPage::applyChosenPreset);
    return group;
}

void OverviewPage::connectTable(QTableView* table, Controls controls) {
    OverviewTableModel& source = model(controls);
    connect(&source, &OverviewTableModel::edited, this, &OverviewPage::tookEdit);
    connect(&source, &OverviewTableModel::refused, this, &OverviewPage::writeLine);
    // Bulk edits act on the table last used, even when a click leaves its selection as it was.
    connect(table, &QAbstractItemView::pressed, this, [this, controls] { activate(controls); });
    auto* selection = table->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            [this, controls] { activate(controls); });
    connect(selection, &QItemSelectionModel::currentRowChanged, this,
            [this, controls](const QModelIndex& current) {
                if (!current.isValid() || m_following) return;
                const int n = numberAt(controls, current);
                (controls == Controls::Pots ? m_shownPot : m_shownButton) = n;
                activate(controls);
                if (controls == Controls::Pots)
                    emit potChosen(n);
                else
                    emit buttonChosen(n);
            });
}

OverviewTableModel& OverviewPage::model(Controls controls) {
    if (!m_pots) ensureBuilt();
    return controls == Controls::Pots ? *m_pots : *m_buttons;
}

QTableView* OverviewPage::tableOf(Controls controls) const {
    return controls == Controls::Pots ? PotTable : ButtonTable;
}

int OverviewPage::numberAt(Controls controls, const QModelIndex& shown) const {
    const QSortFilterProxyModel* rows = controls == Controls::Pots ? m_potRows : m_buttonRows;
    return OverviewTableModel::numberOfRow(rows->mapToSource(shown).row());
}

std::vector<int> OverviewPage::chosenNumbers(Controls controls) const {
    QTableView* table = tableOf(controls);
    QModelIndexList chosen = table->selectionModel()->selectedRows();
    std::sort(chosen.begin(), chosen.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<int> numbers;
    for (const QModelIndex& row : chosen)
        numbers.push_back(numberAt(controls, row));
    return numbers;
}

void OverviewPage::activate(Controls controls) {
    const bool changed = m_active != controls;
    m_active = controls;
    SetRange->setEnabled(controls == Controls::Pots); // buttons have no range
    if (changed) fillPresetList();
    showChosen();
}

void OverviewPage::describeBulkFields() {
    using page_controls::describe;
    describe(Filter, tr("Shows only the rows of both tables that hold this text in any column."));
    describe(BulkChannel, tr("The MIDI channel that Set Channel gives the chosen rows."));
    describe(BulkEventType, tr("The event type that Set Event Type gives the chosen rows; each "
                               "keeps its channel and bytes."));
    describe(NumberStart, tr("Byte 1 (controller or note number) of the first chosen row; Number "
                             "Byte 1 Upward counts up from it row by row, and rows that would "
                             "pass 127 keep theirs."));
    describe(BulkMin, tr("The lowest value Set Min/Max gives the chosen pots."));
    describe(BulkMax, tr("The highest value Set Min/Max gives the chosen pots."));
    // Its items follow the table in use, so no count is stated.
    BulkPreset->setToolTip(tr("The library's preset that Apply Preset gives the chosen rows; each "
                              "keeps its channel."));
}

void OverviewPage::showChosen() {
    const int count = int(chosenNumbers(m_active).size());
    ChosenControls->setText(
        tr("Bulk edits act on the chosen rows: %1 %2")
            .arg(count)
            .arg(QString::fromStdString(overview::controlsWord(m_active, count))));
}

void OverviewPage::fillPresetList() {
    BulkPreset->clear();
    BulkPreset->addItems(m_active == Controls::Pots ? m_potNames : m_buttonNames);
    ApplyPreset->setEnabled(BulkPreset->count() > 0);
}

void OverviewPage::setPresets(const QStringList& potKeys, const QStringList& potNames,
                              const QStringList& buttonKeys, const QStringList& buttonNames) {
    m_potKeys = potKeys;
    m_potNames = potNames;
    m_buttonKeys = buttonKeys;
    m_buttonNames = buttonNames;
    if (isBuilt()) fillPresetList();
}

void OverviewPage::runBulkEdit(const QString& what, const BulkEdit& edit, std::string_view why) {
    const Controls controls = m_active;
    const std::vector<int> numbers = chosenNumbers(controls);
    if (numbers.empty()) {
        writeLine(tr("Overview: %1: choose the rows first").arg(what));
        return;
    }
    const BankRecord before = m_record;
    const BulkResult result = edit(m_record, controls, numbers);
    writeLine(QStringLiteral("Overview: ") +
              QString::fromStdString(overview::bulkLine(what.toStdString(), controls,
                                                        int(numbers.size()), result, why)));
    if (m_record == before) return;
    model(controls).refreshAll();
    tookEdit(before, tr("%1 on %2 %3")
                         .arg(what)
                         .arg(numbers.size())
                         .arg(QString::fromStdString(
                             overview::controlsWord(controls, int(numbers.size())))));
}

void OverviewPage::copyCurrentRow() {
    const Controls controls = m_active;
    QTableView* table = tableOf(controls);
    const QModelIndex current = table->currentIndex();
    if (!current.isValid()) return writeLine(tr("Overview: copy a row: no current row"));
    const int source = numberAt(controls, current);
    const QString name = model(controls).controlName(source);
    runBulkEdit(tr("Copy %1").arg(name),
                [source](BankRecord& r, Controls c, std::vector<int> numbers) {
                    std::erase(numbers, source);
                    return overview::copyRow(r, c, source, numbers);
                });
}

void OverviewPage::applyChosenPreset() {
    const int index = BulkPreset->currentIndex();
    const QStringList& keys = m_active == Controls::Pots ? m_potKeys : m_buttonKeys;
    if (index < 0 || index >= keys.size()) return;
    const QString key = keys.at(index);
    const QString what = tr("Apply preset %1").arg(BulkPreset->currentText());
    if (m_active == Controls::Pots) {
        const auto preset = preset_file::parsePotKey(key);
        if (!preset) return writeLine(tr("Overview: preset key %1 holds no bytes").arg(key));
        runBulkEdit(what, [preset](BankRecord& r, Controls, const std::vector<int>& numbers) {
            return overview::applyPotPreset(r, numbers, *preset);
        });
        return;
    }
    const auto value = preset_file::parseButtonKey(key);
    if (!value) return writeLine(tr("Overview: preset key %1 holds no bytes").arg(key));
    runBulkEdit(what, [value](BankRecord& r, Controls, const std::vector<int>& numbers) {
        return overview::applyButtonPreset(r, numbers, *value);
    });
}

void OverviewPage::tookEdit(const BankRecord& before, const QString& text) {
    announcePots(before);
    emit entriesChanged();
    emit recordEdited(before, text);
}

// The desk follows what the pot page would have told it for each changed pot.
void OverviewPage::announcePots(const BankRecord& before) {
    for (int n = 1; n <= bank_layout::kEntryCount; ++n) {
        using Knob = PotPage::KnobProperty;
        const PotEntry was = before.pot(n), now = m_record.pot(n);
        if (was.min != now.min) emit knobChanged(n, Knob::Minimum, now.min);
        if (was.max != now.max) emit knobChanged(n, Knob::Maximum, now.max);
        if (before.initialValue(n) != m_record.initialValue(n))
            emit knobChanged(n, Knob::Position, m_record.initialValue(n));
        if (before.potLabel(n) != m_record.potLabel(n))
            emit hintChanged(n, QString::fromLatin1(m_record.potLabel(n)));
    }
}

void OverviewPage::writeLine(const QString& line) {
    LastResult->announce(line);
    emit logLine(line);
}

void OverviewPage::reload() {
    if (!isBuilt()) return; // built from the bank as it is then
    m_pots->refreshAll();
    m_buttons->refreshAll();
    showChosen();
}

void OverviewPage::refreshPot(int n) {
    if (isBuilt()) m_pots->refreshControl(n);
}

void OverviewPage::showEvent(QShowEvent* event) {
    const bool builtBefore = isBuilt(); // a page built now has just read the bank
    DeferredPage::showEvent(event);
    if (builtBefore) reload();
}

void OverviewPage::showPot(int n) {
    m_shownPot = n;
    if (isBuilt()) selectRow(Controls::Pots, n);
}

void OverviewPage::showButton(int n) {
    m_shownButton = n;
    if (isBuilt()) selectRow(Controls::Buttons, n);
}

// Makes control n's row the current and only chosen one, unless it is the current row already.
void OverviewPage::selectRow(Controls controls, int n) {
    QTableView* table = tableOf(controls);
    const QSortFilterProxyModel* rows = controls == Controls::Pots ? m_potRows : m_buttonRows;
    const QModelIndex row = rows->mapFromSource(model(controls).index(n - 1, 0));
    if (!row.isValid() || table->currentIndex().row() == row.row()) return;
    QScopedValueRollback following(m_following, true);
    table->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect |
                                                      QItemSelectionModel::Rows);
    table->scrollTo(row);
}
