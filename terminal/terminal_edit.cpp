#include "terminal/terminal_edit.h"

#include "common/cp1252.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

#include <cmath>

namespace {

// Space between the frame and the text, as a plain text box leaves it.
constexpr int kMargin = 4;
constexpr int kDragScrollMs = 50;
constexpr qreal kWidestScroll = 1 << 30;
constexpr qsizetype kFarRows = 1 << 16;

bool isWordByte(char c)
{
    return c != ' ' && c != '\t';
}

} // namespace

TerminalEdit::TerminalEdit(QWidget *parent) : QAbstractScrollArea(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::CrossCursor);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    m_charWidth = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
    updateScrollBars();
}

void TerminalEdit::setSelection(qsizetype anchor, qsizetype caret)
{
    m_anchor = clamped(anchor);
    moveCaretTo(clamped(caret), true);
}

QByteArray TerminalEdit::selectedBytes() const
{
    return text().sliced(selectionStart(), selectedSize());
}

QString TerminalEdit::selectedText() const
{
    return cp1252::decode(TerminalText::normalized(selectedBytes()))
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void TerminalEdit::appendReceived(QByteArrayView bytes)
{
    changed(m_text.appendReceived(bytes), m_text.size());
}

void TerminalEdit::addLine(QByteArrayView line)
{
    changed(m_text.addLine(line), m_text.size());
}

void TerminalEdit::setText(QByteArrayView text)
{
    m_columns.reset();
    m_anchor = m_caret = 0;
    changed(m_text.setText(text), m_text.size());
}

void TerminalEdit::beautify()
{
    const qsizetype from = m_text.beautify();
    if (from == m_text.size())
        return;
    m_anchor = m_caret = clamped(std::min(m_caret, from));
    changed(from, m_text.size());
}

void TerminalEdit::scrollToEnd()
{
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    m_anchor = m_text.size();
    moveCaretTo(m_text.size(), true);
}

void TerminalEdit::insertText(const QString &typed)
{
    replaceSelection(cp1252::encode(typed));
}

void TerminalEdit::cut()
{
    if (!hasSelection())
        return;
    copy();
    replaceSelection({});
}

void TerminalEdit::copy() const
{
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void TerminalEdit::paste()
{
    const QString pasted = QApplication::clipboard()->text();
    if (!pasted.isEmpty())
        insertText(pasted);
}

void TerminalEdit::selectAll()
{
    setSelection(0, m_text.size());
}

qsizetype TerminalEdit::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

qsizetype TerminalEdit::lastVisibleLine() const
{
    const qsizetype partly = (viewport()->height() - kMargin + lineHeight() - 1) / lineHeight();
    return std::clamp<qsizetype>(firstVisibleLine() + partly - 1, firstVisibleLine(), m_text.lineCount() - 1);
}

QString TerminalEdit::lineText(qsizetype line) const
{
    const qsizetype start = m_text.lineStart(line);
    return cp1252::decode(text().sliced(start, m_text.lineEnd(line) - start));
}

QRect TerminalEdit::characterRect(qsizetype offset) const
{
    const qsizetype line = m_text.lineAt(offset);
    const qsizetype column = m_columns.columnOf(m_text, offset);
    const qsizetype columns = offset < m_text.lineEnd(line) ? m_columns.columnOf(m_text, offset + 1) - column : 1;
    const qreal left = std::clamp<qreal>(kMargin + column * charWidth() - horizontalScrollBar()->value(),
                                         -kWidestScroll, kWidestScroll);
    // Rows far out of view only need to stay out of view.
    const qsizetype row = std::clamp<qsizetype>(line - firstVisibleLine(), -kFarRows, kFarRows);
    return QRect(int(std::floor(left)), kMargin + int(row) * lineHeight(), int(std::ceil(columns * charWidth())),
                 lineHeight());
}

qsizetype TerminalEdit::offsetAt(QPoint point) const
{
    const qsizetype row = point.y() < kMargin ? -1 : (point.y() - kMargin) / lineHeight();
    const qsizetype line = std::clamp<qsizetype>(firstVisibleLine() + row, 0, m_text.lineCount() - 1);
    const qreal x = point.x() - kMargin + horizontalScrollBar()->value();
    const auto column = qsizetype(std::max<qreal>(0, std::round(x / charWidth())));
    return m_columns.offsetAt(m_text, line, column);
}

void TerminalEdit::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setFont(font());
    const qreal scrolled = horizontalScrollBar()->value();
    const auto firstColumn = qsizetype(std::max<qreal>(0, (scrolled - kMargin) / charWidth()));
    const auto lastColumn = qsizetype((scrolled + viewport()->width()) / charWidth()) + 1;
    for (qsizetype line = firstVisibleLine(); line <= lastVisibleLine(); ++line)
        paintLine(painter, line, kMargin + int(line - firstVisibleLine()) * lineHeight(), firstColumn, lastColumn);
    if (m_caretShown && hasFocus()) {
        const QRect at = characterRect(m_caret);
        painter.fillRect(at.x(), at.y(), 1, at.height(), palette().color(QPalette::Text));
    }
}

// Draws the part of a line between two columns, then its selected part again over the highlight.
void TerminalEdit::paintLine(QPainter &painter, qsizetype line, int y, qsizetype firstColumn,
                             qsizetype lastColumn) const
{
    const qsizetype start = m_columns.offsetAt(m_text, line, firstColumn);
    const qsizetype end = std::max(start, m_columns.offsetAt(m_text, line, lastColumn));
    const qreal left = kMargin - horizontalScrollBar()->value();
    const int baseline = y + fontMetrics().ascent();
    QRectF selected;
    const qsizetype lineEnd = m_text.lineEnd(line);
    const qsizetype from = std::max(selectionStart(), m_text.lineStart(line));
    const qsizetype to = std::min(selectionEnd(), lineEnd);
    if (hasSelection() && from <= to && (from < to || selectionEnd() > lineEnd)) {
        const qsizetype fromColumn = m_columns.columnOf(m_text, from);
        // A selected line break shows as one selected blank.
        const qsizetype toColumn = m_columns.columnOf(m_text, to) + (selectionEnd() > lineEnd ? 1 : 0);
        selected = QRectF(left + fromColumn * charWidth(), y, (toColumn - fromColumn) * charWidth(), lineHeight());
    }
    const auto drawRuns = [&](const QColor &colour) {
        painter.setPen(colour);
        qsizetype runStart = start;
        for (qsizetype at = start; at <= end; ++at) {
            if (at < end && text()[at] != '\t')
                continue;
            if (at > runStart) {
                const qreal x = left + m_columns.columnOf(m_text, runStart) * charWidth();
                painter.drawText(QPointF(x, baseline), cp1252::decode(text().sliced(runStart, at - runStart)));
            }
            runStart = at + 1;
        }
    };
    drawRuns(palette().color(QPalette::Text));
    if (selected.isEmpty())
        return;
    const bool active = hasFocus();
    const QPalette::ColorGroup group = active ? QPalette::Active : QPalette::Inactive;
    painter.fillRect(selected, palette().color(group, QPalette::Highlight));
    painter.save();
    painter.setClipRect(selected);
    drawRuns(palette().color(group, QPalette::HighlightedText));
    painter.restore();
}

void TerminalEdit::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    emit visibleLinesChanged();
}

