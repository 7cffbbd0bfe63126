#pragma once

#include <QDate>
#include <QFile>
#include <QString>

#include <functional>

class QByteArray;

/// Keeps everything the instrument sent: each received cluster is appended unchanged to the
/// capture file of its day, <folder>/YYYY-MM-DD.txt, and handed to the operating system at once,
/// so a crash of the program loses nothing already received.
class CaptureLog
{
  public:
    /// today gives the local date that names the file.
    explicit CaptureLog(QString folder, std::function<QDate()> today = &QDate::currentDate);

    /// The user's capture folder: "capture" in the program's data folder.
    static QString defaultFolder();
    const QString &folder() const { return m_folder; }

    /// Appends the bytes. Returns a message for the user when this write failed and the one
    /// before it did not, so a failing disk is reported once; empty otherwise.
    QString append(const QByteArray &bytes);

  private:
    bool openDayFile();

    const QString m_folder;
    const std::function<QDate()> m_today;
    QFile m_file;
    QDate m_fileDate;
    bool m_failing = false;
};
