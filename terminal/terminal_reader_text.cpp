#include "terminal/terminal_reader_text.h"

#include "common/cp1252.h"
#include "terminal/terminal_edit.h"

#include <algorithm>

namespace {

// About ten widths of the view: enough to read on across a long line, little enough for the bus.
constexpr qsizetype kLongestStretch = 1000;

} // namespace

TerminalReaderText::TerminalReaderText(const TerminalEdit &view)
{
    const TerminalText &text = view.terminalText();
    const qsizetype first = view.firstVisibleLine();
    const qsizetype last = view.lastVisibleLine();
    const qsizetype caretLine = text.lineAt(view.caret());
    if (caretLine < first)
        add(view, caretLine, false);
    for (qsizetype line = first; line <= last; ++line)
        add(view, line, true);
    if (caretLine > last)
        add(view, caretLine, false);
}

void TerminalReaderText::add(const TerminalEdit &view, qsizetype line, bool inView)
{
    const TerminalText &text = view.terminalText();
    Stretch stretch{text.lineStart(line), text.lineEnd(line), 0};
    if (stretch.to - stretch.from > kLongestStretch) {
        qsizetype focus = stretch.from;
        if (text.lineAt(view.caret()) == line)
            focus = view.caret();
        else if (inView)
            focus = view.offsetAt(QPoint(0, view.characterRect(stretch.from).center().y()));
        stretch.from = std::clamp(focus - kLongestStretch / 2, stretch.from, stretch.to - kLongestStretch);
        stretch.to = stretch.from + kLongestStretch;
    }
    if (!m_stretches.isEmpty())
        m_text += QLatin1Char('\n');
    stretch.at = int(m_text.size());
    m_text += cp1252::decode(text.text().sliced(stretch.from, stretch.to - stretch.from));
    m_stretches.append(stretch);
}

int TerminalReaderText::toReader(qsizetype offset) const
{
    for (const Stretch &stretch : m_stretches) {
        if (offset < stretch.from)
            return stretch.at;
        if (offset <= stretch.to)
            return stretch.at + int(offset - stretch.from);
    }
    return size();
}

qsizetype TerminalReaderText::toTerminal(int offset) const
{
    offset = std::max(offset, 0);
    auto after = std::upper_bound(m_stretches.cbegin(), m_stretches.cend(), offset,
                                  [](int at, const Stretch &stretch) { return at < stretch.at; });
    const Stretch &stretch = *std::prev(after);
    return std::min(stretch.from + (offset - stretch.at), stretch.to);
}

int TerminalReaderText::stretchStartingAt(qsizetype from) const
{
    for (const Stretch &stretch : m_stretches) {
        if (stretch.from == from)
            return stretch.at;
    }
    return -1;
}
