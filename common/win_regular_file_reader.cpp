#include "common/regular_file_reader.h"

#include <QFile>
#include <QFileInfo>

namespace {

RegularFileReader::Status statusOf(const QFileInfo &info, qint64 maxSize)
{
    if (!info.exists())
        return RegularFileReader::Status::Missing;
    // Device names (COM1, \\.\COM1, NUL) are not files; opening one could raise its lines.
    if (!info.isFile() || info.filePath().startsWith(QLatin1String("\\\\.\\")))
        return RegularFileReader::Status::NotRegular;
    return info.size() > maxSize ? RegularFileReader::Status::TooLarge : RegularFileReader::Status::Read;
}

} // namespace

RegularFileReader::Result RegularFileReader::read(const QString &path, qint64 maxSize)
{
    if (const Status status = statusOf(QFileInfo(path), maxSize); status != Status::Read)
        return {status, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {Status::Unreadable, {}};
    return readOpened(file, maxSize);
}