void TerminalEdit::scrollContentsBy(int, int dy)
{
    viewport()->update();
    if (dy != 0)
        emit visibleLinesChanged();
}

void TerminalEdit::keyPressEvent(QKeyEvent *event)
{
    if (moveByKey(event) || editByKey(event))
        return;
    QAbstractScrollArea::keyPressEvent(event);
}

bool TerminalEdit::moveByKey(QKeyEvent *event)
{
    struct Move
    {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
    };
    static constexpr Move moves[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument},
    };
    for (const Move &move : moves) {
        const bool extend = event->matches(move.select);
        if (!extend && !event->matches(move.move))
            continue;
        const bool vertical =
            move.move == QKeySequence::MoveToNextLine || move.move == QKeySequence::MoveToPreviousLine ||
            move.move == QKeySequence::MoveToNextPage || move.move == QKeySequence::MoveToPreviousPage;
        if (!vertical)
            m_wantedColumn = -1;
        else if (m_wantedColumn < 0)
            m_wantedColumn = m_columns.columnOf(m_text, m_caret);
        moveCaretTo(movedCaret(move.move), extend);
        return true;
    }
    return false;
}

qsizetype TerminalEdit::movedCaret(QKeySequence::StandardKey key) const
{
    const qsizetype line = m_text.lineAt(m_caret);
    const qsizetype page = std::max(1, visibleLineCount() - 1);
    switch (key) {
    case QKeySequence::MoveToNextChar:
        return stepRight(m_caret);
    case QKeySequence::MoveToPreviousChar:
        return stepLeft(m_caret);
    case QKeySequence::MoveToNextWord:
        return wordRight(m_caret);
    case QKeySequence::MoveToPreviousWord:
        return wordLeft(m_caret);
    case QKeySequence::MoveToNextLine:
        return lineMoved(m_caret, 1);
    case QKeySequence::MoveToPreviousLine:
        return lineMoved(m_caret, -1);
    case QKeySequence::MoveToNextPage:
        return lineMoved(m_caret, page);
    case QKeySequence::MoveToPreviousPage:
        return lineMoved(m_caret, -page);
    case QKeySequence::MoveToStartOfLine:
        return m_text.lineStart(line);
    case QKeySequence::MoveToEndOfLine:
        return m_text.lineEnd(line);
    case QKeySequence::MoveToStartOfDocument:
        return 0;
    default:
        return m_text.size();
    }
}

