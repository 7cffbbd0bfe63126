#include "common/regular_file_reader.h"

#include <QFile>

RegularFileReader::Result RegularFileReader::readOpened(QFile &file, qint64 maxSize)
{
    Result result{Status::Read, file.read(maxSize + 1)};
    if (result.bytes.size() > maxSize)
        return {Status::TooLarge, {}};
    if (file.error() != QFileDevice::NoError)
        return {Status::Unreadable, {}};
    return result;
}
