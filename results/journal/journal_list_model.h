#pragma once

#include "journal/journal_query.h"

#include <QAbstractTableModel>
#include <QList>

/// The journal's entries as the Journal window lists them, page after page, newest first.
class JournalListModel : public QAbstractTableModel
{
    Q_OBJECT

  public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void clear();
    void append(const QList<JournalListRow> &rows);
    const JournalListRow &row(int index) const { return m_rows.at(index); }

    /// The words a signature column and a state column show.
    static QString stateText(const JournalCurrentValues &current);
    static QString signaturesText(const JournalCurrentValues &current);

  private:
    QString cell(const JournalListRow &row, int column) const;

    QList<JournalListRow> m_rows;
};
