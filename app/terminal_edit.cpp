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
    const qsizetype from = textOffset(textCursor().selectionStart());
    return m_text.text().sliced(from, textOffset(textCursor().selectionEnd()) - from);
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
        end.insertText(cp1252::decode(m_text.text().sliced(from)));
        m_writing = false;
    }
    emit terminalChanged(from);
}

void TerminalEdit::showWholeText(qsizetype from)
{
    m_writing = true;
    setPlainText(cp1252::decode(m_text.text()));
    m_writing = false;
    emit terminalChanged(from);
}

// The document holds one separator per line break where the text holds CR LF, so a document
// position p lies at p plus the number of breaks before it.
qsizetype TerminalEdit::textOffset(int documentPosition) const
{
    return documentPosition + document()->findBlock(documentPosition).blockNumber();
}

qsizetype TerminalEdit::textLength(qsizetype from, int documentLength) const
{
    const QByteArray &text = m_text.text();
    qsizetype at = from;
    for (int i = 0; i < documentLength && at < text.size(); ++i)
        at += (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ? 2 : 1;
    return at - from;
}

qsizetype TerminalEdit::expectedTextSize() const
{
    // characterCount() includes one separator per break and the document's final one.
    return document()->characterCount() - 1 + document()->blockCount() - 1;
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
    m_text.replace(from, textLength(from, removed), cp1252::encode(typed));
    if (m_text.size() != expectedTextSize()) {
        // The document reported a wider change than it made; take its text as it stands.
        m_text.setText(cp1252::encode(toPlainText()));
        emit terminalChanged(0);
        return;
    }
    emit terminalChanged(from);
}
