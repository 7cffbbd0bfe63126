#pragma once

#include "app/terminal_text.h"

#include <QPlainTextEdit>

/// The terminal: a plain text view over a TerminalText. Changes made through this class go to
/// the text first and reach the view as an insertion at its end where they can, so that a
/// received cluster costs the same however long the text already is; what the user types goes
/// from the view to the text. Every change of the text emits terminalChanged.
class TerminalEdit : public QPlainTextEdit
{
    Q_OBJECT

  public:
    explicit TerminalEdit(QWidget *parent = nullptr);

    const TerminalText &terminalText() const { return m_text; }
    const QByteArray &text() const { return m_text.text(); }

    /// The selected part of text(), its line breaks as received.
    QByteArray selectedBytes() const;
    /// Bytes of text() in the selection, found from its ends alone.
    qsizetype selectedSize() const;

    void appendReceived(QByteArrayView bytes);
    void addLine(QByteArrayView line);
    void setText(QByteArrayView text);
    void beautify();
    /// Caret to the end, no selection, and the last line in view.
    void scrollToEnd();

  signals:
    /// from: offset of the first changed byte; the text before it is unchanged.
    void terminalChanged(qsizetype from);
    void mouseMoved(Qt::KeyboardModifiers modifiers, const QPoint &position);

  protected:
    void mouseMoveEvent(QMouseEvent *event) override;

  private:
    void showAppended(qsizetype from);
    void showWholeText(qsizetype from);
    void takeUserEdit(int position, int removed, int added);
    qsizetype textOffset(int documentPosition) const;
    bool matchesDocument() const;

    TerminalText m_text;
    // Set while this class writes to the document, so that only the user's edits flow back.
    bool m_writing = false;
};
