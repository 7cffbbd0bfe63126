#pragma once

#include "journal/journal_row.h"

#include <QList>
#include <QString>

/// Checks the chain's rows as they are read, batch after batch in order: each row follows the one
/// before it, carries the hash of its content, its columns say what its content says, and its
/// received bytes match their hash. The rows of a batch are checked on all cores.
class JournalChainCheck
{
  public:
    /// False once a row does not match; the rows after it are not looked at.
    bool add(const QList<JournalRow> &batch);

    qint64 rowsChecked() const { return m_rowsChecked; }
    qint64 firstBadSeq() const { return m_firstBadSeq; }
    const QString &reason() const { return m_reason; }

  private:
    /// What is wrong with the row on its own; empty when nothing is.
    static QString contentProblem(const JournalRow &row);
    bool fail(qint64 seq, const QString &reason);

    QString m_expectedPrev = JournalRow::genesisSha256();
    qint64 m_expectedSeq = 1;
    qint64 m_rowsChecked = 0;
    qint64 m_firstBadSeq = 0;
    QString m_reason;
};
