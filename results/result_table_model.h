#pragma once

#include "data/data_block.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

/// The cells of the result table: row 0 holds the column titles, the data rows follow. Exports,
/// the curve and the equivalence points read the cells from here; the page only shows them.
class ResultTableModel : public QAbstractTableModel
{
    Q_OBJECT

  public:
    static constexpr int kColumns = 5;

    explicit ResultTableModel(const QStringList &titles, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    /// Empty for a cell outside the table.
    QString cell(int row, int column) const;
    /// What a user typing into a data cell does; the title row cannot be changed.
    void setCell(int row, int column, const QString &text);
    /// Grows with empty rows or cuts; the title row always stays.
    void setRowCount(int rows);
    /// Replaces the data rows: the table ends after the last one.
    void setDataRows(const QList<DataRow> &rows);
    /// Empties every data cell; the rows stay.
    void clearData();
    /// Every row, the title row first.
    const QList<QStringList> &rows() const { return m_rows; }

  private:
    QList<QStringList> m_rows;
};
