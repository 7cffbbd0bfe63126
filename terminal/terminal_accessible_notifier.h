#pragma once

#include "terminal/terminal_reader_text.h"

#include <QAccessible>
#include <QObject>

#include <optional>

class TerminalEdit;

/// Tells screen readers what changed in the terminal's reader text (TerminalReaderText) and where
/// its caret and selection went, while a screen reader is active. Every event carries at most
/// the text in view, however long the terminal's text is.
class TerminalAccessibleNotifier : public QObject, public QAccessible::ActivationObserver
{
  public:
    /// Makes the view answer screen readers and keeps them informed; the notifier is the view's child.
    static TerminalAccessibleNotifier *attach(TerminalEdit *view);
    ~TerminalAccessibleNotifier() override;

    void accessibilityActiveChanged(bool active) override;

  private:
    explicit TerminalAccessibleNotifier(TerminalEdit *view);
    void update();
    void postTextChange(const TerminalReaderText &now);
    void postCaretMoves(const TerminalReaderText &now);

    TerminalEdit *m_view;
    bool m_active = false;
    // The reader text screen readers were last told of; none while no screen reader is active.
    std::optional<TerminalReaderText> m_told;
    int m_caret = 0;
    int m_selectionStart = 0;
    int m_selectionEnd = 0;
};
