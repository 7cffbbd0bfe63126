#pragma once

#include <QByteArray>
#include <QString>

class QFile;

/// Reads a file only when it is a regular one of bounded size. A named pipe, a device or a
/// folder is never opened for reading, so nothing at that path can block the caller or be
/// set off by an open.
class RegularFileReader
{
  public:
    enum class Status
    {
        Read,
        Missing,    ///< nothing at the path, or a folder on the way is missing
        NotRegular, ///< a pipe, device, socket or folder
        TooLarge,   ///< more than the given number of bytes
        Unreadable, ///< no permission, a symbolic link loop, an I/O error
    };

    struct Result
    {
        Status status = Status::Missing;
        QByteArray bytes; ///< the whole file when status is Read
    };

    static Result read(const QString &path, qint64 maxSize);

  private:
    /// The rest of a read once the platform's half has opened a regular file: bounded, checked.
    static Result readOpened(QFile &file, qint64 maxSize);
};
