// OverviewPage: the "Overview" page. All 64 pots and 64 buttons of the bank in two tables, edited
// in place and in bulk on the chosen rows, sorted and filtered; the row of the pot or button that
// its own page shows stays in step with that page.
#pragma once

#include "bank_overview.h"
#include "deferred_page.h"
#include "pot_page.h"

#include <QStringList>
#include <functional>

class OverviewTableModel;
class QComboBox;
class QLabel;
class LiveStatus;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class SpinEdit;

class OverviewPage : public DeferredPage {
    Q_OBJECT
public:
    explicit OverviewPage(BankRecord& record, QWidget* parent = nullptr);

    QLineEdit* Filter = nullptr;
    QTableView* PotTable = nullptr;
    QTableView* ButtonTable = nullptr;
    QLabel* ChosenControls = nullptr; // what the bulk edits act on
    SpinEdit* BulkChannel = nullptr;
    QPushButton* SetChannel = nullptr;
    QComboBox* BulkEventType = nullptr;
    QPushButton* SetEventType = nullptr;
    SpinEdit* NumberStart = nullptr;
    QPushButton* NumberUpward = nullptr;
    QPushButton* CopyRow = nullptr;
    SpinEdit* BulkMin = nullptr;
    SpinEdit* BulkMax = nullptr;
    QPushButton* SetRange = nullptr;
    QComboBox* BulkPreset = nullptr;
    QPushButton* ApplyPreset = nullptr;
    LiveStatus* LastResult = nullptr; // the last line this page wrote to the log, spoken

    OverviewTableModel& model(overview::Controls controls);
    // Which table the bulk edits act on: the one whose rows were chosen last.
    overview::Controls activeControls() const { return m_active; }
    // The chosen rows' controls of `controls`, top to bottom as the table shows them.
    std::vector<int> chosenNumbers(overview::Controls controls) const;

    // The preset lists, kept until the page is built.
    void setPresets(const QStringList& potKeys, const QStringList& potNames,
                    const QStringList& buttonKeys, const QStringList& buttonNames);

public slots:
    // Rereads the whole bank: after undo or redo, a new bank, or edits on other pages.
    void reload();
    // Pot n changed elsewhere (its knob was turned on the desk).
    void refreshPot(int n);
    // The pot or button page shows control n: its row becomes the current one here.
    void showPot(int n);
    void showButton(int n);

signals:
    // After every edit of the bank (one cell, or one bulk edit): the bank as it was, and what
    // changed in a few words.
    void recordEdited(const BankRecord& before, const QString& text);
    // The pots and buttons changed: the pages that show one of them read it afresh.
    void entriesChanged();
    // The desk control of a pot has to follow an edit, as after the same edit on the pot page.
    void knobChanged(int pot, PotPage::KnobProperty property, int value);
    void hintChanged(int pot, const QString& hint);
    // A row was chosen: its pot or button is shown on its own page.
    void potChosen(int n);
    void buttonChosen(int n);
    void logLine(const QString& line);

protected:
    void build() override;
    void showEvent(QShowEvent* event) override;

private:
    using BulkEdit = std::function<overview::BulkResult(BankRecord&, overview::Controls,
                                                        const std::vector<int>&)>;
    QTableView* makeTable(overview::Controls controls, const char* objectName, const QString& name);
    QWidget* makeBulkControls();
    void describeBulkFields();
    void connectTable(QTableView* table, overview::Controls controls);
    QTableView* tableOf(overview::Controls controls) const;
    // The control a row of the table shows, as sorted and filtered.
    int numberAt(overview::Controls controls, const QModelIndex& shown) const;
    void activate(overview::Controls controls);
    void showChosen();
    void selectRow(overview::Controls controls, int n);
    void runBulkEdit(const QString& what, const BulkEdit& edit,
                     std::string_view why = "out of range");
    void copyCurrentRow();
    void applyChosenPreset();
    void fillPresetList();
    void tookEdit(const BankRecord& before, const QString& text);
    void announcePots(const BankRecord& before);
    void writeLine(const QString& line);

    BankRecord& m_record;
    OverviewTableModel* m_pots = nullptr;
    OverviewTableModel* m_buttons = nullptr;
    QSortFilterProxyModel* m_potRows = nullptr;
    QSortFilterProxyModel* m_buttonRows = nullptr;
    overview::Controls m_active = overview::Controls::Pots;
    QStringList m_potKeys, m_potNames, m_buttonKeys, m_buttonNames;
    int m_shownPot = 1;
    int m_shownButton = 1;
    bool m_following = false; // a page's selection is being followed: no echo back to it
};
