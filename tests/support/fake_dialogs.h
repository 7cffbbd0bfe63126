#pragma once

#include "common/dialogs.h"
#include "tests/support/fake_message_boxes.h"

#include <QList>
#include <QPrinter>

/// The platform dialogs, answered from fields the test sets.
class FakeDialogs : public FakeMessageBoxes<Dialogs>
{
  public:
    QString openAnswer;
    QString saveAnswer;
    bool printAnswer = true;
    QString pdfFile;
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QStringList documents;
    int printSetups = 0;
    QStringList questions;
    bool questionAnswer = false;
    bool openDocumentAnswer = true;

    QString openFileName(QWidget *, const FileRequest &request) override
    {
        openRequests.append(request);
        return openAnswer;
    }
    QString saveFileName(QWidget *, const FileRequest &request) override
    {
        saveRequests.append(request);
        return saveAnswer;
    }
    bool print(QWidget *, QPrinter &printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFile);
        return printAnswer;
    }
    void printSetup(QWidget *, QPrinter &) override { ++printSetups; }
    bool question(QWidget *, const QString &text) override
    {
        questions.append(text);
        return questionAnswer;
    }
    bool openDocument(const QString &path) override
    {
        documents.append(path);
        return openDocumentAnswer;
    }
};
