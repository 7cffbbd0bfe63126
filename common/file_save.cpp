#include "common/file_save.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <system_error>

#include <optional>

namespace {

/// The rest of an open file, or nothing when reading it failed.
std::optional<QByteArray> readRest(QFile &file)
{
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool replaceContents(QFile &file, const QByteArray &bytes)
{
    return file.seek(0) && file.write(bytes) == bytes.size() && file.resize(bytes.size()) && file.flush();
}

} // namespace

FileSave::FileSave(const QString &path) : m_path(path) {}

FileSave::Status FileSave::write(const Content &content)
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_errorString = file.errorString();
        return m_directWriteFallback && QFileInfo(m_path).isFile() ? writeInPlace(content) : Status::NotCreated;
    }
    // commit() alone does not report a last write that the disk cut short; the flush does.
    errno = 0;
    if (!content(file) || !file.flush() || !file.commit()) {
        m_errorString = writeFailure(errno, file);
        return Status::NotWritten;
    }
    m_errorString.clear();
    return Status::Saved;
}

FileSave::Status FileSave::writeInPlace(const Content &content)
{
    QBuffer built;
    built.open(QIODevice::WriteOnly);
    if (!content(built)) {
        m_errorString = built.errorString();
        return Status::NotWritten;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        m_errorString = file.errorString();
        return Status::NotCreated;
    }
    const std::optional<QByteArray> old = readRest(file);
    if (!old) {
        m_errorString = file.errorString();
        return Status::NotWritten;
    }
    if (replaceContents(file, built.data())) {
        m_errorString.clear();
        return Status::Saved;
    }
    m_errorString = file.errorString();
    // The old bytes fit where they were, so a disk that refused the new ones still takes them.
    replaceContents(file, *old);
    return Status::NotWritten;
}

FileSave::Status FileSave::write(const QByteArray &bytes)
{
    return write([&bytes](QIODevice &file) { return file.write(bytes) == bytes.size(); });
}

FileSave::Status FileSave::copy(const QString &builtFile)
{
    QFile built(builtFile);
    const std::optional<QByteArray> bytes =
        built.open(QIODevice::ReadOnly) ? readRest(built) : std::optional<QByteArray>();
    if (!bytes) {
        m_errorString = built.errorString();
        return Status::NotWritten;
    }
    return write(*bytes);
}

FileSave::Status FileSave::build(const Builder &builder)
{
    // Beside the target, on the same disk and under the user's eyes, rather than in a shared
    // temporary folder that outlives a crash.
    const QFileInfo target(m_path);
    QTemporaryFile scratch(target.dir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    if (!scratch.open()) {
        m_errorString = scratch.errorString();
        return Status::NotCreated;
    }
    scratch.close();
    if (const QString failure = builder(scratch.fileName()); !failure.isEmpty()) {
        m_errorString = failure;
        return Status::NotWritten;
    }
    return copy(scratch.fileName());
}

QString FileSave::writeFailure(int error, const QFileDevice &file)
{
    return error != 0 ? QString::fromStdString(std::generic_category().message(error)) : file.errorString();
}

QString FileSave::failureMessage() const
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(m_path), m_errorString);
}