bool TerminalEdit::editByKey(QKeyEvent *event)
{
    if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::Cut))
        cut();
    else if (event->matches(QKeySequence::Paste))
        paste();
    else if (event->matches(QKeySequence::Delete))
        removeAtCaret(&TerminalEdit::stepRight);
    else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier))
        removeAtCaret(&TerminalEdit::stepLeft);
    else if (event->matches(QKeySequence::DeleteEndOfWord))
        removeAtCaret(&TerminalEdit::wordRight);
    else if (event->matches(QKeySequence::DeleteStartOfWord))
        removeAtCaret(&TerminalEdit::wordLeft);
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        replaceSelection("\r\n");
    else if (const QString typed = event->text(); !typed.isEmpty() && (typed[0].isPrint() || typed[0] == u'\t'))
        insertText(typed);
    else
        return false;
    return true;
}

void TerminalEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty())
        insertText(event->commitString());
    event->accept();
}

QVariant TerminalEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const qsizetype line = m_text.lineAt(m_caret);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return QRect(characterRect(m_caret).topLeft() + viewport()->pos(), QSize(1, lineHeight()));
    case Qt::ImSurroundingText:
        return lineText(line);
    case Qt::ImCursorPosition:
        return int(m_caret - m_text.lineStart(line));
    case Qt::ImAnchorPosition:
        return int(std::clamp(m_anchor, m_text.lineStart(line), m_text.lineEnd(line)) - m_text.lineStart(line));
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void TerminalEdit::mousePressEvent(QMouseEvent *event)
{
    const qsizetype at = offsetAt(event->position().toPoint());
    if (event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        setCaret(at);
        insertText(QApplication::clipboard()->text(QClipboard::Selection));
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_selecting = true;
    m_wantedColumn = -1;
    moveCaretTo(at, event->modifiers() & Qt::ShiftModifier);
}

void TerminalEdit::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event->modifiers(), event->position().toPoint());
    if (!m_selecting || !(event->buttons() & Qt::LeftButton))
        return;
    m_dragPoint = event->position().toPoint();
    dragTo(m_dragPoint);
    if (viewport()->rect().contains(m_dragPoint))
        m_dragScroll.stop();
    else if (!m_dragScroll.isActive())
        m_dragScroll.start(kDragScrollMs, this);
}

void TerminalEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_selecting)
        return;
    m_selecting = false;
    m_dragScroll.stop();
    if (hasSelection() && QApplication::clipboard()->supportsSelection())
        QApplication::clipboard()->setText(selectedText(), QClipboard::Selection);
}

void TerminalEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The run of characters other than blanks under the pointer.
    const qsizetype at = offsetAt(event->position().toPoint());
    const qsizetype line = m_text.lineAt(at);
    qsizetype start = at;
    while (start > m_text.lineStart(line) && isWordByte(text()[start - 1]))
        --start;
    qsizetype end = at;
    while (end < m_text.lineEnd(line) && isWordByte(text()[end]))
        ++end;
    setSelection(start, end);
    m_selecting = false;
}

void TerminalEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    const auto add = [&](const QString &caption, QKeySequence::StandardKey key, bool enabled, auto handler) {
        QAction *action = menu.addAction(caption, this, handler);
        action->setShortcut(key);
        action->setEnabled(enabled);
    };
    const bool canPaste = !QApplication::clipboard()->text(QClipboard::Clipboard).isEmpty();
    add(tr("Cu&t"), QKeySequence::Cut, hasSelection(), &TerminalEdit::cut);
    add(tr("&Copy"), QKeySequence::Copy, hasSelection(), &TerminalEdit::copy);
    add(tr("&Paste"), QKeySequence::Paste, canPaste, &TerminalEdit::paste);
    add(tr("Delete"), QKeySequence::Delete, hasSelection(), [this] { replaceSelection({}); });
    menu.addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, !m_text.isEmpty(), &TerminalEdit::selectAll);
    menu.exec(event->globalPos());
}

void TerminalEdit::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
}

void TerminalEdit::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_blink.stop();
    m_caretShown = false;
    viewport()->update();
}

void TerminalEdit::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_blink.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update(characterRect(m_caret));
    } else if (event->timerId() == m_dragScroll.timerId()) {
        dragTo(m_dragPoint);
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

void TerminalEdit::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_charWidth = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
        updateScrollBars();
        viewport()->update();
        emit visibleLinesChanged();
    }
}

qsizetype TerminalEdit::stepLeft(qsizetype offset) const
{
    const qsizetype line = m_text.lineAt(offset);
    if (offset > m_text.lineStart(line))
        return offset - 1;
    return line > 0 ? m_text.lineEnd(line - 1) : offset;
}

qsizetype TerminalEdit::stepRight(qsizetype offset) const
{
    const qsizetype line = m_text.lineAt(offset);
    if (offset < m_text.lineEnd(line))
        return offset + 1;
    return line + 1 < m_text.lineCount() ? m_text.lineStart(line + 1) : offset;
}

// Words are runs of characters other than blanks and tabs; a line break counts as a blank.
qsizetype TerminalEdit::wordLeft(qsizetype offset) const
{
    const qsizetype start = m_text.lineStart(m_text.lineAt(offset));
    if (offset == start)
        return stepLeft(offset);
    qsizetype at = offset;
    while (at > start && !isWordByte(text()[at - 1]))
        --at;
    while (at > start && isWordByte(text()[at - 1]))
        --at;
    return at;
}

qsizetype TerminalEdit::wordRight(qsizetype offset) const
{
    const qsizetype end = m_text.lineEnd(m_text.lineAt(offset));
    if (offset == end)
        return stepRight(offset);
    qsizetype at = offset;
    while (at < end && isWordByte(text()[at]))
        ++at;
    while (at < end && !isWordByte(text()[at]))
        ++at;
    return at;
}

qsizetype TerminalEdit::lineMoved(qsizetype offset, qsizetype lines) const
{
    const qsizetype line = std::clamp<qsizetype>(m_text.lineAt(offset) + lines, 0, m_text.lineCount() - 1);
    return m_columns.offsetAt(m_text, line, m_wantedColumn >= 0 ? m_wantedColumn : m_columns.columnOf(m_text, offset));
}

