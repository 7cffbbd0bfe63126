#include "terminal/terminal_accessible_notifier.h"

#include "terminal/terminal_accessible.h"
#include "terminal/terminal_edit.h"

#include <algorithm>

namespace {

void post(QAccessibleTextCursorEvent &&event, int caret)
{
    event.setCursorPosition(caret);
    QAccessible::updateAccessibility(&event);
}

} // namespace

TerminalAccessibleNotifier *TerminalAccessibleNotifier::attach(TerminalEdit *view)
{
    TerminalAccessible::install();
    // Naming the view may have made it a generic interface before the factory was there.
    QAccessibleInterface *made = QAccessible::queryAccessibleInterface(view);
    if (made && !dynamic_cast<TerminalAccessible *>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    return new TerminalAccessibleNotifier(view);
}

TerminalAccessibleNotifier::TerminalAccessibleNotifier(TerminalEdit *view) : QObject(view), m_view(view)
{
    connect(view, &TerminalEdit::visibleLinesChanged, this, &TerminalAccessibleNotifier::update);
    connect(view, &TerminalEdit::selectionMoved, this, &TerminalAccessibleNotifier::update);
    QAccessible::installActivationObserver(this);
    accessibilityActiveChanged(QAccessible::isActive());
}

TerminalAccessibleNotifier::~TerminalAccessibleNotifier()
{
    QAccessible::removeActivationObserver(this);
}

void TerminalAccessibleNotifier::accessibilityActiveChanged(bool active)
{
    m_active = active;
    m_told.reset();
    update();
}

void TerminalAccessibleNotifier::update()
{
    if (!m_active)
        return;
    TerminalReaderText now(*m_view);
    if (m_told)
        postTextChange(now);
    postCaretMoves(now);
    m_told = std::move(now);
}

// Lines that scrolled out at the top go in one removal; what differs after that goes in one
// change. Both are cut from the old and the new reader text alone.
void TerminalAccessibleNotifier::postTextChange(const TerminalReaderText &now)
{
    const int caret = now.toReader(m_view->caret());
    QString before = m_told->text();
    const int scrolledOut = m_told->stretchStartingAt(now.firstOffset());
    if (scrolledOut > 0) {
        post(QAccessibleTextRemoveEvent(m_view, 0, before.first(scrolledOut)), caret);
        before.remove(0, scrolledOut);
    }
    const QString &after = now.text();
    const auto common = std::mismatch(before.cbegin(), before.cend(), after.cbegin(), after.cend());
    const int prefix = int(common.first - before.cbegin());
    const int tail = int(std::min(before.size(), after.size())) - prefix;
    const int suffix =
        int(std::mismatch(before.crbegin(), before.crbegin() + tail, after.crbegin()).first - before.crbegin());
    const QString removed = before.sliced(prefix, before.size() - prefix - suffix);
    const QString inserted = after.sliced(prefix, after.size() - prefix - suffix);
    if (removed.isEmpty() && !inserted.isEmpty())
        post(QAccessibleTextInsertEvent(m_view, prefix, inserted), caret);
    else if (!removed.isEmpty() && inserted.isEmpty())
        post(QAccessibleTextRemoveEvent(m_view, prefix, removed), caret);
    else if (!removed.isEmpty())
        post(QAccessibleTextUpdateEvent(m_view, prefix, removed, inserted), caret);
}

void TerminalAccessibleNotifier::postCaretMoves(const TerminalReaderText &now)
{
    const int caret = now.toReader(m_view->caret());
    const int start = m_view->hasSelection() ? now.toReader(m_view->selectionStart()) : -1;
    const int end = m_view->hasSelection() ? now.toReader(m_view->selectionEnd()) : -1;
    if (m_told && (start != m_selectionStart || end != m_selectionEnd))
        post(QAccessibleTextSelectionEvent(m_view, start, end), caret);
    if (m_told && caret != m_caret)
        post(QAccessibleTextCursorEvent(m_view, caret), caret);
    m_caret = caret;
    m_selectionStart = start;
    m_selectionEnd = end;
}
