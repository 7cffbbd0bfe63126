#pragma once

#include <QList>
#include <QString>

class TerminalEdit;

/// What a screen reader gets of the terminal: the lines in view, and the caret's line when it is
/// out of view, joined by "\n". Reading the whole text would put megabytes on the accessibility
/// bus for every cluster; this costs in proportion to the lines in view. A line far longer than
/// the view is cut to a stretch around the caret, or around the view's left edge.
class TerminalReaderText
{
  public:
    explicit TerminalReaderText(const TerminalEdit &view);

    const QString &text() const { return m_text; }
    int size() const { return int(m_text.size()); }

    /// The reader offset of a terminal offset; offsets outside the stretches go to the nearest end.
    int toReader(qsizetype offset) const;
    /// The terminal offset of a reader offset; a "\n" stands for the end of its line.
    qsizetype toTerminal(int offset) const;
    /// Where the stretch beginning at terminal offset from starts in this text, or -1.
    int stretchStartingAt(qsizetype from) const;
    /// Terminal offset of the first character.
    qsizetype firstOffset() const { return m_stretches.first().from; }

  private:
    // A part of one line: terminal offsets from..to, at this reader offset.
    struct Stretch
    {
        qsizetype from = 0;
        qsizetype to = 0;
        int at = 0;
    };

    void add(const TerminalEdit &view, qsizetype line, bool inView);

    QList<Stretch> m_stretches;
    QString m_text;
};
