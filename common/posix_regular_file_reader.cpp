#include "common/regular_file_reader.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

RegularFileReader::Status statusOf(const struct stat &info, qint64 maxSize)
{
    if (!S_ISREG(info.st_mode))
        return RegularFileReader::Status::NotRegular;
    return info.st_size > maxSize ? RegularFileReader::Status::TooLarge : RegularFileReader::Status::Read;
}

RegularFileReader::Status failure(int error)
{
    return error == ENOENT || error == ENOTDIR ? RegularFileReader::Status::Missing
                                               : RegularFileReader::Status::Unreadable;
}

} // namespace

RegularFileReader::Result RegularFileReader::read(const QString &path, qint64 maxSize)
{
    const QByteArray name = QFile::encodeName(path);
    // The type is known before anything is opened; opening a device can raise its lines.
    struct stat info{};
    if (::stat(name.constData(), &info) != 0)
        return {failure(errno), {}};
    if (const Status status = statusOf(info, maxSize); status != Status::Read)
        return {status, {}};
    // Non-blocking and checked again, in case the path became a pipe since.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {failure(errno), {}};
    QFile file;
    if (::fstat(fd, &info) != 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {Status::Unreadable, {}};
    }
    if (const Status status = statusOf(info, maxSize); status != Status::Read)
        return {status, {}};
    return readOpened(file, maxSize);
}
