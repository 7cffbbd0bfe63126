#pragma once

#include <QByteArrayView>

/// Unit lines that open one of the instrument's measuring tables; matched exactly, blanks and
/// letter case included.
inline constexpr QByteArrayView phHeader = "mL           mL             pH           pH       pH/mL";
inline constexpr QByteArrayView mvHeader = "mL           mL             mV           mV         mV/mL";

/// PosPh, PosMv: 1-based positions of the first pH and mV header, 0 when absent; at least one is
/// found. True when the pH header is the one to take.
bool GetFoundPattern(qsizetype PosPh, qsizetype PosMv);

/// Walks the record headers of a text from left to right. Each header taken is skipped whole, so
/// the next one is searched right after it, and pH and mV headers are counted together.
class HeaderWalker
{
  public:
    explicit HeaderWalker(QByteArrayView text, qsizetype from = 0);

    /// Position right after the next header, or -1 when no header is left.
    qsizetype next();

  private:
    qsizetype nextOf(QByteArrayView header, qsizetype &cached) const;

    QByteArrayView m_text;
    qsizetype m_start = 0;
    // First occurrence of each header at or after some earlier start, kept until the walk passes
    // it, so a header that is rare or absent is not searched for again on every step.
    qsizetype m_nextPh = -2;
    qsizetype m_nextMv = -2;
};

/// Number of record headers in the whole text.
int countHeaders(QByteArrayView text);
