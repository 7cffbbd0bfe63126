#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

/// One row of the chain as stored. The content is the row's canonical bytes (compact JSON with
/// sorted keys); the searchable columns are copies of values in it, and the row's hash is
/// SHA-256 of the previous row's hash (hex) followed by the content.
struct JournalRow
{
    qint64 seq = 0;
    QList<QVariant> columns; ///< in the order of JournalCodec::columnNames()
    QByteArray content;
    QByteArray received;     ///< an entry's received bytes; their SHA-256 is in the content
    QString prevSha256;
    QString rowSha256;

    /// The hash that the row with this content carries after the given one.
    static QString chainedSha256(const QString &prevSha256, const QByteArray &content);
    static QString sha256Hex(const QByteArray &bytes);
    /// The previous hash of the first row.
    static const QString &genesisSha256();
};
