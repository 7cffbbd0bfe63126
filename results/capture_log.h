#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QString>

#include <functional>
#include <optional>

class QByteArray;

/// Keeps everything the instrument sent: each received cluster is appended unchanged to the
/// capture file of its day, <folder>/YYYY-MM-DD.txt, and handed to the operating system at once,
/// so a crash of the program loses nothing already received. A cluster is written whole or not
/// at all; when writing works again after clusters were lost, a gap line (gapLine) stands
/// before the next one.
class CaptureLog
{
  public:
    /// now gives the local time; its date names the file.
    explicit CaptureLog(QString folder, std::function<QDateTime()> now = &QDateTime::currentDateTime);

    /// The user's capture folder: "capture" in the program's data folder.
    static QString defaultFolder();
    const QString &folder() const { return m_folder; }
    /// "2024-05-06.txt": the name of the day's capture file in the folder.
    static QString dayFileName(const QDate &day);

    /// Appends the bytes. Returns the status text to show when it is to change: the failure
    /// message when writing starts to fail (so a failing disk is reported once), and an empty text
    /// when writing works again while shownStatus is still that message; nothing otherwise.
    std::optional<QString> append(const QByteArray &bytes, const QString &shownStatus);

    /// How a gap line begins; it ends with "]" and a line break.
    static constexpr QByteArrayView kGapLineStart{"[Korvane capture gap: "};
    /// The line that marks lost clusters, with its line break; the time is local.
    static QByteArray gapLine(qint64 lostBytes, const QDateTime &from, const QDateTime &to, const QString &reason);

  private:
    bool openDayFile(const QDate &today);
    QString writeWhole(const QByteArray &bytes);
    bool fileEndsLine();

    const QString m_folder;
    const std::function<QDateTime()> m_now;
    QFile m_file;
    QDate m_fileDate;
    // The clusters lost since writing last worked: how many bytes, when, and why.
    qint64 m_lostBytes = 0;
    QDateTime m_lostFrom;
    QDateTime m_lostTo;
    QString m_lostReason;
    // The failure message given to the status bar, until writing works again.
    QString m_reported;
};
