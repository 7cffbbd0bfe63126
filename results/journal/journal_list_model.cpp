#include "results/journal/journal_list_model.h"

#include <QLocale>

namespace {

const QStringList kTitles{QStringLiteral("Date"),   QStringLiteral("Sample"),     QStringLiteral("Weight"),
                          QStringLiteral("Method"), QStringLiteral("EP1 / ml"),   QStringLiteral("Result"),
                          QStringLiteral("State"),  QStringLiteral("Signatures"), QStringLiteral("Bench")};

} // namespace

int JournalListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int JournalListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(kTitles.size());
}

QVariant JournalListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows.size())
        return {};
    return cell(m_rows.at(index.row()), index.column());
}

QVariant JournalListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kTitles.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return kTitles.at(section);
}

void JournalListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void JournalListModel::append(const QList<JournalListRow> &rows)
{
    if (rows.isEmpty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + rows.size() - 1));
    m_rows.append(rows);
    endInsertRows();
}

QString JournalListModel::stateText(const JournalCurrentValues &current)
{
    if (current.invalidated)
        return QStringLiteral("invalidated");
    switch (current.state) {
    case JournalEntry::State::Complete:
        return QStringLiteral("complete");
    case JournalEntry::State::Aborted:
        return QStringLiteral("aborted");
    case JournalEntry::State::Edited:
        return QStringLiteral("edited");
    case JournalEntry::State::Rebuilt:
        return QStringLiteral("rebuilt");
    }
    return {};
}

QString JournalListModel::signaturesText(const JournalCurrentValues &current)
{
    QStringList texts;
    for (const JournalSignatureState &signature : current.signatures) {
        texts.append(QStringLiteral("%1 (%2)%3")
                         .arg(signature.meaning, signature.user,
                              signature.coversCurrent ? QString() : QStringLiteral(", no longer covers")));
    }
    return texts.join(QStringLiteral("; "));
}

QString JournalListModel::cell(const JournalListRow &row, int column) const
{
    switch (column) {
    case 0:
        return QLocale().toString(row.runStart.toLocalTime(), QStringLiteral("yyyy-MM-dd HH:mm"));
    case 1:
        return row.current.sampleId;
    case 2:
        return QString::number(row.current.sampleWeight, 'f', 4);
    case 3:
        return row.methodName;
    case 4:
        return row.current.equivalencePoints.isEmpty()
                   ? QString()
                   : QString::number(row.current.equivalencePoints.first().volume, 'f', 3);
    case 5:
        return row.resultLine;
    case 6:
        return stateText(row.current);
    case 7:
        return signaturesText(row.current);
    case 8:
        return row.bench;
    }
    return {};
}
