#include "data/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

QString cannotCreate(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(fileName), reason);
}

} // namespace

QString writeFileAtomically(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    // The flush reports a last write that the disk cut short; commit() alone would not.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        return cannotCreate(fileName, file.errorString());
    return {};
}

QString copyFileAtomically(const QString &builtFile, const QString &fileName)
{
    QFile built(builtFile);
    if (!built.open(QIODevice::ReadOnly))
        return cannotCreate(fileName, built.errorString());
    const QByteArray bytes = built.readAll();
    if (built.error() != QFileDevice::NoError)
        return cannotCreate(fileName, built.errorString());
    return writeFileAtomically(fileName, bytes);
}
