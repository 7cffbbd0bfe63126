#pragma once

class QString;
class QWidget;

/// The platform's message and error boxes, behind one interface so that windows outside the main
/// window can show them and tests can answer them. Every call is modal over parent.
class MessageBoxes
{
  public:
    virtual ~MessageBoxes() = default;

    /// A plain message box with one OK button.
    virtual void message(QWidget *parent, const QString &text) = 0;
    /// The application's error box.
    virtual void error(QWidget *parent, const QString &text) = 0;
};
