#pragma once

#include <QString>

#include <functional>

class Dialogs;
class QWidget;
struct ResultRecord;

/// The result's files: CSV, XLSX and the PDF report. Each is asked for through the save dialog
/// with a name that carries date, time and record, is written only after the overwrite
/// confirmation, and is written whole or not at all.
class ResultFiles
{
  public:
    /// True when the file does not exist yet, or the user allowed overwriting it.
    using ConfirmOverwrite = std::function<bool(const QString &fileName)>;

    ResultFiles(Dialogs &dialogs, QWidget *parent, ConfirmOverwrite confirm);

    // Each returns the file written, or an empty text when nothing was written.
    QString saveCsv(const ResultRecord &record);
    QString saveXlsx(const ResultRecord &record);
    QString exportReport(const ResultRecord &record);

  private:
    using Writer = std::function<QString(const QString &fileName)>;
    QString save(const ResultRecord &record, const QString &suffix, const QString &filter, const Writer &write);

    Dialogs &m_dialogs;
    QWidget *m_parent;
    ConfirmOverwrite m_confirm;
};
