#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;

/// The days whose capture files a rebuild reads, both included.
struct RebuildPeriod
{
    QDate from;
    QDate to;
};

/// Asks the period to rebuild the journal for; OK is the default button, Escape cancels.
class RebuildPeriodDialog : public QDialog
{
    Q_OBJECT

  public:
    explicit RebuildPeriodDialog(const QDate &today, QWidget *parent = nullptr);

    /// The days in order, whichever way round they were typed.
    RebuildPeriod period() const;

  private:
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
};
