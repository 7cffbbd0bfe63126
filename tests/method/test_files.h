#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Raw bytes in and out of files, so that tests see exactly what reaches the disk.
namespace test_files {

inline QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace test_files
