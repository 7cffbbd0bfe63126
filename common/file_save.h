#pragma once

#include <QString>

#include <functional>

class QByteArray;
class QFileDevice;
class QIODevice;

/// Saves a file so that a refused or short write never leaves it cut short: the content goes to
/// a new file beside the target, is flushed, and only then replaces the target.
class FileSave
{
  public:
    enum class Status
    {
        Saved,
        NotCreated, ///< the file could not be opened for writing; nothing was written
        NotWritten, ///< a write was refused or cut short; the target is as it was
    };

    /// Writes the content to the device; false when the device did not take all of it.
    using Content = std::function<bool(QIODevice &)>;

    explicit FileSave(const QString &path);

    /// Where the folder takes no new file, rewrites an existing target in place, as Windows' own
    /// profile writes do; a failed write then puts the old contents back.
    void setDirectWriteFallback(bool enabled) { m_directWriteFallback = enabled; }

    Status write(const Content &content);
    Status write(const QByteArray &bytes);
    /// Writes the bytes of a file made elsewhere, by a library that writes only to a name.
    Status copy(const QString &builtFile);

    /// Makes the file by name, for a library that writes only to a name: build writes it whole to
    /// a scratch file beside the target and returns an empty text, or the library's reason for
    /// failing. The scratch file goes in every case.
    using Builder = std::function<QString(const QString &scratchFile)>;
    Status build(const Builder &builder);

    /// The user's message for the last failure: which file, and the system's reason.
    QString failureMessage() const;

    /// The system's reason for the last failure.
    const QString &errorString() const { return m_errorString; }

    /// Why a write to the file failed: the text of error (errno, taken right after the write),
    /// or the file's own when that is 0. A write the disk cuts short after its first bytes leaves
    /// Qt with "Unknown error"; the system's reason is then only in errno.
    static QString writeFailure(int error, const QFileDevice &file);

  private:
    Status writeInPlace(const Content &content);

    QString m_path;
    bool m_directWriteFallback = false;
    QString m_errorString;
};
