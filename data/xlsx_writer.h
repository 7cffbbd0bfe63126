#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// One sheet of a workbook: its name and its cells, the first row being the titles.
struct XlsxSheet
{
    QString name;
    QList<QStringList> rows;
};

/// Writes the sheets as an Office Open XML workbook. Cells that hold a number become number
/// cells shown with the decimals they hold, ISO date-times become dates, blank cells stay empty,
/// the rest text; each sheet's first row is bold text. A cell longer than a worksheet takes is
/// refused before anything is written.
/// Returns an empty text on success, else why it failed; an existing file then stays as it was.
QString writeXlsx(const QList<XlsxSheet> &sheets, const QString &fileName);
