#include "tools/published_link.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

PublishedLink::~PublishedLink()
{
    if (!m_linkPath.isEmpty() && QFile::symLinkTarget(m_linkPath) == m_target)
        ::unlink(QFile::encodeName(m_linkPath).constData());
}

bool PublishedLink::publish(const QString &linkPath, const QString &target, QString *error)
{
    const QFileInfo existing(linkPath);
    if (existing.exists() && !existing.isSymLink()) {
        *error = linkPath + " exists and is not a link";
        return false;
    }
    // Link under a temporary name, then rename: a reader never sees the path missing.
    const QByteArray temporary = QFile::encodeName(linkPath + ".new" + QString::number(::getpid()));
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(target).constData(), temporary.constData()) != 0 ||
        ::rename(temporary.constData(), QFile::encodeName(linkPath).constData()) != 0) {
        *error = linkPath + ": " + QString::fromLocal8Bit(std::strerror(errno));
        ::unlink(temporary.constData());
        return false;
    }
    m_linkPath = linkPath;
    m_target = target;
    return true;
}
