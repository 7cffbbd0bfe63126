#pragma once

#include "journal/journal_history.h"

#include <QDialog>

/// Several journal entries side by side: the statistics of their results and their curves
/// overlaid in one plot, one colour each.
class JournalComparisonDialog : public QDialog
{
    Q_OBJECT

  public:
    explicit JournalComparisonDialog(const QList<JournalEntryHistory> &entries, QWidget *parent = nullptr);
};
