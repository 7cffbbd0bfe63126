#include "terminal/terminal_accessible.h"

#include "terminal/terminal_edit.h"
#include "terminal/terminal_reader_text.h"

#include <QFontInfo>

#include <algorithm>

namespace {

QAccessibleInterface *createTerminalAccessible(const QString &className, QObject *object)
{
    if (className != QLatin1StringView(TerminalEdit::staticMetaObject.className()))
        return nullptr;
    auto *view = qobject_cast<TerminalEdit *>(object);
    return view ? new TerminalAccessible(view) : nullptr;
}

} // namespace

TerminalAccessible::TerminalAccessible(TerminalEdit *view) : QAccessibleWidget(view, QAccessible::EditableText) {}

void TerminalAccessible::install()
{
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(createTerminalAccessible);
        return true;
    }();
}

void *TerminalAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TerminalAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return readerText().text();
    const QString text = QAccessibleWidget::text(type);
    return type == QAccessible::Name && text.isEmpty() ? view()->objectName() : text;
}

QAccessible::State TerminalAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    state.focusable = true;
    state.selectableText = true;
    return state;
}

void TerminalAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !view()->hasSelection())
        return;
    const TerminalReaderText reader = readerText();
    *startOffset = reader.toReader(view()->selectionStart());
    *endOffset = reader.toReader(view()->selectionEnd());
}

int TerminalAccessible::selectionCount() const
{
    return view()->hasSelection() ? 1 : 0;
}

void TerminalAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TerminalAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        view()->setCaret(view()->caret());
}

void TerminalAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    const TerminalReaderText reader = readerText();
    view()->setSelection(reader.toTerminal(startOffset), reader.toTerminal(endOffset));
}

int TerminalAccessible::cursorPosition() const
{
    return readerText().toReader(view()->caret());
}

void TerminalAccessible::setCursorPosition(int position)
{
    view()->setCaret(readerText().toTerminal(position));
}

QString TerminalAccessible::text(int startOffset, int endOffset) const
{
    const QString text = readerText().text();
    const int start = std::clamp(startOffset, 0, int(text.size()));
    return text.sliced(start, std::clamp(endOffset, start, int(text.size())) - start);
}

int TerminalAccessible::characterCount() const
{
    return readerText().size();
}

QRect TerminalAccessible::characterRect(int offset) const
{
    const QRect rect = view()->characterRect(readerText().toTerminal(offset));
    return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

int TerminalAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint at = view()->viewport()->mapFromGlobal(point);
    if (!view()->viewport()->rect().contains(at))
        return -1;
    return readerText().toReader(view()->offsetAt(at));
}

void TerminalAccessible::scrollToSubstring(int, int)
{
    // Nothing to scroll to: the whole text is in view but for the caret's line, and whether the
    // view goes back there is the user's choice.
}

QString TerminalAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    const QFontInfo font(view()->font());
    return QStringLiteral("font-family:\"%1\";font-size:%2pt;").arg(font.family()).arg(font.pointSize());
}

void TerminalAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void TerminalAccessible::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void TerminalAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    setSelection(0, startOffset, endOffset);
    view()->insertText(text);
}

TerminalEdit *TerminalAccessible::view() const
{
    return static_cast<TerminalEdit *>(widget());
}

TerminalReaderText TerminalAccessible::readerText() const
{
    return TerminalReaderText(*view());
}
