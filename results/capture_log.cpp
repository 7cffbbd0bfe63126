#include "results/capture_log.h"

#include <QDir>
#include <QStandardPaths>

CaptureLog::CaptureLog(QString folder, std::function<QDate()> today)
    : m_folder(std::move(folder)), m_today(std::move(today))
{
}

QString CaptureLog::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("capture"));
}

QString CaptureLog::append(const QByteArray &bytes)
{
    // Unbuffered: each write goes straight to the operating system.
    const bool opened = openDayFile();
    if (opened && m_file.write(bytes) == bytes.size()) {
        m_failing = false;
        return {};
    }
    const QString reason = QDir(m_folder).exists() ? m_file.errorString() : QStringLiteral("cannot create the folder");
    const QString message =
        QStringLiteral("Capture log not written - %1: %2").arg(QDir::toNativeSeparators(m_file.fileName()), reason);
    // Opened afresh next time, so a disk that has room again is used again.
    m_file.close();
    if (m_failing)
        return {};
    m_failing = true;
    return message;
}

bool CaptureLog::openDayFile()
{
    const QDate today = m_today();
    if (m_file.isOpen() && today == m_fileDate)
        return true;
    m_file.close();
    m_fileDate = today;
    m_file.setFileName(QDir(m_folder).filePath(today.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt")));
    return QDir().mkpath(m_folder) && m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}
