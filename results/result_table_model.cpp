#include "results/result_table_model.h"

ResultTableModel::ResultTableModel(const QStringList &titles, QObject *parent)
    : QAbstractTableModel(parent), m_rows({titles, QStringList(kColumns)})
{
}

int ResultTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResultTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant ResultTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.row(), index.column());
}

bool ResultTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() == 0)
        return false;
    setCell(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.row() == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QString ResultTableModel::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows[row].value(column);
}

void ResultTableModel::setCell(int row, int column, const QString &text)
{
    if (row <= 0 || row >= m_rows.size() || column < 0 || column >= kColumns || m_rows[row][column] == text)
        return;
    m_rows[row][column] = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed);
}

void ResultTableModel::setRowCount(int rows)
{
    rows = std::max(rows, 1);
    const int count = int(m_rows.size());
    if (rows > count) {
        beginInsertRows({}, count, rows - 1);
        m_rows.insert(count, rows - count, QStringList(kColumns));
        endInsertRows();
    } else if (rows < count) {
        beginRemoveRows({}, rows, count - 1);
        m_rows.resize(rows);
        endRemoveRows();
    }
}

void ResultTableModel::setDataRows(const QList<DataRow> &rows)
{
    beginResetModel();
    m_rows.resize(1);
    m_rows.reserve(rows.size() + 1);
    for (const DataRow &row : rows)
        m_rows.append(QStringList(row.begin(), row.end()));
    endResetModel();
}

void ResultTableModel::clearData()
{
    for (qsizetype row = 1; row < m_rows.size(); ++row)
        m_rows[row].fill(QString());
    if (m_rows.size() > 1)
        emit dataChanged(index(1, 0), index(int(m_rows.size()) - 1, kColumns - 1));
}
