#pragma once

#include <QString>

class QPrinter;
struct ResultRecord;

/// The titration report, a document to file: title, date and time, sample and method, the curve
/// with its equivalence points, the results, and the measuring table, continued on further pages
/// with its titles repeated; every page is numbered.
class TitrationReport
{
  public:
    explicit TitrationReport(const ResultRecord &record) : m_record(record) {}

    /// False when the printer could not start the job.
    bool print(QPrinter &printer) const;
    /// Writes the report as a PDF file; an empty text on success, else why not. An existing file
    /// stays as it was when the writing fails.
    QString writePdf(const QString &fileName) const;

  private:
    const ResultRecord &m_record;
};
