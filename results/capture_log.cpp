#include "results/capture_log.h"

#include "common/file_save.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>

CaptureLog::CaptureLog(QString folder, std::function<QDateTime()> now)
    : m_folder(std::move(folder)), m_now(std::move(now))
{
}

QString CaptureLog::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("capture"));
}

QString CaptureLog::dayFileName(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt");
}

QByteArray CaptureLog::gapLine(qint64 lostBytes, const QDateTime &from, const QDateTime &to, const QString &reason)
{
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    return QString::fromLatin1(kGapLineStart.toByteArray() +
                               "%1 bytes received from %2 to %3 are missing here - %4]\r\n")
        .arg(lostBytes)
        .arg(from.toString(format), to.toString(format), reason)
        .toUtf8();
}

std::optional<QString> CaptureLog::append(const QByteArray &bytes, const QString &shownStatus)
{
    const QDateTime now = m_now();
    QString reason;
    if (!openDayFile(now.date())) {
        reason = QDir(m_folder).exists() ? m_file.errorString() : QStringLiteral("cannot create the folder");
    } else {
        QByteArray whole = bytes;
        if (m_lostBytes > 0)
            whole.prepend(QByteArray(fileEndsLine() ? "" : "\r\n") +
                          gapLine(m_lostBytes, m_lostFrom, m_lostTo, m_lostReason));
        reason = writeWhole(whole);
    }
    if (reason.isEmpty()) {
        m_lostBytes = 0;
        const bool stillShown = !m_reported.isEmpty() && shownStatus == m_reported;
        m_reported.clear();
        return stillShown ? std::optional<QString>(QString()) : std::nullopt;
    }
    if (m_lostBytes == 0)
        m_lostFrom = now;
    m_lostBytes += bytes.size();
    m_lostTo = now;
    m_lostReason = reason;
    const QString fileName = QDir::toNativeSeparators(m_file.fileName());
    // Opened afresh next time, so a disk that has room again is used again.
    m_file.close();
    if (!m_reported.isEmpty())
        return std::nullopt;
    m_reported = QStringLiteral("Capture log not written - %1: %2").arg(fileName, reason);
    return m_reported;
}

// Empty when all bytes are in the file; else the system's reason, and the file is as it was.
QString CaptureLog::writeWhole(const QByteArray &bytes)
{
    const qint64 before = m_file.size();
    errno = 0;
    if (m_file.write(bytes) == bytes.size())
        return {};
    const QString reason = FileSave::writeFailure(errno, m_file);
    m_file.resize(before);
    return reason;
}

bool CaptureLog::fileEndsLine()
{
    QFile file(m_file.fileName());
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return true;
    file.seek(file.size() - 1);
    char last = 0;
    return file.getChar(&last) && (last == '\n' || last == '\r');
}

bool CaptureLog::openDayFile(const QDate &today)
{
    if (m_file.isOpen() && today == m_fileDate)
        return true;
    m_file.close();
    m_fileDate = today;
    m_file.setFileName(QDir(m_folder).filePath(dayFileName(today)));
    // Unbuffered: each write goes straight to the operating system.
    return QDir().mkpath(m_folder) && m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}
