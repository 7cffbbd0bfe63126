#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

/// A temporary folder as the working folder while this lives, so that the program's method
/// files ("Config/") land there.
class TemporaryWorkFolder
{
  public:
    TemporaryWorkFolder() { QDir::setCurrent(m_folder.path()); }
    ~TemporaryWorkFolder() { QDir::setCurrent(m_previous); }
    TemporaryWorkFolder(const TemporaryWorkFolder &) = delete;
    TemporaryWorkFolder &operator=(const TemporaryWorkFolder &) = delete;

  private:
    QString m_previous = QDir::currentPath();
    QTemporaryDir m_folder;
};
