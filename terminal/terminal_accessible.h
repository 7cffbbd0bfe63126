#pragma once

#include <QAccessibleWidget>

class TerminalEdit;
class TerminalReaderText;

/// The terminal as screen readers see it: an editable multi-line text whose offsets are those of
/// TerminalReaderText (the lines in view and the caret's line), mapped to and from the view's.
class TerminalAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface
{
  public:
    explicit TerminalAccessible(TerminalEdit *view);

    /// Makes every TerminalEdit answer screen readers through this class; installs once.
    static void install();

    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

  private:
    TerminalEdit *view() const;
    TerminalReaderText readerText() const;
};
