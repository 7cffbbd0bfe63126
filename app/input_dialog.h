#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

/// The small sky-blue dialog of the instrument commands: texts and fields on the left, "OK"
/// (Enter) and "Cancel" (Escape) on the right, centred on the screen. It keeps what was typed
/// from one showing to the next.
class InputDialog : public QDialog
{
  public:
    explicit InputDialog(const QString &name);

    void addText(const QString &text, bool small = false);
    /// A one-line field, empty at start, with an optional unit after it.
    QLineEdit *addEdit(const QString &accessibleName, const QString &unit = {});
    /// A list to choose from, showing placeholder while nothing is chosen.
    QComboBox *addChoice(const QString &accessibleName, const QStringList &entries, const QString &placeholder);

    void setVisible(bool visible) override;

  private:
    /// Keeps the fields first in the tab order and remembers where typing starts.
    void addField(QWidget *field);

    QVBoxLayout *m_fields;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QWidget *m_firstField = nullptr;
};
