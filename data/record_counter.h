#pragma once

#include <QByteArrayView>

#include <vector>

/// Keeps the number of record headers of a text that changes, mostly by growing at its end. After
/// a change only the text from the change on is searched again, plus one header length before it,
/// so the cost follows the size of the change, not the size of the text.
class RecordCounter
{
  public:
    /// `text` is the whole new text; nothing before `changedFrom` differs from the text of the last
    /// update (0 after any other change). Returns the number of headers.
    int update(QByteArrayView text, qsizetype changedFrom);

    int count() const { return static_cast<int>(m_headerEnds.size()); }
    /// Position right after the header of record `recordNo` (1-based, at most count()).
    qsizetype headerEnd(int recordNo) const { return m_headerEnds[recordNo - 1]; }
    /// Where the first "Read Buffer:" (any letter case) starts, -1 when the text holds none.
    qsizetype firstReadBuffer() const { return m_firstReadBuffer; }

  private:
    void findFirstReadBuffer(QByteArrayView text, qsizetype changedFrom);

    std::vector<qsizetype> m_headerEnds;
    qsizetype m_firstReadBuffer = -1;
};
