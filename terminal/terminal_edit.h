#pragma once

#include "terminal/terminal_columns.h"
#include "terminal/terminal_text.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QKeySequence>

#include <algorithm>

/// The terminal: an editable view over a TerminalText that lays out and paints only the lines
/// in view, so that a received cluster costs the same however long the text or its last line
/// already is. Caret and selection are offsets into text(), never inside a line break. Every
/// change of the text emits terminalChanged.
class QPainter;

class TerminalEdit : public QAbstractScrollArea
{
    Q_OBJECT

  public:
    explicit TerminalEdit(QWidget *parent = nullptr);

    const TerminalText &terminalText() const { return m_text; }
    const QByteArray &text() const { return m_text.text(); }

    qsizetype caret() const { return m_caret; }
    qsizetype anchor() const { return m_anchor; }
    qsizetype selectionStart() const { return std::min(m_anchor, m_caret); }
    qsizetype selectionEnd() const { return std::max(m_anchor, m_caret); }
    bool hasSelection() const { return m_anchor != m_caret; }
    /// Selects from anchor to caret; an offset inside a line break moves to its start.
    void setSelection(qsizetype anchor, qsizetype caret);
    void setCaret(qsizetype offset) { setSelection(offset, offset); }
    /// The selected part of text(), its line breaks as received.
    QByteArray selectedBytes() const;
    /// Bytes of text() in the selection, found from its ends alone.
    qsizetype selectedSize() const { return selectionEnd() - selectionStart(); }
    /// The selection as the clipboard gets it: each line break one LF.
    QString selectedText() const;

    void appendReceived(QByteArrayView bytes);
    void addLine(QByteArrayView line);
    void setText(QByteArrayView text);
    void beautify();
    /// Caret to the end, no selection, and the last line in view.
    void scrollToEnd();

    /// Replaces the selection with text as typed: characters outside Windows-1252 become "?",
    /// every line break CR LF.
    void insertText(const QString &text);
    void cut();
    void copy() const;
    void paste();
    void selectAll();

    /// Lines in view, first to last; the last may be only partly visible.
    qsizetype firstVisibleLine() const;
    qsizetype lastVisibleLine() const;
    /// A line as shown, without its break.
    QString lineText(qsizetype line) const;
    /// Where the character at offset is drawn, in viewport coordinates; at a line's end, the
    /// width of one character after its last.
    QRect characterRect(qsizetype offset) const;
    /// The caret position nearest to a viewport point.
    qsizetype offsetAt(QPoint point) const;

  signals:
    /// from: offset of the first changed byte; the text before it is unchanged.
    void terminalChanged(qsizetype from);
    void mouseMoved(Qt::KeyboardModifiers modifiers, const QPoint &position);
    /// Caret or selection moved.
    void selectionMoved();
    /// Other lines came into view, or the lines in view changed.
    void visibleLinesChanged();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void changeEvent(QEvent *event) override;

  private:
    bool moveByKey(QKeyEvent *event);
    bool editByKey(QKeyEvent *event);
    qsizetype movedCaret(QKeySequence::StandardKey key) const;
    qsizetype stepLeft(qsizetype offset) const;
    qsizetype stepRight(qsizetype offset) const;
    qsizetype wordLeft(qsizetype offset) const;
    qsizetype wordRight(qsizetype offset) const;
    qsizetype lineMoved(qsizetype offset, qsizetype lines) const;
    void replaceSelection(QByteArrayView bytes);
    void removeAtCaret(qsizetype (TerminalEdit::*step)(qsizetype) const);
    void changed(qsizetype from, qsizetype to);
    void moveCaretTo(qsizetype offset, bool extend);
    void ensureCaretVisible();
    void updateScrollBars();
    void dragTo(QPoint point);
    void restartBlink();
    int lineHeight() const;
    qreal charWidth() const { return m_charWidth; }
    int visibleLineCount() const;
    qsizetype clamped(qsizetype offset) const;
    void paintLine(QPainter &painter, qsizetype line, int y, qsizetype firstColumn, qsizetype lastColumn) const;

    TerminalText m_text;
    TerminalColumns m_columns;
    qsizetype m_anchor = 0;
    qsizetype m_caret = 0;
    // The column Up and Down keep to while passing shorter lines.
    qsizetype m_wantedColumn = -1;
    bool m_caretShown = false;
    bool m_selecting = false;
    QBasicTimer m_blink;
    QBasicTimer m_dragScroll;
    QPoint m_dragPoint;
    // Advance of one character of the fixed-pitch font, fractional so that columns stay in step.
    qreal m_charWidth = 1;
};
