#pragma once

#include "common/dialogs.h"

/// The platform's own file, print and message dialogs.
class NativeDialogs : public Dialogs
{
  public:
    QString openFileName(QWidget *parent, const FileRequest &request) override;
    QString saveFileName(QWidget *parent, const FileRequest &request) override;
    bool print(QWidget *parent, QPrinter &printer) override;
    void printSetup(QWidget *parent, QPrinter &printer) override;
    void message(QWidget *parent, const QString &text) override;
    void error(QWidget *parent, const QString &text) override;
    bool question(QWidget *parent, const QString &text) override;
    bool openDocument(const QString &path) override;
};
