#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

/// The terminal's text: 8-bit Windows-1252 characters, one byte each, received bytes kept as
/// they came. A line break is a CR or an LF, together with a directly following one of the other
/// kind: CR LF, LF CR, a lone CR and a lone LF each end one line. Every change returns the offset
/// of its first changed byte, so that readers of the text (the record finder) rescan only from
/// there; the bytes before it are as they were.
class TerminalText
{
  public:
    const QByteArray &text() const { return m_text; }
    qsizetype size() const { return m_text.size(); }
    bool isEmpty() const { return m_text.isEmpty(); }
    bool endsWithLineBreak() const { return m_lineStarts.size() > 1 && m_lineStarts.last() == m_text.size(); }

    /// Lines as the view shows them; the last one has no break and may be empty.
    qsizetype lineCount() const { return m_lineStarts.size(); }
    qsizetype lineStart(qsizetype line) const { return m_lineStarts[line]; }
    /// Offset of the line's break, or the size of the text for the last line.
    qsizetype lineEnd(qsizetype line) const;
    /// The line that holds the byte at offset (a break belongs to the line it ends).
    qsizetype lineAt(qsizetype offset) const;
    /// The lines without their breaks; a final break ends the last line rather than opening one.
    QList<QByteArray> lines() const;
    /// The text from offset on as the view shows it: each break one LF. An offset inside a break
    /// starts after it.
    QByteArray shownFrom(qsizetype offset) const;
    /// Characters the view shows: each break counts once.
    qsizetype shownSize() const { return m_text.size() - m_pairedBreaks; }
    /// Bytes that count characters of the view take from offset on.
    qsizetype bytesForShown(qsizetype offset, qsizetype count) const;

    /// Received bytes go on directly after the last character, unchanged. Costs O(bytes),
    /// whatever the size of the text.
    qsizetype appendReceived(QByteArrayView bytes);

    /// Adds a text so that it stands on a line of its own: after an empty text or a final line
    /// break the text and CR LF follow, otherwise CR LF and the text (no break after it).
    qsizetype addLine(QByteArrayView line);

    /// Replaces the whole text (a file opened); its lone CRs and LFs become CR LF.
    qsizetype setText(QByteArrayView text);

    /// Replaces length bytes at from (an edit by the user); the new bytes are normalised.
    qsizetype replace(qsizetype from, qsizetype length, QByteArrayView with);

    /// Rewrites every CR LF CR LF as CR LF in one left-to-right pass; returns the offset of the
    /// first change, or the size of the text when nothing changed.
    qsizetype beautify();

    /// The text with every lone CR and lone LF turned into CR LF.
    static QByteArray normalized(QByteArrayView bytes);

  private:
    qsizetype breakLength(qsizetype line) const;
    qsizetype forgetLinesFrom(qsizetype offset);
    void indexLines(qsizetype from);
    void append(QByteArrayView bytes);

    QByteArray m_text;
    // Offset of the first byte of each line; the first line starts at 0.
    QList<qsizetype> m_lineStarts{0};
    // Breaks of two bytes, so that the view's length is known without a scan.
    qsizetype m_pairedBreaks = 0;
};
