#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QThread>

/// Waits up to ten seconds for a condition on another process to come true.
template <typename Condition> bool eventually(Condition condition)
{
    const QDeadlineTimer deadline(10000);
    while (!condition() && !deadline.hasExpired())
        QThread::msleep(20);
    return condition();
}

/// The files a process has open, as the paths they resolve to.
inline QStringList openFiles(qint64 pid)
{
    QStringList paths;
    const QDir folder(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &entry : folder.entryList(QDir::System | QDir::NoDotAndDotDot))
        paths << QFile::symLinkTarget(folder.filePath(entry));
    return paths;
}
