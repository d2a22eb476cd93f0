// MonitorLinesView: the lines of the MIDI Monitor. A one-column table, so that lines appended at
// the end cost the view in proportion to what was appended, not to the lines it holds (a list
// view lays out every row again); read by assistive technology as a list whose items are the
// lines, with their text.
#pragma once

#include <QAccessible>
#include <QHash>
#include <QTableView>

class MonitorLinesView : public QTableView {
    Q_OBJECT
public:
    explicit MonitorLinesView(QWidget* parent = nullptr);
    ~MonitorLinesView() override;

    // The accessible item of `row`, made once and kept until rows leave or the model resets.
    QAccessibleInterface* accessibleLine(int row);

protected:
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void reset() override;
    // Home and End go to the first and the last line, as in a list (a table's go along the row).
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    void forgetAccessibleLines();

    QHash<int, QAccessible::Id> m_accessibleLines;
};
