#include "common/file_save.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSaveFile>

FileSave::FileSave(const QString &path) : m_path(path) {}

FileSave::Status FileSave::write(const Content &content)
{
    QSaveFile file(m_path);
    file.setDirectWriteFallback(m_directWriteFallback);
    if (!file.open(QIODevice::WriteOnly)) {
        m_errorString = file.errorString();
        return Status::NotCreated;
    }
    // commit() alone does not report a last write that the disk cut short; the flush does.
    if (!content(file) || !file.flush() || !file.commit()) {
        m_errorString = file.errorString();
        return Status::NotWritten;
    }
    m_errorString.clear();
    return Status::Saved;
}

FileSave::Status FileSave::write(const QByteArray &bytes)
{
    return write([&bytes](QIODevice &file) { return file.write(bytes) == bytes.size(); });
}

FileSave::Status FileSave::copy(const QString &builtFile)
{
    QFile built(builtFile);
    if (!built.open(QIODevice::ReadOnly)) {
        m_errorString = built.errorString();
        return Status::NotWritten;
    }
    const QByteArray bytes = built.readAll();
    if (built.error() != QFileDevice::NoError) {
        m_errorString = built.errorString();
        return Status::NotWritten;
    }
    return write(bytes);
}

QString FileSave::failureMessage() const
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(m_path), m_errorString);
}
