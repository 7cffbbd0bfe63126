#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

/// The terminal's text: 8-bit Windows-1252 characters, one byte each, lines joined by CR LF.
/// Every change returns the offset of its first changed byte, so that readers of the text (the
/// record finder) rescan only from there; the bytes before it are as they were.
class TerminalText
{
  public:
    const QByteArray &text() const { return m_text; }
    qsizetype size() const { return m_text.size(); }
    bool isEmpty() const { return m_text.isEmpty(); }
    bool endsWithLineBreak() const { return m_text.endsWith("\r\n"); }
    /// The lines without their breaks; a final break ends the last line rather than opening one.
    QList<QByteArray> lines() const;

    /// Received bytes go on directly after the last character. Any CR LF, lone CR or lone LF
    /// becomes one CR LF; a CR at the end of one cluster and an LF at the start of the next
    /// are one break. Costs O(bytes), whatever the size of the text.
    qsizetype appendReceived(QByteArrayView bytes);

    /// Adds a text so that it stands on a line of its own: after an empty text or a final line
    /// break the text and CR LF follow, otherwise CR LF and the text (no break after it).
    qsizetype addLine(QByteArrayView line);

    /// Replaces the whole text; its lone CRs and LFs become CR LF.
    qsizetype setText(QByteArrayView text);

    /// Replaces length bytes at from (an edit by the user); the new bytes are normalised.
    qsizetype replace(qsizetype from, qsizetype length, QByteArrayView with);

    /// Rewrites every CR LF CR LF as CR LF in one left-to-right pass; returns the offset of the
    /// first change, or the size of the text when nothing changed.
    qsizetype beautify();

    /// The text with every lone CR and lone LF turned into CR LF.
    static QByteArray normalized(QByteArrayView bytes);

  private:
    QByteArray m_text;
    // The last received cluster ended with a CR, so an LF that starts the next one completes it.
    bool m_pendingCr = false;
};