void TerminalEdit::replaceSelection(QByteArrayView bytes)
{
    const qsizetype from = selectionStart();
    const qsizetype sizeBefore = m_text.size() - selectedSize();
    m_text.replace(from, selectedSize(), bytes);
    const qsizetype inserted = m_text.size() - sizeBefore;
    m_wantedColumn = -1;
    m_anchor = from + inserted;
    m_caret = m_anchor;
    changed(from, from + inserted);
    moveCaretTo(m_caret, false);
}

void TerminalEdit::removeAtCaret(qsizetype (TerminalEdit::*step)(qsizetype) const)
{
    if (!hasSelection())
        m_anchor = (this->*step)(m_caret);
    if (hasSelection())
        replaceSelection({});
}

// Everything that follows a change of the text: layout of the changed lines, scroll ranges,
// the paint, and the readers of the text.
void TerminalEdit::changed(qsizetype from, qsizetype to)
{
    m_columns.forget(from);
    m_columns.measure(m_text, from, to);
    updateScrollBars();
    viewport()->update();
    if (from <= m_text.lineEnd(lastVisibleLine()))
        emit visibleLinesChanged();
    emit terminalChanged(from);
}

void TerminalEdit::moveCaretTo(qsizetype offset, bool extend)
{
    m_caret = offset;
    if (!extend)
        m_anchor = offset;
    ensureCaretVisible();
    restartBlink();
    viewport()->update();
    emit selectionMoved();
}

void TerminalEdit::ensureCaretVisible()
{
    const qsizetype line = m_text.lineAt(m_caret);
    QScrollBar *vertical = verticalScrollBar();
    if (line < vertical->value())
        vertical->setValue(int(line));
    else if (line >= vertical->value() + visibleLineCount())
        vertical->setValue(int(line - visibleLineCount() + 1));

    QScrollBar *horizontal = horizontalScrollBar();
    const int x = int(std::min(m_columns.columnOf(m_text, m_caret) * charWidth(), kWidestScroll));
    const int room = viewport()->width() - 2 * kMargin - int(std::ceil(charWidth()));
    if (x < horizontal->value())
        horizontal->setValue(x);
    else if (x > horizontal->value() + room)
        horizontal->setValue(x - room);
}

void TerminalEdit::updateScrollBars()
{
    const int lines = visibleLineCount();
    QScrollBar *vertical = verticalScrollBar();
    vertical->setRange(0, int(std::max<qsizetype>(0, m_text.lineCount() - lines)));
    vertical->setPageStep(lines);
    vertical->setSingleStep(1);

    QScrollBar *horizontal = horizontalScrollBar();
    // A line of hundreds of millions of characters stops where the scroll bar's range does.
    const qreal width = std::ceil((m_columns.widest() + 1) * charWidth()) + 2 * kMargin;
    horizontal->setRange(0, int(std::clamp<qreal>(width - viewport()->width(), 0, kWidestScroll)));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(int(std::ceil(charWidth())));
}

void TerminalEdit::dragTo(QPoint point)
{
    QScrollBar *vertical = verticalScrollBar();
    if (point.y() < 0)
        vertical->setValue(vertical->value() - 1);
    else if (point.y() > viewport()->height())
        vertical->setValue(vertical->value() + 1);
    moveCaretTo(offsetAt(point), true);
}

void TerminalEdit::restartBlink()
{
    m_caretShown = true;
    const int period = QApplication::styleHints()->cursorFlashTime() / 2;
    if (hasFocus() && period > 0)
        m_blink.start(period, this);
    else
        m_blink.stop();
}

int TerminalEdit::lineHeight() const
{
    return std::max(1, fontMetrics().lineSpacing());
}

int TerminalEdit::visibleLineCount() const
{
    return std::max(1, (viewport()->height() - kMargin) / lineHeight());
}

qsizetype TerminalEdit::clamped(qsizetype offset) const
{
    const qsizetype within = std::clamp<qsizetype>(offset, 0, m_text.size());
    return std::min(within, m_text.lineEnd(m_text.lineAt(within)));
}
