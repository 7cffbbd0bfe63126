#include "results/received_record.h"

#include "data/record_text.h"

#include <QCryptographicHash>

QByteArray ReceivedRecord::dataBlock() const
{
    const std::optional<RecordBlock> block = recordBlock(table(), 1);
    return block ? block->data : QByteArray();
}

QString ReceivedRecord::sha256() const
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}
