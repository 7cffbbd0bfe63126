#pragma once

#include "common/message_boxes.h"

#include <QString>

class QPrinter;
class QWidget;

/// The dialogs and boxes that the platform provides, behind one interface so that tests can
/// answer them without a native dialog. Every call is modal over parent.
class Dialogs : public MessageBoxes
{
  public:
    /// What a file dialog offers: a suffix added to a name typed without one, the proposed
    /// name, and the filter in Qt's "Name (*.a *.b);;Other (*.c)" form.
    struct FileRequest
    {
        QString defaultSuffix;
        QString fileName;
        QString filter;
    };

    virtual ~Dialogs() = default;

    /// The chosen file, empty when cancelled.
    virtual QString openFileName(QWidget *parent, const FileRequest &request) = 0;
    /// The chosen file, empty when cancelled; the caller asks about overwriting.
    virtual QString saveFileName(QWidget *parent, const FileRequest &request) = 0;
    /// The print dialog; true when the user confirmed, the printer then holds the choices.
    virtual bool print(QWidget *parent, QPrinter &printer) = 0;
    /// Printer set-up; what the user chooses stays in the printer for later jobs.
    virtual void printSetup(QWidget *parent, QPrinter &printer) = 0;
    /// A question with the buttons "Yes" and "No", "No" the default; true for "Yes".
    virtual bool question(QWidget *parent, const QString &text) = 0;
    /// Asks the desktop to open a document with its default program; false when the desktop has
    /// no program to ask.
    virtual bool openDocument(const QString &path) = 0;
};
