#pragma once

#include "terminal/terminal_text.h"

#include <array>

/// Columns of the terminal's lines in a fixed-pitch font: a tab advances to the next multiple of
/// eight columns, every other byte takes one. A few recent look-ups are remembered, so that
/// finding a column far into a long line costs the distance from the last look-up near it,
/// not the length of the line. Also keeps the width of the widest line measured, for the
/// horizontal scroll range.
class TerminalColumns
{
  public:
    static constexpr qsizetype kTabWidth = 8;

    /// Column where the character at offset starts; offset lies in a line, not inside a break.
    qsizetype columnOf(const TerminalText &text, qsizetype offset) const;
    /// Offset of the character that covers column in line, or the line's end past its last.
    qsizetype offsetAt(const TerminalText &text, qsizetype line, qsizetype column) const;

    /// The text changed from offset from on; what was learnt about it is dropped.
    void forget(qsizetype from);
    /// The text was replaced as a whole.
    void reset();
    /// Widens to the lines holding the bytes from..to.
    void measure(const TerminalText &text, qsizetype from, qsizetype to);
    qsizetype widest() const { return m_widest; }

  private:
    struct Mark
    {
        qsizetype lineStart = -1;
        qsizetype offset = 0;
        qsizetype column = 0;
    };
    Mark nearestBefore(qsizetype lineStart, qsizetype offset, qsizetype column) const;
    void remember(const Mark &mark) const;

    // Look-ups are made from const painting code; the marks only speed them up.
    mutable std::array<Mark, 4> m_marks{};
    mutable std::size_t m_nextMark = 0;
    qsizetype m_widest = 0;
};
