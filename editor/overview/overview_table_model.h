// OverviewTableModel: the 64 pots or the 64 buttons of the bank as a table, one row per control,
// read from and written to the bank itself. Typed values go in with the rules of the pot and
// button pages; a refused value leaves the bank as it was. No widgets.
#pragma once

#include "bank_overview.h"

#include <QAbstractTableModel>

class OverviewTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    OverviewTableModel(BankRecord& record, overview::Controls controls, QObject* parent = nullptr);

    overview::Controls controls() const { return m_controls; }
    // Row r shows control r + 1.
    static int numberOfRow(int row) { return row + 1; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The bank changed elsewhere: every cell, or the row of control n, shows it afresh.
    void refreshAll();
    void refreshControl(int n);

    // "Pot 3", "Button 12".
    QString controlName(int n) const;

signals:
    // A cell took a typed value; `before` is the bank as it was.
    void edited(const BankRecord& before, const QString& description);
    // A typed value was refused: the line says which cell, what was typed and why.
    void refused(const QString& line);

private:
    BankRecord& m_record;
    overview::Controls m_controls;
};
