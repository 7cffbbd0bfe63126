#include "app/terminal_edit.h"

#include "common/cp1252.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

TerminalEdit::TerminalEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setCursor(Qt::CrossCursor);
    viewport()->setMouseTracking(true);
    // An undo history would keep every received cluster a second time.
    document()->setUndoRedoEnabled(false);
    connect(document(), &QTextDocument::contentsChange, this, &TerminalEdit::takeUserEdit);
}

QByteArray TerminalEdit::selectedBytes() const
{
    return m_text.text().sliced(textOffset(textCursor().selectionStart()), selectedSize());
}

qsizetype TerminalEdit::selectedSize() const
{
    const QTextCursor cursor = textCursor();
    return textOffset(cursor.selectionEnd()) - textOffset(cursor.selectionStart());
}

void TerminalEdit::appendReceived(QByteArrayView bytes)
{
    showAppended(m_text.appendReceived(bytes));
}

void TerminalEdit::addLine(QByteArrayView line)
{
    showAppended(m_text.addLine(line));
}

void TerminalEdit::setText(QByteArrayView text)
{
    showWholeText(m_text.setText(text));
}

void TerminalEdit::beautify()
{
    const qsizetype from = m_text.beautify();
    if (from < m_text.size())
        showWholeText(from);
}

void TerminalEdit::scrollToEnd()
{
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void TerminalEdit::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event->modifiers(), event->position().toPoint());
    QPlainTextEdit::mouseMoveEvent(event);
}

void TerminalEdit::showAppended(qsizetype from)
{
    if (from < m_text.size()) {
        m_writing = true;
        QTextCursor end(document());
        end.movePosition(QTextCursor::End);
        end.insertText(cp1252::decode(m_text.shownFrom(from)));
        m_writing = false;
    }
    emit terminalChanged(from);
}

void TerminalEdit::showWholeText(qsizetype from)
{
    m_writing = true;
    setPlainText(cp1252::decode(m_text.shownFrom(0)));
    m_writing = false;
    emit terminalChanged(from);
}

// The document holds one block per line of the text, so a document position lies as far into
// its line's bytes as into its block.
qsizetype TerminalEdit::textOffset(int documentPosition) const
{
    const QTextBlock block = document()->findBlock(documentPosition);
    return m_text.lineStart(block.blockNumber()) + documentPosition - block.position();
}

bool TerminalEdit::matchesDocument() const
{
    // characterCount() includes one separator per break and the document's final one.
    return m_text.lineCount() == document()->blockCount() && m_text.shownSize() == document()->characterCount() - 1;
}

void TerminalEdit::takeUserEdit(int position, int removed, int added)
{
    if (m_writing)
        return;
    const qsizetype from = textOffset(position);
    QTextCursor inserted(document());
    inserted.setPosition(position);
    inserted.setPosition(std::min(position + added, document()->characterCount() - 1), QTextCursor::KeepAnchor);
    QString typed = inserted.selectedText();
    typed.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    m_text.replace(from, m_text.bytesForShown(from, removed), cp1252::encode(typed));
    if (!matchesDocument()) {
        // The document reported a wider change than it made; take its text as it stands.
        m_text.setText(cp1252::encode(toPlainText()));
        emit terminalChanged(0);
        return;
    }
    emit terminalChanged(from);
}
