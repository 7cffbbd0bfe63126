#include "terminal/terminal_columns.h"

#include <algorithm>

namespace {

qsizetype advance(char c, qsizetype column)
{
    return c == '\t' ? (column / TerminalColumns::kTabWidth + 1) * TerminalColumns::kTabWidth : column + 1;
}

} // namespace

qsizetype TerminalColumns::columnOf(const TerminalText &text, qsizetype offset) const
{
    const qsizetype lineStart = text.lineStart(text.lineAt(offset));
    Mark mark = nearestBefore(lineStart, offset, -1);
    const char *bytes = text.text().constData();
    for (; mark.offset < offset; ++mark.offset)
        mark.column = advance(bytes[mark.offset], mark.column);
    remember(mark);
    return mark.column;
}

qsizetype TerminalColumns::offsetAt(const TerminalText &text, qsizetype line, qsizetype column) const
{
    const qsizetype end = text.lineEnd(line);
    Mark mark = nearestBefore(text.lineStart(line), end, column);
    const char *bytes = text.text().constData();
    while (mark.offset < end) {
        const qsizetype next = advance(bytes[mark.offset], mark.column);
        if (next > column)
            break;
        mark.column = next;
        ++mark.offset;
    }
    remember(mark);
    return mark.offset;
}

// A mark at a line's start is only as good as the break before it, which a change at that very
// offset can join with the bytes after it; a mark further in keeps its line.
void TerminalColumns::forget(qsizetype from)
{
    for (Mark &mark : m_marks) {
        if (mark.offset > from || mark.lineStart >= from)
            mark = Mark{};
    }
}

void TerminalColumns::reset()
{
    m_marks.fill(Mark{});
    m_widest = 0;
}

void TerminalColumns::measure(const TerminalText &text, qsizetype from, qsizetype to)
{
    const qsizetype last = text.lineAt(to);
    for (qsizetype line = text.lineAt(from); line <= last; ++line)
        m_widest = std::max(m_widest, columnOf(text, text.lineEnd(line)));
}

// The remembered point of the line furthest on but not past offset (and, when column is not
// negative, not past column); the line's start when there is none.
TerminalColumns::Mark TerminalColumns::nearestBefore(qsizetype lineStart, qsizetype offset, qsizetype column) const
{
    Mark best{lineStart, lineStart, 0};
    for (const Mark &mark : m_marks) {
        if (mark.lineStart == lineStart && mark.offset <= offset && (column < 0 || mark.column <= column) &&
            mark.offset > best.offset)
            best = mark;
    }
    return best;
}

void TerminalColumns::remember(const Mark &mark) const
{
    for (Mark &known : m_marks) {
        if (known.lineStart == mark.lineStart && known.offset == mark.offset)
            return;
    }
    m_marks[m_nextMark] = mark;
    m_nextMark = (m_nextMark + 1) % m_marks.size();
}
