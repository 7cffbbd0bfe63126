#include "results/received_record.h"

#include "common/cp1252.h"
#include "data/data_block.h"
#include "data/record_text.h"

#include <QCryptographicHash>

QByteArray ReceivedRecord::dataBlock() const
{
    const std::optional<RecordBlock> block = recordBlock(table(), 1);
    return block ? block->data : QByteArray();
}

QList<QStringList> ReceivedRecord::tableRows(const QStringList &titleRow) const
{
    QList<QStringList> rows{titleRow};
    for (const DataRow &row : splitDataBlock(cp1252::decode(dataBlock())))
        rows.append(QStringList(row.begin(), row.end()));
    return rows;
}

const QStringList &ReceivedRecord::columnTitles()
{
    static const QStringList titles = {QStringLiteral("Volume/ml"), QStringLiteral("Increment/ml"),
                                       QStringLiteral("Signal/pH"), QStringLiteral("Change/pH"),
                                       QStringLiteral("Derivative")};
    return titles;
}

QString ReceivedRecord::sha256() const
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}
