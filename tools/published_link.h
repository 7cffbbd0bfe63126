#pragma once

#include <QString>

/// A symbolic link that names the simulator's port for others, removed again when the
/// simulator ends (unless someone has pointed it elsewhere meanwhile).
class PublishedLink
{
  public:
    PublishedLink() = default;
    ~PublishedLink();
    PublishedLink(const PublishedLink &) = delete;
    PublishedLink &operator=(const PublishedLink &) = delete;

    /// Refuses to replace anything but an older link, so no file of the user's is lost.
    bool publish(const QString &linkPath, const QString &target, QString *error);

  private:
    QString m_linkPath;
    QString m_target;
};
