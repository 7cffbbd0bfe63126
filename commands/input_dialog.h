#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

/// The small sky-blue dialog of the instrument commands: texts and fields on the left, "OK"
/// (Enter) and "Cancel" (Escape) on the right, centred on the screen. It keeps what was typed
/// from one showing to the next. Its fields take numbers: "OK" refuses anything else, since
/// every other character would reach the titrator as a key of its keypad.
class InputDialog : public QDialog
{
  public:
    explicit InputDialog(const QString &name);

    void addText(const QString &text, bool small = false);
    /// A one-line field for a number, empty at start, with an optional unit after it; fieldName
    /// names it in the message that refuses what is not a number.
    QLineEdit *addEdit(const QString &fieldName, const QString &accessibleName, const QString &unit = {});
    /// A list to choose from, showing placeholder while nothing is chosen.
    QComboBox *addChoice(const QString &accessibleName, const QStringList &entries, const QString &placeholder);

    void setVisible(bool visible) override;
    /// Closes with the OK result unless a field holds something other than digits with at most
    /// one "."; then a message names the field and the dialog stays open. Empty is a number.
    void accept() override;

  private:
    /// Keeps the fields first in the tab order and remembers where typing starts.
    void addField(QWidget *field);

    QVBoxLayout *m_fields;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QWidget *m_firstField = nullptr;
    QList<std::pair<QLineEdit *, QString>> m_numberFields;
};
