#include "journal/journal_row.h"

#include <QCryptographicHash>

QString JournalRow::chainedSha256(const QString &prevSha256, const QByteArray &content)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(prevSha256.toLatin1());
    hash.addData(content);
    return QString::fromLatin1(hash.result().toHex());
}

QString JournalRow::sha256Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

const QString &JournalRow::genesisSha256()
{
    static const QString zeros(64, QLatin1Char('0'));
    return zeros;
}
