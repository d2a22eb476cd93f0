#include "overview_table_model.h"

using overview::Controls;

OverviewTableModel::OverviewTableModel(BankRecord& record, Controls controls, QObject* parent)
    : QAbstractTableModel(parent), m_record(record), m_controls(controls) {}

int OverviewTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : bank_layout::kEntryCount;
}

int OverviewTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : overview::columnCount(m_controls);
}

QVariant OverviewTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int n = numberOfRow(index.row());
    switch (role) {
    case Qt::DisplayRole:
        // Numbers stay numbers, so that a sorted column sorts by value.
        if (const auto number = overview::cellNumber(m_record, m_controls, n, index.column()))
            return *number;
        [[fallthrough]];
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        return QString::fromStdString(overview::cellText(m_record, m_controls, n, index.column()));
    case Qt::TextAlignmentRole:
        if (overview::cellNumber(m_record, m_controls, n, index.column()))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant OverviewTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole) return numberOfRow(section);
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    return QString::fromStdString(overview::columnTitle(m_controls, section));
}

Qt::ItemFlags OverviewTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && overview::isEditable(m_controls, index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QString OverviewTableModel::controlName(int n) const {
    return (m_controls == Controls::Pots ? tr("Pot %1") : tr("Button %1")).arg(n);
}

bool OverviewTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const int n = numberOfRow(index.row());
    const QString text = value.toString();
    const QString cell = controlName(n) + QLatin1Char(' ') +
                         QString::fromStdString(overview::columnTitle(m_controls, index.column()));
    const BankRecord before = m_record;
    const overview::CellEdit result =
        overview::setCell(m_record, m_controls, n, index.column(), text.toUtf8().toStdString());
    if (!result.accepted) {
        emit refused(tr("Overview: %1 kept its value: %2")
                         .arg(cell, QString::fromStdString(result.refusal)));
        return false;
    }
    if (m_record == before) return true;
    refreshControl(n);
    emit edited(before, tr("%1 = %2").arg(cell, text.trimmed()));
    return true;
}

void OverviewTableModel::refreshAll() {
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void OverviewTableModel::refreshControl(int n) {
    emit dataChanged(index(n - 1, 0), index(n - 1, columnCount() - 1));
}
